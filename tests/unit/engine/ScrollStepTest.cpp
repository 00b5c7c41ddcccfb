// Step family: arrow keys, scroll-bar lines and edit-control lines.
#include <gtest/gtest.h>

#include "tests/unit/engine/ScrollTestSupport.h"

namespace flicko {
namespace {

using testing::Calls;
using testing::Lines;
using testing::Seq;

class StepFamily : public testing::ScrollFixture {};

// Both axes use scrollline (6 px per line horizontally, 12 vertically).
TEST_F(StepFamily, TwoLinesOfOffsetSendTwoStepsSpreadOverTheInterleavedPasses) {
    Press(edit);
    // Vertically 24 px: one step at the pass 1/3, one in the last pass.
    // Horizontally 9 px: 9/2/6 = 0.75 at the pass 1/2; the 3 px left are
    // half a line and stay. The vertical axis goes first in every pass.
    DragTo(9, 24);
    EXPECT_EQ(Sent(), Seq({Lines("V", 0, 1), Lines("H", 0, 1), Lines("V", 0, 1)}));
    EXPECT_EQ(Applied(kAxisV), 24);
    EXPECT_EQ(Applied(kAxisH), 6);
    EXPECT_EQ(VPos(), 48);
    EXPECT_EQ(HPos(), 99);
}

TEST_F(StepFamily, RemainderOfHalfALineWaitsForTheNextMove) {
    Press(edit);
    DragTo(0, 18);  // one step at the pass 1/2; 6/12 = 0.5 rounds to 0
    EXPECT_EQ(TakeSent(), Lines("V", 0, 1));
    EXPECT_EQ(Applied(kAxisV), 12);
    DragTo(0, 20);
    EXPECT_EQ(TakeSent(), Lines("V", 0, 1));
    EXPECT_EQ(Applied(kAxisV), 24);
}

TEST_F(StepFamily, EachPassRoundsInSinglePrecision) {
    // Vertically 18 px at the pass 1/3: 18 x 0.33333334f = 6.0000002, held
    // by a float as 6 exactly; 6 / 12 = 0.5 rounds to 0, so the line waits
    // for the pass 1/2. Wider arithmetic would send it in the pass 1/3,
    // before the column that 12 px horizontally send there.
    Press(edit);
    DragTo(12, 18);
    EXPECT_EQ(Sent(), Seq({Lines("H", 0, 1), Lines("V", 0, 1), Lines("H", 0, 1)}));
}

TEST_F(StepFamily, HalfALineRoundsToEvenAndSendsNothingWhileOnePixelMoreSendsAStep) {
    Press(edit);
    DragTo(0, 6);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(Applied(kAxisV), 0);
    DragTo(0, 7);
    EXPECT_EQ(Sent(), Lines("V", 0, 1));
    EXPECT_EQ(Applied(kAxisV), 12);
}

TEST_F(StepFamily, NegativeOffsetScrollsTowardTheEnd) {
    Press(edit);
    DragTo(-6, -24);
    EXPECT_EQ(Sent(), Seq({Lines("V", 1, 2), Lines("H", 1, 1)}));  // H: -6 px only in the last pass
    EXPECT_EQ(Applied(kAxisV), -24);
    EXPECT_EQ(Applied(kAxisH), -6);
}

TEST_F(StepFamily, UnitWidthThatRoundsToZeroPixelsSendsNothing) {
    SetV(TScrollMethod::scrollline, 0.5f);  // half to even: 0 whole pixels
    Press(edit);
    DragTo(0, 400);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(Applied(kAxisV), 0);

    SetV(TScrollMethod::scrollline, 0.51f);  // 1 pixel per line
    Press(edit);
    DragTo(0, 3);
    EXPECT_EQ(Sent(), Lines("V", 0, 3));
    EXPECT_EQ(Applied(kAxisV), 3);
}

TEST_F(StepFamily, AppliedFollowsASlowDragWithoutDrift) {
    Press(edit);
    desktop.SetScrollBar(edit, win::SB_VERT, 0, 999, 10, 500);
    for (int dy = 1; dy <= 120; ++dy) {
        DragTo(0, dy);
        ASSERT_LE(std::abs(dy - Applied(kAxisV)), 6) << "at " << dy;
        ASSERT_EQ(Applied(kAxisV) % 12, 0);
    }
    EXPECT_EQ(desktop.CountSent(edit, win::WM_VSCROLL, win::SB_LINEUP), 10);
    for (int dy = 119; dy >= 0; --dy) DragTo(0, dy);
    EXPECT_EQ(Applied(kAxisV), 0);
    EXPECT_EQ(VPos(), 500);
}

// --- the ends of the range ---------------------------------------------------

TEST_F(StepFamily, BarAtItsStartStopsLinesAndKeepsAppliedSoScrollingBackResumesAtOnce) {
    desktop.SetScrollBar(edit, win::SB_VERT, 0, 99, 10, 0);
    Press(edit);
    DragTo(0, 60);
    DragTo(0, 120);
    EXPECT_TRUE(TakeSent().empty());
    EXPECT_EQ(Applied(kAxisV), 0);
    // Back above the press point: the first line down goes at once.
    DragTo(0, -12);
    EXPECT_EQ(TakeSent(), Lines("V", 1, 1));
    EXPECT_EQ(VPos(), 1);
}

TEST_F(StepFamily, BarAtItsEndStopsLinesDown) {
    // nPos + nPage >= nMax + 1: 90 + 10 >= 100.
    desktop.SetScrollBar(edit, win::SB_VERT, 0, 99, 10, 90);
    Press(edit);
    DragTo(0, -24);
    EXPECT_TRUE(TakeSent().empty());
    desktop.SetScrollBar(edit, win::SB_VERT, 0, 99, 10, 89);
    DragTo(0, -25);
    EXPECT_EQ(TakeSent(), Lines("V", 1, 1));
    EXPECT_EQ(Applied(kAxisV), -12);
}

TEST_F(StepFamily, EndReachedPartWayThroughAStepLeavesAppliedUnchanged) {
    // Horizontal lines with a vertical position method: the first pass asks
    // for two lines at once (18 * 0.5 / 6 = 1.5 -> 2); one fits.
    SetV(TScrollMethod::scrollpos, 12.0f);
    desktop.SetScrollBar(edit, win::SB_HORZ, 0, 199, 20, 1);
    Press(edit);
    DragTo(18, 0);
    EXPECT_EQ(Sent(), Lines("H", 0, 1));
    EXPECT_EQ(Applied(kAxisH), 0);
    EXPECT_EQ(HPos(), 0);
}

TEST_F(StepFamily, UnreadableBarIsAtNeitherEndSoLinesGoBothWays) {
    desktop.RemoveScrollBar(edit, win::SB_VERT);
    Press(edit);
    DragTo(0, 12);
    EXPECT_EQ(TakeSent(), Lines("V", 0, 1));
    EXPECT_EQ(Applied(kAxisV), 12);
    DragTo(0, -12);
    EXPECT_EQ(TakeSent(), Lines("V", 1, 2));
    EXPECT_EQ(Applied(kAxisV), -12);
}

// --- what each method sends --------------------------------------------------

TEST_F(StepFamily, ScrollLineNamesTheBarWindowInLParam) {
    const Hwnd bar = desktop.AddWindow(frame, {.className = "ScrollBar", .rect = {300, 100, 316, 260}});
    desktop.SetScrollBar(bar, win::SB_CTL, 0, 50, 5, 25);
    rule.V.ScrollBar = "bar";
    rule.V.ScrollBarType = TScrollBarType::Control;
    paths.resolve = [&](Hwnd start, std::string_view code, const TSclDat&) { return code == "bar" ? bar : start; };
    Press(edit);
    DragTo(0, 12);
    scroll.EndLineBurst();
    const auto sent = desktop.SentTo(edit);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].lp, static_cast<LParam>(bar));
    EXPECT_EQ(sent[1].lp, static_cast<LParam>(bar));
    // The fake routes a request naming a scroll-bar control to that control.
    EXPECT_EQ(desktop.Position(bar, win::SB_CTL), 24);
}

TEST_F(StepFamily, ScrollLineAboutTheWindowsOwnBarNamesNoBar) {
    Press(edit);
    DragTo(0, 12);
    scroll.EndLineBurst();
    EXPECT_EQ(desktop.SentTo(edit).size(), 2u);  // the line and the end of the run
    for (const FakeRecord& r : desktop.SentTo(edit)) EXPECT_EQ(r.lp, 0);
}

TEST_F(StepFamily, EditScrollSendsEmScrollLines) {
    SetV(TScrollMethod::editscroll, 12.0f);
    SetH(TScrollMethod::editscroll, 6.0f);
    Press(edit);
    DragTo(0, -24);
    EXPECT_EQ(TakeSent(), (Calls{"EM(1)", "EM(1)"}));
    EXPECT_EQ(VPos(), 52);
    // The horizontal axis sends the same message: EM_SCROLL only knows lines.
    DragTo(6, -24);
    EXPECT_EQ(TakeSent(), (Calls{"EM(0)"}));
    EXPECT_EQ(Applied(kAxisH), 6);
}

TEST_F(StepFamily, LineStepsRunTheRuleActionsAroundEachStep) {
    rule.BeforeScroll = "before";
    rule.AfterScroll = "after";
    // Record how many messages had gone out when each action code ran.
    struct Probe : IActions {
        FakeDesktop& d;
        std::vector<std::string> seen;
        explicit Probe(FakeDesktop& desk) : d(desk) {}
        void RunActions(std::string_view code) override {
            seen.push_back(std::string(code) + "@" + std::to_string(d.Records().size()));
        }
    } probe(desktop);
    ScrollMethods withProbe(desktop, state, paths, probe);
    Press(edit);
    state.Drag.LastDelta[1] = 24;
    withProbe.ScrollToDelta();
    EXPECT_EQ(probe.seen, (std::vector<std::string>{"before@0", "after@1", "before@1", "after@2"}));
}

TEST_F(StepFamily, NoActionsRunWhenTheRuleHasNone) {
    Press(edit);
    DragTo(0, 24);
    EXPECT_TRUE(actions.codes.empty());
}

TEST_F(StepFamily, ArrowKeysGoToTheFocusAsKeyPressesWithOneRelease) {
    SetV(TScrollMethod::arrowkey, 12.0f);
    SetH(TScrollMethod::arrowkey, 6.0f);
    Press(edit);
    DragTo(-6, 24);
    // V in the pass 1/3, then the last pass: V first, then H (negative: right).
    EXPECT_EQ(Sent(), (Calls{"key+38", "key-38", "key+38", "key-38", "key+39", "key-39"}));
    EXPECT_EQ(Applied(kAxisV), 24);
    EXPECT_EQ(Applied(kAxisH), -6);
    EXPECT_EQ(VPos(), 50);  // keys are input, not messages to the bar
}

TEST_F(StepFamily, ArrowKeysForSeveralStepsInOneCallShareTheRelease) {
    SetH(TScrollMethod::arrowkey, 6.0f);
    SetV(TScrollMethod::scrollpos, 12.0f);
    Press(edit);
    DragTo(24, 0);  // first pass: 24 * 0.5 / 6 = 2 keys, then 2 more
    EXPECT_EQ(Sent(), (Calls{"key+37", "key+37", "key-37", "key+37", "key+37", "key-37"}));
    EXPECT_EQ(Applied(kAxisH), 24);
}

TEST_F(StepFamily, CtrlArrowKeysWrapThePressesInControl) {
    SetV(TScrollMethod::carrowkey, 12.0f);
    Press(edit);
    DragTo(0, -12);
    EXPECT_EQ(Sent(), (Calls{"key+17", "key+40", "key-40", "key-17"}));
}

TEST_F(StepFamily, AltArrowKeysAreSystemKeyMessagesToTheTarget) {
    SetV(TScrollMethod::scrollpos, 12.0f);
    SetH(TScrollMethod::marrowkey, 6.0f);
    Press(edit);
    DragTo(-12, 0);
    EXPECT_EQ(Sent(), (Calls{"SYSDOWN(39,20000001)", "SYSUP(39,e0000001)", "SYSDOWN(39,20000001)",
                             "SYSUP(39,e0000001)"}));
    EXPECT_EQ(desktop.SentTo(edit).size(), 4u);
}

}  // namespace
}  // namespace flicko
