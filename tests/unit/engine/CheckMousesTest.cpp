#include "engine/CheckMouses.h"

#include <gtest/gtest.h>

#include "platform/WinConst.h"
#include "platform/fake/FakeDesktop.h"
#include "tests/unit/engine/RecordingDragNeighbours.h"

namespace flicko {
namespace {

using testing::Journal;

class ButtonCheck : public ::testing::Test {
protected:
    ButtonCheck()
        : scroll(journal, state),
          velocity(journal),
          inertia(journal),
          actions(journal),
          events(desktop, model, state, DragNeighbours{&paths, &scroll, &velocity, &inertia, &actions, &check}),
          check(desktop, state, events) {
        resident = desktop.AddWindow(kNoWindow, {.className = "FlickoMain"});
        check.SetResidentWindow(resident);
        const Hwnd top = desktop.AddWindow(kNoWindow, {.className = "Frame", .rect = {0, 0, 400, 300}});
        edit = desktop.AddWindow(top, {.className = "Edit", .rect = {10, 20, 210, 220}});
        const int i = model.SclDats.Add("edit");
        ResetToDefaults(model.DefaultSclDat, &model.SclDats.Items(i));
        model.SclDats.Items(i).ButtonUpScrolled = "scrolled";
        paths.resolve = [this](Hwnd start, std::string_view code, const TSclDat&) -> Hwnd {
            if (code == "edit") return start == edit ? start : kNoWindow;
            return start;
        };
        desktop.SetTime(200000);
    }

    // A press on the Edit window with the physical button down.
    void PressAndHold(Point p) {
        desktop.SetCursor(p);
        desktop.SetButtonDown(win::VK_RBUTTON, true);
        events.DispatchMouseEvent(win::WM_RBUTTONDOWN);
        journal.calls.clear();
        actions.codes.clear();  // the press actions
    }
    void TickAt(Millis after, Point p, bool down) {
        desktop.Advance(after);
        desktop.SetCursor(p);
        desktop.SetButtonDown(win::VK_RBUTTON, down);
        check.CheckMouseTick();
    }
    int Releases() const { return static_cast<int>(actions.codes.size()); }

    FakeDesktop desktop;
    TRuleModel model;
    EngineState state;
    Journal journal;
    testing::TablePathResolver paths;
    testing::RecordingScroll scroll;
    testing::RecordingVelocity velocity;
    testing::RecordingInertia inertia;
    testing::RecordingActions actions;
    MouseEvents events;
    CheckMouses check;
    Hwnd resident = kNoWindow, edit = kNoWindow;
};

TEST_F(ButtonCheck, ScrollingPressStartsTheCheckAndWakesTheResidentLoop) {
    EXPECT_FALSE(check.CheckMouseRunning());
    PressAndHold({50, 50});
    EXPECT_TRUE(check.CheckMouseRunning());
    std::vector<FakeRecord> posts;
    for (const auto& r : desktop.Records()) {
        if (r.kind == FakeRecord::Kind::Post) posts.push_back(r);
    }
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0].window, resident);
    EXPECT_EQ(posts[0].msg, win::WM_NULL);
}

TEST_F(ButtonCheck, TickWithoutTrackedPressStopsTheCheck) {
    check.StartCheckMouse();
    check.CheckMouseTick();
    EXPECT_FALSE(check.CheckMouseRunning());
    EXPECT_TRUE(journal.calls.empty());
}

TEST_F(ButtonCheck, HeldButtonFeedsMovesAtTheTicksTimeAndPosition) {
    PressAndHold({50, 50});
    TickAt(10, {70, 45}, true);
    EXPECT_EQ(journal.Count("SampleH(70,200010)"), 1);
    EXPECT_EQ(journal.Count("ScrollToDelta(20,-5)"), 1);
    // A resting cursor still samples the velocity but scrolls nothing new.
    TickAt(10, {70, 45}, true);
    EXPECT_EQ(journal.Count("SampleV(45,200020)"), 1);
    EXPECT_EQ(journal.Count("ScrollToDelta(20,-5)"), 1);
    EXPECT_TRUE(check.CheckMouseRunning());
    EXPECT_EQ(Releases(), 0);
}

TEST_F(ButtonCheck, ReleaseIsSynthesizedAfterTheGraceTimeWithTheTicksPosition) {
    PressAndHold({50, 50});
    TickAt(5, {60, 50}, false);  // first sight of the button up
    EXPECT_TRUE(check.ReleaseSeen());
    TickAt(9, {61, 50}, false);  // 9 ms: still waiting
    EXPECT_EQ(Releases(), 0);
    EXPECT_TRUE(state.Drag.Pressed);
    TickAt(1, {62, 51}, false);  // 10 ms
    EXPECT_EQ(Releases(), 1);
    EXPECT_FALSE(state.Drag.Pressed);
    EXPECT_EQ(state.Drag.UpPoint, (Point{62, 51}));
    EXPECT_EQ(state.Drag.UpTime, desktop.TimeGetTime());
    EXPECT_FALSE(check.CheckMouseRunning());
    EXPECT_FALSE(check.ReleaseSeen());  // the release clears it
}

TEST_F(ButtonCheck, HookReleaseWithinTheGraceTimeEndsTheDragAlone) {
    PressAndHold({50, 50});
    TickAt(5, {50, 50}, false);
    desktop.Advance(3);
    EXPECT_EQ(events.DispatchMouseEvent(win::WM_RBUTTONUP), kReplySwallow);
    EXPECT_FALSE(check.CheckMouseRunning());
    EXPECT_FALSE(check.ReleaseSeen());
    TickAt(20, {50, 50}, false);  // a stray tick synthesizes nothing
    EXPECT_EQ(Releases(), 1);
}

TEST_F(ButtonCheck, ButtonDownAgainWithinTheGraceKeepsTheReleaseSeen) {
    PressAndHold({50, 50});
    TickAt(2, {50, 50}, false);
    TickAt(4, {55, 50}, true);  // down again: a move, the mark stays
    EXPECT_TRUE(check.ReleaseSeen());
    EXPECT_EQ(journal.Count("ScrollToDelta(5,0)"), 1);
    TickAt(6, {56, 50}, false);  // 10 ms after the first sight: released at once
    EXPECT_EQ(Releases(), 1);
    EXPECT_EQ(state.Drag.UpPoint, (Point{56, 50}));
}

TEST_F(ButtonCheck, GraceTimeSpansTheWrapOfTheMillisecondClock) {
    desktop.SetTime(0xFFFFFFF0u);
    PressAndHold({50, 50});
    TickAt(8, {50, 50}, false);   // seen at 0xFFFFFFF8
    TickAt(9, {50, 50}, false);   // 0x00000001: 9 ms later
    EXPECT_EQ(Releases(), 0);
    TickAt(1, {50, 50}, false);   // 10 ms later
    EXPECT_EQ(Releases(), 1);
}

TEST_F(ButtonCheck, HookReleaseAfterASynthesizedOneIsSwallowedAndRunsNothingAgain) {
    PressAndHold({50, 50});
    TickAt(1, {50, 50}, false);
    TickAt(10, {50, 50}, false);
    EXPECT_EQ(Releases(), 1);
    // The press was swallowed: so is its one release, however late.
    EXPECT_EQ(events.DispatchMouseEvent(win::WM_RBUTTONUP), 1u);
    EXPECT_EQ(Releases(), 1);
    EXPECT_FALSE(check.CheckMouseRunning());
}

TEST_F(ButtonCheck, WithSwappedButtonsTheLogicalRightButtonIsRead) {
    desktop.SetMetric(win::SM_SWAPBUTTON, 1);
    desktop.SetCursor({50, 50});
    // The logical right button of a left-handed mouse is the physical left.
    desktop.SetButtonDown(win::VK_LBUTTON, true);
    events.DispatchMouseEvent(win::WM_RBUTTONDOWN);
    actions.codes.clear();
    for (int i = 0; i < 5; ++i) TickAt(10, {50, 60 + i}, false);
    EXPECT_TRUE(state.Drag.Pressed) << "the held logical button ended the drag";
    EXPECT_EQ(Releases(), 0);
    desktop.SetButtonDown(win::VK_LBUTTON, false);
    check.CheckMouseTick();
    desktop.Advance(10);
    check.CheckMouseTick();
    EXPECT_EQ(Releases(), 1);
}

TEST_F(ButtonCheck, UnreadableCursorIsNoSample) {
    PressAndHold({50, 50});
    journal.calls.clear();
    desktop.SetCursorUnreadable(true);
    TickAt(10, {0, 0}, true);
    // No move to (0, 0): no velocity sample, no scroll.
    EXPECT_TRUE(journal.calls.empty());
    EXPECT_TRUE(state.Drag.Pressed);
    desktop.SetCursorUnreadable(false);
    TickAt(10, {50, 70}, true);
    EXPECT_EQ(journal.Count("ScrollToDelta(0,20)"), 1);
}

}  // namespace
}  // namespace flicko
