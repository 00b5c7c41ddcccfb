// Preparing the axes at a press, and the automatic method that falls back
// along scrollpos, listviewscroll, mousewheel, scrollline and arrowkey.
#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/unit/engine/ScrollTestSupport.h"

namespace flicko {
namespace {

using testing::Calls;
using testing::Lines;
using testing::Seq;

class PreparingAxes : public testing::ScrollFixture {};

TEST_F(PreparingAxes, BarComesFromTheAxisPathAndAutoStartsAsScrollpos) {
    const Hwnd bar = desktop.AddWindow(frame, {.className = "ScrollBar", .rect = {300, 100, 316, 260}});
    rule.V.ScrollBar = "bar";
    rule.V.ScrollBarType = TScrollBarType::Control;
    rule.V.Method = TScrollMethod::Auto;
    paths.resolve = [&](Hwnd start, std::string_view code, const TSclDat&) { return code == "bar" ? bar : start; };
    Press(edit);
    EXPECT_EQ(Ax(kAxisH).BarWindow, edit);
    EXPECT_EQ(Ax(kAxisV).BarWindow, bar);
    EXPECT_EQ(Ax(kAxisV).BarKind, win::SB_CTL);
    EXPECT_EQ(Ax(kAxisV).Method, TScrollMethod::scrollpos);
    EXPECT_TRUE(Ax(kAxisV).AutoMethod);
    EXPECT_FALSE(Ax(kAxisH).AutoMethod);
}

TEST_F(PreparingAxes, AutoBarKindPrefersTheOwnBarThenAControlThenHorizontal) {
    rule.H.ScrollBarType = rule.V.ScrollBarType = TScrollBarType::Auto;
    Press(edit);
    EXPECT_EQ(Ax(kAxisH).BarKind, win::SB_HORZ);
    EXPECT_EQ(Ax(kAxisV).BarKind, win::SB_VERT);

    // A negative position does not count as a position.
    desktop.SetScrollBar(edit, win::SB_VERT, -10, 99, 10, -5);
    desktop.SetScrollBar(edit, win::SB_CTL, 0, 10, 1, 0);
    Press(edit);
    EXPECT_EQ(Ax(kAxisV).BarKind, win::SB_CTL);

    desktop.RemoveScrollBar(edit, win::SB_CTL);
    Press(edit);
    EXPECT_EQ(Ax(kAxisV).BarKind, win::SB_HORZ);
}

TEST_F(PreparingAxes, UnitWidthForEveryWidthUnit) {
    // Edit: client 180 x 140, window 200 x 160, pages 20 (H) and 10 (V).
    // The press point (150, 160) is 48 px from the left client edge, 82
    // from the top.
    struct Case {
        TScrollWidthUnit unit;
        float v;
        float h, vert;
    };
    const Case cases[] = {
        {TScrollWidthUnit::dot, 7.0f, 7.0f, 7.0f},
        {TScrollWidthUnit::dotPerScrollline, 7.0f, 7.0f, 7.0f},
        {TScrollWidthUnit::clientLen, 0.5f, 90.0f, 70.0f},
        {TScrollWidthUnit::clientLenPerScrollpage, 0.5f, 4.5f, 7.0f},
        {TScrollWidthUnit::scrollbarLen, 0.25f, 50.0f, 40.0f},
        {TScrollWidthUnit::scrollbarLenPerScrollpage, 0.25f, 2.5f, 4.0f},
        {TScrollWidthUnit::PointToRect, 2.0f, 96.0f, 116.0f},
        {TScrollWidthUnit::PointToRectPerScrollpage, 2.0f, 4.8f, 11.6f},
        {TScrollWidthUnit::CaretDotPerScroll, 6.0f, 0.5f, 0.5f},
        {TScrollWidthUnit::DotAuto, 5.0f, 9.0f, 14.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.unit));
        rule.H.ScrollWidthUnit = rule.V.ScrollWidthUnit = c.unit;
        rule.H.ScrollWidth = rule.V.ScrollWidth = c.v;
        Press(edit, {150, 160});
        EXPECT_FLOAT_EQ(Ax(kAxisH).UnitWidth, c.h);
        EXPECT_FLOAT_EQ(Ax(kAxisV).UnitWidth, c.vert);
    }
}

TEST_F(PreparingAxes, WidthsPerPageAreZeroWithoutAPageAndDotAutoFallsBackToTheValue) {
    desktop.SetScrollBar(edit, win::SB_VERT, 0, 99, 0, 50);
    rule.V.ScrollWidth = 5.0f;
    rule.V.ScrollWidthUnit = TScrollWidthUnit::clientLenPerScrollpage;
    Press(edit);
    EXPECT_EQ(Ax(kAxisV).UnitWidth, 0.0f);
    rule.V.ScrollWidthUnit = TScrollWidthUnit::DotAuto;
    Press(edit);
    EXPECT_EQ(Ax(kAxisV).UnitWidth, 5.0f);
}

TEST_F(PreparingAxes, MissingTargetRaisesTheClientLengthError) {
    rule.V.ScrollWidthUnit = TScrollWidthUnit::clientLen;
    paths.resolve = [](Hwnd, std::string_view, const TSclDat&) { return kNoWindow; };
    try {
        Press(edit);
        FAIL() << "no error raised";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "ClientLen missed GetClientRect");
    }
}

// --- the automatic method ----------------------------------------------------

class AutoMethod : public testing::ScrollFixture {
protected:
    void SetUp() override {
        rule.H.Method = rule.V.Method = TScrollMethod::Auto;
        rule.V.ScrollWidth = 4.0f;
    }
};

TEST_F(AutoMethod, WindowThatTakesThumbPositionsKeepsScrollposForTheDrag) {
    Press(edit);
    DragTo(0, 8);
    EXPECT_EQ(TakeSent(), (Calls{"V(4,48)"}));
    EXPECT_EQ(Ax(kAxisV).Method, TScrollMethod::scrollpos);
    EXPECT_FALSE(Ax(kAxisV).AutoMethod);
    EXPECT_EQ(Applied(kAxisV), 8);
    // Even when the bar stops moving, the method stays for this drag.
    desktop.SetBehaviour(edit, FakeBehaviour{});
    DragTo(0, 16);
    EXPECT_EQ(TakeSent(), (Calls{"V(4,46)"}));
    EXPECT_EQ(Ax(kAxisV).Method, TScrollMethod::scrollpos);
    // The next press starts from scrollpos again.
    Press(edit);
    EXPECT_EQ(Ax(kAxisV).Method, TScrollMethod::scrollpos);
    EXPECT_TRUE(Ax(kAxisV).AutoMethod);
}

TEST_F(AutoMethod, ListViewFallsBackOnceToListViewScroll) {
    const Hwnd list = desktop.AddWindow(frame, {.className = "SysListView32", .rect = {300, 100, 500, 300}});
    FakeBehaviour lvOnly;
    lvOnly.listViewScroll = true;
    desktop.SetBehaviour(list, lvOnly);
    desktop.SetScrollBar(list, win::SB_VERT, 0, 99, 10, 50);
    rule.V.ScrollWidth = 0.75f;
    Press(list, {350, 150});
    DragTo(0, 24);  // 32 positions: thumb to 18 has no effect; 32 px = 2 lines do
    EXPECT_EQ(TakeSent(), (Calls{"V(4,18)", "LVM(0,-32)"}));
    EXPECT_EQ(desktop.Position(list, win::SB_VERT), 48);
    EXPECT_EQ(Ax(kAxisV).Method, TScrollMethod::listviewscroll);
    EXPECT_FALSE(Ax(kAxisV).AutoMethod);
    EXPECT_EQ(Applied(kAxisV), 24);
    DragTo(0, 36);
    EXPECT_EQ(TakeSent(), (Calls{"LVM(0,-16)"}));
}

TEST_F(AutoMethod, DeafWindowWalksTheWholeChainInOneCallAndEndsWithArrowKeys) {
    // A window that reacts to nothing, but whose bar can be read.
    desktop.SetBehaviour(edit, FakeBehaviour{});
    rule.V.ScrollWidth = 12.0f;
    rule.V.ScrollStepUnit = TScrollStepUnit::scroll;
    Press(edit);
    DragTo(0, 24);
    EXPECT_EQ(Sent(), Seq({{"V(4,48)", "LVM(0,-2)", "WHEEL(240)"}, Lines("V", 0, 2), {"key+38", "key+38", "key-38"}}));
    EXPECT_EQ(Ax(kAxisV).Method, TScrollMethod::arrowkey);
    EXPECT_TRUE(Ax(kAxisV).AutoMethod);  // nothing ever moved the bar
    EXPECT_FLOAT_EQ(Ax(kAxisV).UnitWidth, 12.0f);
    EXPECT_EQ(Ax(kAxisV).MinStep, 1);
    EXPECT_EQ(Applied(kAxisV), 24);
    desktop.ClearRecords();
    DragTo(0, 36);
    EXPECT_EQ(Sent(), (Calls{"key+38", "key-38"}));
}

TEST_F(AutoMethod, WindowWithoutReadableBarsFallsBackToTheWheelAndStaysThere) {
    // Most windows of other programs: no standard bars to read, wheel only.
    const Hwnd pane = desktop.AddWindow(frame, {.className = "ModernPane", .rect = {300, 100, 500, 300}});
    FakeBehaviour wheelOnly;
    wheelOnly.wheel = true;
    desktop.SetBehaviour(pane, wheelOnly);
    rule.V.ScrollWidth = 12.0f;
    rule.V.ScrollStepUnit = TScrollStepUnit::scroll;
    Press(pane, {350, 150});
    DragTo(0, 24);
    EXPECT_EQ(TakeSent(), (Calls{"LVM(0,-2)", "WHEEL(240)"}));
    EXPECT_EQ(Ax(kAxisV).Method, TScrollMethod::mousewheel);
    EXPECT_FALSE(Ax(kAxisV).AutoMethod);
    EXPECT_EQ(Applied(kAxisV), 24);
    DragTo(0, 36);
    EXPECT_EQ(TakeSent(), (Calls{"WHEEL(120)"}));
}

TEST_F(AutoMethod, WheelStepInScrollsIsConvertedToWheelUnits) {
    // Deaf to thumbs and list-view scrolling, but the wheel works.
    FakeBehaviour wheelOnly;
    wheelOnly.wheel = true;
    wheelOnly.wheelLines = 1;
    desktop.SetBehaviour(edit, wheelOnly);
    rule.V.ScrollWidth = 12.0f;
    rule.V.ScrollStep = 1;
    rule.V.ScrollStepUnit = TScrollStepUnit::scroll;
    Press(edit);
    DragTo(0, 24);
    EXPECT_EQ(TakeSent(), (Calls{"V(4,48)", "LVM(0,-2)", "WHEEL(240)"}));
    EXPECT_EQ(Ax(kAxisV).Method, TScrollMethod::mousewheel);
    EXPECT_FLOAT_EQ(Ax(kAxisV).UnitWidth, 0.1f);
    EXPECT_EQ(Ax(kAxisV).MinStep, 120);
    EXPECT_EQ(VPos(), 48);
    // 6 px = 60 wheel units, below the converted minimum of one line.
    DragTo(0, 30);
    EXPECT_TRUE(TakeSent().empty());
    DragTo(0, 36);
    EXPECT_EQ(TakeSent(), (Calls{"WHEEL(120)"}));
}

TEST_F(AutoMethod, PositionThatCannotBeSentEndsTheCallWithoutFallingBack) {
    // Beyond 16 bits no thumb position is sent, and a method that sent
    // nothing is not judged by its effect.
    desktop.SetScrollBar(edit, win::SB_VERT, 0, 100000, 10, 70000);
    Press(edit);
    DragTo(0, 12);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(Ax(kAxisV).Method, TScrollMethod::scrollpos);
    EXPECT_TRUE(Ax(kAxisV).AutoMethod);
}

TEST_F(AutoMethod, AutoWheelDoesNotPushAgainstTheEndOfTheBar) {
    Press(edit);
    Ax(kAxisV).Method = TScrollMethod::mousewheel;  // as left by a fallback
    desktop.SetScrollBar(edit, win::SB_VERT, 0, 99, 10, 0);
    DragTo(0, 8);
    EXPECT_TRUE(TakeSent().empty());
    desktop.SetScrollBar(edit, win::SB_VERT, 0, 99, 10, 90);
    DragTo(0, -8);
    EXPECT_TRUE(TakeSent().empty());
    // Without auto the wheel is sent regardless.
    Ax(kAxisV).AutoMethod = false;
    DragTo(0, -16);
    EXPECT_EQ(TakeSent(), (Calls{"WHEEL(-4)"}));
}

}  // namespace
}  // namespace flicko
