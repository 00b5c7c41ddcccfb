// What compiling paths and actions and applying properties need from the
// reader: continuing reports at the current place, the place itself for
// aborting errors, and the named rules of the reading in progress.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/FlError.h"
#include "rules/SclDats.h"

namespace flicko {

class TReadContext {
public:
    virtual ~TReadContext() = default;
    // A continuing report; the reading goes on afterwards.
    virtual void ReportReadError(const std::string& message) = 0;
    // "FileName: ...\nLine: ..." of the place being read.
    virtual std::string FileLineText() const = 0;

    // Raises the aborting error with the current place.
    [[noreturn]] void Abort(const std::string& detail) const { throw EDatReadError(FileLineText(), detail); }

    // The named rules of the reading in progress; null outside a reading.
    TNamedRules* NamedRules = nullptr;
    // Names being merged right now, innermost last: a name met again is a cycle.
    std::vector<std::string> MergeStack;
    // Property applications done by the outermost Merge so far; bounds named
    // rules that merge each other many times over without a cycle.
    long MergeSteps = 0;
};

// text begins with "(": returns the argument up to the first ")" that is not
// escaped, a backslash making the next character literal, and removes it with
// its ")" from text. A missing ")" aborts the reading with "arg without ")"".
std::string ReadParenArgument(std::string_view& text, TReadContext& context);

}  // namespace flicko
