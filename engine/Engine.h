// The scroll engine as one object: the drag state and every unit that works
// on it, wired together. The resident program and the probe each own one.
//
// The host hands in the system seam, the rules, the settings and its own
// neighbours (the hook's SendMove switch and pause, the tray icon, the error
// box) and the hidden window whose message loop runs the ticks.
#pragma once

#include <cstdint>

#include "engine/Actions.h"
#include "engine/CheckMouses.h"
#include "engine/DistinguishWnd.h"
#include "engine/EngineSettings.h"
#include "engine/EngineState.h"
#include "engine/Inertias.h"
#include "engine/MouseEvents.h"
#include "engine/OutboundInterfaces.h"
#include "engine/Scroll.h"
#include "engine/Velocity.h"
#include "platform/Desktop.h"
#include "base/FlError.h"
#include "rules/SclDats.h"

namespace flicko {

struct EngineHost {
    IHookLink& hook;
    IHookPause& hookPause;
    ITrayIcon& tray;
    IErrorReport& errors;
    // Receives a WM_NULL when a glide or the button poll starts, so a loop
    // blocked in GetMessage wakes up and begins to tick.
    Hwnd residentWindow = kNoWindow;
};

class Engine {
public:
    Engine(Desktop& desktop, TRuleModel& model, const TEngineSettings& settings, EngineHost host);
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // WM_MOUSEHOOK: the hook's mouse message id in, the reply flags out.
    std::uint32_t DispatchMouseEvent(std::uint32_t message) { return events_.DispatchMouseEvent(message); }

    // Idle work of the message loop. Neither lets an error escape into the
    // loop: it is shown, and the tick's activity ends.
    void InertiaTick();
    void CheckMouseTick();
    bool InertiaRunning() const { return inertia_.InertiaRunning(); }
    bool CheckMouseRunning() const { return checkMouse_.CheckMouseRunning(); }

    // The window that receives the wake-ups, when it is created after the
    // engine.
    void SetResidentWindow(Hwnd w) {
        inertia_.SetResidentWindow(w);
        checkMouse_.SetResidentWindow(w);
    }

    const TEngineSettings& Settings() const { return settings_; }
    const EngineState& State() const { return state_; }

    // For the probe, which shows what a press would choose and prepare.
    DistinguishWnd& Paths() { return paths_; }
    IScrollMethods& Scroll() { return scroll_; }
    const VelocityTrackers& Velocity() const { return velocity_; }

private:
    // Members are built in this order; units hold references or pointers to
    // the ones before them, and a few to later ones that they do not use
    // while being built.
    const TEngineSettings settings_;
    IErrorReport& errors_;
    EngineState state_;
    DistinguishWnd paths_;
    VelocityTrackers velocity_;
    Actions actions_;
    ScrollMethods scroll_;
    Inertias inertia_;
    MouseEvents events_;
    CheckMouses checkMouse_;
};

}  // namespace flicko
