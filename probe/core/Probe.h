// The probe: a window timer polls the cursor and the chosen mouse buttons,
// and while one of them is held the probe follows it the way the resident
// program follows a right-button drag, reduced to what the views need.
//
// The probe owns its own engine pieces (state, path interpreter, scroll
// methods and actions) over the same rule model type as the resident
// program, so a rule is chosen and an axis prepared by the same code. It
// decides; the form only starts the timer and fills its controls.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/Actions.h"
#include "engine/DistinguishWnd.h"
#include "engine/EngineState.h"
#include "engine/OutboundInterfaces.h"
#include "engine/Scroll.h"
#include "platform/Desktop.h"
#include "probe/core/FpCheckSclDats.h"
#include "probe/core/ProbeChecks.h"
#include "probe/core/FpWndsTree.h"
#include "base/FlError.h"
#include "rules/SclDats.h"

namespace flicko {

// The window timer behind the checks.
class IProbeTimer {
public:
    virtual ~IProbeTimer() = default;
    // SetTimer with the period; false when the system refused.
    virtual bool SetTimer(Millis interval) = 0;
    virtual void KillTimer() = 0;
};

// What the form shows. Each call replaces the whole content.
class IProbeView {
public:
    virtual ~IProbeView() = default;
    virtual void ShowCursorPos(const std::string& text) = 0;
    virtual void ShowWindowTree(const TWindowTree& tree) = 0;
    virtual void ShowScrollData(const std::string& text) = 0;
    virtual void ShowScrollResult(const std::string& text) = 0;
};

class TProbe {
public:
    TProbe(Desktop& desktop, TRuleModel& model, TProbeChecks& checks, IProbeTimer& timer, IProbeView& view,
           IErrorReport& errors);
    TProbe(const TProbe&) = delete;
    TProbe& operator=(const TProbe&) = delete;

    void StartCheckTimer();
    void StopCheckTimer();
    bool TimerRunning() const { return running_; }
    // The timer callback; time is what the system passes with it.
    void CheckTimerTick(Millis time);

    bool WatchedButtonDown();
    void ProbePress(Point p, Millis time);
    void ProbeMove(Point p);
    void ProbeRelease();

    // Stores the Enable state and starts or stops the timer.
    void SetCheckEnable(bool enable);
    // The rules were read again: the cached choices and a running probe
    // point into the old ones, so both are dropped.
    void RulesChanged();
    // "loa&d": the timer stops, load reads the rules, and the timer runs
    // again only when it ran before. Refused while a reading runs.
    void ReloadScrollData(const std::function<void()>& load);
    bool Reading() const { return reading_; }
    // The rules changed under a window the views showed: its rule is chosen
    // and shown again (not while a probe runs, nor for a window now gone).
    void ShowRuleAgain(Hwnd w);

    const EngineState& State() const { return state_; }
    TWindowTree& Tree() { return tree_; }
    const TWindowTree& Tree() const { return tree_; }

    // The tree, the rule view and the state view as one plain text.
    std::string CopyText() const;

private:
    class NoHookPause : public IHookPause {
    public:
        bool PauseHook() override { return true; }
        bool ResumeHook() override { return true; }
    };

    class TReadingFlag {
    public:
        explicit TReadingFlag(bool& flag) : flag_(flag) { flag_ = true; }
        ~TReadingFlag() { flag_ = false; }
        TReadingFlag(const TReadingFlag&) = delete;
        TReadingFlag& operator=(const TReadingFlag&) = delete;

    private:
        bool& flag_;
    };

    void ChooseRule(Hwnd w);
    void ShowScrollData();
    void ShowScrollResult();

    Desktop& desktop_;
    TRuleModel& model_;
    TProbeChecks& checks_;
    IProbeTimer& timer_;
    IProbeView& view_;
    IErrorReport& errors_;
    bool running_ = false;
    bool reading_ = false;

    EngineState state_;
    NoHookPause pause_;
    DistinguishWnd paths_;
    Actions actions_;
    ScrollMethods scroll_;
    TWindowTree tree_;
    // Whether this probe's press chose a rule. Moves of a probe pressed
    // with ScrollDateFile off leave the earlier target alone.
    bool ruleChosen_ = false;
    TAxisSnapshot snapshots_[2];
    std::vector<std::string> dataLines_;
    std::vector<std::string> resultLines_;
};

}  // namespace flicko
