// The scroll methods: dragged pixels become scroll units of the rule's
// method, per axis.
//
// Applied[axis] keeps how many pixels of the offset have already turned into
// scrolling, so each call sends only what the remainder asks for and the
// rounding of one call never accumulates into drift. A positive offset
// (cursor right or down) scrolls toward the start of the content, the way a
// grabbed sheet follows the hand.
#pragma once

#include <cstdint>
#include <utility>

#include "engine/EngineState.h"
#include "engine/OutboundInterfaces.h"
#include "platform/Desktop.h"
#include "rules/SclDats.h"

namespace flicko {

enum class TMethodFamily { Step, Position, Wheel };
TMethodFamily FamilyOf(TScrollMethod method);

class ScrollMethods : public IScrollMethods {
public:
    ScrollMethods(Desktop& desktop, EngineState& state, IPathResolver& paths, IActions& actions);

    // At a press that starts a scrolling drag, after the rule and the target
    // window are known. May raise the geometry readers' errors.
    void PrepareAxes() override;
    // After LastDelta changed (a move or a glide tick).
    void ScrollToDelta() override;

    // Line steps (scrollline) are followed by one SB_ENDSCROLL per axis when
    // their run ends (a pause, the release, a new press, the end of a
    // glide, new rules), not after every line: each notice is one more send
    // into the application, which repaints on it. EndLineBurst sends what is
    // owed; a call that is stopped keeps it owed for later, and a target
    // found hung gets none (DropLineBurst).
    void EndLineBurst();
    void DropLineBurst();
    bool OwesLineEnd() const { return owedEnd_[0].owed || owedEnd_[1].owed; }
    // Whether a line step went out since the last call (the button check's
    // ticks ask: a tick without one is a pause).
    bool TakeSteppedSinceLastAsked() { return std::exchange(stepped_, false); }

private:
    struct BarReading {
        bool readable = false;
        std::int32_t pos = 0;
        std::int32_t min = 0;
        std::int32_t max = 0;
        std::uint32_t page = 0;
        bool AtStart() const;
        bool AtEnd() const;
    };

    float ComputeUnitWidth(int axis);
    BarReading ReadBar(const AxisState& a);
    std::int32_t BarPosition(const AxisState& a);
    std::int64_t Remainder(int axis) const;
    void AddApplied(int axis, std::int64_t pixels);

    void Step(int axis, float fraction);
    void Other(int axis);
    void PositionMethod(int axis);
    void WheelMethod(int axis);
    void KeyPresses(int axis, std::int64_t n);
    bool LineSteps(int axis, std::int64_t n);
    void SendWheel(std::int32_t delta);
    // The cursor is over the target's top-level window: wheel input
    // reaches the target's program.
    bool CursorOverTargetProgram();
    bool AutoFallback(int axis, std::int32_t posBefore, std::int64_t count);
    bool Send(Hwnd w, std::uint32_t msg, WParam wp, LParam lp);
    // n cut to the events this call may still send, and spent.
    std::int64_t Spend(std::int64_t n);
    bool Stopped() const { return state_.Sending.Stop; }

    struct OwedEnd {
        bool owed = false;
        Hwnd target = kNoWindow;
        std::uint32_t msg = 0;
        LParam bar = 0;
    };

    Desktop& desktop_;
    EngineState& state_;
    IPathResolver& paths_;
    IActions& actions_;
    std::int64_t eventsLeft_ = kMaxEventsPerCall;
    OwedEnd owedEnd_[2];
    bool stepped_ = false;
};

}  // namespace flicko
