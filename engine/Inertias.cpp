#include "engine/Inertias.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <limits>

#include "base/Rounding.h"
#include "engine/WindowGeometry.h"
#include "platform/WinConst.h"

namespace flicko {

namespace {

std::int32_t SaturatedSum(std::int32_t a, std::int32_t b) {
    const std::int64_t sum = static_cast<std::int64_t>(a) + b;
    if (sum > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (sum < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(sum);
}

}  // namespace

Inertias::Inertias(Desktop& desktop, EngineState& state, IVelocity& velocity, IScrollMethods& scroll,
                   const TEngineSettings& settings, Hwnd residentWindow)
    : desktop_(desktop),
      state_(state),
      velocity_(velocity),
      scroll_(scroll),
      settings_(settings),
      residentWindow_(residentWindow) {}

void Inertias::StartInertia() {
    running_ = true;
    lastTick_ = state_.Drag.UpTime;
    desktop_.PostMessage(residentWindow_, win::WM_NULL, 0, 0);
}

void Inertias::InertiaTick() {
    DragState& d = state_.Drag;
    // A press that arrived between two ticks has taken over the window.
    if (d.Pressed) {
        StopInertia();
        return;
    }
    const ScrollTarget& s = state_.Target;
    if (!desktop_.IsWindow(s.TargetWindow)) {
        StopInertia();
        return;
    }
    const Millis now = desktop_.TimeGetTime();
    const Millis interval = static_cast<Millis>(settings_.InertiaInterval > 0 ? settings_.InertiaInterval : 1);
    const Millis gap = now - lastTick_;
    const Millis stall = std::max(kStallIntervals * interval, kStallFloor);
    // The stall is left out of the glide's time: it resumes one interval on.
    if (gap > stall) d.UpTime += gap - interval;
    lastTick_ = now;

    const Millis elapsed = now - d.UpTime;
    // The product in extended precision, so a tie in the rounding is decided
    // on the exact product and not on one already rounded to a float.
    const long double e = elapsed;
    const std::int32_t dragged[2] = {d.UpPoint.x - d.DownPoint.x, d.UpPoint.y - d.DownPoint.y};
    for (int axis = 0; axis < 2; ++axis) {
        const std::int32_t glide = RoundHalfEven(e * static_cast<long double>(velocity_.Velocity(axis)));
        d.LastDelta[axis] = SaturatedSum(glide, dragged[axis]);
    }
    if (AllMovingAxesAtTheirEnd()) {
        StopInertia();
        return;
    }
    const Millis before = desktop_.TimeGetTime();
    scroll_.ScrollToDelta();
    // Owed to the next tick, the time a slow target took would grow every
    // tick up to the cap, and the loop would see input only between them.
    const Millis busy = desktop_.TimeGetTime() - before;
    if (busy > interval) d.UpTime += busy - interval;
}

bool Inertias::AllMovingAxesAtTheirEnd() {
    bool moving = false;
    for (int axis = 0; axis < 2; ++axis) {
        const AxisState& a = state_.Target.Axis[axis];
        const float v = velocity_.Velocity(axis);
        if (!a.Enabled || v == 0.0f) continue;
        moving = true;
        const std::int32_t pos = ScrollPosition(desktop_, a.BarWindow, a.BarKind);
        const TScrollRange range = ScrollRangeOf(desktop_, a.BarWindow, a.BarKind);
        // Without a bar the end cannot be seen; the glide goes on.
        if (pos == INT_MIN || range == TScrollRange{}) return false;
        // A cursor moving right or down scrolls toward the start.
        const bool atEnd = v > 0.0f ? range.Min >= pos
                                    : static_cast<std::int64_t>(pos) + ScrollPageOf(desktop_, a.BarWindow, a.BarKind) >=
                                          static_cast<std::int64_t>(range.Max) + 1;
        if (!atEnd) return false;
    }
    return moving;
}

}  // namespace flicko
