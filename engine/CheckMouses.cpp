#include "engine/CheckMouses.h"

#include "platform/WinConst.h"

namespace flicko {

CheckMouses::CheckMouses(Desktop& desktop, const EngineState& state, MouseEvents& events, Hwnd residentWindow)
    : desktop_(desktop), state_(state), events_(events), resident_(residentWindow) {}

void CheckMouses::StartCheckMouse() {
    running_ = true;
    // A loop blocked in GetMessage would not notice the flag until the next
    // message; an empty message wakes it.
    desktop_.PostMessage(resident_, win::WM_NULL, 0, 0);
}

void CheckMouses::CheckMouseTick() {
    if (!state_.Drag.Pressed) {
        StopCheckMouse();
        return;
    }
    const Millis t = desktop_.TimeGetTime();
    Point p;
    // A cursor that cannot be read gives no sample this time.
    if (!desktop_.GetCursorPos(p)) return;
    // GetAsyncKeyState reads the physical buttons; with swapped buttons the
    // logical right button, the one the drag follows, is the physical left.
    const int vk = desktop_.GetSystemMetrics(win::SM_SWAPBUTTON) != 0 ? win::VK_LBUTTON : win::VK_RBUTTON;
    const bool down = (static_cast<std::uint16_t>(desktop_.GetAsyncKeyState(vk)) & 0x8000u) != 0;
    if (down) {
        events_.MouseMove(p, t);
    } else if (!releaseSeen_) {
        releaseSeenTime_ = t;
        releaseSeen_ = true;
    } else if (static_cast<Millis>(t - releaseSeenTime_) >= kReleaseGrace) {
        // Measured as an unsigned difference so the grace also ends across
        // the wrap of the 32-bit millisecond clock. The hook's own release,
        // when it comes later, finds this press's release handled.
        events_.EndPress(p, t);
    }
    if (!state_.Drag.Pressed) StopCheckMouse();
}

}  // namespace flicko
