#include "engine/Inertias.h"

#include <cstdint>
#include <limits>

#include "base/Rounding.h"
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
                   Hwnd residentWindow)
    : desktop_(desktop), state_(state), velocity_(velocity), scroll_(scroll), residentWindow_(residentWindow) {}

void Inertias::StartInertia() {
    running_ = true;
    desktop_.PostMessage(residentWindow_, win::WM_NULL, 0, 0);
}

void Inertias::InertiaTick() {
    DragState& d = state_.Drag;
    // A press that arrived between two ticks has taken over the window.
    if (d.Pressed) {
        StopInertia();
        return;
    }
    const Millis elapsed = desktop_.TimeGetTime() - d.UpTime;
    // The product in extended precision, so a tie in the rounding is decided
    // on the exact product and not on one already rounded to a float.
    const long double e = elapsed;
    const std::int32_t dragged[2] = {d.UpPoint.x - d.DownPoint.x, d.UpPoint.y - d.DownPoint.y};
    for (int axis = 0; axis < 2; ++axis) {
        const std::int32_t glide = RoundHalfEven(e * static_cast<long double>(velocity_.Velocity(axis)));
        d.LastDelta[axis] = SaturatedSum(glide, dragged[axis]);
    }
    scroll_.ScrollToDelta();
}

}  // namespace flicko
