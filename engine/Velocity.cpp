#include "engine/Velocity.h"

#include <cmath>

namespace flicko {

VelocityTrackers::VelocityTrackers(const TEngineSettings& settings) { ApplySettings(settings); }

void VelocityTrackers::ApplySettings(const TEngineSettings& settings) {
    inertiaMin_ = settings.InertiaMin;
    trackers_[0].PosTolerance = settings.XTolerance;
    trackers_[1].PosTolerance = settings.YTolerance;
    trackers_[0].TimeTolerance = trackers_[1].TimeTolerance = settings.TTolerance;
}

void VelocityTrackers::ResetVelocity(int axis, std::int32_t pos, Millis time) {
    VelocityTracker& t = trackers_[Index(axis)];
    t.Velocity = 0.0f;
    t.AnchorPos = t.ChangePos = t.LastPos = pos;
    t.AnchorTime = t.ChangeTime = t.LastTime = time;
    t.ScrollTime = t.SampleScrollTime = t.RestTime = 0;
}

void VelocityTrackers::AddScrollTime(Millis spent) {
    for (VelocityTracker& t : trackers_) {
        t.ScrollTime += spent;
        t.SampleScrollTime += spent;
    }
}

float VelocityTrackers::Velocity(int axis) const { return trackers_[Index(axis)].Velocity; }

void VelocityTrackers::SampleVelocity(int axis, std::int32_t a, Millis time) {
    VelocityTracker& t = trackers_[Index(axis)];
    // Hook messages from different threads can arrive out of order; a sample
    // not later than what is known would give a zero or negative interval.
    if (time <= t.ChangeTime || time <= t.AnchorTime) return;

    // Time since the last sample in which the engine was free: a cursor
    // that did not move through it really stood still.
    const Millis sinceLast = time - t.LastTime;
    const Millis idle = sinceLast > t.SampleScrollTime ? sinceLast - t.SampleScrollTime : 0;
    t.RestTime = (a == t.LastPos) ? t.RestTime + idle : 0;
    t.SampleScrollTime = 0;
    t.LastTime = time;

    const double restBeyond = static_cast<double>(t.RestTime) - static_cast<double>(t.TimeTolerance);
    if (restBeyond > 0.0 && std::abs(static_cast<double>(t.Velocity)) * restBeyond > t.PosTolerance) {
        // Held still until the predicted path has left the tolerances
        // behind: nothing glides, and the next motion is measured afresh.
        t.Velocity = 0.0f;
        t.AnchorPos = a;
        t.AnchorTime = time;
        t.ScrollTime = 0;
    } else {
        const std::int32_t e = static_cast<std::int32_t>(time - t.AnchorTime);
        const int s = t.Velocity > 0.0f ? 1 : (t.Velocity < 0.0f ? -1 : 0);
        const double v = t.Velocity;
        // Only the slow edge leaves out the time spent scrolling since the
        // anchor: a cursor sampled late because the engine was busy may not
        // have got as far as the elapsed time predicts, yet it did not slow
        // down.
        const double slowTime = static_cast<double>(e) - static_cast<double>(t.ScrollTime);
        const float lo = static_cast<float>(t.AnchorPos + v * (slowTime - t.TimeTolerance) -
                                            static_cast<double>(s) * t.PosTolerance);
        const float hi = static_cast<float>(t.AnchorPos + v * (static_cast<double>(e) + t.TimeTolerance) +
                                            static_cast<double>(s) * t.PosTolerance);
        const float af = static_cast<float>(a);
        const bool insideBand = (lo <= hi) ? (lo <= af && af <= hi) : (hi <= af && af <= lo);

        if (!insideBand) {
            const float m = static_cast<float>(static_cast<std::int64_t>(a) - t.ChangePos) /
                            static_cast<float>(time - t.ChangeTime);
            // Slower than predicted and not moved since the previous sample:
            // the cursor rests, so nothing should glide.
            if (std::abs(m) < std::abs(t.Velocity) && a == t.LastPos) {
                t.Velocity = 0.0f;
            } else {
                t.Velocity = m;
            }
            t.AnchorPos = a;
            t.AnchorTime = time;
            t.ScrollTime = 0;
        }
    }
    if (a != t.ChangePos) {
        t.ChangePos = a;
        t.ChangeTime = time;
    }
    t.LastPos = a;
}

}  // namespace flicko
