#include "host/core/IdlePass.h"

#include <algorithm>

namespace flicko {

bool TIdlePass::Due(Cadence& c, bool running, Millis now) {
    if (!running) {
        c.running = false;
        return false;
    }
    if (!c.running) {
        c.running = true;
        c.due = now;
    }
    // Unsigned difference: the clock wraps after 49.7 days.
    return static_cast<std::int32_t>(now - c.due) >= 0;
}

Millis TIdlePass::Remaining(const Cadence& c, Millis now) {
    const auto left = static_cast<std::int32_t>(c.due - now);
    return left > 0 ? static_cast<Millis>(left) : 0;
}

std::optional<Millis> TIdlePass::Run(Millis now) {
    if (Due(check_, ticks_.CheckMouseRunning(), now)) {
        ticks_.CheckMouseTick();
        check_.due = now + ticks_.CheckMouseInterval();
    }
    if (Due(inertia_, ticks_.InertiaRunning(), now)) {
        ticks_.InertiaTick();
        inertia_.due = now + ticks_.InertiaInterval();
    }
    // A tick may have stopped its own run or the other one.
    const bool check = ticks_.CheckMouseRunning();
    const bool inertia = ticks_.InertiaRunning();
    if (!check) check_.running = false;
    if (!inertia) inertia_.running = false;
    if (!check && !inertia) return std::nullopt;
    Millis wait = UINT32_MAX;
    if (check) wait = std::min(wait, Remaining(check_, now));
    if (inertia) wait = std::min(wait, Remaining(inertia_, now));
    return wait;
}

}  // namespace flicko
