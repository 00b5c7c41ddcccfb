#include "engine/Velocity.h"

#include "engine/EngineState.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace flicko {
namespace {

constexpr int H = kAxisH;
constexpr int V = kAxisV;

class VelocityTracking : public ::testing::Test {
protected:
    explicit VelocityTracking(TEngineSettings s = {}) : settings(s), v(settings) {}
    // A tracker at rest at pos 110 after a first sample made it move at
    // exactly 1 px/ms: reset at (100, 1000), sample (110, 1010).
    void MovingAtOnePixelPerMs(int axis) {
        v.ResetVelocity(axis, 100, 1000);
        v.SampleVelocity(axis, 110, 1010);
        ASSERT_FLOAT_EQ(v.Velocity(axis), 1.0f);
    }
    TEngineSettings settings;
    VelocityTrackers v;
};

TEST_F(VelocityTracking, ResetClearsVelocityAndTheFirstMoveMeasuresFromThePress) {
    MovingAtOnePixelPerMs(H);
    v.ResetVelocity(H, 500, 2000);
    EXPECT_EQ(v.Velocity(H), 0.0f);
    // With no velocity the band is the anchor itself: one pixel is enough.
    v.SampleVelocity(H, 499, 2004);
    EXPECT_FLOAT_EQ(v.Velocity(H), -0.25f);
    EXPECT_EQ(v.Tracker(H).AnchorPos, 499);
    EXPECT_EQ(v.Tracker(H).AnchorTime, 2004u);
}

TEST_F(VelocityTracking, JitterInsideTheToleranceBandKeepsTheVelocityUpToItsEdge) {
    MovingAtOnePixelPerMs(V);
    // Predicted 130 at 1030; the band is 110 + (20 -+ 100) -+ 2 = 28 ... 232.
    v.SampleVelocity(V, 29, 1030);
    v.SampleVelocity(V, 252, 1050);  // upper edge 110 + 140 + 2, included
    EXPECT_FLOAT_EQ(v.Velocity(V), 1.0f);
    EXPECT_EQ(v.Tracker(V).AnchorTime, 1010u);
    v.SampleVelocity(V, 263, 1060);  // upper edge 262
    EXPECT_FLOAT_EQ(v.Velocity(V), (263.0f - 252.0f) / 10.0f);
    EXPECT_EQ(v.Tracker(V).AnchorPos, 263);
}

TEST_F(VelocityTracking, LeavingTheBandMeasuresFromTheLastChangeNotFromTheAnchor) {
    MovingAtOnePixelPerMs(H);
    v.SampleVelocity(H, 150, 1050);  // inside: ChangePos 150 at 1050
    v.SampleVelocity(H, 150, 1060);  // inside, unchanged: the change time stays 1050
    v.SampleVelocity(H, 400, 1070);  // hi = 110 + 160 + 2 = 272 -> outside
    EXPECT_FLOAT_EQ(v.Velocity(H), 250.0f / 20.0f);
}

TEST_F(VelocityTracking, NegativeVelocityBandIsTestedInEitherOrder) {
    v.ResetVelocity(H, 500, 1000);
    v.SampleVelocity(H, 480, 1010);
    ASSERT_FLOAT_EQ(v.Velocity(H), -2.0f);
    // Predicted 460 at 1020; the band runs from 480 - 2*(10-100) + 2 = 662
    // down to 480 - 2*(10+100) - 2 = 258.
    v.SampleVelocity(H, 600, 1020);
    EXPECT_FLOAT_EQ(v.Velocity(H), -2.0f);
    v.SampleVelocity(H, 257, 1030);  // lower end 480 - 2*120 - 2 = 238 -> inside
    EXPECT_FLOAT_EQ(v.Velocity(H), -2.0f);
    v.SampleVelocity(H, 100, 1040);  // lower end 480 - 2*130 - 2 = 218 -> outside
    EXPECT_FLOAT_EQ(v.Velocity(H), (100.0f - 257.0f) / 10.0f);
}

// The cursor stops at 110 right after reaching 1 px/ms. It keeps the velocity
// until AnchorTime + TTolerance + (|LastPos - AnchorPos| + PosTolerance) / |v|
// = 1010 + 100 + 2 = 1112, and loses it at the first sample after that.
TEST_F(VelocityTracking, RestingCursorKeepsItsVelocityUntilThePredictionHasLeftTheBand) {
    MovingAtOnePixelPerMs(V);
    v.SampleVelocity(V, 110, 1112);
    EXPECT_FLOAT_EQ(v.Velocity(V), 1.0f);
    v.SampleVelocity(V, 110, 1113);
    EXPECT_EQ(v.Velocity(V), 0.0f);
    EXPECT_EQ(v.Tracker(V).AnchorTime, 1113u);
}

TEST_F(VelocityTracking, SlowerMovementOutsideTheBandIsMeasuredNotZeroed) {
    MovingAtOnePixelPerMs(V);
    // Moved since the previous sample, so the slower speed is taken as is.
    v.SampleVelocity(V, 112, 1200);  // lo = 110 + 90 - 2 = 198 -> outside
    EXPECT_FLOAT_EQ(v.Velocity(V), 2.0f / 190.0f);
}

TEST_F(VelocityTracking, SamplesNotLaterThanTheLastChangeOrAnchorAreIgnoredEntirely) {
    MovingAtOnePixelPerMs(H);
    v.SampleVelocity(H, 900, 1010);  // same time as the change
    v.SampleVelocity(H, 900, 1005);  // earlier
    EXPECT_FLOAT_EQ(v.Velocity(H), 1.0f);
    EXPECT_EQ(v.Tracker(H).LastPos, 110);
    EXPECT_EQ(v.Tracker(H).ChangePos, 110);
    v.SampleVelocity(H, 111, 1011);  // one ms later is taken
    EXPECT_EQ(v.Tracker(H).LastPos, 111);
}

class VelocityWithSettings : public VelocityTracking {
protected:
    static TEngineSettings Custom() {
        TEngineSettings s;
        s.InertiaMin = 0.5f;
        s.TTolerance = 10;
        s.XTolerance = 0;
        s.YTolerance = 20;
        return s;
    }
    VelocityWithSettings() : VelocityTracking(Custom()) {}
};

TEST_F(VelocityWithSettings, TolerancesAndThresholdComeFromTheSettings) {
    EXPECT_EQ(v.InertiaMin(), 0.5f);
    EXPECT_EQ(v.Tracker(H).PosTolerance, 0);
    EXPECT_EQ(v.Tracker(V).PosTolerance, 20);
    EXPECT_EQ(v.Tracker(V).TimeTolerance, 10);
    // The same motion on both axes: 1 px/ms, then a 15 px jump after 10 ms.
    // Horizontal band 110 + (0 ... 20) = 110 ... 130; vertical 90 ... 150.
    for (int axis : {H, V}) {
        v.ResetVelocity(axis, 100, 1000);
        v.SampleVelocity(axis, 110, 1010);
        v.SampleVelocity(axis, 135, 1020);
    }
    EXPECT_FLOAT_EQ(v.Velocity(H), 2.5f);
    EXPECT_FLOAT_EQ(v.Velocity(V), 1.0f);
}

// Recorded cursor traces (position, time) of one axis from the press on.
using Trace = std::vector<std::pair<int, Millis>>;

float Replay(VelocityTrackers& v, const Trace& trace) {
    v.ResetVelocity(V, trace.front().first, trace.front().second);
    for (std::size_t i = 1; i < trace.size(); ++i) v.SampleVelocity(V, trace[i].first, trace[i].second);
    return v.Velocity(V);
}

TEST_F(VelocityTracking, RecordedTracesGlideOnlyWhenReleasedInMotion) {
    // A flick: about 2.5 px/ms with jitter, released while moving.
    const Trace flick = {{300, 0}, {320, 8}, {330, 16}, {349, 24}, {371, 32}, {389, 40}, {410, 48}, {430, 56}};
    // A slow drag: about 0.2 px/ms, released while moving.
    const Trace slow = {{300, 0}, {302, 10}, {304, 20}, {306, 30}, {308, 40}, {310, 50}, {312, 60}, {314, 70}};
    // A fast drag that rests for 160 ms before the release; the button check
    // keeps sampling the resting cursor every 10 ms.
    Trace rested = {{300, 0}, {320, 8}, {345, 16}, {370, 24}, {395, 32}};
    for (Millis t = 42; t <= 192; t += 10) rested.push_back({395, t});
    // The same drag released 50 ms after it stopped still glides.
    const Trace brief = {{300, 0}, {320, 8}, {345, 16}, {370, 24}, {395, 32}, {395, 42}, {395, 52}, {395, 82}};

    EXPECT_GE(Replay(v, flick), v.InertiaMin());
    EXPECT_LT(Replay(v, slow), v.InertiaMin());
    EXPECT_EQ(Replay(v, rested), 0.0f);
    EXPECT_GE(Replay(v, brief), v.InertiaMin());
}

// A fast flick whose target repaints for every line: each move's scroll
// keeps the engine busy while later moves wait, so samples come late at
// positions already passed, and the release comes long after the cursor
// stopped. (position, time, ms spent scrolling after the sample)
struct BusySample {
    int pos;
    Millis time;
    Millis scrolled;
};
using BusyTrace = std::vector<BusySample>;

// 12 moves of -25 px 4 ms apart from 500; 10 px a line at 5 ms a line.
const BusyTrace kBusyFlick = {{475, 4, 15}, {400, 19, 40}, {200, 59, 100}};

float ReplayBusy(VelocityTrackers& v, const BusyTrace& trace, Millis releasedAt, Millis restEvery = 0) {
    v.ResetVelocity(V, 500, 0);
    for (const BusySample& s : trace) {
        v.SampleVelocity(V, s.pos, s.time);
        v.AddScrollTime(s.scrolled);
    }
    const int last = trace.back().pos;
    if (restEvery) {
        for (Millis t = trace.back().time + trace.back().scrolled + restEvery; t < releasedAt; t += restEvery) {
            v.SampleVelocity(V, last, t);
        }
    }
    v.SampleVelocity(V, last, releasedAt);
    return v.Velocity(V);
}

TEST_F(VelocityTracking, TimeSpentScrollingIsNoRestButARealRestStillIs) {
    // The release is handled 106 ms after the last sample, at an unchanged
    // position, because the engine scrolled 100 ms in between.
    EXPECT_FLOAT_EQ(ReplayBusy(v, kBusyFlick, 165), -6.25f);
    // The same flick held still for 500 ms, sampled by the button check.
    EXPECT_EQ(ReplayBusy(v, kBusyFlick, 159 + 500, 10), 0.0f);
}

}  // namespace
}  // namespace flicko
