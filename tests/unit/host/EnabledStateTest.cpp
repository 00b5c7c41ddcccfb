#include "host/core/EnabledState.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace flicko {
namespace {

struct FakeLink : IHookInstaller {
    bool setWorks = true;
    bool unhookWorks = true;
    std::vector<std::string> calls;
    std::int32_t LinkSetHook() override {
        calls.push_back("set");
        return setWorks ? -1 : 0;
    }
    std::int32_t LinkUnhook() override {
        calls.push_back("unhook");
        return unhookWorks ? -1 : 0;
    }
};

struct FakeTray : ITrayIcon {
    std::vector<int> states;
    void SetTaskbarIconState(int state) override { states.push_back(state); }
};

struct EnabledStateTest : ::testing::Test {
    FakeLink link;
    FakeTray tray;
    TEnabledState state{link, tray};
};

TEST_F(EnabledStateTest, SetEnabledInstallsHookAndShowsEnablePictureOnlyOnChange) {
    EXPECT_TRUE(state.SetEnabled(true));
    EXPECT_TRUE(state.Enabled());
    EXPECT_EQ(link.calls, (std::vector<std::string>{"set"}));
    EXPECT_EQ(tray.states, (std::vector<int>{TB_ENABLE}));

    // Same value: no hook call, but the picture is reset (clears TB_SCROLL).
    EXPECT_TRUE(state.SetEnabled(true));
    EXPECT_EQ(link.calls.size(), 1u);
    EXPECT_EQ(tray.states, (std::vector<int>{TB_ENABLE, TB_ENABLE}));

    EXPECT_TRUE(state.SetEnabled(false));
    EXPECT_FALSE(state.Enabled());
    EXPECT_EQ(link.calls.back(), "unhook");
    EXPECT_EQ(tray.states.back(), TB_DISABLE);
}

TEST_F(EnabledStateTest, FailedHookCallLeavesStateAndPictureAlone) {
    link.setWorks = false;
    EXPECT_FALSE(state.SetEnabled(true));
    EXPECT_FALSE(state.Enabled());
    EXPECT_TRUE(tray.states.empty());

    state.SetEnabledValue(true);
    link.unhookWorks = false;
    EXPECT_FALSE(state.SetEnabled(false));
    EXPECT_TRUE(state.Enabled());
    EXPECT_TRUE(tray.states.empty());
}

TEST_F(EnabledStateTest, ApplyEnabledFollowsValueWithoutChangingIt) {
    state.SetEnabledValue(true);
    EXPECT_TRUE(state.ApplyEnabled());
    EXPECT_EQ(link.calls, (std::vector<std::string>{"set"}));
    EXPECT_EQ(tray.states, (std::vector<int>{TB_ENABLE}));

    // A missing library at start-up: Enabled stays as read, the picture stays.
    link.setWorks = false;
    EXPECT_FALSE(state.ApplyEnabled());
    EXPECT_TRUE(state.Enabled());
    EXPECT_EQ(tray.states.size(), 1u);

    state.SetEnabledValue(false);
    EXPECT_TRUE(state.ApplyEnabled());
    EXPECT_EQ(link.calls.back(), "unhook");
    EXPECT_EQ(tray.states.back(), TB_DISABLE);
}

TEST_F(EnabledStateTest, PauseAndResumeTouchTheHookOnlyWhenEnabled) {
    EXPECT_TRUE(state.PauseHook());
    EXPECT_TRUE(state.ResumeHook());
    EXPECT_TRUE(link.calls.empty());

    state.SetEnabledValue(true);
    EXPECT_TRUE(state.PauseHook());
    EXPECT_TRUE(state.ResumeHook());
    EXPECT_EQ(link.calls, (std::vector<std::string>{"unhook", "set"}));
    link.unhookWorks = false;
    EXPECT_FALSE(state.PauseHook());
    // Pausing never changes the state or the picture.
    EXPECT_TRUE(state.Enabled());
    EXPECT_TRUE(tray.states.empty());
}

TEST_F(EnabledStateTest, EnableWhilePausedFailsLikeAnyOtherWhenTheHookCannotBeInstalled) {
    // The About dialog holds a pause; the hook library is missing.
    state.PauseHook();
    link.setWorks = false;
    EXPECT_FALSE(state.SetEnabled(true));
    EXPECT_FALSE(state.Enabled());
    EXPECT_TRUE(tray.states.empty());
    state.ResumeHook();
    EXPECT_EQ(link.calls, (std::vector<std::string>{"set"})) << "the resume tried a hook nobody enabled";

    // With the library there the enable holds and the hook stays out until
    // the dialog closes.
    link.calls.clear();
    link.setWorks = true;
    state.PauseHook();
    EXPECT_TRUE(state.SetEnabled(true));
    EXPECT_EQ(link.calls, (std::vector<std::string>{"set", "unhook"}));
    EXPECT_EQ(tray.states, (std::vector<int>{TB_ENABLE}));
    state.ResumeHook();
    EXPECT_EQ(link.calls.back(), "set");
}

TEST_F(EnabledStateTest, PauseScopeResumesAlsoWhenLeftByException) {
    state.SetEnabledValue(true);
    try {
        THookPauseScope paused(state);
        EXPECT_EQ(link.calls, (std::vector<std::string>{"unhook"}));
        throw std::runtime_error("action failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(link.calls, (std::vector<std::string>{"unhook", "set"}));
}

}  // namespace
}  // namespace flicko
