#include "engine/MouseEvents.h"
#include "engine/PressGate.h"

#include <gtest/gtest.h>

#include "platform/WinConst.h"
#include "platform/fake/FakeDesktop.h"
#include "tests/unit/engine/RecordingDragNeighbours.h"

namespace flicko {
namespace {

using testing::Journal;

class DragTracking : public ::testing::Test {
protected:
    DragTracking()
        : scroll(journal, state),
          velocity(journal),
          inertia(journal),
          actions(journal),
          checkMouse(journal),
          events(desktop, model, state,
                 DragNeighbours{&paths, &scroll, &velocity, &inertia, &actions, &checkMouse, &settings}) {
        top = desktop.AddWindow(kNoWindow, {.className = "Frame", .rect = {0, 0, 400, 300}});
        edit = desktop.AddWindow(top, {.className = "Edit", .rect = {10, 20, 210, 220}, .client = Rect{12, 22, 200, 210}});
        other = desktop.AddWindow(top, {.className = "Static", .rect = {250, 20, 390, 220}});
        // One rule: every Edit window scrolls.
        const int i = model.SclDats.Add("C\"Edit\"");
        ResetToDefaults(model.DefaultSclDat, &model.SclDats.Items(i));
        model.SclDats.Items(i).ButtonDown = "down";
        model.SclDats.Items(i).ButtonUpScrolled = "scrolled";
        paths.resolve = [this](Hwnd start, std::string_view code, const TSclDat&) -> Hwnd {
            if (code == "C\"Edit\"") return desktop.ClassName(start) == "Edit" ? start : kNoWindow;
            return start;
        };
        desktop.SetTime(100000);
    }

    TSclDat& EditRule() { return model.SclDats.Items(0); }
    std::uint32_t Press(Point p) {
        desktop.SetCursor(p);
        return events.DispatchMouseEvent(win::WM_RBUTTONDOWN);
    }
    std::uint32_t Send(std::uint32_t msg, Point p) {
        desktop.SetCursor(p);
        return events.DispatchMouseEvent(msg);
    }
    std::uint32_t Release(Point p) { return Send(win::WM_RBUTTONUP, p); }
    std::vector<std::string> ErrorTexts() const {
        std::vector<std::string> out;
        for (const auto& e : state.Reports.Errors) out.push_back(e.Text);
        return out;
    }

    FakeDesktop desktop;
    TRuleModel model;
    EngineState state;
    Journal journal;
    testing::TablePathResolver paths;
    testing::RecordingScroll scroll;
    testing::RecordingVelocity velocity;
    testing::RecordingInertia inertia;
    testing::RecordingActions actions;
    testing::RecordingCheckMouse checkMouse;
    TEngineSettings settings;
    MouseEvents events;
    Hwnd top = 0, edit = 0, other = 0;
};

// --- replies ----------------------------------------------------------------

TEST_F(DragTracking, PressOnScrollableWindowIsSwallowedAndStartsADrag) {
    EXPECT_EQ(Press({50, 50}), 1u);
    EXPECT_TRUE(state.Drag.Pressed);
    EXPECT_FALSE(state.Drag.PassThrough);
    EXPECT_EQ(state.Target.PointedWindow, edit);
    EXPECT_EQ(state.Target.TargetWindow, edit);
    EXPECT_TRUE(state.Reports.Moves);
    EXPECT_TRUE(checkMouse.running);
    // The press actions run before the check starts.
    const std::vector<std::string> tail(journal.calls.end() - 2, journal.calls.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"RunActions", "StartCheckMouse"}));
    EXPECT_EQ(actions.codes, std::vector<std::string>{"down"});
}

TEST_F(DragTracking, PressReplyAddsCaretAndCaptureBitsOfTheRule) {
    EditRule().SetCaret = true;
    EXPECT_EQ(Press({50, 50}), 3u);
    Release({50, 50});
    desktop.Advance(1000);
    EditRule().SetCaret = false;
    EditRule().SetCapture = true;
    EXPECT_EQ(Press({50, 50}), 5u);
    Release({50, 50});
    desktop.Advance(1000);
    EditRule().SetCaret = true;
    EXPECT_EQ(Press({50, 50}), 7u);
}

TEST_F(DragTracking, TargetRectIsTheClientAreaInScreenCoordinatesWithInclusiveEdges) {
    Press({50, 50});
    EXPECT_EQ(state.Target.TargetRect, (Rect{12, 22, 199, 209}));
}

TEST_F(DragTracking, WindowWithoutScrollingRuleGetsPressAndReleaseUntouched) {
    // Before the first reading the else rule is all zero: nothing scrolls.
    EXPECT_EQ(Press({300, 50}), 0u);
    EXPECT_TRUE(state.Drag.Pressed);
    EXPECT_TRUE(state.Drag.PassThrough);
    EXPECT_FALSE(state.Reports.Moves);
    EXPECT_EQ(journal.Count("PrepareAxes"), 0);
    EXPECT_EQ(Send(win::WM_MOUSEMOVE, {340, 90}), 0u);
    EXPECT_EQ(journal.Count("ScrollToDelta(40,40)"), 0);
    EXPECT_EQ(Release({340, 90}), 0u);
    EXPECT_TRUE(actions.codes.empty());
}

TEST_F(DragTracking, PressPassesWhileAProgramConfinesOrHidesTheCursor) {
    const auto click = [this] {
        const std::uint32_t reply = Press({50, 50});
        Release({50, 50});
        desktop.Advance(1000);
        return reply;
    };
    desktop.SetClipCursor(Rect{0, 0, 400, 300});
    EXPECT_EQ(click(), 0u);
    desktop.SetClipCursor(Rect{0, 0, 1280, 1024});  // the whole screen: a full-screen window scrolls
    EXPECT_EQ(click(), 1u);
    desktop.SetClipCursor(std::nullopt);
    desktop.SetCursorShowing(false);
    EXPECT_EQ(click(), 0u);
    settings.LeaveConfinedCursor = false;
    EXPECT_EQ(click(), 1u) << "the setting turns it off";
    settings.LeaveConfinedCursor = true;
    desktop.SetCursorState(CursorState::Suppressed);
    EXPECT_EQ(click(), 1u) << "a pen or touch in use hides the cursor for nobody's game";
    desktop.SetCursorShowing(true);
    desktop.SetClipCursor(Rect{0, 0, 640, 1024});
    EXPECT_EQ(click(), 1u) << "kept on one monitor by a utility, not by the pointed program";
}

TEST_F(DragTracking, PassKeyHeldAtThePressLeavesTheWholeDragToTheWindow) {
    desktop.SetButtonDown(win::VK_CONTROL, true);  // the built-in key
    EXPECT_EQ(Press({50, 50}), 0u);
    EXPECT_EQ(Send(win::WM_MOUSEMOVE, {50, 90}), 0u);
    EXPECT_EQ(Release({50, 90}), 0u);
    EXPECT_EQ(journal.Count("PrepareAxes"), 0);
    EXPECT_TRUE(actions.codes.empty());
    desktop.Advance(1000);
    settings.PassKey = PassKeyByName("none");
    EXPECT_EQ(Press({50, 50}), 1u) << "without a pass key Ctrl is any key";
    EXPECT_EQ(PassKeyByName("shift") + PassKeyByName("Alt"), 16 + 17) << "no such name: the built-in key";
}

TEST_F(DragTracking, RuleWithIsScrollOffPassesThrough) {
    EditRule().IsScroll = false;
    EXPECT_EQ(Press({50, 50}), 0u);
    EXPECT_EQ(Release({50, 50}), 0u);
    EXPECT_TRUE(actions.codes.empty());
    EXPECT_FALSE(state.Reports.Moves);
}

TEST_F(DragTracking, ReleaseWithoutAnyPressIsNotSwallowed) {
    EXPECT_EQ(Release({50, 50}), 0u);
    EXPECT_TRUE(actions.codes.empty());
    EXPECT_FALSE(state.Reports.Moves);
}

TEST_F(DragTracking, OtherPressesStartNothingAndOtherMessagesAreNotHandled) {
    for (std::uint32_t msg : {win::WM_RBUTTONDBLCLK, win::WM_LBUTTONDBLCLK, win::WM_MBUTTONDBLCLK,
                              win::WM_NCRBUTTONDOWN, win::WM_NCLBUTTONDOWN, win::WM_MOUSEWHEEL, 0x1234u}) {
        EXPECT_EQ(Send(msg, {50, 50}), 0u) << msg;
    }
    EXPECT_FALSE(state.Drag.Pressed);
    EXPECT_EQ(journal.Count("PrepareAxes"), 0);
    EXPECT_TRUE(actions.codes.empty());
    journal.calls.clear();
    Send(win::WM_MOUSEWHEEL, {50, 50});
    Send(0x1234u, {50, 50});
    EXPECT_TRUE(journal.calls.empty());
}

// The system pairs the given-back press with the swallowed one before the
// hook sees it; the pair is swallowed and the click given once more.
TEST_F(DragTracking, GivenBackClickPairedIntoADoubleClickIsGivenAgainOnce) {
    Press({50, 50});
    Release({50, 50});
    ASSERT_EQ(actions.codes.back(), kDefaultButtonUpNoScrolled);
    desktop.Advance(2);
    EXPECT_EQ(Send(win::WM_RBUTTONDBLCLK, {50, 50}), 1u);
    EXPECT_EQ(Release({50, 50}), 1u);
    EXPECT_EQ(actions.codes, (std::vector<std::string>{"down", kDefaultButtonUpNoScrolled, kDefaultButtonUpNoScrolled}));
    // Given again, it arrives as a plain click within the double-click time.
    EXPECT_EQ(Press({50, 50}), 0u);
    EXPECT_EQ(Release({50, 50}), 0u);
    // A real double click after that reaches the window.
    EXPECT_EQ(Send(win::WM_RBUTTONDBLCLK, {50, 50}), 0u);
    EXPECT_EQ(Release({50, 50}), 0u);
    EXPECT_EQ(actions.codes.size(), 3u);
}

TEST_F(DragTracking, ClickGivenAgainRunsNoOtherReleaseAction) {
    EditRule().ButtonUpNoScrolled = std::string{'+', '\x1b', '-', '\x02'};  // Key(ESCAPE), Button(right)
    Press({50, 50});
    Release({50, 50});
    EXPECT_EQ(Send(win::WM_RBUTTONDBLCLK, {50, 50}), 1u);
    EXPECT_EQ(Release({50, 50}), 1u);
    // The click alone, without a second Escape.
    EXPECT_EQ(actions.codes.back(), kDefaultButtonUpNoScrolled);
}

TEST_F(DragTracking, DoubleClickIsOnlyTakenForTheGivenBackClickWhenOneWasGiven) {
    EditRule().ButtonUpNoScrolled = std::string("+") + char(13);  // a key, no click
    Press({50, 50});
    Release({50, 50});
    EXPECT_EQ(Send(win::WM_RBUTTONDBLCLK, {50, 50}), 0u);
    EXPECT_EQ(Release({50, 50}), 0u);
    // Given back, but the double click comes after the double-click time.
    EditRule().ButtonUpNoScrolled = kDefaultButtonUpNoScrolled;
    desktop.Advance(1000);
    Press({50, 50});
    Release({50, 50});
    desktop.Advance(desktop.GetDoubleClickTime() + 1);
    EXPECT_EQ(Send(win::WM_RBUTTONDBLCLK, {50, 50}), 0u);
    EXPECT_EQ(actions.codes.size(), 4u);
}

TEST_F(DragTracking, NonClientRightReleaseEndsTheDragAndIsSwallowed) {
    Press({50, 50});
    EXPECT_EQ(Send(win::WM_NCRBUTTONUP, {50, 50}), 1u);
    EXPECT_FALSE(state.Drag.Pressed);
    EXPECT_FALSE(state.Reports.Moves);
    EXPECT_FALSE(checkMouse.running);
}

// --- double-click guard -------------------------------------------------------

TEST_F(DragTracking, PressWithinDoubleClickTimeOfAnyReleaseReachesTheWindow) {
    events.DispatchMouseEvent(win::WM_LBUTTONUP);  // t = 100000
    desktop.Advance(500);                          // exactly the double-click time
    EXPECT_EQ(Press({50, 50}), 0u);
    EXPECT_FALSE(state.Drag.Pressed);
    EXPECT_EQ(Release({50, 50}), 0u);
    desktop.Advance(501);
    EXPECT_EQ(Press({50, 50}), 1u) << "one millisecond after the guard a drag starts";
}

TEST_F(DragTracking, MiddleAndNonClientReleasesAlsoArmTheGuard) {
    for (std::uint32_t msg : {win::WM_MBUTTONUP, win::WM_NCLBUTTONUP, win::WM_NCMBUTTONUP, win::WM_RBUTTONUP}) {
        desktop.Advance(10000);
        Send(msg, {50, 50});
        desktop.Advance(100);
        EXPECT_EQ(Press({50, 50}), 0u) << msg;
    }
}

TEST_F(DragTracking, DoubleClickGuardSumWrapsPast32Bits) {
    desktop.SetTime(0xFFFFFF00u);
    events.DispatchMouseEvent(win::WM_LBUTTONUP);
    // LastButtonUpTime + 500 wraps to 0xF4: a press just after the release
    // compares against the wrapped sum and is not guarded.
    desktop.SetTime(0xFFFFFF10u);
    EXPECT_EQ(Press({50, 50}), 1u);
    Release({50, 50});
    // The release at 0xFFFFFF10 arms the guard up to 0x104 after the wrap.
    desktop.SetTime(0x00000050u);
    EXPECT_EQ(Press({50, 50}), 0u);
    desktop.SetTime(0x00000105u);
    EXPECT_EQ(Press({50, 50}), 1u);
}

// --- moves ------------------------------------------------------------------

TEST_F(DragTracking, MovesScrollByTheOffsetFromThePressPoint) {
    Press({50, 50});
    journal.calls.clear();
    Send(win::WM_MOUSEMOVE, {53, 40});
    EXPECT_EQ(journal.calls, (std::vector<std::string>{"SampleH(53,100000)", "SampleV(40,100000)",
                                                       "ScrollToDelta(3,-10)"}));
    journal.calls.clear();
    Send(win::WM_NCMOUSEMOVE, {53, 40});
    EXPECT_EQ(journal.Count("ScrollToDelta(3,-10)"), 0) << "an unchanged offset scrolls nothing";
}

TEST_F(DragTracking, DisabledAxisKeepsItsDeltaAtZeroAndIsNotSampled) {
    scroll.onPrepare = [this] {
        state.Target.Axis[kAxisH].Enabled = false;
        state.Target.Axis[kAxisV].Enabled = true;
    };
    Press({50, 50});
    journal.calls.clear();
    Send(win::WM_MOUSEMOVE, {90, 60});
    EXPECT_EQ(journal.calls, (std::vector<std::string>{"SampleV(60,100000)", "ScrollToDelta(0,10)"}));
    journal.calls.clear();
    Send(win::WM_MOUSEMOVE, {10, 60});
    EXPECT_TRUE(journal.calls == std::vector<std::string>{"SampleV(60,100000)"});
}

TEST_F(DragTracking, TimeAMoveSpendsScrollingIsToldToTheVelocity) {
    scroll.onScroll = [this] { desktop.Advance(30); };
    Press({50, 50});
    Send(win::WM_MOUSEMOVE, {50, 80});
    Send(win::WM_MOUSEMOVE, {50, 80});  // unchanged offset: no scroll, no time
    EXPECT_EQ(velocity.scrollTime, 30u);
}

TEST_F(DragTracking, MovesWithoutAPressDoNothing) {
    EXPECT_EQ(Send(win::WM_MOUSEMOVE, {60, 60}), 0u);
    EXPECT_TRUE(journal.calls.empty());
}

TEST_F(DragTracking, HalfDoubleClickRectangleDecidesWhichReleaseActionsRun) {
    scroll.onPrepare = [this] { state.Target.Axis[0].Enabled = state.Target.Axis[1].Enabled = true; };
    desktop.SetMetric(win::SM_CXDOUBLECLK, 5);  // half: 2 (truncated)
    desktop.SetMetric(win::SM_CYDOUBLECLK, 8);  // half: 4
    Press({50, 50});
    Send(win::WM_MOUSEMOVE, {52, 54});  // exactly half on both axes: not moved
    EXPECT_FALSE(state.Drag.Moved);
    EXPECT_EQ(journal.Count("ScrollToDelta(2,4)"), 1) << "small moves still scroll";
    Release({52, 54});
    EXPECT_EQ(actions.codes.back(), kDefaultButtonUpNoScrolled);

    desktop.Advance(1000);
    Press({50, 50});
    Send(win::WM_MOUSEMOVE, {50, 55});  // one pixel beyond half vertically
    EXPECT_TRUE(state.Drag.Moved);
    Release({50, 50});
    EXPECT_EQ(actions.codes.back(), "scrolled");
}

// --- inertia ----------------------------------------------------------------

TEST_F(DragTracking, FastReleaseStartsInertiaAndSlowReleaseResetsTheIcon) {
    Press({50, 50});
    velocity.v[1] = -1.0f;  // exactly InertiaMin
    Send(win::WM_MOUSEMOVE, {50, 80});
    EXPECT_EQ(state.Reports.TrayPicture, TB_SCROLL);
    Release({50, 80});
    EXPECT_EQ(journal.Count("StartInertia"), 1);

    inertia.running = false;
    desktop.Advance(1000);
    Press({50, 50});
    velocity.v[1] = -0.99f;
    Send(win::WM_MOUSEMOVE, {50, 80});
    EXPECT_EQ(state.Reports.TrayPicture, TB_ENABLE);
    Release({50, 80});
    EXPECT_EQ(journal.Count("StartInertia"), 1);
    EXPECT_EQ(state.Reports.TrayPicture, TB_ENABLE);
}

TEST_F(DragTracking, RuleWithoutInertiaNeverGlides) {
    EditRule().IsInertia = false;
    Press({50, 50});
    velocity.v[0] = 5.0f;
    Release({90, 50});
    EXPECT_EQ(journal.Count("StartInertia"), 0);
    EXPECT_EQ(state.Reports.TrayPicture, TB_ENABLE);
}

TEST_F(DragTracking, PressThatStopsAGlideOnTheSameWindowStartsADragInsideTheGuard) {
    Press({50, 50});
    Release({50, 90});  // arms the double-click guard
    inertia.running = true;
    desktop.Advance(100);
    EXPECT_EQ(Press({50, 50}), 1u);
    EXPECT_TRUE(state.Drag.InterruptedInertia);
    EXPECT_FALSE(inertia.running);
    Release({50, 50});  // without moving: the stopping click is not replayed
    EXPECT_EQ(actions.codes.back(), "scrolled");
}

TEST_F(DragTracking, PressThatStopsAGlideOverAnotherWindowInsideTheGuardPassesThrough) {
    Press({50, 50});
    Release({50, 90});
    inertia.running = true;
    desktop.Advance(100);
    EXPECT_EQ(Press({300, 50}), 0u);
    EXPECT_FALSE(inertia.running);
    EXPECT_FALSE(state.Drag.InterruptedInertia);
}

TEST_F(DragTracking, LeftOrMiddlePressStopsTheGlideAndIsNotSwallowed) {
    for (std::uint32_t msg : {win::WM_LBUTTONDOWN, win::WM_MBUTTONDOWN}) {
        inertia.running = true;
        state.Target.InertiaGoing = true;
        EXPECT_EQ(Send(msg, {50, 50}), 0u);
        EXPECT_FALSE(inertia.running);
        EXPECT_FALSE(state.Target.InertiaGoing);
        EXPECT_EQ(state.Reports.TrayPicture, TB_ENABLE);
    }
}

// --- rule cache and faults ----------------------------------------------------

TEST_F(DragTracking, WindowKeepsItsFirstRuleUntilTheCacheIsCleared) {
    Press({50, 50});
    Release({50, 50});
    const int resolved = paths.calls;
    EditRule().IsScroll = false;  // a changed rule is not seen by a known window
    desktop.Advance(1000);
    EXPECT_EQ(Press({50, 50}), 1u);
    EXPECT_EQ(paths.calls, resolved + 1) << "only SendTo is resolved again";
    Release({50, 50});
    model.KnowWindows.Clear();
    desktop.Advance(1000);
    EXPECT_EQ(Press({50, 50}), 0u);
}

TEST_F(DragTracking, ErrorWhilePreparingAPressPassesItThroughAndIsReportedOnce) {
    scroll.onPrepare = [] { throw std::runtime_error("ClientLen missed GetClientRect"); };
    EXPECT_EQ(Press({50, 50}), 0u);
    EXPECT_EQ(ErrorTexts(), std::vector<std::string>{"ClientLen missed GetClientRect"});
    EXPECT_TRUE(state.Drag.PassThrough);
    EXPECT_FALSE(state.Reports.Moves);
    EXPECT_FALSE(checkMouse.running);
    EXPECT_EQ(Send(win::WM_MOUSEMOVE, {80, 80}), 0u);
    EXPECT_EQ(journal.Count("ScrollToDelta(30,30)"), 0);
    EXPECT_EQ(Release({80, 80}), 0u);
    EXPECT_TRUE(actions.codes.empty());
    EXPECT_EQ(ErrorTexts().size(), 1u);
}

TEST_F(DragTracking, HookReleaseAfterASynthesizedOneIsSwallowedButIsTheSameRelease) {
    Press({50, 50});
    events.EndPress({50, 50}, 100005);
    EXPECT_EQ(Release({50, 50}), 1u);
    EXPECT_EQ(actions.codes.size(), 2u);  // ButtonDown, then the release actions once
    // A second release of the same press is not swallowed.
    EXPECT_EQ(Release({50, 50}), 0u);
}

}  // namespace
}  // namespace flicko
