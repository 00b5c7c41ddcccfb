#include "engine/MouseEvents.h"

#include <cmath>
#include <cstdlib>
#include <exception>
#include <string>

#include "engine/PressGate.h"
#include "engine/WindowGeometry.h"
#include "platform/WinConst.h"

namespace flicko {

MouseEvents::MouseEvents(Desktop& desktop, TRuleModel& model, EngineState& state, DragNeighbours n)
    : desktop_(desktop), model_(model), state_(state), n_(n) {}

bool MouseEvents::IsPress(std::uint32_t message) {
    switch (message) {
    case win::WM_LBUTTONDOWN:
    case win::WM_RBUTTONDOWN:
    case win::WM_MBUTTONDOWN:
    case win::WM_LBUTTONDBLCLK:
    case win::WM_RBUTTONDBLCLK:
    case win::WM_MBUTTONDBLCLK:
    case win::WM_NCLBUTTONDOWN:
    case win::WM_NCRBUTTONDOWN:
    case win::WM_NCMBUTTONDOWN:
        return true;
    default:
        return false;
    }
}

std::uint32_t MouseEvents::DispatchMouseEvent(std::uint32_t message) {
    const bool swallowsRelease = state_.Drag.SwallowRelease;
    const Millis t = desktop_.TimeGetTime();
    Point p;
    // A cursor that cannot be read is no sample: a move is dropped, a press
    // passes through, a release ends where the drag last was.
    const bool havePoint = desktop_.GetCursorPos(p);
    try {
        switch (message) {
        case win::WM_RBUTTONDOWN:
            return havePoint ? RightButtonDown(p, t) : PassThroughPress();
        case win::WM_RBUTTONDBLCLK:
            return RightDoubleClick(t);
        case win::WM_NCRBUTTONDOWN:
            return PassThroughPress();
        case win::WM_RBUTTONUP:
        case win::WM_NCRBUTTONUP:
            return RightButtonUp(havePoint ? p : LastPoint(), t);
        case win::WM_MOUSEMOVE:
        case win::WM_NCMOUSEMOVE:
            return havePoint ? MouseMove(p, t) : 0;
        case win::WM_LBUTTONUP:
        case win::WM_MBUTTONUP:
        case win::WM_NCLBUTTONUP:
        case win::WM_NCMBUTTONUP:
            return OtherButtonUp(t);
        default:
            // Every other press ends a glide; nothing else is done with it.
            return IsPress(message) ? OtherButtonDown() : 0;
        }
    } catch (const std::exception& e) {
        // Nothing may cross the window procedure into the hooked thread. A
        // press that fails while it is prepared is given back to its window
        // untouched; its release then passes too.
        std::uint32_t reply = 0;
        if (message == win::WM_RBUTTONDOWN) {
            EndPressAsPassThrough();
        } else if (message == win::WM_RBUTTONUP || message == win::WM_NCRBUTTONUP) {
            reply = swallowsRelease ? kReplySwallow : 0;
        }
        ReportError(e.what());
        return reply;
    }
}

void MouseEvents::ReportError(const char* text) {
    state_.Reports.Errors.push_back(TEngineError{state_.Target.PointedWindow, text});
}

Point MouseEvents::LastPoint() const {
    const DragState& d = state_.Drag;
    return Point{d.DownPoint.x + d.LastDelta[0], d.DownPoint.y + d.LastDelta[1]};
}

void MouseEvents::EndPressAsPassThrough() {
    state_.Drag.PassThrough = true;
    state_.Drag.SwallowRelease = false;
    AbandonPress();
    state_.Target.IsScroll = false;
    state_.Target.InertiaGoing = false;
}

void MouseEvents::AbandonPress() {
    DragState& d = state_.Drag;
    d.Pressed = false;
    d.ReleaseHandled = true;
    n_.checkMouse->StopCheckMouse();
    state_.Reports.Moves = false;
}

void MouseEvents::StopGlide() {
    if (!n_.inertia->InertiaRunning()) return;
    n_.inertia->StopInertia();
    state_.Target.InertiaGoing = false;
    SetPicture(TB_ENABLE);
}

std::uint32_t MouseEvents::PassThroughPress() {
    StopGlide();
    EndPressAsPassThrough();
    SetPicture(TB_ENABLE);
    return 0;
}

void MouseEvents::EndForHungTarget() {
    StopGlide();
    if (!state_.Drag.ReleaseHandled) AbandonPress();
    state_.Target.IsScroll = false;
    state_.Target.InertiaGoing = false;
    SetPicture(TB_ENABLE);
}

bool MouseEvents::PressesRightButton(std::string_view code) {
    for (std::size_t i = 0; i + 1 < code.size(); i += 2) {
        if ((code[i] == 'M' || code[i] == '-') && code[i + 1] == 2) return true;
    }
    return false;
}

std::uint32_t MouseEvents::RightDoubleClick(Millis t) {
    DragState& d = state_.Drag;
    // The system pairs presses before the hook sees them, so the press it
    // swallowed still counts as a first click: the click given back at once
    // arrives as a double click. A double click ends the system's pairing,
    // so the same click given again arrives as a plain press.
    const bool givenBack = d.ClickGivenBack && t <= d.LastButtonUpTime + desktop_.GetDoubleClickTime();
    d.ClickGivenBack = false;
    d.GiveBackAgain = false;
    if (!givenBack || !state_.Target.Rule) return PassThroughPress();
    d.GiveBackAgain = true;
    d.SwallowRelease = true;
    return kReplySwallow;
}

std::uint32_t MouseEvents::RightButtonDown(Point p, Millis t) {
    DragState& d = state_.Drag;
    ScrollTarget& s = state_.Target;
    d.ClickGivenBack = false;
    d.GiveBackAgain = false;

    const Hwnd w = desktop_.WindowFromPoint(p);
    // A press whose release never came (the hook lost it) ends here.
    if (!d.ReleaseHandled) AbandonPress();
    s.IsScroll = false;
    d.PassThrough = true;
    d.SwallowRelease = false;

    if (n_.inertia->InertiaRunning()) {
        d.InterruptedInertia = (w == s.PointedWindow);
        n_.inertia->StopInertia();
        SetPicture(TB_ENABLE);
    } else {
        d.InterruptedInertia = false;
    }

    // Double-click guard. The sum wraps like the system's 32-bit tick count.
    const Millis guardEnd = d.LastButtonUpTime + desktop_.GetDoubleClickTime();
    if (t <= guardEnd && !d.InterruptedInertia) return 0;

    d.DownPoint = p;
    d.Pressed = true;
    d.ReleaseHandled = false;
    d.LastDelta[0] = d.LastDelta[1] = 0;
    d.Applied[0] = d.Applied[1] = 0;
    d.HalfDoubleClick[0] = desktop_.GetSystemMetrics(win::SM_CXDOUBLECLK) / 2;
    d.HalfDoubleClick[1] = desktop_.GetSystemMetrics(win::SM_CYDOUBLECLK) / 2;
    d.Moved = false;

    n_.velocity->ResetVelocity(kAxisH, p.x, t);
    n_.velocity->ResetVelocity(kAxisV, p.y, t);

    s.PointedWindow = w;

    std::uint32_t reply = 0;
    const TKnowWindow& entry = model_.ChooseRule(w, *n_.paths);
    s.Rule = entry.SclDat;
    // Asked per press, not cached with the window: a game confines the
    // cursor only while it is played.
    s.IsScroll = entry.IsScroll &&
                 WhyPressLeftAlone(desktop_, n_.settings ? *n_.settings : TEngineSettings{}, w, *s.Rule) ==
                     TLeaveReason::None;
    if (s.IsScroll) {
        reply = kReplySwallow;
        if (s.Rule->SetCaret) reply |= kReplyCaret;
        if (s.Rule->SetCapture) reply |= kReplyCapture;
        // The window's own look-ups serve its SendTo and scroll-bar paths.
        TProcessNamesScope processes(*n_.paths, entry.Processes);
        s.TargetWindow = n_.paths->ResolveWindowPath(w, s.Rule->SendTo, *s.Rule);
        n_.scroll->PrepareAxes();
    } else {
        d.PassThrough = true;
    }

    s.InertiaGoing = false;

    if (s.IsScroll) {
        // A target that cannot be measured leaves an empty rectangle at the
        // origin; the wheel point is then clamped onto it.
        s.TargetRect = ClientRectOnScreen(desktop_, s.TargetWindow);
        d.PassThrough = false;
        // Decided before the actions run: a release that arrives while they
        // wait on a window belongs to this swallowed press.
        d.SwallowRelease = true;
        RunRuleActions(s.Rule->ButtonDown);
        // A later press that came in meanwhile has ended this one.
        if (!d.Pressed || !s.IsScroll) return reply;
        state_.Reports.Moves = true;
        n_.checkMouse->StartCheckMouse();
    }
    return reply;
}

void MouseEvents::MaskDisabledAxes(Point& p) const {
    if (!state_.Target.Axis[kAxisH].Enabled) p.x = state_.Drag.DownPoint.x;
    if (!state_.Target.Axis[kAxisV].Enabled) p.y = state_.Drag.DownPoint.y;
}

void MouseEvents::SampleEnabledAxes(Point p, Millis t) {
    if (state_.Target.Axis[kAxisH].Enabled) n_.velocity->SampleVelocity(kAxisH, p.x, t);
    if (state_.Target.Axis[kAxisV].Enabled) n_.velocity->SampleVelocity(kAxisV, p.y, t);
}

bool MouseEvents::VelocityReachesInertiaMin() const {
    const float min = n_.velocity->InertiaMin();
    return std::fabs(n_.velocity->Velocity(kAxisH)) >= min || std::fabs(n_.velocity->Velocity(kAxisV)) >= min;
}

std::uint32_t MouseEvents::MouseMove(Point p, Millis t) {
    DragState& d = state_.Drag;
    ScrollTarget& s = state_.Target;
    if (!d.Pressed || !s.IsScroll) return 0;

    MaskDisabledAxes(p);
    SampleEnabledAxes(p, t);
    s.InertiaGoing = VelocityReachesInertiaMin();
    SetPicture(s.InertiaGoing ? TB_SCROLL : TB_ENABLE);

    const std::int32_t dx = p.x - d.DownPoint.x;
    const std::int32_t dy = p.y - d.DownPoint.y;
    if (dx == d.LastDelta[0] && dy == d.LastDelta[1]) return 0;
    d.LastDelta[0] = dx;
    d.LastDelta[1] = dy;

    // Strictly beyond half the double-click rectangle counts as moved; it
    // only chooses the release actions, scrolling starts at once.
    if (!d.Moved && (std::abs(dx) > d.HalfDoubleClick[0] || std::abs(dy) > d.HalfDoubleClick[1])) d.Moved = true;

    // Moves that come meanwhile wait for the scroll to finish; the tracker
    // must not take that wait for the cursor slowing down.
    const Millis before = desktop_.TimeGetTime();
    n_.scroll->ScrollToDelta();
    n_.velocity->AddScrollTime(desktop_.TimeGetTime() - before);
    return 0;
}

std::uint32_t MouseEvents::RightButtonUp(Point p, Millis t) {
    // One swallowed release per swallowed press.
    DragState& d = state_.Drag;
    const std::uint32_t reply = d.SwallowRelease ? kReplySwallow : 0;
    d.SwallowRelease = false;
    if (d.GiveBackAgain) {
        d.GiveBackAgain = false;
        d.LastButtonUpTime = t;
        // Only the click the pair took is given again: the rule's other
        // release actions (keys, further clicks) already ran once.
        n_.actions->RunActions(kDefaultButtonUpNoScrolled);
        return reply;
    }
    EndPress(p, t);
    return reply;
}

void MouseEvents::EndPress(Point p, Millis t) {
    DragState& d = state_.Drag;
    ScrollTarget& s = state_.Target;

    d.LastButtonUpTime = t;
    if (d.ReleaseHandled) return;
    d.ReleaseHandled = true;
    d.Pressed = false;
    n_.checkMouse->ClearReleaseSeen();
    n_.checkMouse->StopCheckMouse();
    state_.Reports.Moves = false;

    MaskDisabledAxes(p);
    SampleEnabledAxes(p, t);
    s.InertiaGoing = VelocityReachesInertiaMin();

    d.UpPoint = p;
    d.UpTime = t;

    if (s.IsScroll) {
        if (d.Moved || d.InterruptedInertia) {
            RunRuleActions(s.Rule->ButtonUpScrolled);
        } else {
            RunRuleActions(s.Rule->ButtonUpNoScrolled);
            d.ClickGivenBack = PressesRightButton(s.Rule->ButtonUpNoScrolled);
        }
        if (s.Rule->IsInertia && s.InertiaGoing) {
            n_.inertia->StartInertia();
        } else {
            SetPicture(TB_ENABLE);
        }
    }
}

void MouseEvents::RunRuleActions(const std::string& code) {
    // Running actions takes the hook out for their while. An empty list has
    // nothing to run, and the application's next input (the release of a
    // press already answered) must not slip past a hook that is out.
    if (!code.empty()) n_.actions->RunActions(code);
}

std::uint32_t MouseEvents::OtherButtonDown() {
    n_.inertia->StopInertia();
    state_.Target.InertiaGoing = false;
    SetPicture(TB_ENABLE);
    return 0;
}

std::uint32_t MouseEvents::OtherButtonUp(Millis t) {
    state_.Drag.LastButtonUpTime = t;
    return 0;
}

}  // namespace flicko
