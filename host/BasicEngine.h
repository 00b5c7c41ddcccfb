// A plain engine for the resident program: drag tracking with line
// scrolling, a velocity over the last samples, a constant-speed glide and
// the release poll, with the shared path resolver and action runner.
#pragma once

#include <deque>
#include <memory>

#include "engine/Actions.h"
#include "engine/DistinguishWnd.h"
#include "engine/EngineState.h"
#include "engine/MouseEvents.h"
#include "host/HostEngine.h"
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
                           private IScrollMethods,
                           private IVelocity,
                           private IInertia,
                           private ICheckMouse {
public:
    TBasicEngine(Desktop& desktop, TRuleModel& model, TBasicEngineSettings settings, IHookLink& hook,
                 ITrayIcon& tray, IErrorReport& errors, IHookPause& pause, Hwnd mainWindow);

    std::uint32_t DispatchMouseEvent(std::uint32_t message) override;
    void RulesChanged() override { model_.KnowWindows.Clear(); }
    bool CheckMouseRunning() const override { return checkRunning_; }
    bool InertiaRunning() const override { return inertiaRunning_; }
    Millis CheckMouseInterval() const override { return settings_.CheckMouseInterval; }
    Millis InertiaInterval() const override { return settings_.InertiaInterval; }
    void CheckMouseTick() override;
    void InertiaTick() override;


    struct Sample {
        std::int32_t pos;
        Millis time;
    };

private:
    void PrepareAxes() override;
    void ScrollToDelta() override;
    void ResetVelocity(int axis, std::int32_t pos, Millis time) override;
    void SampleVelocity(int axis, std::int32_t pos, Millis time) override;
    float Velocity(int axis) const override;
    float InertiaMin() const override { return settings_.InertiaMin; }
    void StartInertia() override;
    void StopInertia() override { inertiaRunning_ = false; }
    void StartCheckMouse() override;
    void StopCheckMouse() override { checkRunning_ = false; }
    void ClearReleaseSeen() override { releaseSeen_ = false; }


    Desktop& desktop_;
    TRuleModel& model_;
    TBasicEngineSettings settings_;
    Hwnd mainWindow_;
    EngineState state_;
    DistinguishWnd paths_;
    Actions actions_;
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

}  // namespace flicko
