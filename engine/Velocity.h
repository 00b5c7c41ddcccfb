// Per-axis cursor velocity during a drag.
//
// A tracker keeps one velocity while the cursor stays inside a tolerance
// band around the path that velocity predicts, and measures a new one only
// when the cursor leaves the band. That makes the estimate deaf to jitter,
// yet a cursor that comes to rest is caught: once the predicted path has
// left it behind, the next sample finds it unmoved and drops to zero.
//
// Samples come late while the engine is busy scrolling (the moves wait
// behind the scroll), so busy time does not count against the cursor's
// speed. What does count is idle time: while the engine was free it would
// have seen any move, so a cursor found unmoved across more idle time than
// the tolerances allow has rested, however busy the drag was before.
#pragma once

#include <cstdint>

#include "engine/EngineSettings.h"
#include "engine/OutboundInterfaces.h"
#include "platform/Types.h"

namespace flicko {

struct VelocityTracker {
    float Velocity = 0.0f;  // pixels per millisecond, signed like the motion
    std::int32_t AnchorPos = 0;
    Millis AnchorTime = 0;
    std::int32_t ChangePos = 0;  // last sample whose position differed from the one before
    Millis ChangeTime = 0;
    std::int32_t LastPos = 0;
    Millis LastTime = 0;
    Millis ScrollTime = 0;        // spent scrolling since AnchorTime
    Millis SampleScrollTime = 0;  // spent scrolling since the last sample
    Millis RestTime = 0;          // idle time the cursor has stayed at LastPos
    std::int32_t PosTolerance = 2;
    std::int32_t TimeTolerance = 100;
};

class VelocityTrackers : public IVelocity {
public:
    explicit VelocityTrackers(const TEngineSettings& settings);
    // The tolerances and the threshold; a drag in progress keeps its samples.
    void ApplySettings(const TEngineSettings& settings);

    void ResetVelocity(int axis, std::int32_t pos, Millis time) override;
    void SampleVelocity(int axis, std::int32_t pos, Millis time) override;
    void AddScrollTime(Millis spent) override;
    float Velocity(int axis) const override;
    float InertiaMin() const override { return inertiaMin_; }

    const VelocityTracker& Tracker(int axis) const { return trackers_[Index(axis)]; }

private:
    static int Index(int axis) { return axis == 0 ? 0 : 1; }

    VelocityTracker trackers_[2];
    float inertiaMin_ = 1.0f;
};

}  // namespace flicko
