#include "host/BasicEngine.h"

#include <cmath>
#include <string>

#include "platform/WinConst.h"

namespace flicko {

namespace {

// Samples older than the tolerance no longer describe the current speed.
void DropOld(std::deque<TBasicEngine::Sample>&, Millis, Millis);

}  // namespace

TBasicEngine::TBasicEngine(Desktop& desktop, TRuleModel& model, TBasicEngineSettings settings, IHookLink& hook,
                           ITrayIcon& tray, IErrorReport& errors, IHookPause& pause, Hwnd mainWindow)
    : desktop_(desktop),
      model_(model),
      settings_(settings),
      mainWindow_(mainWindow),
      paths_(desktop, state_, model.RegexCache),
      actions_(desktop, state_, pause, this),
      events_(desktop, model, state_,
              DragNeighbours{&paths_, this, this, this, &actions_, this, &hook, &tray, &errors}) {}

std::uint32_t TBasicEngine::DispatchMouseEvent(std::uint32_t message) {
    return events_.DispatchMouseEvent(message);
}

void TBasicEngine::PrepareAxes() {
    ScrollTarget& s = state_.Target;
    const TAxSclDat* axes[2] = {&s.Rule->H, &s.Rule->V};
    for (int a = 0; a < 2; ++a) {
        AxisState& ax = s.Axis[a];
        ax = AxisState{};
        ax.Enabled = axes[a]->IsScroll;
        ax.AxisRule = axes[a];
        ax.Method = TScrollMethod::scrollline;
        ax.UnitWidth = axes[a]->ScrollWidth > 0 ? axes[a]->ScrollWidth : 1.0f;
        ax.BarKind = a == kAxisH ? win::SB_HORZ : win::SB_VERT;
    }
}

void TBasicEngine::ScrollToDelta() {
    ScrollTarget& s = state_.Target;
    DragState& d = state_.Drag;
    for (int a = 0; a < 2; ++a) {
        const AxisState& ax = s.Axis[a];
        if (!ax.Enabled) continue;
        // Whole lines of the offset not yet applied; a drag down (positive)
        // pulls the content down, that is, scrolls up.
        const auto lines = static_cast<std::int32_t>((d.LastDelta[a] - d.Applied[a]) / ax.UnitWidth);
        const std::uint32_t msg = a == kAxisH ? win::WM_HSCROLL : win::WM_VSCROLL;
        const std::uint32_t code = lines > 0 ? win::SB_LINEUP : win::SB_LINEDOWN;
        for (std::int32_t i = 0; i < std::abs(lines); ++i) desktop_.SendMessage(s.TargetWindow, msg, code, 0);
        d.Applied[a] += static_cast<std::int32_t>(std::lround(lines * ax.UnitWidth));
    }
}

namespace {
void DropOld(std::deque<TBasicEngine::Sample>& q, Millis now, Millis tolerance) {
    while (q.size() > 2 && now - q.front().time > tolerance) q.pop_front();
}
}  // namespace

void TBasicEngine::ResetVelocity(int axis, std::int32_t pos, Millis time) {
    samples_[axis].clear();
    samples_[axis].push_back({pos, time});
}

void TBasicEngine::SampleVelocity(int axis, std::int32_t pos, Millis time) {
    auto& q = samples_[axis];
    // Samples in the same millisecond add nothing to a speed.
    if (!q.empty() && q.back().time == time) {
        q.back().pos = pos;
    } else {
        q.push_back({pos, time});
    }
    DropOld(q, time, settings_.TTolerance);
}

float TBasicEngine::Velocity(int axis) const {
    const auto& q = samples_[axis];
    if (q.size() < 2) return 0.0f;
    const Millis dt = q.back().time - q.front().time;
    if (dt == 0 || dt > settings_.TTolerance) return 0.0f;
    return static_cast<float>(q.back().pos - q.front().pos) / static_cast<float>(dt);
}

void TBasicEngine::StartInertia() {
    for (int a = 0; a < 2; ++a) {
        glideVelocity_[a] = state_.Target.Axis[a].Enabled ? Velocity(a) : 0.0f;
        glideOffset_[a] = static_cast<float>(state_.Drag.LastDelta[a]);
    }
    glideLast_ = desktop_.TimeGetTime();
    stillTicks_ = 0;
    inertiaRunning_ = true;
    desktop_.PostMessage(mainWindow_, win::WM_NULL, 0, 0);
}

void TBasicEngine::InertiaTick() {
    if (!inertiaRunning_) return;
    const Hwnd target = state_.Target.TargetWindow;
    if (!desktop_.IsWindow(target)) {
        StopInertia();
        return;
    }
    const Millis now = desktop_.TimeGetTime();
    const auto dt = static_cast<float>(now - glideLast_);
    glideLast_ = now;
    ScrollInfo before[2];
    const std::int32_t appliedBefore[2] = {state_.Drag.Applied[0], state_.Drag.Applied[1]};
    for (int a = 0; a < 2; ++a) {
        desktop_.GetScrollInfo(target, state_.Target.Axis[a].BarKind, win::SIF_POS, before[a]);
        glideOffset_[a] += glideVelocity_[a] * dt;
        state_.Drag.LastDelta[a] = static_cast<std::int32_t>(glideOffset_[a]);
    }
    ScrollToDelta();
    // The glide ends where the content ends: lines were sent and no bar moved.
    bool sent = false;
    bool moved = false;
    for (int a = 0; a < 2; ++a) {
        if (state_.Drag.Applied[a] == appliedBefore[a]) continue;
        sent = true;
        ScrollInfo after;
        if (!desktop_.GetScrollInfo(target, state_.Target.Axis[a].BarKind, win::SIF_POS, after) ||
            after.nPos != before[a].nPos)
            moved = true;
    }
    if (sent) stillTicks_ = moved ? 0 : stillTicks_ + 1;
    if (stillTicks_ >= 3) StopInertia();
}

void TBasicEngine::StartCheckMouse() {
    checkRunning_ = true;
    desktop_.PostMessage(mainWindow_, win::WM_NULL, 0, 0);
}

void TBasicEngine::CheckMouseTick() {
    if (!state_.Drag.Pressed) {
        StopCheckMouse();
        return;
    }
    const Millis t = desktop_.TimeGetTime();
    const Point p = desktop_.GetCursorPos();
    if (desktop_.GetAsyncKeyState(win::VK_RBUTTON) < 0) {
        events_.MouseMove(p, t);
    } else if (!releaseSeen_) {
        releaseSeenTime_ = t;
        releaseSeen_ = true;
    } else if (t - releaseSeenTime_ >= 10) {
        events_.RightButtonUp(p, t);
    }
    if (!state_.Drag.Pressed) StopCheckMouse();
}

}  // namespace flicko
