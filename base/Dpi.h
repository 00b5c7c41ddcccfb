// Lengths that follow a display's scale.
//
// A length written for the screen (a rule's width in dot, a control's size, a
// kept pane size) means pixels at 96 dpi, the scale Windows calls 100 %; on a
// display of another scale it covers dpi / 96 as many physical pixels, so a
// rule written for 16-pixel lines still moves one line per line of text.
#pragma once

#include <cstdint>

namespace flicko {

constexpr int kBaseDpi = 96;

// A DPI that can scale: anything not positive (a window that has gone, a
// system that cannot say) counts as the base.
constexpr int UsableDpi(int dpi) { return dpi > 0 ? dpi : kBaseDpi; }

// Whole pixels at dpi for a length at 96 dpi, and back; halves away from
// zero, as the system's MulDiv rounds.
constexpr std::int32_t ScaleToDpi(std::int32_t length, int dpi) {
    const std::int64_t p = static_cast<std::int64_t>(length) * UsableDpi(dpi);
    return static_cast<std::int32_t>(p >= 0 ? (p + kBaseDpi / 2) / kBaseDpi : -((-p + kBaseDpi / 2) / kBaseDpi));
}
constexpr std::int32_t ScaleFromDpi(std::int32_t pixels, int dpi) {
    const std::int64_t p = static_cast<std::int64_t>(pixels) * kBaseDpi;
    const std::int64_t d = UsableDpi(dpi);
    return static_cast<std::int32_t>(p >= 0 ? (p + d / 2) / d : -((-p + d / 2) / d));
}
// A length in pixels at one dpi, in pixels at another (a window that moved
// to a monitor of another scale).
constexpr std::int32_t RescaleDpi(std::int32_t pixels, int from, int to) {
    const std::int64_t p = static_cast<std::int64_t>(pixels) * UsableDpi(to);
    const std::int64_t d = UsableDpi(from);
    return static_cast<std::int32_t>(p >= 0 ? (p + d / 2) / d : -((-p + d / 2) / d));
}

// The factor a width in dot is multiplied by.
constexpr float DotScale(int dpi) { return static_cast<float>(UsableDpi(dpi)) / static_cast<float>(kBaseDpi); }

}  // namespace flicko
