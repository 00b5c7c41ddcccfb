// The glide after a fast release.
//
// The glide has no timer of its own: while it runs, the resident program's
// main loop polls instead of blocking and calls InertiaTick after every
// pass. Each tick places the content where the cursor would be had it kept
// its release velocity, measured from the release time, so a late tick
// catches up instead of losing distance - within reason: after a stall of
// more than a few intervals (a suspended machine, a busy loop) the glide
// goes on from where it stood instead of replaying the stall at once.
//
// A target slower than the glide slows it: the time a tick spends
// scrolling beyond one interval is not owed to the next tick, so every tick
// stays short and the loop answers input between them.
//
// A glide ends at the next press, when its target window is gone, and when
// every moving axis has a readable bar at the end it moves toward.
#pragma once

#include "engine/EngineSettings.h"
#include "engine/EngineState.h"
#include "engine/OutboundInterfaces.h"
#include "platform/Desktop.h"

namespace flicko {

class Inertias : public IInertia {
public:
    // residentWindow receives a WM_NULL at the start of a glide so that a
    // main loop waiting for messages wakes up and starts ticking.
    Inertias(Desktop& desktop, EngineState& state, IVelocity& velocity, IScrollMethods& scroll,
             const TEngineSettings& settings, Hwnd residentWindow);

    // A gap between ticks longer than this many intervals is skipped.
    static constexpr Millis kStallIntervals = 5;
    // ... but never one shorter than this.
    static constexpr Millis kStallFloor = 100;

    // For a host that builds the engine before its window.
    void SetResidentWindow(Hwnd w) { residentWindow_ = w; }

    bool InertiaRunning() const override { return running_; }
    void StartInertia() override;
    void StopInertia() override { running_ = false; }

    void InertiaTick();

private:
    bool AllMovingAxesAtTheirEnd();

    Desktop& desktop_;
    EngineState& state_;
    IVelocity& velocity_;
    IScrollMethods& scroll_;
    const TEngineSettings& settings_;
    Hwnd residentWindow_;
    bool running_ = false;
    Millis lastTick_ = 0;
};

}  // namespace flicko
