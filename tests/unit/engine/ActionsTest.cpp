#include "engine/Actions.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/WinConst.h"
#include "platform/fake/FakeDesktop.h"
#include "rules/SclDats.h"

namespace flicko {
namespace {

// Notes how many desktop records existed at each pause and resume, so tests
// can tell that synthesized input happened while the hook was away.
class RecordingHookPause : public IHookPause {
public:
    explicit RecordingHookPause(const FakeDesktop& d) : desk_(d) {}
    std::vector<std::string> calls;
    std::vector<std::size_t> recordsAt;
    bool PauseHook() override {
        calls.push_back("Pause");
        recordsAt.push_back(desk_.Records().size());
        return true;
    }
    bool ResumeHook() override {
        calls.push_back("Resume");
        recordsAt.push_back(desk_.Records().size());
        return true;
    }

private:
    const FakeDesktop& desk_;
};

// Marks the scrolling in the state the way the scroll methods do.
class CountingScroll : public IScrollMethods {
public:
    explicit CountingScroll(EngineState& s) : s_(s) {}
    int scrolls = 0;
    std::function<void()> during;
    void PrepareAxes() override {}
    void ScrollToDelta() override {
        ++scrolls;
        ++s_.Sending.ScrollDepth;
        try {
            if (during) during();
        } catch (...) {
            --s_.Sending.ScrollDepth;
            throw;
        }
        --s_.Sending.ScrollDepth;
    }

private:
    EngineState& s_;
};

std::string Code(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes) s += static_cast<char>(b);
    return s;
}

std::uint32_t Low32(LParam lp) { return static_cast<std::uint32_t>(lp); }

class ActionRun : public ::testing::Test {
protected:
    ActionRun() {
        top = desk.AddWindow(kNoWindow, {.className = "Frame", .rect = {0, 0, 500, 400}});
        // Client area starts at (110, 70) on screen.
        pointed = desk.AddWindow(top, {.className = "Edit", .rect = {100, 50, 300, 250},
                                       .client = Rect{110, 70, 290, 240}});
        target = desk.AddWindow(top, {.className = "Pane", .rect = {0, 0, 50, 50}});
        state.Target.PointedWindow = pointed;
        state.Target.TargetWindow = target;
        state.Target.IsScroll = true;
        state.Drag.DownPoint = {150, 100};
    }

    FakeDesktop desk;
    EngineState state;
    RecordingHookPause hook{desk};
    CountingScroll scroll{state};
    Actions actions{desk, state, hook, &scroll};
    Hwnd top = kNoWindow, pointed = kNoWindow, target = kNoWindow;
};

TEST_F(ActionRun, EmptyCodeStillPausesAndResumesTheHook) {
    actions.RunActions("");
    EXPECT_EQ(hook.calls, (std::vector<std::string>{"Pause", "Resume"}));
    EXPECT_TRUE(desk.Records().empty());
}

TEST_F(ActionRun, DefaultReleaseActionReplaysARightClickWithTheHookPaused) {
    actions.RunActions(BuiltInSclDat().ButtonUpNoScrolled);
    const auto inputs = desk.Inputs();
    ASSERT_EQ(inputs.size(), 2u);
    EXPECT_EQ(inputs[0].kind, FakeRecord::Kind::Mouse);
    EXPECT_EQ(inputs[0].msg, win::MOUSEEVENTF_RIGHTDOWN);
    EXPECT_EQ(inputs[1].msg, win::MOUSEEVENTF_RIGHTUP);
    EXPECT_EQ(inputs[0].lp, 0);  // no movement
    EXPECT_EQ(inputs[1].lp, 0);
    EXPECT_EQ(hook.recordsAt, (std::vector<std::size_t>{0, 2}));
}

TEST_F(ActionRun, KeyActionsSendKeyDownAndKeyUp) {
    actions.RunActions(Code({'K', 0x11, '+', 0xFE, 'k', 0x11}));  // 0xFE: no sign trouble
    const auto in = desk.Inputs();
    ASSERT_EQ(in.size(), 4u);
    const std::uint32_t flags[] = {0, 0, win::KEYEVENTF_KEYUP, win::KEYEVENTF_KEYUP};
    const WParam keys[] = {0x11, 0xFE, 0xFE, 0x11};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(in[i].kind, FakeRecord::Kind::Key) << i;
        EXPECT_EQ(in[i].msg, flags[i]) << i;
        EXPECT_EQ(in[i].wp, keys[i]) << i;
    }
}

TEST_F(ActionRun, ButtonActionsMapButtonNumbersToFlags) {
    actions.RunActions(Code({'-', 1, 'M', 4, 'm', 4, 'M', 3, '-', 0}));
    const auto in = desk.Inputs();
    ASSERT_EQ(in.size(), 4u);
    EXPECT_EQ(in[0].msg, win::MOUSEEVENTF_LEFTDOWN);
    EXPECT_EQ(in[1].msg, win::MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(in[2].msg, win::MOUSEEVENTF_MIDDLEDOWN);
    EXPECT_EQ(in[3].msg, win::MOUSEEVENTF_MIDDLEUP);
}

TEST_F(ActionRun, OddLengthCodeRunsCompletePairsAndIgnoresTheLastCharacter) {
    actions.RunActions(Code({'K', 0x11, 'k'}));
    const auto in = desk.Inputs();
    ASSERT_EQ(in.size(), 1u);
    EXPECT_EQ(in[0].msg, 0u);
    EXPECT_EQ(in[0].wp, 0x11u);
    EXPECT_EQ(hook.calls.size(), 2u);
}

TEST_F(ActionRun, SendButtonSendsDownAndUpAtThePressPointInClientCoordinates) {
    actions.RunActions(Code({'.', 2}));
    const auto sent = desk.SentTo(pointed);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].msg, win::WM_RBUTTONDOWN);
    EXPECT_EQ(sent[1].msg, win::WM_RBUTTONUP);
    for (const auto& r : sent) {
        EXPECT_EQ(r.wp, 0u);
        EXPECT_EQ(Low32(r.lp), win::MakeLong(40, 30));
    }
    actions.RunActions(Code({'N', 1, 'n', 4}));
    EXPECT_EQ(desk.CountSent(pointed, win::WM_LBUTTONDOWN), 1);
    EXPECT_EQ(desk.CountSent(pointed, win::WM_MBUTTONUP), 1);
    EXPECT_EQ(desk.CountSent(pointed, win::WM_LBUTTONUP), 0);
}

TEST_F(ActionRun, SendButtonOutsideTheWindowPacksNegativeCoordinatesAs16Bits) {
    state.Drag.DownPoint = {100, 60};  // left of and above the client area
    actions.RunActions(Code({'N', 1}));
    const auto sent = desk.SentTo(pointed);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(Low32(sent[0].lp), 0xFFF6FFF6u);  // (-10, -10)
}

TEST_F(ActionRun, SendButtonIsDroppedWhenThePointCannotBeConverted) {
    desk.DestroyWindow(pointed);
    actions.RunActions(Code({'.', 1, 'K', 0x20}));
    for (const auto& r : desk.Records()) EXPECT_NE(r.kind, FakeRecord::Kind::Send);
    EXPECT_EQ(desk.Inputs().size(), 1u);  // the following action still runs
}

TEST_F(ActionRun, WindowCallsGoToTheTargetWindow) {
    actions.RunActions("SASFSGSTSP");
    std::vector<std::string> calls;
    for (const auto& r : desk.Records()) {
        if (r.kind == FakeRecord::Kind::Call) {
            EXPECT_EQ(r.window, target) << r.call;
            calls.push_back(r.call);
        }
    }
    EXPECT_EQ(calls, (std::vector<std::string>{"SetActiveWindow", "SetFocus", "SetForegroundWindow",
                                               "BringWindowToTop"}));
    EXPECT_EQ(desk.CountSent(target, win::WM_PAINT), 1);
    EXPECT_EQ(desk.CountSent(pointed, win::WM_PAINT), 0);
}

TEST_F(ActionRun, UnknownCodesAndSubCodesDoNothing) {
    actions.RunActions("SXZZR1" + Code({'N', 3}));
    EXPECT_TRUE(desk.Records().empty());
    EXPECT_EQ(scroll.scrolls, 0);
}

TEST_F(ActionRun, ScrollActionRunsOneScrollStepDuringAScrollingDrag) {
    actions.RunActions("R0");
    EXPECT_EQ(scroll.scrolls, 1);
    state.Target.IsScroll = false;
    actions.RunActions("R0");
    EXPECT_EQ(scroll.scrolls, 1);
}

TEST_F(ActionRun, ScrollActionInsideItsOwnStepDoesNotRecurse) {
    // A line step runs BeforeScroll; a Scroll action there must not nest.
    scroll.during = [this] { actions.RunActions("R0"); };
    actions.RunActions("R0");
    EXPECT_EQ(scroll.scrolls, 1);
    EXPECT_EQ(hook.calls, (std::vector<std::string>{"Pause", "Pause", "Resume", "Resume"}));
}

TEST_F(ActionRun, HookIsResumedWhenAnActionThrows) {
    scroll.during = [] { throw std::runtime_error("ClientLen error"); };
    EXPECT_THROW(actions.RunActions("R0"), std::runtime_error);
    EXPECT_EQ(hook.calls, (std::vector<std::string>{"Pause", "Resume"}));
    scroll.during = nullptr;
    actions.RunActions("R0");  // the step guard was released as well
    EXPECT_EQ(scroll.scrolls, 2);
}

}  // namespace
}  // namespace flicko
