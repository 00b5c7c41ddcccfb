// Drag tracking: every mouse event the hook reports enters the engine here.
//
// DispatchMouseEvent turns a hook message into one of five events and
// returns the reply flags for the hook (bit 0 swallow, bit 1 caret, bit 2
// capture). The tracker decides; the neighbours act.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/EngineSettings.h"
#include "engine/EngineState.h"
#include "engine/OutboundInterfaces.h"
#include "hook/FmoData.h"
#include "platform/Desktop.h"
#include "base/FlError.h"
#include "rules/SclDats.h"

namespace flicko {

struct DragNeighbours {
    IPathResolver* paths = nullptr;
    IScrollMethods* scroll = nullptr;
    IVelocity* velocity = nullptr;
    IInertia* inertia = nullptr;
    IActions* actions = nullptr;
    ICheckMouse* checkMouse = nullptr;
    const TEngineSettings* settings = nullptr;  // none: the built-in defaults
};

class MouseEvents {
public:
    MouseEvents(Desktop& desktop, TRuleModel& model, EngineState& state, DragNeighbours n);

    // Reads the cursor position and the time itself; lParam is not used.
    // An error is not shown here (the hooked thread waits for the reply):
    // it goes to the reports and the event is answered as passing through.
    std::uint32_t DispatchMouseEvent(std::uint32_t message);

    std::uint32_t RightButtonDown(Point p, Millis t);
    // A right double click: the given-back click when the system paired it
    // with the press the hook swallowed (swallowed and given again at its
    // release), else passed through like any other press.
    std::uint32_t RightDoubleClick(Millis t);
    // The hook's release: swallowed when its press was; the release steps
    // run unless this press's release was already handled.
    std::uint32_t RightButtonUp(Point p, Millis t);
    std::uint32_t MouseMove(Point p, Millis t);
    std::uint32_t OtherButtonDown();
    std::uint32_t OtherButtonUp(Millis t);

    // A right press that does not start a drag and that its window gets:
    // non-client, a double-click, one that arrived while the engine waited
    // on a window, one the hook gave up on. It ends a glide and any drag
    // state; its release is not swallowed and runs no release steps.
    std::uint32_t PassThroughPress();
    // The release steps of the current press, once: the hook's release and
    // the one the button check synthesizes both end here.
    void EndPress(Point p, Millis t);
    // The window being scrolled stopped answering: the drag or glide ends
    // and nothing is sent to it any more. A swallowed press keeps its
    // release swallowed.
    void EndForHungTarget();
    // Stops a glide, as any press does.
    void StopGlide();

    // Whether a message id is a press of any button (client or non-client,
    // double-clicks included).
    static bool IsPress(std::uint32_t message);
    // Whether an action code synthesizes a right-button press.
    static bool PressesRightButton(std::string_view code);

private:
    void MaskDisabledAxes(Point& p) const;
    void SampleEnabledAxes(Point p, Millis t);
    bool VelocityReachesInertiaMin() const;
    void EndPressAsPassThrough();
    void RunRuleActions(const std::string& code);
    // Ends a press whose release was not handled, without release steps.
    void AbandonPress();
    void ReportError(const char* text);
    void SetPicture(int picture) { state_.Reports.TrayPicture = picture; }
    // Where a release happened when the cursor cannot be read.
    Point LastPoint() const;

    Desktop& desktop_;
    TRuleModel& model_;
    EngineState& state_;
    DragNeighbours n_;
};

}  // namespace flicko
