// The scroll engine as the resident window drives it.
#pragma once

#include "engine/Engine.h"
#include "host/HostEngine.h"

namespace flicko {

class TResidentEngine final : public IHostEngine {
public:
    TResidentEngine(Desktop& desktop, TRuleModel& model, const TEngineSettings& settings, EngineHost host)
        : model_(model), engine_(desktop, model, settings, host) {}

    std::uint32_t DispatchMouseEvent(std::uint32_t message) override { return engine_.DispatchMouseEvent(message); }
    // The cache points into the rules that were just replaced.
    void RulesChanged() override { model_.KnowWindows.Clear(); }

    bool CheckMouseRunning() const override { return engine_.CheckMouseRunning(); }
    bool InertiaRunning() const override { return engine_.InertiaRunning(); }
    Millis CheckMouseInterval() const override { return Interval(engine_.Settings().CheckMouseInterval); }
    Millis InertiaInterval() const override { return Interval(engine_.Settings().InertiaInterval); }
    void CheckMouseTick() override { engine_.CheckMouseTick(); }
    void InertiaTick() override { engine_.InertiaTick(); }

private:
    // A negative interval from a settings file would be a wait of weeks.
    static Millis Interval(std::int32_t ms) { return ms > 0 ? static_cast<Millis>(ms) : 0; }

    TRuleModel& model_;
    Engine engine_;
};

}  // namespace flicko
