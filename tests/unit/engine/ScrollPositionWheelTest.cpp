// Position family (thumb positions, scroll-bar control positions) and wheel
// family (wheel messages, list-view scrolling), and how the two axes take
// turns when only one or neither uses line steps.
#include <gtest/gtest.h>

#include "engine/PressGate.h"
#include "tests/unit/engine/ScrollTestSupport.h"

namespace flicko {
namespace {

using testing::Calls;
using testing::Lines;
using testing::Seq;

class PositionFamily : public testing::ScrollFixture {
protected:
    void SetUp() override {
        SetH(TScrollMethod::scrollpos, 4.0f);
        SetV(TScrollMethod::scrollpos, 4.0f);
    }
};

TEST_F(PositionFamily, ThumbPositionMovesByTheUnitsOfTheRemainder) {
    Press(edit);
    DragTo(8, -20);  // H: 100 - 2; V: 50 + 5
    EXPECT_EQ(Sent(), (Calls{"H(4,98)", "V(4,55)"}));
    EXPECT_EQ(desktop.SentTo(edit)[0].lp, 0);  // a window's own bar: no control handle
    EXPECT_EQ(Applied(kAxisH), 8);
    EXPECT_EQ(Applied(kAxisV), -20);
    EXPECT_EQ(HPos(), 98);
    EXPECT_EQ(VPos(), 55);
}

TEST_F(PositionFamily, UnitCountRoundsHalfToEvenAndAppliedIsTheRoundedUnitsInPixels) {
    Press(edit);
    DragTo(0, 10);  // 2.5 -> 2
    EXPECT_EQ(TakeSent(), (Calls{"V(4,48)"}));
    DragTo(0, 22);  // 14 / 4 = 3.5 -> 4
    EXPECT_EQ(TakeSent(), (Calls{"V(4,44)"}));
    EXPECT_EQ(Applied(kAxisV), 24);
    SetV(TScrollMethod::scrollpos, 2.6f);
    Press(edit);
    DragTo(0, 5);  // 5 / 2.6 = 1.92 -> 2 positions; 2 * 2.6 = 5.2 -> 5 px
    EXPECT_EQ(TakeSent(), (Calls{"V(4,42)"}));
    EXPECT_EQ(Applied(kAxisV), 5);
}

TEST_F(PositionFamily, NewPositionIsClampedIntoTheRangeLessTheLastPage) {
    desktop.SetScrollBar(edit, win::SB_VERT, 0, 99, 10, 2);
    Press(edit);
    DragTo(0, 20);  // 2 - 5 -> 0
    EXPECT_EQ(TakeSent(), (Calls{"V(4,0)"}));
    EXPECT_EQ(Applied(kAxisV), 20);  // the whole request counts, clamped or not

    desktop.SetScrollBar(edit, win::SB_VERT, 0, 99, 10, 88);
    Press(edit);
    DragTo(0, -20);  // 88 + 5 = 93 -> 99 - 10 + 1 = 90
    EXPECT_EQ(TakeSent(), (Calls{"V(4,90)"}));
}

TEST_F(PositionFamily, NothingIsSentWhenTheClampedPositionIsTheCurrentOne) {
    desktop.SetScrollBar(edit, win::SB_VERT, 0, 99, 10, 90);
    Press(edit);
    DragTo(0, -20);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(Applied(kAxisV), 0);
}

TEST_F(PositionFamily, BarWithoutAPageEndsAtItsMaximum) {
    desktop.SetScrollBar(edit, win::SB_VERT, 0, 99, 0, 97);
    Press(edit);
    DragTo(0, -40);
    EXPECT_EQ(TakeSent(), (Calls{"V(4,99)"}));
    DragTo(0, -80);
    EXPECT_TRUE(Sent().empty());
}

TEST_F(PositionFamily, PositionsBeyondSixteenBitsAreNotSent) {
    desktop.SetScrollBar(edit, win::SB_VERT, 0, 100000, 10, 65530);
    Press(edit);
    DragTo(0, -24);  // 65536
    EXPECT_TRUE(TakeSent().empty());
    DragTo(0, -20);  // 65535 still fits
    EXPECT_EQ(TakeSent(), (Calls{"V(4,-1)"}));  // the high word 0xFFFF
}

TEST_F(PositionFamily, UnreadableBarSendsNothing) {
    desktop.RemoveScrollBar(edit, win::SB_VERT);
    Press(edit);
    DragTo(0, 40);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(Applied(kAxisV), 0);
}

TEST_F(PositionFamily, ThumbTrackAndControlPositions) {
    const Hwnd bar = desktop.AddWindow(frame, {.className = "ScrollBar", .rect = {300, 100, 316, 260}});
    desktop.SetScrollBar(bar, win::SB_CTL, 0, 50, 5, 25);
    rule.V.ScrollBar = "bar";
    rule.V.ScrollBarType = TScrollBarType::Control;
    paths.resolve = [&](Hwnd start, std::string_view code, const TSclDat&) { return code == "bar" ? bar : start; };

    SetV(TScrollMethod::scrolltrack, 4.0f);
    Press(edit);
    DragTo(0, 8);
    ASSERT_EQ(desktop.SentTo(edit).size(), 1u);
    EXPECT_EQ(testing::Describe(desktop.SentTo(edit)[0]), "V(5,23)");
    EXPECT_EQ(desktop.SentTo(edit)[0].lp, static_cast<LParam>(bar));  // a control's bar is named

    SetV(TScrollMethod::scrollbarpos, 4.0f);
    Press(edit);
    DragTo(0, -8);
    ASSERT_EQ(desktop.SentTo(bar).size(), 1u);
    EXPECT_EQ(testing::Describe(desktop.SentTo(bar)[0]), "SETPOS(25)");  // from 23
    EXPECT_EQ(desktop.SentTo(bar)[0].lp, 1);  // redraw
    EXPECT_EQ(desktop.Position(bar, win::SB_CTL), 25);
    EXPECT_TRUE(desktop.SentTo(edit).empty());
}

// --- wheel family ------------------------------------------------------------

class WheelFamily : public testing::ScrollFixture {};

TEST_F(WheelFamily, MouseWheelSendsOneNotchPerSixtyPixelsAtHalfAPixelPerUnit) {
    SetH(TScrollMethod::mousewheel, 0.5f);
    SetV(TScrollMethod::mousewheel, 0.5f);
    Press(edit);
    DragTo(0, 60);
    EXPECT_EQ(TakeSent(), (Calls{"WHEEL(120)"}));
    EXPECT_EQ(Applied(kAxisV), 60);
    EXPECT_EQ(VPos(), 47);  // three lines per notch
    Press(edit);
    DragTo(0, -60);
    EXPECT_EQ(TakeSent(), (Calls{"WHEEL(-120)"}));
    // The horizontal axis also sends WM_MOUSEWHEEL.
    DragTo(-30, -60);
    EXPECT_EQ(TakeSent(), (Calls{"WHEEL(-60)"}));
    EXPECT_EQ(Applied(kAxisH), -30);
}

TEST_F(WheelFamily, UnitsRoundAwayFromZeroAndAppliedTruncates) {
    SetV(TScrollMethod::mousewheel, 0.7f);
    SetH(TScrollMethod::mousewheel, 0.7f);
    Press(edit);
    DragTo(0, 10);  // 14.29 -> 15 units; 15 * 0.7 = 10.5 -> 10 px
    EXPECT_EQ(TakeSent(), (Calls{"WHEEL(15)"}));
    EXPECT_EQ(Applied(kAxisV), 10);
    DragTo(0, 10);  // nothing left
    EXPECT_TRUE(TakeSent().empty());
    DragTo(0, 9);  // -1.43 -> -2 units; -1.4 -> -1 px
    EXPECT_EQ(TakeSent(), (Calls{"WHEEL(-2)"}));
    EXPECT_EQ(Applied(kAxisV), 9);
}

TEST_F(WheelFamily, PointIsThePressPointOrTheCursorClampedIntoTheTarget) {
    SetH(TScrollMethod::mousewheel, 1.0f);
    SetV(TScrollMethod::mousewheel, 1.0f);
    // The Edit's client area is 102..281 x 102..241 on the screen.
    rule.CursorPos = TCursorPos::Pointed;
    Press(edit, {150, 160});
    desktop.SetCursor({600, 20});
    DragTo(0, 5);
    EXPECT_EQ(desktop.Records().back().lp, static_cast<LParam>(win::MakeLong(150, 160)));

    rule.CursorPos = TCursorPos::Current;
    Press(edit, {150, 160});
    desktop.SetCursor({600, 20});
    DragTo(0, 5);
    EXPECT_EQ(desktop.Records().back().lp, static_cast<LParam>(win::MakeLong(281, 102)));
    desktop.SetCursor({-5, 400});
    DragTo(0, 10);
    EXPECT_EQ(desktop.Records().back().lp, static_cast<LParam>(win::MakeLong(102, 241)));
    desktop.SetCursor({200, 200});
    DragTo(0, 15);
    EXPECT_EQ(desktop.Records().back().lp, static_cast<LParam>(win::MakeLong(200, 200)));
}

TEST_F(WheelFamily, WheelIe6AddsABiasAndCountsOneUnitShortWhileIe7CountsItAll) {
    SetH(TScrollMethod::mousewheelie6, 1.0f);
    SetV(TScrollMethod::mousewheelie6, 1.0f);
    Press(edit);
    DragTo(0, 3);  // bias RoundAway(0.5 / 1) = 1
    EXPECT_EQ(TakeSent(), (Calls{"WHEEL(4)"}));
    EXPECT_EQ(Applied(kAxisV), 3);
    DragTo(0, -3);
    EXPECT_EQ(TakeSent(), (Calls{"WHEEL(-7)"}));
    EXPECT_EQ(Applied(kAxisV), -3);

    SetV(TScrollMethod::mousewheelie7, 0.2f);
    Press(edit);
    DragTo(0, 3);  // 15 units, bias RoundAway(2.5) = 3; all 18 count: 3.6 -> 3 px
    EXPECT_EQ(TakeSent(), (Calls{"WHEEL(18)"}));
    EXPECT_EQ(Applied(kAxisV), 3);
}

TEST_F(WheelFamily, ListViewScrollSendsTheNegatedUnitCountOnItsAxis) {
    const Hwnd list = desktop.AddWindow(frame, {.className = "SysListView32", .rect = {300, 100, 500, 300}});
    desktop.SetScrollBar(list, win::SB_VERT, 0, 99, 10, 50);
    desktop.SetScrollBar(list, win::SB_HORZ, 0, 400, 100, 200);
    SetH(TScrollMethod::listviewscroll, 1.0f);
    SetV(TScrollMethod::listviewscroll, 0.5f);
    Press(list, {350, 150});
    DragTo(15, -16);
    EXPECT_EQ(Sent(), (Calls{"LVM(-15,0)", "LVM(0,32)"}));
    EXPECT_EQ(Applied(kAxisH), 15);
    EXPECT_EQ(Applied(kAxisV), -16);
    EXPECT_EQ(desktop.Position(list, win::SB_HORZ), 185);
    EXPECT_EQ(desktop.Position(list, win::SB_VERT), 52);  // 32 px of 16 px lines
}

TEST_F(WheelFamily, MinimumStepInPixelsOrInUnitsHoldsBackSmallRemainders) {
    SetH(TScrollMethod::mousewheel, 0.5f);
    SetV(TScrollMethod::mousewheel, 0.5f);
    rule.V.ScrollStep = 5;
    rule.V.ScrollStepUnit = TScrollStepUnit::dot;
    rule.H.ScrollStep = 12;
    rule.H.ScrollStepUnit = TScrollStepUnit::scroll;
    Press(edit);
    DragTo(5, 4);  // 4 px < 5; 10 units < 12
    EXPECT_TRUE(TakeSent().empty());
    DragTo(6, 5);  // 12 units; 5 px
    EXPECT_EQ(TakeSent(), (Calls{"WHEEL(12)", "WHEEL(10)"}));
}

TEST_F(WheelFamily, DeltaBeyondSixteenBitsIsCappedInsteadOfWrappingAround) {
    SetH(TScrollMethod::mousewheel, 6.0f);
    SetV(TScrollMethod::mousewheel, 0.001f);
    Press(edit);
    DragTo(0, 100);  // 100000 units would wrap to a negative delta
    EXPECT_EQ(TakeSent(), (Calls{"WHEEL(32767)"}));
    EXPECT_EQ(Applied(kAxisV), 32);  // 32767 * 0.001 truncated
}

TEST_F(WheelFamily, AppliedCatchesUpWithEveryMoveOfALongDrag) {
    SetH(TScrollMethod::mousewheel, 6.0f);
    SetV(TScrollMethod::mousewheel, 0.7f);
    Press(edit);
    for (int dy = 3; dy <= 300; dy += 3) {
        DragTo(0, dy);
        ASSERT_EQ(Applied(kAxisV), dy);
    }
    for (int dy = 298; dy >= -300; dy -= 2) {
        DragTo(0, dy);
        ASSERT_EQ(Applied(kAxisV), dy);
    }
}

TEST_F(WheelFamily, NotchStepSendsWholeNotchesAndKeepsTheRestForTheNext) {
    FakeBehaviour whole = FakeBehaviour::ForClass("Edit");
    whole.wheelDropsRemainder = true;  // a toolkit that moves by nothing less than a notch
    desktop.SetBehaviour(edit, whole);
    SetV(TScrollMethod::mousewheel, 0.5f);
    rule.V.ScrollStepUnit = TScrollStepUnit::notch;  // of one notch (the step's default 1)
    Press(edit);
    for (int dy = 5; dy <= 55; dy += 5) DragTo(0, dy);
    EXPECT_TRUE(TakeSent().empty()) << "110 units are less than a notch";
    DragTo(0, 125);  // 250 units: two notches, one message each; 5 px wait for the next
    EXPECT_EQ(TakeSent(), (Calls{"WHEEL(120)", "WHEEL(120)"}));
    EXPECT_EQ(Applied(kAxisV), 120);
    EXPECT_EQ(VPos(), 44);
}

TEST_F(WheelFamily, InputWheelTurnsTheWheelAtTheCursorWithTheSignOfItsAxis) {
    SetH(TScrollMethod::inputwheel, 0.5f);
    SetV(TScrollMethod::inputwheel, 0.5f);
    desktop.SetCursor({150, 150});
    Press(edit);
    DragTo(-30, 60);  // to the left the content moves left: the wheel turns right
    const std::vector<FakeRecord> in = desktop.Inputs();
    ASSERT_EQ(in.size(), 2u);
    EXPECT_EQ(in[0].msg | in[0].wp, win::MOUSEEVENTF_HWHEEL | 60u);
    EXPECT_EQ(in[1].msg | in[1].wp, win::MOUSEEVENTF_WHEEL | 120u);
    EXPECT_EQ(VPos(), 47) << "the window under the cursor took it, and only as input";
}

TEST_F(WheelFamily, InputWheelTurnsOnlyOverTheTargetsProgramAndNeedsItInFrontWhereTheFocusGetsTheWheel) {
    SetV(TScrollMethod::inputwheel, 0.5f);
    desktop.SetCursor({150, 150});
    Press(edit);
    desktop.SetCursor({700, 150});  // off the frame: another program's window
    DragTo(0, 60);
    EXPECT_TRUE(desktop.Inputs().empty());
    desktop.SetCursor({150, 150});
    DragTo(0, 120);  // back over it: only what was dragged since
    EXPECT_EQ(desktop.Inputs().size(), 1u);
    desktop.SetWheelFollowsCursor(false);
    EXPECT_EQ(WhyPressLeftAlone(desktop, TEngineSettings{}, edit, rule), TLeaveReason::WheelToFocus);
    desktop.SetForegroundWindow(frame);
    EXPECT_EQ(WhyPressLeftAlone(desktop, TEngineSettings{}, edit, rule), TLeaveReason::None);
}

// --- how the axes take turns -------------------------------------------------

class Interleaving : public testing::ScrollFixture {};

TEST_F(Interleaving, OnlyHorizontalStepsSurroundTheVerticalMethod) {
    SetV(TScrollMethod::scrollpos, 4.0f);
    Press(edit);
    DragTo(12, 8);  // H: 12 * 0.5 / 6 = 1 line, the other 6 px in the second step
    EXPECT_EQ(Sent(), Seq({Lines("H", 0, 1), {"V(4,48)"}, Lines("H", 0, 1)}));
}

TEST_F(Interleaving, OnlyVerticalStepsSurroundTheHorizontalMethod) {
    SetH(TScrollMethod::mousewheel, 1.0f);
    Press(edit);
    DragTo(-7, 24);
    EXPECT_EQ(Sent(), Seq({Lines("V", 0, 1), {"WHEEL(-7)"}, Lines("V", 0, 1)}));
}

TEST_F(Interleaving, NeitherInStepsGoesHorizontalThenVertical) {
    SetH(TScrollMethod::mousewheel, 1.0f);
    SetV(TScrollMethod::scrollpos, 4.0f);
    Press(edit);
    DragTo(-7, 8);
    EXPECT_EQ(Sent(), (Calls{"WHEEL(-7)", "V(4,48)"}));
}

}  // namespace
}  // namespace flicko
