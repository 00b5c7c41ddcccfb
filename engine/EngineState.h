// The engine's run-time state of the current press and drag. One instance
// lives in each engine object; the drag tracker, the scroll methods, inertia
// and the button check all work on it.
#pragma once

#include <cstdint>

#include "platform/Types.h"
#include "rules/SclDats.h"

namespace flicko {

// Axis index 0 is horizontal, 1 vertical.
constexpr int kAxisH = 0;
constexpr int kAxisV = 1;

// Per-axis scroll state, prepared at every press that starts a scrolling drag.
struct AxisState {
    bool Enabled = false;
    Hwnd BarWindow = kNoWindow;
    std::int32_t BarKind = 0;  // SB_HORZ, SB_VERT or SB_CTL
    TScrollMethod Method = TScrollMethod::arrowkey;
    bool AutoMethod = false;
    float UnitWidth = 0.0f;
    std::int32_t MinStep = 0;
    const TAxSclDat* AxisRule = nullptr;
};

// The current right-button press.
struct DragState {
    Point DownPoint;
    bool Pressed = false;
    // True while no press is tracked, so a release whose press was never
    // seen (the program started with the button held) is not swallowed.
    bool PassThrough = true;
    std::int32_t LastDelta[2] = {0, 0};
    std::int32_t Applied[2] = {0, 0};
    Point UpPoint;
    Millis UpTime = 0;
    bool Moved = false;
    std::int32_t HalfDoubleClick[2] = {0, 0};
    bool InterruptedInertia = false;
    Millis LastButtonUpTime = 0;
};

// The window being scrolled by the current drag.
struct ScrollTarget {
    Hwnd PointedWindow = kNoWindow;
    const TSclDat* Rule = nullptr;
    bool IsScroll = false;
    Hwnd TargetWindow = kNoWindow;
    // Client rectangle of TargetWindow in screen coordinates, with right and
    // bottom already reduced by one.
    Rect TargetRect;
    bool InertiaGoing = false;
    AxisState Axis[2];
};

struct EngineState {
    DragState Drag;
    ScrollTarget Target;
};

}  // namespace flicko
