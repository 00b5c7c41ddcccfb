// Plain value types shared by the core and the platform adapters.
// Nothing here depends on <windows.h>; the numeric layouts match Win32 so the
// adapter converts by copying fields.
#pragma once

#include <cstdint>

namespace flicko {

// A window handle as the core sees it. 0 is "no window".
using Hwnd = std::uintptr_t;
constexpr Hwnd kNoWindow = 0;

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    std::int32_t Width() const { return right - left; }
    std::int32_t Height() const { return bottom - top; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// The fields of SCROLLINFO that the engine reads.
struct ScrollInfo {
    std::int32_t nMin = 0;
    std::int32_t nMax = 0;
    std::uint32_t nPage = 0;
    std::int32_t nPos = 0;
    std::int32_t nTrackPos = 0;
};

// The dwExtraInfo of the input Flicko itself puts into the system's queue
// (the wheel of the inputwheel method): the hook passes such events on
// without asking the resident, which is busy sending them.
constexpr std::uintptr_t kOwnInputMark = 0x466C6B57u;  // "Flkw"

// Unsigned milliseconds of timeGetTime; differences are taken unsigned.
using Millis = std::uint32_t;

}  // namespace flicko
