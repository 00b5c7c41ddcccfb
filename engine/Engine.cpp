#include "engine/Engine.h"

#include <exception>
#include <optional>
#include <utility>

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
    const bool move = message == win::WM_MOUSEMOVE || message == win::WM_NCMOUSEMOVE;
    // A notice still owed from the last press or release goes before the
    // first line step of a new run.
    if (move) SendAfterReply();
    // Nothing is sent to the last target before the reply: the hooked
    // thread waits for it, and a target slow over its notice would make the
    // hook give up on a press that the engine then takes for swallowed. A
    // new press ends the last run of line steps, and so does the release,
    // also when a glide goes on from it: the notice goes after the reply.
    replyPending_ = !move;
    const bool right = message == win::WM_RBUTTONDOWN || message == win::WM_RBUTTONUP ||
                       message == win::WM_NCRBUTTONUP || message == win::WM_RBUTTONDBLCLK;
    if (right && scroll_.OwesLineEnd()) endLinesAfterReply_ = true;
    std::uint32_t reply = 0;
    {
        Call call(*this);
        reply = events_.DispatchMouseEvent(message);
    }
    replyPending_ = false;
    return reply;
}

void Engine::SendAfterReply() {
    if (depth_ > 0 || !endLinesAfterReply_) return;
    endLinesAfterReply_ = false;
    Call call(*this);
    scroll_.EndLineBurst();
}

void Engine::PressGivenUp() {
    if (depth_ > 0) {
        NestedEvent(win::WM_NCRBUTTONDOWN);
        return;
    }
    replyPending_ = true;
    {
        Call call(*this);
        events_.PassThroughPress();
    }
    replyPending_ = false;
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
    if (message == win::WM_MOUSEMOVE || message == win::WM_NCMOUSEMOVE) {
        // Taken up as soon as the outer call has returned: left to the next
        // move or button check, the drag would stand still for up to one
        // check interval (the outer call is often that check's end-of-lines
        // notice, at every short pause of the cursor).
        moveDeferred_ = true;
        return 0;
    }
    if (!MouseEvents::IsPress(message)) return 0;
    if (message == win::WM_RBUTTONDOWN) {
        const std::uint32_t reply = StopGlideForADrag();
        if (reply != 0) return reply;
    }
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

std::uint32_t Engine::StopGlideForADrag() {
    // A right press on the gliding window starts a drag also while the glide
    // tick waits on that window: answered now from the glide's rule, the
    // glide stopped at once, the drag set up once the tick has returned.
    // Passing it would give the window the click that only meant to stop.
    const ScrollTarget& s = state_.Target;
    Point p;
    if (!inertia_.InertiaRunning() || !s.Rule || !s.IsScroll || !desktop_.GetCursorPos(p) ||
        desktop_.WindowFromPoint(p) != s.PointedWindow) {
        return 0;
    }
    state_.Sending.Stop = true;
    if (scroll_.OwesLineEnd()) endLinesAfterReply_ = true;
    deferredPress_ = DeferredPress{p, desktop_.TimeGetTime()};
    state_.Drag.SwallowRelease = true;
    std::uint32_t reply = kReplySwallow;
    if (s.Rule->SetCaret) reply |= kReplyCaret;
    if (s.Rule->SetCapture) reply |= kReplyCapture;
    return reply;
}

void Engine::RunDeferredPress() {
    const std::optional<DeferredPress> press = std::exchange(deferredPress_, std::nullopt);
    if (!press) return;
    const bool released = !deferredReleases_.empty();
    Call call(*this);
    try {
        // The glide still runs, so the press counts as stopping it.
        events_.RightButtonDown(press->p, press->t);
    } catch (const std::exception& e) {
        state_.Reports.Errors.push_back(TEngineError{state_.Target.PointedWindow, e.what()});
    }
    // The hook swallowed it whatever the set-up found; a release that came
    // in meanwhile already had its answer.
    state_.Drag.SwallowRelease = !released;
}

void Engine::AfterCall() {
    if (state_.Sending.TargetHung) {
        scroll_.DropLineBurst();
        events_.EndForHungTarget();
        endLinesAfterReply_ = false;
    }
    RunDeferredPress();
    RunDeferredMove();
    RunDeferredReleases();
    // Nothing scrolls any more (the drag ended without a glide, or the glide
    // ended): the run of line steps is over. In a call of its own, so that a
    // hook message that comes in while it waits is answered as nested; after
    // the reply when a hook message waits for one.
    const bool dragging = state_.Drag.Pressed && state_.Target.IsScroll;
    const bool over = scroll_.OwesLineEnd() && !dragging && !inertia_.InertiaRunning();
    if (replyPending_) {
        if (over) endLinesAfterReply_ = true;
    } else if (over) {
        Call call(*this);
        scroll_.EndLineBurst();
    }
}

void Engine::RunDeferredMove() {
    if (!std::exchange(moveDeferred_, false)) return;
    Point p;
    if (!state_.Drag.Pressed || !desktop_.GetCursorPos(p)) return;
    Call call(*this);
    try {
        events_.MouseMove(p, desktop_.TimeGetTime());
    } catch (const std::exception& e) {
        state_.Reports.Errors.push_back(TEngineError{state_.Target.PointedWindow, e.what()});
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
    SendAfterReply();
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
    SendAfterReply();
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
    endLinesAfterReply_ = false;
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
    deferredPress_.reset();
    moveDeferred_ = false;
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
