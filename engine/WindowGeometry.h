// Window geometry and scroll-bar readers used by window paths and the scroll
// methods.
//
// The readers go through the Desktop seam and return fixed failure values, so
// callers can compare against them without a separate success flag.
#pragma once

#include <climits>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Desktop.h"

namespace flicko {

// Raised by ClientLen and PtToRt. Deliberately not an EFlError: these are
// programming faults (a bad axis) or a vanished window, not scroll-data errors.
class EWindowGeometryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// nMax and nMin of a bar; (INT_MIN, INT_MAX) when the bar cannot be read, so
// that every "Max >= x" and "Min <= x" comparison on a failed read is false.
struct TScrollRange {
    std::int32_t Max = INT_MIN;
    std::int32_t Min = INT_MAX;
    friend bool operator==(const TScrollRange&, const TScrollRange&) = default;
};

// Scroll-bar tests; bar kind is SB_HORZ, SB_VERT or SB_CTL.
bool ScrollPosOk(Desktop& desk, Hwnd window, int kind);    // nPos >= 0
bool ScrollRangeOk(Desktop& desk, Hwnd window, int kind);  // nMax >= 0
bool ScrollPageOk(Desktop& desk, Hwnd window, int kind);   // nPage > 0

std::int32_t ScrollPosition(Desktop& desk, Hwnd window, int kind);  // INT_MIN on failure
TScrollRange ScrollRangeOf(Desktop& desk, Hwnd window, int kind);
std::uint32_t ScrollPageOf(Desktop& desk, Hwnd window, int kind);  // 0 on failure

// Client width (axis 0) or height (axis 1). Raises EWindowGeometryError.
std::int32_t ClientLen(Desktop& desk, Hwnd window, int axis);
// Window width (0), height (1) or their sum (2); -1 on failure.
std::int32_t ScrollbarLen(Desktop& desk, Hwnd window, int axis);
// Distance from a screen point to the nearer client edge across the axis,
// negative outside the client area. Raises EWindowGeometryError.
std::int32_t PtToRt(Desktop& desk, Point screen, Hwnd window, int axis);

// The outermost window reached through parents that really contain it.
// Owners are not followed: GetParent of an owned top-level window yields its
// owner, which does not hold it as a child.
// The window's client area in screen coordinates, right and bottom inclusive.
// A window that cannot be measured gives an empty rectangle at the origin.
Rect ClientRectOnScreen(Desktop& desk, Hwnd window);
Hwnd TopLevelOf(Desktop& desk, Hwnd window);
std::string WindowTextOf(Desktop& desk, Hwnd window);
std::string ClassNameOf(Desktop& desk, Hwnd window);

}  // namespace flicko
