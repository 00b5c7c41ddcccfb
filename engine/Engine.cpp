#include "engine/Engine.h"

#include <exception>

#include "platform/WinConst.h"

namespace flicko {

// One call into the engine from outside. The outermost one starts with a
// clean send state and, on its way out, ends a drag on a hung window and
// runs the releases that came in meanwhile.
class Engine::Call {
public:
    explicit Call(Engine& e) : e_(e) {
        if (e_.depth_++ == 0) {
            e_.state_.Sending.Stop = false;
            e_.state_.Sending.TargetHung = false;
        }
    }
    ~Call() {
        if (--e_.depth_ == 0) e_.AfterCall();
    }
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;

private:
    Engine& e_;
};

Engine::Engine(Desktop& desktop, TRuleModel& model, const TEngineSettings& settings, IHookPause& hookPause,
               Hwnd residentWindow)
    : desktop_(desktop),
      model_(model),
      settings_(settings),
      paths_(desktop, state_, model.RegexCache),
      velocity_(settings_),
      actions_(desktop, state_, hookPause, &scroll_),
      scroll_(desktop, state_, paths_, actions_),
      inertia_(desktop, state_, velocity_, scroll_, settings_, residentWindow),
      events_(desktop, model, state_,
              DragNeighbours{&paths_, &scroll_, &velocity_, &inertia_, &actions_, &checkMouse_, &settings_}),
      checkMouse_(desktop, state_, events_, residentWindow) {}

std::uint32_t Engine::DispatchMouseEvent(std::uint32_t message) {
    if (depth_ > 0) return NestedEvent(message);
    Call call(*this);
    const bool right = message == win::WM_RBUTTONDOWN || message == win::WM_RBUTTONUP ||
                       message == win::WM_NCRBUTTONUP || message == win::WM_RBUTTONDBLCLK;
    // A new press ends the last run of line steps before it starts its own.
    if (right && MouseEvents::IsPress(message)) scroll_.EndLineBurst();
    const std::uint32_t reply = events_.DispatchMouseEvent(message);
    // The release ends it too, also when a glide goes on from it.
    if (right && !MouseEvents::IsPress(message)) scroll_.EndLineBurst();
    return reply;
}

void Engine::PressGivenUp() {
    if (depth_ > 0) {
        NestedEvent(win::WM_NCRBUTTONDOWN);
        return;
    }
    Call call(*this);
    events_.PassThroughPress();
}

std::uint32_t Engine::NestedEvent(std::uint32_t message) {
    switch (message) {
    case win::WM_RBUTTONUP:
    case win::WM_NCRBUTTONUP: {
        // Answered now by the per-press rule; the release steps (actions,
        // glide) run when the outer call has returned.
        const std::uint32_t reply = state_.Drag.SwallowRelease ? kReplySwallow : 0;
        state_.Drag.SwallowRelease = false;
        deferredReleases_.push_back(desktop_.TimeGetTime());
        return reply;
    }
    case win::WM_LBUTTONUP:
    case win::WM_MBUTTONUP:
    case win::WM_NCLBUTTONUP:
    case win::WM_NCMBUTTONUP:
        return events_.OtherButtonUp(desktop_.TimeGetTime());
    default:
        break;
    }
    if (!MouseEvents::IsPress(message)) return 0;  // moves: the next one reads the cursor anew
    // The press is already on its way to its window. It stops a glide at
    // once (the outer call may be that glide's tick); a right press also
    // ends the drag state, since its window sees it and will see its release.
    const bool right = message == win::WM_RBUTTONDOWN || message == win::WM_NCRBUTTONDOWN ||
                       message == win::WM_RBUTTONDBLCLK;
    if (inertia_.InertiaRunning() || right) state_.Sending.Stop = true;
    if (right) {
        events_.PassThroughPress();
    } else {
        events_.StopGlide();
    }
    return 0;
}

void Engine::AfterCall() {
    if (state_.Sending.TargetHung) {
        scroll_.DropLineBurst();
        events_.EndForHungTarget();
    }
    RunDeferredReleases();
    // Nothing scrolls any more (the drag ended without a glide, or the glide
    // ended): the run of line steps is over. In a call of its own, so that a
    // hook message that comes in while it waits is answered as nested.
    const bool dragging = state_.Drag.Pressed && state_.Target.IsScroll;
    if (scroll_.OwesLineEnd() && !dragging && !inertia_.InertiaRunning()) {
        Call call(*this);
        scroll_.EndLineBurst();
    }
}

void Engine::RunDeferredReleases() {
    while (!deferredReleases_.empty()) {
        const Millis t = deferredReleases_.front();
        deferredReleases_.erase(deferredReleases_.begin());
        Call call(*this);
        try {
            Point p{state_.Drag.DownPoint.x + state_.Drag.LastDelta[0],
                    state_.Drag.DownPoint.y + state_.Drag.LastDelta[1]};
            desktop_.GetCursorPos(p);
            events_.EndPress(p, t);
        } catch (const std::exception& e) {
            state_.Reports.Errors.push_back(TEngineError{state_.Target.PointedWindow, e.what()});
        }
    }
}

void Engine::InertiaTick() {
    Call call(*this);
    try {
        inertia_.InertiaTick();
    } catch (const std::exception& e) {
        inertia_.StopInertia();
        state_.Reports.Errors.push_back(TEngineError{kNoWindow, e.what()});
    }
    // A glide that ended by itself shows the resting picture.
    if (!inertia_.InertiaRunning()) state_.Reports.TrayPicture = TB_ENABLE;
}

void Engine::CheckMouseTick() {
    Call call(*this);
    try {
        checkMouse_.CheckMouseTick();
    } catch (const std::exception& e) {
        checkMouse_.StopCheckMouse();
        state_.Reports.Errors.push_back(TEngineError{kNoWindow, e.what()});
    }
    // A whole tick interval without a line step is a pause in the drag.
    if (!scroll_.TakeSteppedSinceLastAsked()) scroll_.EndLineBurst();
}

void Engine::ApplySettings(const TEngineSettings& settings) {
    settings_ = settings;
    velocity_.ApplySettings(settings_);
}

void Engine::ReleaseRules() {
    if (scroll_.OwesLineEnd()) {
        Call call(*this);
        scroll_.EndLineBurst();
    }
    inertia_.StopInertia();
    checkMouse_.StopCheckMouse();
    DragState& d = state_.Drag;
    d.Pressed = false;
    d.ReleaseHandled = true;
    ScrollTarget& s = state_.Target;
    s.Rule = nullptr;
    s.IsScroll = false;
    s.InertiaGoing = false;
    for (AxisState& a : s.Axis) a.AxisRule = nullptr;
    state_.Reports.Moves = false;
    state_.Reports.TrayPicture = TB_ENABLE;
    deferredReleases_.clear();
    model_.KnowWindows.Clear();
    errorsShown_.clear();
}

std::vector<std::string> Engine::TakeErrors() {
    std::vector<std::string> out;
    for (TEngineError& e : state_.Reports.Errors) {
        if (errorsShown_.insert({e.Window, e.Text}).second) out.push_back(std::move(e.Text));
    }
    state_.Reports.Errors.clear();
    return out;
}

}  // namespace flicko
