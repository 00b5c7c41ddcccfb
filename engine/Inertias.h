// The glide after a fast release.
//
// The glide has no timer of its own: while it runs, the resident program's
// main loop polls instead of blocking and calls InertiaTick after every
// pass. Each tick places the content where the cursor would be had it kept
// its release velocity, measured from the release time, so a late tick
// catches up instead of losing distance.
#pragma once

#include "engine/EngineState.h"
#include "engine/OutboundInterfaces.h"
#include "platform/Desktop.h"

namespace flicko {

class Inertias : public IInertia {
public:
    // residentWindow receives a WM_NULL at the start of a glide so that a
    // main loop waiting for messages wakes up and starts ticking.
    Inertias(Desktop& desktop, EngineState& state, IVelocity& velocity, IScrollMethods& scroll,
             Hwnd residentWindow);

    // For a host that builds the engine before its window.
    void SetResidentWindow(Hwnd w) { residentWindow_ = w; }

    bool InertiaRunning() const override { return running_; }
    void StartInertia() override;
    void StopInertia() override { running_ = false; }

    void InertiaTick();

private:
    Desktop& desktop_;
    EngineState& state_;
    IVelocity& velocity_;
    IScrollMethods& scroll_;
    Hwnd residentWindow_;
    bool running_ = false;
};

}  // namespace flicko
