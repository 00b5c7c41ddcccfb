#include "engine/Inertias.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "platform/WinConst.h"
#include "platform/fake/FakeDesktop.h"
#include "tests/unit/engine/RecordingDragNeighbours.h"

namespace flicko {
namespace {

class DeltaRecorder : public IScrollMethods {
public:
    explicit DeltaRecorder(EngineState& s) : s_(s) {}
    std::vector<std::pair<int, int>> deltas;
    void PrepareAxes() override {}
    void ScrollToDelta() override { deltas.emplace_back(s_.Drag.LastDelta[0], s_.Drag.LastDelta[1]); }

private:
    EngineState& s_;
};

class Glide : public ::testing::Test {
protected:
    Glide() : velocity(journal), scroll(state), inertia(desktop, state, velocity, scroll, settings, kResident) {
        state.Target.TargetWindow = desktop.AddWindow(kNoWindow, {.className = "Edit", .rect = {0, 0, 200, 200}});
        state.Drag.DownPoint = {100, 100};
        state.Drag.UpPoint = {130, 90};
        state.Drag.UpTime = 5000;
        velocity.v[0] = 0.5f;
        velocity.v[1] = -1.5f;
    }
    std::pair<int, int> TickAt(Millis t) {
        if (!inertia.InertiaRunning()) inertia.StartInertia();
        desktop.SetTime(t);
        inertia.InertiaTick();
        return scroll.deltas.back();
    }
    static constexpr Hwnd kResident = 0x7770;
    FakeDesktop desktop;
    EngineState state;
    testing::Journal journal;
    testing::RecordingVelocity velocity;
    DeltaRecorder scroll;
    TEngineSettings settings;
    Inertias inertia;
};

TEST_F(Glide, StartWakesTheResidentWindowAndStopEndsIt) {
    EXPECT_FALSE(inertia.InertiaRunning());
    inertia.StartInertia();
    EXPECT_TRUE(inertia.InertiaRunning());
    ASSERT_EQ(desktop.Records().size(), 1u);
    const FakeRecord& r = desktop.Records()[0];
    EXPECT_EQ(r.kind, FakeRecord::Kind::Post);
    EXPECT_EQ(r.window, kResident);
    EXPECT_EQ(r.msg, win::WM_NULL);
    inertia.StopInertia();
    EXPECT_FALSE(inertia.InertiaRunning());
}

TEST_F(Glide, OffsetContinuesTheDragFromTheReleaseAtTheReleaseVelocity) {
    // Dragged (30, -10) before the release; 10 ms later 5 and -15 more.
    EXPECT_EQ(TickAt(5010), std::make_pair(35, -25));
    // A late tick is placed by the elapsed time, not by adding a step.
    EXPECT_EQ(TickAt(5100), std::make_pair(80, -160));
    EXPECT_EQ(TickAt(5100), std::make_pair(80, -160));
}

TEST_F(Glide, GlideOffsetRoundsHalvesToEven) {
    velocity.v[0] = 0.25f;
    velocity.v[1] = -0.25f;
    state.Drag.UpPoint = state.Drag.DownPoint;
    EXPECT_EQ(TickAt(5010), std::make_pair(2, -2));  // 2.5 -> 2
    EXPECT_EQ(TickAt(5014), std::make_pair(4, -4));  // 3.5 -> 4
}

TEST_F(Glide, ProductIsFormedWithMoreThanFloatPrecision) {
    // 0.1f is slightly above 0.1: 5 x 0.1f is just above 0.5 and rounds up,
    // while the product rounded to a float would be 0.5 exactly and go to 0.
    velocity.v[0] = 0.1f;
    velocity.v[1] = 0.0f;
    state.Drag.UpPoint = state.Drag.DownPoint;
    EXPECT_EQ(TickAt(5005), std::make_pair(1, 0));
}

TEST_F(Glide, ElapsedTimeIsTakenAcrossTheTimerWrap) {
    state.Drag.UpTime = 0xFFFFFFF6u;
    EXPECT_EQ(TickAt(0x0000000Au), std::make_pair(10 + 30, -30 - 10));
}

TEST_F(Glide, TickStopsTheGlideWhenAPressIsTrackedAndScrollsNothing) {
    inertia.StartInertia();
    state.Drag.Pressed = true;
    desktop.SetTime(5050);
    inertia.InertiaTick();
    EXPECT_FALSE(inertia.InertiaRunning());
    EXPECT_TRUE(scroll.deltas.empty());
}

TEST_F(Glide, HugeOffsetSaturatesInsteadOfOverflowing) {
    velocity.v[0] = 1e9f;
    velocity.v[1] = -1e9f;
    const auto d = TickAt(5050);
    EXPECT_EQ(d.first, INT32_MAX);
    EXPECT_EQ(d.second, INT32_MIN);
}

}  // namespace
}  // namespace flicko
