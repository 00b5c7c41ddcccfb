// The scroll engine as one object: the drag state and every unit that works
// on it, wired together. The resident program owns one.
//
// The host hands in the system seam, the rules, the settings and the hook
// pause, and reads back what the engine wants of it (EngineReports: whether
// the hook should report moves, the tray picture, errors to show) after
// every call. The engine never calls up into the host otherwise.
//
// Re-entry: while the engine waits in a message to another program's
// window, the system delivers further hook messages to the same thread.
// Those are answered at once without running the engine on top of itself:
// a press stops what is running (glide, or the drag for a right press), a
// right release is answered by the per-press swallow rule and its release
// steps run once the outer call has returned.
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

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
#include "rules/SclDats.h"

namespace flicko {

class Engine {
public:
    // residentWindow receives a WM_NULL when a glide or the button poll
    // starts, so a loop blocked in GetMessage wakes up and begins to tick.
    Engine(Desktop& desktop, TRuleModel& model, const TEngineSettings& settings, IHookPause& hookPause,
           Hwnd residentWindow = kNoWindow);
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // WM_MOUSEHOOK: the hook's mouse message id in, the reply flags out.
    std::uint32_t DispatchMouseEvent(std::uint32_t message);
    // A right press the hook already gave up on: its window has it. It must
    // not start a drag; it still ends a glide like any press. Also for a
    // press whose handling ended after the hook's wait: the drag it started
    // ends and its release passes.
    void PressGivenUp();
    // What a hook message leaves to be sent after its reply (the notice that
    // ends a run of line steps). The host sends it once the hooked thread
    // has its answer; a move or a tick sends it first otherwise.
    bool OwesAfterReply() const { return endLinesAfterReply_; }
    void SendAfterReply();

    // Idle work of the message loop. Errors go to the reports; the tick's
    // activity ends.
    void InertiaTick();
    void CheckMouseTick();
    bool InertiaRunning() const { return inertia_.InertiaRunning(); }
    bool CheckMouseRunning() const { return checkMouse_.CheckMouseRunning(); }
    // Inside a call (a hook message or a tick): reloads must wait.
    bool Busy() const { return depth_ > 0; }

    // The one way settings reach the engine, at start-up and at every
    // re-read; a drag in progress keeps its samples.
    void ApplySettings(const TEngineSettings& settings);
    const TEngineSettings& Settings() const { return settings_; }

    // Before the rules are read again (only while not Busy): the glide and
    // the button check stop, moves are no longer wanted, the pointers into
    // the old rules and the cache of choices are dropped, and errors may be
    // shown once more.
    void ReleaseRules();

    // The window that receives the wake-ups, when it is created after the
    // engine.
    void SetResidentWindow(Hwnd w) {
        inertia_.SetResidentWindow(w);
        checkMouse_.SetResidentWindow(w);
    }

    // What the engine wants of its host.
    bool WantsMoves() const { return state_.Reports.Moves; }
    int TrayPicture() const { return state_.Reports.TrayPicture; }
    // Errors to show, each text once per window and reading of the rules.
    std::vector<std::string> TakeErrors();

    const EngineState& State() const { return state_; }

    const VelocityTrackers& Velocity() const { return velocity_; }

private:
    class Call;
    std::uint32_t NestedEvent(std::uint32_t message);
    // A nested right press on the gliding window: its reply, 0 when it is
    // no such press.
    std::uint32_t StopGlideForADrag();
    void AfterCall();
    void RunDeferredPress();
    void RunDeferredMove();
    void RunDeferredReleases();

    // Members are built in this order; units hold references or pointers to
    // the ones before them, and a few to later ones that they do not use
    // while being built.
    Desktop& desktop_;
    TRuleModel& model_;
    TEngineSettings settings_;
    EngineState state_;
    DistinguishWnd paths_;
    VelocityTrackers velocity_;
    Actions actions_;
    ScrollMethods scroll_;
    Inertias inertia_;
    MouseEvents events_;
    CheckMouses checkMouse_;

    int depth_ = 0;
    // The outermost call is a hook message other than a move: its reply is
    // still to be given.
    bool replyPending_ = false;
    bool endLinesAfterReply_ = false;
    // Times of right releases that arrived during a call.
    std::vector<Millis> deferredReleases_;
    // A right press that stopped the glide during a call; it starts its
    // drag when the call has returned.
    struct DeferredPress {
        Point p;
        Millis t;
    };
    std::optional<DeferredPress> deferredPress_;
    // A move came in during a call.
    bool moveDeferred_ = false;
    std::set<std::pair<Hwnd, std::string>> errorsShown_;
};

}  // namespace flicko
