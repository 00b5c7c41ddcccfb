// The interpreter of compiled window paths.
//
// A path code is a string of elements, each a letter with an optional "-"
// and sub-kind character; Class, Text and Style tests carry a quoted
// argument ("..." with inner quotes doubled). Paths start at a window and
// yield a window or kNoWindow. The press context (the pointed window and the
// press point) is read from the engine state at each call.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "engine/EngineState.h"
#include "platform/Desktop.h"
#include "rules/RegexCache.h"
#include "rules/SclDats.h"

namespace flicko {

// Compares a window's class name or text against the argument of a
// regular-expression element (codes C-E, C-e, T-E, T-e) exactly as the path
// code stores it. Without a matcher those elements never match.
using RegexElementMatcher =
    std::function<bool(std::string_view argument, bool ignoreCase, std::string_view subject)>;

// The matcher over the rule model's compiled expressions: an ECMAScript
// search anywhere in the subject. A pattern that does not compile, or whose
// search gives up (too complex for the matcher), does not match.
RegexElementMatcher CachedRegexMatcher(TRegexCache& cache);

class DistinguishWnd : public IPathResolver {
public:
    DistinguishWnd(Desktop& desktop, const EngineState& state);
    // With the regular-expression elements matched through the rule model's cache.
    DistinguishWnd(Desktop& desktop, const EngineState& state, TRegexCache& regexes);

    Hwnd ResolveWindowPath(Hwnd start, std::string_view pathCode, const TSclDat& rule) override;
    TProcessNames* KeepProcessNames(TProcessNames* names) override;

    void SetRegexMatcher(RegexElementMatcher matcher) { regex_ = std::move(matcher); }

private:
    enum class RulePath { SendTo = 1, HScrollBar = 2, VScrollBar = 4 };

    Hwnd Resolve(Hwnd start, std::string_view code, const TSclDat& rule);
    Hwnd ResolveRulePath(RulePath which, const TSclDat& rule);
    Hwnd ChildSearch(Hwnd x, bool self, char kind, std::string_view rest, const TSclDat& rule);
    bool ScrollBarTest(Hwnd w, char element, char subKind);
    bool NameTest(std::string_view subject, char subKind, std::string_view argument);
    // The image name of w's process through the kept names; false when the
    // process cannot be opened.
    bool ProcessNameOf(Hwnd w, std::string& name);

    Desktop& desktop_;
    const EngineState& state_;
    RegexElementMatcher regex_;
    // The rule paths (SendTo, HScrollBar, VScrollBar) being resolved right
    // now; a path that refers back to one of them yields no window instead
    // of recursing without end.
    unsigned activeRulePaths_ = 0;
    // Where process names are kept: the known-window entry's list while a
    // rule is chosen or a press resolves, else ownNames_ for one resolution.
    TProcessNames* keptNames_ = nullptr;
    TProcessNames ownNames_;
};

// Splits the quoted argument off the front of code: on success arg holds the
// unquoted text and code the remainder. False for a missing or unterminated
// quote.
bool TakeQuotedArgument(std::string_view& code, std::string& arg);

// The side rule for the sided child searches (kind l, r, t or b): does the
// rectangle c beat the current best for the press point? Ties keep best.
bool BeatsBySide(char kind, const Rect& c, const Rect& best, Point press);

}  // namespace flicko
