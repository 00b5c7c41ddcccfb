// Drag tracking: every mouse event the hook reports enters the engine here.
//
// DispatchMouseEvent turns a hook message into one of five events and
// returns the reply flags for the hook (bit 0 swallow, bit 1 caret, bit 2
// capture). The tracker decides; the neighbours act.
#pragma once

#include <cstdint>

#include "engine/EngineState.h"
#include "engine/OutboundInterfaces.h"
#include "platform/Desktop.h"
#include "base/FlError.h"
#include "rules/SclDats.h"

namespace flicko {

// Reply flags of WM_MOUSEHOOK.
constexpr std::uint32_t kReplySwallow = 1;
constexpr std::uint32_t kReplyCaret = 2;
constexpr std::uint32_t kReplyCapture = 4;

struct DragNeighbours {
    IPathResolver* paths = nullptr;
    IScrollMethods* scroll = nullptr;
    IVelocity* velocity = nullptr;
    IInertia* inertia = nullptr;
    IActions* actions = nullptr;
    ICheckMouse* checkMouse = nullptr;
    IHookLink* hook = nullptr;
    ITrayIcon* tray = nullptr;
    IErrorReport* errors = nullptr;
};

class MouseEvents {
public:
    MouseEvents(Desktop& desktop, TRuleModel& model, EngineState& state, DragNeighbours n);

    // Reads the cursor position and the time itself; lParam is not used.
    std::uint32_t DispatchMouseEvent(std::uint32_t message);

    std::uint32_t RightButtonDown(Point p, Millis t);
    std::uint32_t RightButtonUp(Point p, Millis t);
    std::uint32_t MouseMove(Point p, Millis t);
    std::uint32_t OtherButtonDown();
    std::uint32_t OtherButtonUp(Millis t);

private:
    void MaskDisabledAxes(Point& p) const;
    void SampleEnabledAxes(Point p, Millis t);
    bool VelocityReachesInertiaMin() const;
    void EndPressAsPassThrough();

    Desktop& desktop_;
    TRuleModel& model_;
    EngineState& state_;
    DragNeighbours n_;
};

}  // namespace flicko
