// The engine's tunables as the settings reader hands them over: already in
// the units the engine works with (pixels, milliseconds, pixels per ms).
#pragma once

#include <cstdint>

namespace flicko {

struct TEngineSettings {
    // Speed, in pixels per millisecond, that either axis must reach at the
    // release for the content to glide on.
    float InertiaMin = 1.0f;
    // Width in time of the velocity trackers' tolerance band.
    std::int32_t TTolerance = 100;
    // Width in pixels of the band, horizontal and vertical tracker.
    std::int32_t XTolerance = 2;
    std::int32_t YTolerance = 2;
    // Sleep of the main loop after each glide tick.
    std::int32_t InertiaInterval = 10;
    // Period of the physical button poll during a drag.
    std::int32_t CheckMouseInterval = 10;
    // A right press passes untouched while a program confines the cursor
    // to a rectangle or hides it, as games do while they are played.
    bool LeaveConfinedCursor = true;
    // A right press with this key held (a virtual-key code; 0 for none)
    // passes to its window untouched with its drag: for programs that need
    // their right drag. Ctrl, which does nothing held alone.
    std::int32_t PassKey = 0x11;
};

}  // namespace flicko
