// The rule model: what the scroll-data file becomes in memory.
//
// TRuleModel owns the rules in reading order, the current defaults, the
// fallback ("else") rule and the cache of windows already pressed on. The
// cache only points into the rules, so it is emptied whenever the rules are
// read again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Types.h"
#include "rules/RegexCache.h"

namespace flicko {

enum class TCursorPos : std::uint8_t { Pointed = 0, Current = 1 };

enum class TScrollMethod : std::uint8_t {
    arrowkey = 0,
    carrowkey = 1,
    marrowkey = 2,
    scrollline = 3,
    scrollpos = 4,
    scrolltrack = 5,
    scrollbarpos = 6,
    mousewheel = 7,
    mousewheelie6 = 8,
    mousewheelie7 = 9,
    editscroll = 10,
    listviewscroll = 11,
    Auto = 12,  // "auto"
    // Wheel units as real input at the cursor: for windows that ignore
    // wheel messages sent to them and read only the input queue.
    inputwheel = 13,
};

// The scroll-data file's spelling of each method (compared after folding
// to lower case), and the name the views show, both by TScrollMethod value.
inline constexpr const char* kMethods[] = {"arrowkey",      "carrowkey",     "marrowkey",  "scrollline",
                                           "scrollpos",     "scrolltrack",   "scrollbarpos", "mousewheel",
                                           "mousewheelie6", "mousewheelie7", "editscroll", "listviewscroll",
                                           "auto",          "inputwheel"};
inline constexpr const char* kMethodNames[] = {"ArrowKey",      "CArrowKey",     "MArrowKey",  "ScrollLine",
                                               "ScrollPos",     "ScrollTrack",   "ScrollBarPos", "MouseWheel",
                                               "MouseWheelIE6", "MouseWheelIE7", "EditScroll", "ListViewScroll",
                                               "Auto",          "InputWheel"};
static_assert(std::size(kMethods) == static_cast<std::size_t>(TScrollMethod::inputwheel) + 1);
static_assert(std::size(kMethodNames) == std::size(kMethods));

enum class TScrollWidthUnit : std::uint8_t {
    dot = 0,
    clientLen = 1,
    clientLenPerScrollpage = 2,     // clientLen/scrollpage
    scrollbarLen = 3,
    scrollbarLenPerScrollpage = 4,  // scrollbarLen/scrollpage
    PointToRect = 5,
    PointToRectPerScrollpage = 6,   // PointToRect/scrollpage
    dotPerScrollline = 7,           // dot/scrollline
    CaretDotPerScroll = 8,          // CaretDot/scroll
    DotAuto = 9,
};

// The file's spelling of each width unit (compared without regard to case)
// and the name the views show, both by TScrollWidthUnit value.
inline constexpr const char* kWidthUnits[] = {"dot",          "clientLen",   "clientLen/scrollpage",
                                              "scrollbarLen", "scrollbarLen/scrollpage", "PointToRect",
                                              "PointToRect/scrollpage", "dot/scrollline", "CaretDot/scroll",
                                              "DotAuto"};
inline constexpr const char* kWidthUnitNames[] = {"Dot",          "ClientLen",   "ClientLen/ScrollPage",
                                                  "ScrollbarLen", "ScrollbarLen/ScrollPage", "PointToRect",
                                                  "PointToRect/ScrollPage", "Dot/ScrollLine", "CaretDot/Scroll",
                                                  "DotAuto"};
static_assert(std::size(kWidthUnits) == static_cast<std::size_t>(TScrollWidthUnit::DotAuto) + 1);
static_assert(std::size(kWidthUnitNames) == std::size(kWidthUnits));

// notch: the wheel family sends whole wheel notches only (multiples of 120
// times the step), keeping the rest of the drag for the next message, for
// toolkits that read a wheel message as one notch whatever its delta.
enum class TScrollStepUnit : std::uint8_t { dot = 0, scroll = 1, notch = 2 };

enum class TScrollBarType : std::uint8_t { Horizontal = 0, Vertical = 1, Control = 2, Auto = 3 };

// Path codes and action codes are compiled strings; they may hold any byte.
// The path code of "Pointed" and the default click replay:
inline const std::string kPointedPathCode = "W-p";
inline const std::string kDefaultButtonUpNoScrolled{'M', '\x02', 'm', '\x02'};
// The else rule's Path before and after the first else block of a reading.
inline const std::string kElsePathUnread(1, '\0');
inline const std::string kElsePathRead(1, '\x01');

// Value-initialised records are all zero, false or empty; BuiltInSclDat()
// gives the built-in defaults.
struct TAxSclDat {
    bool IsScroll = false;
    TScrollMethod Method = TScrollMethod::arrowkey;
    float ScrollWidth = 0.0f;
    TScrollWidthUnit ScrollWidthUnit = TScrollWidthUnit::dot;
    std::int32_t ScrollStep = 0;
    TScrollStepUnit ScrollStepUnit = TScrollStepUnit::dot;
    std::string ScrollBar;
    TScrollBarType ScrollBarType = TScrollBarType::Horizontal;

    friend bool operator==(const TAxSclDat&, const TAxSclDat&) = default;
};

struct TSclDat {
    std::string Path;
    bool IsScroll = false;
    bool IsInertia = false;
    bool SetCaret = false;
    bool SetCapture = false;
    std::string SendTo;
    TCursorPos CursorPos = TCursorPos::Pointed;
    std::string ButtonDown;
    std::string ButtonUpNoScrolled;
    std::string ButtonUpScrolled;
    std::string BeforeScroll;
    std::string AfterScroll;
    TAxSclDat H;
    TAxSclDat V;

    friend bool operator==(const TSclDat&, const TSclDat&) = default;
};

// The built-in defaults.
TSclDat BuiltInSclDat();

// Where a rule's header stands: the file it was read from and its line.
// Kept beside the rules rather than in them, so that rules still compare by
// their meaning alone.
struct TRuleSource {
    std::string File;
    int Line = 0;
};

// The rules in reading order. Rules are owned and never move in memory, so
// the known-windows cache and the engine may point at them.
class TSclDats {
public:
    int Add(std::string path, TRuleSource source = {});
    TSclDat& Items(int index) { return *items_.at(static_cast<std::size_t>(index)); }
    const TSclDat& Items(int index) const { return *items_.at(static_cast<std::size_t>(index)); }
    const TRuleSource& Source(int index) const { return sources_.at(static_cast<std::size_t>(index)); }
    int Count() const { return static_cast<int>(items_.size()); }
    void Clear() {
        items_.clear();
        sources_.clear();
    }

private:
    std::vector<std::unique_ptr<TSclDat>> items_;
    std::vector<TRuleSource> sources_;
};

struct TNamedRuleProp {
    std::string Key;
    std::string Value;
};

class TNamedRuleProps {
public:
    void Add(std::string key, std::string value) { items_.push_back({std::move(key), std::move(value)}); }
    const std::vector<TNamedRuleProp>& Items() const { return items_; }
    int Count() const { return static_cast<int>(items_.size()); }

private:
    std::vector<TNamedRuleProp> items_;
};

struct TNamedRule {
    std::string Name;
    TNamedRuleProps Props;
};

// Exists only while one reading runs.
class TNamedRules {
public:
    int Add(std::string name);
    TNamedRule& Items(int index) { return *items_.at(static_cast<std::size_t>(index)); }
    int Count() const { return static_cast<int>(items_.size()); }
    // The last named rule whose name equals name exactly (case-sensitive).
    TNamedRuleProps* Find(std::string_view name);

private:
    std::vector<std::unique_ptr<TNamedRule>> items_;
};

// The image name of one process as a Process element saw it; Opened is
// false when the process could not be opened (it then matches no element).
struct TProcessName {
    std::uint32_t Pid = 0;
    bool Opened = false;
    std::string Name;
};
using TProcessNames = std::vector<TProcessName>;

struct TKnowWindow {
    Hwnd Window = kNoWindow;
    const TSclDat* SclDat = nullptr;
    bool IsScroll = false;
    // The processes looked up while this window's rule was chosen and while
    // its presses resolve their paths; they live exactly as long as the
    // entry, so a process id that the system hands out again later is
    // looked up afresh for the new windows. A cache, not part of the choice.
    mutable TProcessNames Processes;
};

class TKnowWindows {
public:
    int Add(Hwnd window);
    TKnowWindow& Items(int index) { return items_.at(static_cast<std::size_t>(index)); }
    const TKnowWindow& Items(int index) const { return items_.at(static_cast<std::size_t>(index)); }
    int Count() const { return static_cast<int>(items_.size()); }
    void Clear() { items_.clear(); }

private:
    std::vector<TKnowWindow> items_;
};

// Copies every field of defaults into rule except Path, BeforeScroll and
// AfterScroll. A null rule is ignored.
void ResetToDefaults(const TSclDat& defaults, TSclDat* rule);

// Resolves a compiled window path from a start window in the context of a
// rule; returns kNoWindow when the path does not match.
class IPathResolver {
public:
    virtual ~IPathResolver() = default;
    virtual Hwnd ResolveWindowPath(Hwnd start, std::string_view pathCode, const TSclDat& rule) = 0;
    // Where the process names that the following resolutions look up are
    // kept (null: each resolution keeps its own); returns the previous
    // place. Resolvers without Process elements ignore it.
    virtual TProcessNames* KeepProcessNames(TProcessNames* names) {
        (void)names;
        return nullptr;
    }
};

// Keeps the process names looked up in its scope in names.
class TProcessNamesScope {
public:
    TProcessNamesScope(IPathResolver& resolver, TProcessNames& names)
        : resolver_(resolver), previous_(resolver.KeepProcessNames(&names)) {}
    ~TProcessNamesScope() { resolver_.KeepProcessNames(previous_); }
    TProcessNamesScope(const TProcessNamesScope&) = delete;
    TProcessNamesScope& operator=(const TProcessNamesScope&) = delete;

private:
    IPathResolver& resolver_;
    TProcessNames* previous_;
};

// The whole model of one program (the resident program or the probe each own one).
struct TRuleModel {
    TSclDats SclDats;
    TSclDat DefaultSclDat = BuiltInSclDat();
    TSclDat ElseSclDat;  // all zero until an else block is read
    TRuleSource ElseSource;  // the else block's header, once one is read
    TKnowWindows KnowWindows;
    // The ClassRe/TextRe expressions of these rules, compiled on first use;
    // emptied with the rules at each reading.
    TRegexCache RegexCache;

    // DefaultSclDat := the built-in defaults.
    void InitDefaults() { DefaultSclDat = BuiltInSclDat(); }
    // Index in KnowWindows, or -1; searched from the first entry.
    int KnownWindowIndex(Hwnd window) const;
    // The last rule whose path resolves from window, or -1.
    int FindRule(Hwnd window, IPathResolver& resolver) const;
    // The cached choice for window, made now (FindRule or the else rule)
    // when the window was not pressed on since the last reading.
    const TKnowWindow& ChooseRule(Hwnd window, IPathResolver& resolver);
    // Where rule (one of this model's rules or its else rule) was read;
    // null for an else rule that no else block filled.
    const TRuleSource* SourceOf(const TSclDat* rule) const;
};

}  // namespace flicko
