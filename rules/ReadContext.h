// What compiling paths and actions and applying properties need from the
// reader: continuing reports at the current place, the place itself for
// aborting errors, and the named rules of the reading in progress.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "base/FlError.h"
#include "rules/SclDats.h"

namespace flicko {

// The work one reading may do, whatever the file says: includes and merges
// can multiply a few lines into millions of rules (19 files each including
// the next twice make half a million), so every reading has a budget, and
// what goes beyond it is reported once and left out.
struct TReadBudget {
    // Included files opened in one reading.
    static constexpr int kMaxIncludes = 1000;
    // Text of the included files together.
    static constexpr std::size_t kMaxIncludedBytes = std::size_t{16} << 20;
    // Property applications through Merge in one reading.
    static constexpr long kMaxMergeSteps = 1000000;

    int Includes = 0;
    std::size_t IncludedBytes = 0;
    long MergeSteps = 0;
    bool IncludesReported = false;
    bool MergesReported = false;
};

class TReadContext {
public:
    virtual ~TReadContext() = default;
    // A continuing report; the reading goes on afterwards.
    virtual void ReportReadError(const std::string& message) = 0;
    // "FileName: ...\nLine: ..." of the place being read.
    virtual std::string FileLineText() const = 0;
    // A warning at the current place (IReadErrorReport::Warn).
    virtual void Warn(const std::string& /*message*/) {}

    // Raises the aborting error with the current place.
    [[noreturn]] void Abort(const std::string& detail) const { throw EDatReadError(FileLineText(), detail); }

    // The named rules of the reading in progress; null outside a reading.
    TNamedRules* NamedRules = nullptr;
    // Names being merged right now, innermost last: a name met again is a cycle.
    std::vector<std::string> MergeStack;
    // Property applications done by the outermost Merge so far; bounds named
    // rules that merge each other many times over without a cycle.
    long MergeSteps = 0;
    bool MergeTooDeepReported = false;
    // What the reading in progress has used of its budget.
    TReadBudget Budget;
    // Where ClassRe/TextRe expressions are compiled when they are read, so
    // that the first press does not pay for it; null compiles them only to
    // check them.
    TRegexCache* Regexes = nullptr;
};

// text begins with "(": returns the argument up to the first ")" that is not
// escaped, a backslash making the next character literal, and removes it with
// its ")" from text. A missing ")" aborts the reading with "arg without ")"".
std::string ReadParenArgument(std::string_view& text, TReadContext& context);

}  // namespace flicko
