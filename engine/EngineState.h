// The engine's run-time state of the current press and drag. One instance
// lives in each engine object; the drag tracker, the scroll methods, inertia
// and the button check all work on it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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
    // The hook swallowed this press, so the hook's one release of it is
    // swallowed too; cleared by that release. Kept per press, so a press the
    // engine never saw (re-entrant, non-client, given up by the hook) has
    // its release delivered.
    bool SwallowRelease = false;
    // The release steps (actions, glide) ran for this press: the button
    // check's synthesized release and the hook's later one are one release.
    bool ReleaseHandled = true;
    // A swallowed click was given back by the no-scroll release actions and
    // its press has not come back through the hook yet.
    bool ClickGivenBack = false;
    // The system took the given-back press for the second click of a double
    // click with the swallowed press: that pair is swallowed, and its release
    // gives the click back once more.
    bool GiveBackAgain = false;
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
    // The scale TargetWindow's content is shown at, taken at the press:
    // widths in dot are pixels at 96 dpi and grow with it.
    int TargetDpi = 96;
    bool InertiaGoing = false;
    AxisState Axis[2];
};

// An error raised while the engine worked, to be shown once nothing waits
// for the engine's answer; Window is the pressed window, if any.
struct TEngineError {
    Hwnd Window = kNoWindow;
    std::string Text;
};

// What the engine wants of the program around it. The host reads it after
// every call into the engine and acts: the shared block's SendMove, the
// tray picture, the error boxes.
struct EngineReports {
    bool Moves = false;    // the hook should report moves (a drag runs)
    int TrayPicture = 0;   // TB_ENABLE or TB_SCROLL
    std::vector<TEngineError> Errors;
};

// The scrolling of one call into the engine: the messages it may still send.
struct SendState {
    // Set by a press that arrived while the engine waited on a window and by
    // a target that did not answer: the current call sends nothing more.
    bool Stop = false;
    // A window did not answer within the time-out: the drag or glide ends.
    bool TargetHung = false;
    // Scroll methods are running (a nested Scroll action must not start one).
    int ScrollDepth = 0;
};

struct EngineState {
    DragState Drag;
    ScrollTarget Target;
    EngineReports Reports;
    SendState Sending;
};

// Messages to other programs' windows wait at most this long. A window that
// needs longer is taken for hung: the drag or glide on it ends. Far above a
// repaint after a scroll step, far below the point where the tray and the
// button check, which wait while this thread waits, feel dead.
constexpr std::uint32_t kTargetSendTimeout = 500;

// The most input events (line steps, key presses, wheel or position
// messages) one move or one glide tick sends; the rest waits for the next.
constexpr int kMaxEventsPerCall = 100;

}  // namespace flicko
