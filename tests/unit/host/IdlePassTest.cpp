#include "host/core/IdlePass.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace flicko {
namespace {

struct FakeTicks : ILoopTicks {
    bool check = false;
    bool inertia = false;
    Millis checkInterval = 10;
    Millis inertiaInterval = 10;
    std::vector<std::string> calls;
    std::function<void()> onCheck;
    std::function<void()> onInertia;
    bool CheckMouseRunning() const override { return check; }
    bool InertiaRunning() const override { return inertia; }
    Millis CheckMouseInterval() const override { return checkInterval; }
    Millis InertiaInterval() const override { return inertiaInterval; }
    void CheckMouseTick() override {
        calls.push_back("check");
        if (onCheck) onCheck();
    }
    void InertiaTick() override {
        calls.push_back("inertia");
        if (onInertia) onInertia();
    }
};

TEST(IdlePassTest, NothingRunningMeansBlocking) {
    FakeTicks ticks;
    TIdlePass pass(ticks);
    EXPECT_FALSE(pass.Polling());
    EXPECT_FALSE(pass.Run(100).has_value());
    EXPECT_TRUE(ticks.calls.empty());
}

TEST(IdlePassTest, FirstTickRunsAtOnceThenKeepsItsIntervalUnderMessageFlood) {
    FakeTicks ticks;
    ticks.check = true;
    TIdlePass pass(ticks);
    EXPECT_EQ(pass.Run(1000), std::optional<Millis>(10));
    // Messages wake the loop every 2 ms; the tick still runs every 10 ms.
    for (Millis t = 1002; t < 1010; t += 2) EXPECT_EQ(pass.Run(t), std::optional<Millis>(1010 - t));
    EXPECT_EQ(ticks.calls.size(), 1u);
    pass.Run(1010);
    pass.Run(1015);
    pass.Run(1020);
    EXPECT_EQ(ticks.calls, (std::vector<std::string>{"check", "check", "check"}));
}

TEST(IdlePassTest, LateWakeDoesNotBurstToCatchUp) {
    FakeTicks ticks;
    ticks.inertia = true;
    TIdlePass pass(ticks);
    pass.Run(0);
    EXPECT_EQ(pass.Run(55), std::optional<Millis>(10));  // one tick, next due 10 later
    EXPECT_EQ(ticks.calls.size(), 2u);
}

TEST(IdlePassTest, InertiaStartedByTheCheckTicksInTheSamePass) {
    FakeTicks ticks;
    ticks.check = true;
    ticks.onCheck = [&] {  // the tick synthesizes the release and starts the glide
        ticks.check = false;
        ticks.inertia = true;
    };
    TIdlePass pass(ticks);
    EXPECT_EQ(pass.Run(500), std::optional<Millis>(10));
    EXPECT_EQ(ticks.calls, (std::vector<std::string>{"check", "inertia"}));
}

TEST(IdlePassTest, WaitIsTheEarlierOfTwoCadences) {
    FakeTicks ticks;
    ticks.check = ticks.inertia = true;
    ticks.checkInterval = 10;
    ticks.inertiaInterval = 25;
    TIdlePass pass(ticks);
    EXPECT_EQ(pass.Run(0), std::optional<Millis>(10));
    EXPECT_EQ(pass.Run(10), std::optional<Millis>(10));
    EXPECT_EQ(pass.Run(20), std::optional<Millis>(5));
    EXPECT_EQ(ticks.calls, (std::vector<std::string>{"check", "inertia", "check", "check"}));
}

TEST(IdlePassTest, StoppedTickRestartsAtOnce) {
    FakeTicks ticks;
    ticks.inertia = true;
    ticks.onInertia = [&] { ticks.inertia = false; };  // the glide ends
    TIdlePass pass(ticks);
    EXPECT_FALSE(pass.Run(0).has_value());
    ticks.onInertia = nullptr;
    ticks.inertia = true;  // a new glide 3 ms later is not held back
    pass.Run(3);
    EXPECT_EQ(ticks.calls.size(), 2u);
}

TEST(IdlePassTest, CadenceSurvivesClockWrap) {
    FakeTicks ticks;
    ticks.check = true;
    TIdlePass pass(ticks);
    const Millis nearEnd = 0xFFFFFFFAu;
    EXPECT_EQ(pass.Run(nearEnd), std::optional<Millis>(10));
    EXPECT_EQ(pass.Run(nearEnd + 5), std::optional<Millis>(5));  // wrapped to small value
    EXPECT_EQ(ticks.calls.size(), 1u);
    pass.Run(nearEnd + 10);
    EXPECT_EQ(ticks.calls.size(), 2u);
}

}  // namespace
}  // namespace flicko
