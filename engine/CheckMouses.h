// The poll of the physical right button during a scrolling drag.
//
// A busy application retrieves its messages late, so the hook may report the
// drag's moves and release late or never. While a scrolling drag runs, the
// host's loop calls CheckMouseTick between messages: a tick feeds the drag a
// move while the button is down, and ends it with a synthesized release once
// the button has been seen up for the grace time.
//
// Wiring: MouseEvents holds this object as its ICheckMouse and this object
// holds the MouseEvents it feeds. A composite declares the MouseEvents member
// first and this one after it, handing MouseEvents the address of this member
// (not used before both are built).
#pragma once

#include "engine/EngineState.h"
#include "engine/MouseEvents.h"
#include "engine/OutboundInterfaces.h"
#include "platform/Desktop.h"

namespace flicko {

class CheckMouses : public ICheckMouse {
public:
    // The button must be seen up this long before a release is synthesized,
    // so a hook release on its way wins over the poll.
    static constexpr Millis kReleaseGrace = 10;

    CheckMouses(Desktop& desktop, const EngineState& state, MouseEvents& events,
                Hwnd residentWindow = kNoWindow);

    // The window whose message loop runs the ticks; StartCheckMouse wakes it.
    void SetResidentWindow(Hwnd w) { resident_ = w; }

    void StartCheckMouse() override;
    void StopCheckMouse() override { running_ = false; }
    void ClearReleaseSeen() override { releaseSeen_ = false; }

    void CheckMouseTick();
    bool CheckMouseRunning() const { return running_; }
    bool ReleaseSeen() const { return releaseSeen_; }

private:
    Desktop& desktop_;
    const EngineState& state_;
    MouseEvents& events_;
    Hwnd resident_;
    bool running_ = false;
    bool releaseSeen_ = false;
    Millis releaseSeenTime_ = 0;
};

}  // namespace flicko
