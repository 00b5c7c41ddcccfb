#include "engine/Scroll.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "base/Dpi.h"
#include "base/Rounding.h"
#include "engine/TargetSend.h"
#include "engine/WindowGeometry.h"
#include "platform/WinConst.h"

namespace flicko {

namespace {

constexpr std::int32_t kWheelDelta = static_cast<std::int32_t>(win::WHEEL_DELTA);

std::int32_t SaturateInt32(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX));
}

// A wheel delta travels in the high word of wParam; anything beyond 16 bits
// would wrap into the opposite direction.
std::int32_t FitWheelDelta(std::int64_t delta) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(delta, -32767, 32767));
}

int Sign(std::int64_t v) { return v > 0 ? 1 : (v < 0 ? -1 : 0); }

LParam AsLParam(std::uint32_t packed) { return static_cast<LParam>(static_cast<std::int32_t>(packed)); }

}  // namespace

TMethodFamily FamilyOf(TScrollMethod method) {
    switch (method) {
    case TScrollMethod::scrollpos:
    case TScrollMethod::scrolltrack:
    case TScrollMethod::scrollbarpos:
        return TMethodFamily::Position;
    case TScrollMethod::mousewheel:
    case TScrollMethod::mousewheelie6:
    case TScrollMethod::mousewheelie7:
    case TScrollMethod::listviewscroll:
    case TScrollMethod::inputwheel:
        return TMethodFamily::Wheel;
    default:
        return TMethodFamily::Step;
    }
}

ScrollMethods::ScrollMethods(Desktop& desktop, EngineState& state, IPathResolver& paths, IActions& actions)
    : desktop_(desktop), state_(state), paths_(paths), actions_(actions) {}

// --- preparing the axes ------------------------------------------------------

void ScrollMethods::PrepareAxes() {
    ScrollTarget& s = state_.Target;
    const TSclDat& rule = *s.Rule;
    // Each step is done for both axes before the next, so a step that raises
    // leaves both axes equally far prepared.
    for (int axis = 0; axis < 2; ++axis) {
        AxisState& a = s.Axis[axis];
        a.AxisRule = axis == kAxisH ? &rule.H : &rule.V;
        a.Enabled = a.AxisRule->IsScroll;
    }
    for (AxisState& a : s.Axis) a.BarWindow = paths_.ResolveWindowPath(s.PointedWindow, a.AxisRule->ScrollBar, rule);
    for (int axis = 0; axis < 2; ++axis) {
        AxisState& a = s.Axis[axis];
        switch (a.AxisRule->ScrollBarType) {
        case TScrollBarType::Horizontal: a.BarKind = win::SB_HORZ; break;
        case TScrollBarType::Vertical: a.BarKind = win::SB_VERT; break;
        case TScrollBarType::Control: a.BarKind = win::SB_CTL; break;
        case TScrollBarType::Auto: {
            const int own = axis == kAxisH ? win::SB_HORZ : win::SB_VERT;
            if (ScrollPosOk(desktop_, a.BarWindow, own)) {
                a.BarKind = own;
            } else if (ScrollPosOk(desktop_, a.BarWindow, win::SB_CTL)) {
                a.BarKind = win::SB_CTL;
            } else {
                a.BarKind = win::SB_HORZ;
            }
            break;
        }
        }
    }
    for (AxisState& a : s.Axis) {
        a.AutoMethod = a.AxisRule->Method == TScrollMethod::Auto;
        a.Method = a.AutoMethod ? TScrollMethod::scrollpos : a.AxisRule->Method;
    }
    // Widths in dot follow the target's scale; widths measured from its
    // windows are in its pixels already.
    s.TargetDpi = UsableDpi(desktop_.WindowDpi(s.TargetWindow != kNoWindow ? s.TargetWindow : s.PointedWindow));
    for (int axis = 0; axis < 2; ++axis) s.Axis[axis].UnitWidth = ComputeUnitWidth(axis);
    for (AxisState& a : s.Axis) {
        a.MinStep = a.AxisRule->ScrollStep;
        if (a.AxisRule->ScrollStepUnit == TScrollStepUnit::dot && s.TargetDpi != kBaseDpi) {
            a.MinStep = RoundHalfEven(static_cast<float>(a.MinStep) * DotScale(s.TargetDpi));
        }
    }
}

float ScrollMethods::ComputeUnitWidth(int axis) {
    const ScrollTarget& s = state_.Target;
    const AxisState& a = s.Axis[axis];
    const float v = a.AxisRule->ScrollWidth;
    const float dots = v * DotScale(s.TargetDpi);
    const auto perPage = [&](float length) -> float {
        const std::uint32_t page = ScrollPageOf(desktop_, a.BarWindow, a.BarKind);
        return page == 0 ? 0.0f : length / static_cast<float>(page);
    };
    switch (a.AxisRule->ScrollWidthUnit) {
    case TScrollWidthUnit::dot:
    case TScrollWidthUnit::dotPerScrollline:
        return dots;
    case TScrollWidthUnit::clientLen:
        return static_cast<float>(ClientLen(desktop_, s.TargetWindow, axis)) * v;
    case TScrollWidthUnit::clientLenPerScrollpage:
        return perPage(static_cast<float>(ClientLen(desktop_, s.TargetWindow, axis)) * v);
    case TScrollWidthUnit::scrollbarLen:
        return static_cast<float>(ScrollbarLen(desktop_, a.BarWindow, axis)) * v;
    case TScrollWidthUnit::scrollbarLenPerScrollpage:
        return perPage(static_cast<float>(ScrollbarLen(desktop_, a.BarWindow, axis)) * v);
    case TScrollWidthUnit::PointToRect:
        return static_cast<float>(PtToRt(desktop_, state_.Drag.DownPoint, a.BarWindow, axis)) * v;
    case TScrollWidthUnit::PointToRectPerScrollpage:
        return perPage(static_cast<float>(PtToRt(desktop_, state_.Drag.DownPoint, a.BarWindow, axis)) * v);
    case TScrollWidthUnit::CaretDotPerScroll:
        return dots / 12.0f;
    case TScrollWidthUnit::DotAuto:
        if (ScrollPageOk(desktop_, a.BarWindow, a.BarKind)) {
            return perPage(static_cast<float>(ClientLen(desktop_, s.TargetWindow, axis)));
        }
        return dots;
    }
    return dots;
}

// --- bar readings ------------------------------------------------------------

ScrollMethods::BarReading ScrollMethods::ReadBar(const AxisState& a) {
    // One read for all three: the bar mostly belongs to another process,
    // and each read may cross to it while the hooked application waits.
    // The values and failure markers are those of ScrollPosition,
    // ScrollRangeOf and ScrollPageOf.
    BarReading b;
    ScrollInfo si;
    TScrollRange range;
    if (desktop_.GetScrollInfo(a.BarWindow, a.BarKind, win::SIF_ALL, si)) {
        b.pos = si.nPos;
        range = TScrollRange{si.nMax, si.nMin};
        b.page = si.nPage;
    } else {
        b.pos = INT_MIN;
        b.page = 0;
    }
    b.min = range.Min;
    b.max = range.Max;
    b.readable = b.pos != INT_MIN && range != TScrollRange{};
    return b;
}

// A bar that cannot be read is at neither end: the readers' failure values
// would otherwise stop every step toward the start and none toward the end.
bool ScrollMethods::BarReading::AtStart() const { return readable && min >= pos; }
bool ScrollMethods::BarReading::AtEnd() const {
    return readable && static_cast<std::int64_t>(pos) + page >= static_cast<std::int64_t>(max) + 1;
}

std::int32_t ScrollMethods::BarPosition(const AxisState& a) {
    return ScrollPosition(desktop_, a.BarWindow, a.BarKind);
}

std::int64_t ScrollMethods::Remainder(int axis) const {
    return static_cast<std::int64_t>(state_.Drag.LastDelta[axis]) - state_.Drag.Applied[axis];
}

void ScrollMethods::AddApplied(int axis, std::int64_t pixels) {
    state_.Drag.Applied[axis] = SaturateInt32(state_.Drag.Applied[axis] + pixels);
}

// --- ScrollToDelta -----------------------------------------------------------

bool ScrollMethods::Send(Hwnd w, std::uint32_t msg, WParam wp, LParam lp) {
    return SendToWindow(desktop_, state_.Sending, w, msg, wp, lp);
}

std::int64_t ScrollMethods::Spend(std::int64_t n) {
    const std::int64_t cut = std::clamp<std::int64_t>(n, -eventsLeft_, eventsLeft_);
    eventsLeft_ -= cut > 0 ? cut : -cut;
    return cut;
}

void ScrollMethods::ScrollToDelta() {
    // Marks the scrolling for the Scroll action, which must not start a
    // second one inside a line step, and gives the call its event budget.
    struct Depth {
        int& d;
        explicit Depth(int& v) : d(v) { ++d; }
        ~Depth() { --d; }
    } depth(state_.Sending.ScrollDepth);
    eventsLeft_ = kMaxEventsPerCall;
    const bool hStep = FamilyOf(state_.Target.Axis[kAxisH].Method) == TMethodFamily::Step;
    const bool vStep = FamilyOf(state_.Target.Axis[kAxisV].Method) == TMethodFamily::Step;
    // Interleaved so that a diagonal drag moves both axes together instead
    // of one after the other.
    if (hStep && vStep) {
        for (int n = 10; n >= 1; --n) {
            const float fraction = 1.0f / static_cast<float>(n);
            Step(kAxisV, fraction);
            Step(kAxisH, fraction);
        }
    } else if (hStep) {
        Step(kAxisH, 0.5f);
        Other(kAxisV);
        Step(kAxisH, 1.0f);
    } else if (vStep) {
        Step(kAxisV, 0.5f);
        Other(kAxisH);
        Step(kAxisV, 1.0f);
    } else {
        Other(kAxisH);
        Other(kAxisV);
    }
}

void ScrollMethods::Other(int axis) {
    switch (FamilyOf(state_.Target.Axis[axis].Method)) {
    case TMethodFamily::Position: PositionMethod(axis); break;
    case TMethodFamily::Wheel: WheelMethod(axis); break;
    case TMethodFamily::Step: Step(axis, 1.0f); break;
    }
}

// --- step family -------------------------------------------------------------

void ScrollMethods::Step(int axis, float fraction) {
    AxisState& a = state_.Target.Axis[axis];
    const std::int32_t w = RoundHalfEven(a.UnitWidth);
    if (w == 0) return;
    const float share = static_cast<float>(Remainder(axis)) * fraction;
    const std::int64_t n = Spend(RoundHalfEven(share / static_cast<float>(w)));
    if (n == 0 || Stopped()) return;

    const std::int32_t posBefore = a.AutoMethod ? BarPosition(a) : 0;
    switch (a.Method) {
    case TScrollMethod::scrollline:
    case TScrollMethod::editscroll:
        // At the end of the range Applied stays, so scrolling back resumes
        // as soon as the cursor returns to where the end was reached.
        if (!LineSteps(axis, n)) return;
        break;
    default:
        KeyPresses(axis, n);
        break;
    }
    if (Stopped()) return;
    if (a.AutoMethod && AutoFallback(axis, posBefore, n)) return;
    AddApplied(axis, n * w);
}

void ScrollMethods::KeyPresses(int axis, std::int64_t n) {
    const AxisState& a = state_.Target.Axis[axis];
    const std::uint8_t key = axis == kAxisH ? (n > 0 ? win::VK_LEFT : win::VK_RIGHT) : (n > 0 ? win::VK_UP : win::VK_DOWN);
    const std::int64_t count = n > 0 ? n : -n;
    if (a.Method == TScrollMethod::marrowkey) {
        const Hwnd target = state_.Target.TargetWindow;
        // Repeat count 1 with the context bit; the release adds the
        // previous-state and transition bits.
        for (std::int64_t i = 0; i < count; ++i) {
            if (!Send(target, win::WM_SYSKEYDOWN, key, AsLParam(win::MakeLong(1, 0x2000)))) return;
        }
        Send(target, win::WM_SYSKEYUP, key, AsLParam(win::MakeLong(1, 0xE000)));
        return;
    }
    const bool withControl = a.Method == TScrollMethod::carrowkey;
    if (withControl) desktop_.KeybdEvent(win::VK_CONTROL, 0, 0, 0);
    for (std::int64_t i = 0; i < count; ++i) desktop_.KeybdEvent(key, 0, 0, 0);
    desktop_.KeybdEvent(key, 0, win::KEYEVENTF_KEYUP, 0);
    if (withControl) desktop_.KeybdEvent(win::VK_CONTROL, 0, win::KEYEVENTF_KEYUP, 0);
}

bool ScrollMethods::LineSteps(int axis, std::int64_t n) {
    const AxisState& a = state_.Target.Axis[axis];
    const TSclDat& rule = *state_.Target.Rule;
    const Hwnd target = state_.Target.TargetWindow;
    const std::uint32_t code = n > 0 ? win::SB_LINEUP : win::SB_LINEDOWN;
    const std::uint32_t msg = axis == kAxisH ? win::WM_HSCROLL : win::WM_VSCROLL;
    const std::int64_t count = n > 0 ? n : -n;
    for (std::int64_t i = 0; i < count; ++i) {
        const BarReading bar = ReadBar(a);
        if (code == win::SB_LINEUP ? bar.AtStart() : bar.AtEnd()) return false;
        // An empty action code has nothing to run; skipping it spares the
        // hook pause that running actions involves.
        if (!rule.BeforeScroll.empty()) actions_.RunActions(rule.BeforeScroll);
        if (a.Method == TScrollMethod::editscroll) {
            Send(target, win::EM_SCROLL, code, 0);
        } else {
            // Only a scroll-bar control is named; a request about a window's
            // own bar carries none, as the system's own bars send it. Many
            // class libraries take a named bar for a control they do not
            // have and drop the request.
            const LParam bar = a.BarKind == win::SB_CTL ? static_cast<LParam>(a.BarWindow) : 0;
            if (Send(target, msg, win::MakeLong(static_cast<std::int32_t>(code), 0), bar)) {
                owedEnd_[axis] = OwedEnd{true, target, msg, bar};
                stepped_ = true;
            }
        }
        if (!rule.AfterScroll.empty()) actions_.RunActions(rule.AfterScroll);
        if (Stopped()) return false;
    }
    return true;
}

void ScrollMethods::EndLineBurst() {
    if (state_.Sending.TargetHung) {
        DropLineBurst();
        return;
    }
    for (OwedEnd& e : owedEnd_) {
        // A stopped call sends nothing more; the notice waits for the next.
        if (!e.owed || Stopped()) continue;
        e.owed = false;
        Send(e.target, e.msg, win::MakeLong(win::SB_ENDSCROLL, 0), e.bar);
    }
}

void ScrollMethods::DropLineBurst() {
    for (OwedEnd& e : owedEnd_) e.owed = false;
}

// --- position family ---------------------------------------------------------

void ScrollMethods::PositionMethod(int axis) {
    AxisState& a = state_.Target.Axis[axis];
    const float uw = a.UnitWidth;
    const std::int64_t c = uw == 0.0f ? 0 : RoundHalfEven(static_cast<float>(Remainder(axis)) / uw);
    if (c == 0 || Stopped()) return;

    // Without a readable bar there is no position to go to. Under auto that
    // is a method without effect: the next one in the chain is tried.
    const BarReading bar = ReadBar(a);
    if (!bar.readable) {
        if (a.AutoMethod) AutoFallback(axis, bar.pos, c);
        return;
    }
    if (bar.pos == -1 || bar.max == -1 || bar.min == -1) return;

    // The highest position is the one whose page still fits the range. A
    // bar without a page takes nMax itself, as the system's own clamp does.
    const std::int64_t page = std::max<std::uint32_t>(bar.page, 1);
    const std::int64_t highest = std::max<std::int64_t>(static_cast<std::int64_t>(bar.max) - page + 1, bar.min);
    std::int64_t pos = static_cast<std::int64_t>(bar.pos) - c;
    if (pos < bar.min) pos = bar.min;
    if (pos > highest) pos = highest;
    // Thumb positions travel in 16 bits.
    if (pos > 65535 || pos == bar.pos) return;
    if (Spend(1) == 0) return;

    const Hwnd target = state_.Target.TargetWindow;
    const std::uint32_t msg = axis == kAxisH ? win::WM_HSCROLL : win::WM_VSCROLL;
    const LParam control = a.BarKind == win::SB_CTL ? static_cast<LParam>(a.BarWindow) : 0;
    const std::int32_t newPos = static_cast<std::int32_t>(pos);
    switch (a.Method) {
    case TScrollMethod::scrolltrack:
        Send(target, msg, win::MakeLong(win::SB_THUMBTRACK, newPos), control);
        break;
    case TScrollMethod::scrollbarpos:
        Send(a.BarWindow, win::SBM_SETPOS, static_cast<WParam>(static_cast<std::intptr_t>(newPos)), 1);
        break;
    default:
        Send(target, msg, win::MakeLong(win::SB_THUMBPOSITION, newPos), control);
        break;
    }
    if (Stopped()) return;
    if (a.AutoMethod && AutoFallback(axis, bar.pos, c)) return;
    AddApplied(axis, RoundHalfEven(static_cast<float>(c) * uw));
}

// --- wheel family ------------------------------------------------------------

void ScrollMethods::WheelMethod(int axis) {
    AxisState& a = state_.Target.Axis[axis];
    const std::int64_t r = Remainder(axis);
    if (r == 0) return;
    const float uw = a.UnitWidth;
    // Kept within int32 so that its negation below cannot overflow.
    std::int64_t u = uw == 0.0f ? 0 : std::max(RoundAway(static_cast<float>(r) / uw), -INT_MAX);
    std::int64_t notch = 0;
    switch (a.AxisRule->ScrollStepUnit) {
    case TScrollStepUnit::dot:
        if (std::llabs(r) < a.MinStep) u = 0;
        break;
    case TScrollStepUnit::scroll:
        if (std::llabs(u) < a.MinStep) u = 0;
        break;
    case TScrollStepUnit::notch:
        // Whole notches only, toward zero; the pixels of the rest stay in
        // the remainder and count toward the next notch.
        notch = std::min<std::int64_t>(static_cast<std::int64_t>(std::max(a.MinStep, 1)) * kWheelDelta, 32767);
        u = u / notch * notch;
        break;
    }
    if (u == 0 || Stopped()) return;
    // The wheel in notches goes one message per notch: several toolkits
    // move by a fixed amount per message whatever its delta, and would fall
    // behind the cursor on a message carrying several.
    const bool perNotch =
        notch != 0 && (a.Method == TScrollMethod::mousewheel || a.Method == TScrollMethod::inputwheel);
    const std::int64_t messages = Spend(perNotch ? std::llabs(u) / notch : 1);
    if (messages == 0) return;
    if (perNotch) u = (u > 0 ? messages : -messages) * notch;
    // The delta of each wheel message or turn.
    const std::int32_t each = perNotch ? static_cast<std::int32_t>(u > 0 ? notch : -notch) : FitWheelDelta(u);

    std::int32_t posBefore = 0;
    if (a.AutoMethod) {
        const BarReading bar = ReadBar(a);
        if (u > 0 ? bar.AtStart() : bar.AtEnd()) return;
        posBefore = bar.pos;
    }

    std::int64_t counted = 0;
    switch (a.Method) {
    case TScrollMethod::mousewheelie6:
    case TScrollMethod::mousewheelie7: {
        // Both add half a pixel's worth of units to the message; the first
        // counts one unit less than it sent.
        const std::int64_t bias = RoundAway(0.5f / uw);
        const std::int32_t delta = FitWheelDelta(u > 0 ? u + bias : u - bias);
        SendWheel(delta);
        counted = a.Method == TScrollMethod::mousewheelie6 ? delta - Sign(delta) : delta;
        break;
    }
    case TScrollMethod::listviewscroll: {
        const std::int32_t by = static_cast<std::int32_t>(-u);
        const Hwnd target = state_.Target.TargetWindow;
        if (axis == kAxisH) {
            Send(target, win::LVM_SCROLL, static_cast<WParam>(static_cast<std::intptr_t>(by)), 0);
        } else {
            Send(target, win::LVM_SCROLL, 0, static_cast<LParam>(by));
        }
        counted = u;
        break;
    }
    case TScrollMethod::inputwheel: {
        // Real input has no target: it goes where the cursor is. Off the
        // target's top-level window it would turn another program's wheel:
        // nothing is turned, and that part of the drag is let go, as a
        // wheel turned elsewhere would be. A horizontal wheel turned right
        // moves the content left, so the horizontal axis sends the
        // opposite sign.
        if (!CursorOverTargetProgram()) {
            counted = u;
            break;
        }
        for (std::int64_t i = 0; i < messages; ++i) {
            desktop_.WheelInput(axis == kAxisH, axis == kAxisH ? -each : each);
            counted += each;
        }
        break;
    }
    default: {
        for (std::int64_t i = 0; i < messages && !Stopped(); ++i) {
            SendWheel(each);
            counted += each;
        }
        break;
    }
    }
    if (Stopped()) return;
    if (a.AutoMethod && AutoFallback(axis, posBefore, counted)) return;
    AddApplied(axis, Trunc(static_cast<float>(counted) * uw));
}

void ScrollMethods::SendWheel(std::int32_t delta) {
    const ScrollTarget& s = state_.Target;
    Point p = state_.Drag.DownPoint;
    if (s.Rule->CursorPos == TCursorPos::Current) {
        // Windows that route the wheel by its point must see one inside the
        // target, wherever the cursor has wandered during the drag.
        // An unreadable cursor leaves the press point.
        desktop_.GetCursorPos(p);
        p.x = std::max(s.TargetRect.left, std::min(p.x, s.TargetRect.right));
        p.y = std::max(s.TargetRect.top, std::min(p.y, s.TargetRect.bottom));
    }
    // The system passes a sent message's point on as it is: a program that
    // is not per-monitor aware, stretched on a scaled monitor, reads it in
    // its own coordinates.
    desktop_.PhysicalToLogicalPoint(s.TargetWindow, p);
    Send(s.TargetWindow, win::WM_MOUSEWHEEL, win::MakeLong(0, delta), AsLParam(win::MakeLong(p.x, p.y)));
}

bool ScrollMethods::CursorOverTargetProgram() {
    const Hwnd target = state_.Target.TargetWindow != kNoWindow ? state_.Target.TargetWindow
                                                                 : state_.Target.PointedWindow;
    Point c;
    return desktop_.GetCursorPos(c) &&
           TopLevelOf(desktop_, desktop_.WindowFromPoint(c)) == TopLevelOf(desktop_, target);
}

// --- auto --------------------------------------------------------------------

bool ScrollMethods::AutoFallback(int axis, std::int32_t posBefore, std::int64_t count) {
    AxisState& a = state_.Target.Axis[axis];
    if (a.Method == TScrollMethod::arrowkey || count == 0) return false;
    const std::int32_t posAfter = BarPosition(a);
    // A window without a readable bar shows no effect of any method. The
    // wheel is the one such windows understand almost always, and going on
    // would scroll them a second time by lines and keys in the same call:
    // the chain stops there.
    if (posAfter == INT_MIN && a.Method == TScrollMethod::mousewheel) {
        a.AutoMethod = false;
        return false;
    }
    if (posAfter != posBefore) {
        // The method works for this window: keep it for the rest of the drag.
        a.AutoMethod = false;
        return false;
    }
    const bool stepInScrolls = a.AxisRule->ScrollStepUnit == TScrollStepUnit::scroll;
    // No effect: retry the same remainder with the next method at once.
    switch (a.Method) {
    case TScrollMethod::scrollpos:
        a.Method = TScrollMethod::listviewscroll;
        WheelMethod(axis);
        break;
    case TScrollMethod::listviewscroll:
        // One wheel notch of 120 stands for one list-view unit.
        a.Method = TScrollMethod::mousewheel;
        a.UnitWidth /= static_cast<float>(kWheelDelta);
        if (stepInScrolls) a.MinStep = SaturateInt32(static_cast<std::int64_t>(a.AxisRule->ScrollStep) * kWheelDelta);
        WheelMethod(axis);
        break;
    case TScrollMethod::mousewheel:
        a.Method = TScrollMethod::scrollline;
        a.UnitWidth *= static_cast<float>(kWheelDelta);
        if (stepInScrolls) a.MinStep = a.AxisRule->ScrollStep;
        Step(axis, 1.0f);
        break;
    case TScrollMethod::scrollline:
        a.Method = TScrollMethod::arrowkey;
        Step(axis, 1.0f);
        break;
    default:
        return false;
    }
    return true;
}

}  // namespace flicko
