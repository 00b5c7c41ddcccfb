// A plain engine for the resident program: drag tracking with line
// scrolling, a velocity over the last samples, a constant-speed glide, the
// release poll and the action runner. Rule paths here name a window class
// ("C" + class, compared without case) or the pointed window ("W-p").
#pragma once

#include <deque>
#include <memory>

#include "engine/EngineState.h"
#include "engine/MouseEvents.h"
#include "host/HostEngine.h"
#include "host/core/EnabledState.h"
#include "platform/Desktop.h"
#include "rules/FlError.h"
#include "rules/SclDats.h"

namespace flicko {

struct TBasicEngineSettings {
    Millis CheckMouseInterval = 10;
    Millis InertiaInterval = 10;
    float InertiaMin = 1.0f;  // pixels per millisecond
    Millis TTolerance = 100;
};

class TBasicEngine final : public IHostEngine,
                           private IPathResolver,
                           private IScrollMethods,
                           private IVelocity,
                           private IInertia,
                           private IActions,
                           private ICheckMouse {
public:
    TBasicEngine(Desktop& desktop, TRuleModel& model, TBasicEngineSettings settings, IHookLink& hook,
                 ITrayIcon& tray, IErrorReport& errors, TEnabledState& pause, Hwnd mainWindow);

    std::uint32_t DispatchMouseEvent(std::uint32_t message) override;
    void RulesChanged() override { model_.KnowWindows.Clear(); }
    bool CheckMouseRunning() const override { return checkRunning_; }
    bool InertiaRunning() const override { return inertiaRunning_; }
    Millis CheckMouseInterval() const override { return settings_.CheckMouseInterval; }
    Millis InertiaInterval() const override { return settings_.InertiaInterval; }
    void CheckMouseTick() override;
    void InertiaTick() override;

    IPathResolver& Paths() { return *this; }

    struct Sample {
        std::int32_t pos;
        Millis time;
    };

private:
    Hwnd ResolveWindowPath(Hwnd start, std::string_view pathCode, const TSclDat& rule) override;
    void PrepareAxes() override;
    void ScrollToDelta() override;
    void ResetVelocity(int axis, std::int32_t pos, Millis time) override;
    void SampleVelocity(int axis, std::int32_t pos, Millis time) override;
    float Velocity(int axis) const override;
    float InertiaMin() const override { return settings_.InertiaMin; }
    void StartInertia() override;
    void StopInertia() override { inertiaRunning_ = false; }
    void RunActions(std::string_view code) override;
    void StartCheckMouse() override;
    void StopCheckMouse() override { checkRunning_ = false; }
    void ClearReleaseSeen() override { releaseSeen_ = false; }

    void RunAction(char what, char arg);
    void SendButton(bool down, char button);

    Desktop& desktop_;
    TRuleModel& model_;
    TBasicEngineSettings settings_;
    TEnabledState& pause_;
    Hwnd mainWindow_;
    EngineState state_;
    MouseEvents events_;
    std::deque<Sample> samples_[2];
    bool checkRunning_ = false;
    bool releaseSeen_ = false;
    Millis releaseSeenTime_ = 0;
    bool inertiaRunning_ = false;
    float glideVelocity_[2] = {0, 0};
    float glideOffset_[2] = {0, 0};
    Millis glideLast_ = 0;
    int stillTicks_ = 0;
};

// Rules for the common system controls, used until a scroll-data file is read.
void LoadBuiltInRules(TRuleModel& model);

}  // namespace flicko
