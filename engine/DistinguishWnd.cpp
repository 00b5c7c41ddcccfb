#include "engine/DistinguishWnd.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <regex>

#include "base/Text.h"
#include "engine/WindowGeometry.h"
#include "platform/WinConst.h"
#include "rules/StrAndWindowstyle.h"

namespace flicko {

namespace {

bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }

std::int64_t Area(const Rect& r) {
    return static_cast<std::int64_t>(r.right - r.left) * static_cast<std::int64_t>(r.bottom - r.top);
}

bool Contains(const Rect& r, Point p) { return p.x >= r.left && p.x <= r.right && p.y >= r.top && p.y <= r.bottom; }

bool SideHolds(char kind, const Rect& r, Point p) {
    switch (kind) {
        case 'l': return r.left <= p.x;
        case 'r': return r.right >= p.x;
        case 't': return r.top <= p.y;
        case 'b': return r.bottom >= p.y;
        default: return false;
    }
}

}  // namespace

bool TakeQuotedArgument(std::string_view& code, std::string& arg) {
    arg.clear();
    if (code.empty() || code.front() != '"') return false;
    std::size_t i = 1;
    while (i < code.size()) {
        if (code[i] == '"') {
            if (i + 1 < code.size() && code[i + 1] == '"') {
                arg += '"';
                i += 2;
                continue;
            }
            code.remove_prefix(i + 1);
            return true;
        }
        arg += code[i++];
    }
    return false;
}

bool BeatsBySide(char kind, const Rect& c, const Rect& best, Point press) {
    const bool across = (kind == 'l' || kind == 'r');
    // Horizontal sides compare rows (cross coordinate y), vertical ones columns.
    const std::int64_t cross = across ? press.y : press.x;
    const std::int64_t along = across ? press.x : press.y;
    auto spanLo = [&](const Rect& r) -> std::int64_t { return across ? r.top : r.left; };
    auto spanHi = [&](const Rect& r) -> std::int64_t { return across ? r.bottom : r.right; };
    auto nearEdge = [&](const Rect& r) -> std::int64_t {
        switch (kind) {
            case 'l': return r.right;
            case 'r': return r.left;
            case 't': return r.bottom;
            default: return r.top;
        }
    };
    auto spans = [&](const Rect& r) { return spanLo(r) <= cross && cross <= spanHi(r); };
    auto spanDistance = [&](const Rect& r) {
        return std::min(std::llabs(cross - spanLo(r)), std::llabs(cross - spanHi(r)));
    };

    if (spans(best)) {
        return spans(c) && std::llabs(along - nearEdge(c)) < std::llabs(along - nearEdge(best));
    }
    if (spans(c)) return true;
    return spanDistance(c) < spanDistance(best);
}

RegexElementMatcher CachedRegexMatcher(TRegexCache& cache) {
    return [&cache](std::string_view argument, bool ignoreCase, std::string_view subject) {
        try {
            return cache.Search(std::string(argument), ignoreCase, subject);
        } catch (const std::regex_error&) {
            // The search itself can fail (error_complexity, error_stack); a
            // rule must not turn a press into an error box for that.
            return false;
        }
    };
}

DistinguishWnd::DistinguishWnd(Desktop& desktop, const EngineState& state) : desktop_(desktop), state_(state) {}

DistinguishWnd::DistinguishWnd(Desktop& desktop, const EngineState& state, TRegexCache& regexes)
    : desktop_(desktop), state_(state), regex_(CachedRegexMatcher(regexes)) {}

Hwnd DistinguishWnd::ResolveWindowPath(Hwnd start, std::string_view pathCode, const TSclDat& rule) {
    if (!keptNames_) ownNames_.clear();
    return Resolve(start, pathCode, rule);
}

TProcessNames* DistinguishWnd::KeepProcessNames(TProcessNames* names) {
    TProcessNames* previous = keptNames_;
    keptNames_ = names;
    return previous;
}

bool DistinguishWnd::ProcessNameOf(Hwnd w, std::string& name) {
    const std::uint32_t pid = desktop_.WindowProcessId(w);
    if (pid == 0) return false;
    TProcessNames& names = keptNames_ ? *keptNames_ : ownNames_;
    for (const TProcessName& p : names) {
        if (p.Pid == pid) {
            name = p.Name;
            return p.Opened;
        }
    }
    TProcessName p;
    p.Pid = pid;
    p.Opened = desktop_.ProcessImageName(pid, p.Name);
    names.push_back(p);
    name = p.Name;
    return p.Opened;
}

Hwnd DistinguishWnd::ResolveRulePath(RulePath which, const TSclDat& rule) {
    const unsigned bit = static_cast<unsigned>(which);
    if (activeRulePaths_ & bit) return kNoWindow;
    const std::string& code = which == RulePath::SendTo       ? rule.SendTo
                              : which == RulePath::HScrollBar ? rule.H.ScrollBar
                                                              : rule.V.ScrollBar;
    activeRulePaths_ |= bit;
    Hwnd r = kNoWindow;
    try {
        r = Resolve(state_.Target.PointedWindow, code, rule);
    } catch (...) {
        activeRulePaths_ &= ~bit;
        throw;
    }
    activeRulePaths_ &= ~bit;
    return r;
}

bool DistinguishWnd::ScrollBarTest(Hwnd w, char element, char subKind) {
    bool (*test)(Desktop&, Hwnd, int) = nullptr;
    switch (AsciiLower(subKind)) {
        case 'p': test = ScrollPosOk; break;
        case 'r': test = ScrollRangeOk; break;
        case 'g': test = ScrollPageOk; break;
        default: return false;
    }
    if (element == 'i') return test(desktop_, w, IsUpper(subKind) ? win::SB_HORZ : win::SB_VERT);
    if (!IsUpper(subKind)) return test(desktop_, w, win::SB_CTL);
    return test(desktop_, w, win::SB_CTL) || test(desktop_, w, win::SB_HORZ) || test(desktop_, w, win::SB_VERT);
}

bool DistinguishWnd::NameTest(std::string_view subject, char subKind, std::string_view argument) {
    const bool ignoreCase = !IsUpper(subKind);
    if (AsciiLower(subKind) == 'e') return regex_ ? regex_(argument, ignoreCase, subject) : false;

    std::string s(subject), a(argument);
    if (ignoreCase) {
        s = AsciiLowerCase(s);
        a = AsciiLowerCase(a);
    }
    switch (AsciiLower(subKind)) {
        case 'q': return s == a;
        // An empty text is not "contained": Inc with an empty argument never matches.
        case 'i': return !a.empty() && s.find(a) != std::string::npos;
        case 'l': return s.size() >= a.size() && s.compare(0, a.size(), a) == 0;
        case 'r': return s.size() >= a.size() && s.compare(s.size() - a.size(), a.size(), a) == 0;
        default: return false;
    }
}

Hwnd DistinguishWnd::Resolve(Hwnd start, std::string_view code, const TSclDat& rule) {
    Hwnd current = start;
    std::string arg;
    while (!code.empty()) {
        const char element = code.front();
        code.remove_prefix(1);
        char subKind = 0;
        if (code.size() >= 2 && code.front() == '-') {
            subKind = code[1];
            code.remove_prefix(2);
        }

        switch (element) {
            case 'C':
            case 'T': {
                if (!TakeQuotedArgument(code, arg)) return kNoWindow;
                const std::string subject =
                    element == 'C' ? ClassNameOf(desktop_, current) : WindowTextOf(desktop_, current);
                if (!NameTest(subject, subKind, arg)) return kNoWindow;
                break;
            }
            case 'X': {
                if (!TakeQuotedArgument(code, arg)) return kNoWindow;
                const char kind = AsciiLower(subKind);
                std::string image;
                if ((kind != 'q' && kind != 'e') || !ProcessNameOf(current, image)) return kNoWindow;
                if (!NameTest(image, subKind, arg)) return kNoWindow;
                break;
            }
            case 'Y':
                if (!TakeQuotedArgument(code, arg)) return kNoWindow;
                if (!MatchStyle(desktop_.Style(current), arg)) return kNoWindow;
                break;
            case 'I':
            case 'i':
                if (!ScrollBarTest(current, element, subKind)) return kNoWindow;
                break;
            case 'p':
                current = desktop_.GetParent(current);
                break;
            case 'o':
                current = TopLevelOf(desktop_, current);
                break;
            case 'W':
                switch (subKind) {
                    case 'p': current = state_.Target.PointedWindow; break;
                    case 's': current = ResolveRulePath(RulePath::SendTo, rule); break;
                    case 'B': current = ResolveRulePath(RulePath::HScrollBar, rule); break;
                    case 'b': current = ResolveRulePath(RulePath::VScrollBar, rule); break;
                    default: break;
                }
                break;
            case 'P':
                for (Hwnd w = current; w != kNoWindow; w = desktop_.GetParent(w)) {
                    const Hwnd r = Resolve(w, code, rule);
                    if (r != kNoWindow) return r;
                }
                return kNoWindow;
            case 'O':
                for (Hwnd top : desktop_.TopLevelWindows()) {
                    const Hwnd r = Resolve(top, code, rule);
                    if (r != kNoWindow) return r;
                }
                return kNoWindow;
            case 'h':
            case 'H':
                return ChildSearch(current, element == 'H', subKind, code, rule);
            default:
                return kNoWindow;
        }
        if (current == kNoWindow) return kNoWindow;
    }
    return current;
}

Hwnd DistinguishWnd::ChildSearch(Hwnd x, bool self, char kind, std::string_view rest, const TSclDat& rule) {
    if (self) {
        const Hwnd r = Resolve(x, rest, rule);
        if (r != kNoWindow) return r;
    }
    const Point press = state_.Drag.DownPoint;
    const bool sided = kind == 'l' || kind == 'r' || kind == 't' || kind == 'b';
    if (kind != 0 && kind != 'P' && kind != 'p' && !sided) return kNoWindow;

    Hwnd best = kNoWindow;
    for (Hwnd c : desktop_.ChildWindows(x)) {
        if (!self && desktop_.GetParent(c) != x) continue;
        if (kind != 0) {
            Rect rc;
            if (!desktop_.IsWindowVisible(c) || !desktop_.GetWindowRect(c, rc)) continue;
            if (sided) {
                if (!SideHolds(kind, rc, press)) continue;
            } else if (!Contains(rc, press)) {
                continue;
            }
            if (best != kNoWindow && kind != 'P') {
                // Compared with what the rest yielded for the previous winner.
                Rect rb;
                if (!desktop_.GetWindowRect(best, rb)) continue;
                if (kind == 'p' ? !(Area(rc) < Area(rb)) : !BeatsBySide(kind, rc, rb, press)) continue;
            }
        }
        const Hwnd r = Resolve(c, rest, rule);
        if (r == kNoWindow) continue;
        best = r;
        if (kind == 0 || kind == 'P') break;
    }
    return best;
}

}  // namespace flicko
