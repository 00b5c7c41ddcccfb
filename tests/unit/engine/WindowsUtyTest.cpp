#include "engine/WindowsUty.h"

#include <gtest/gtest.h>

#include "platform/WinConst.h"
#include "platform/fake/FakeDesktop.h"

namespace flicko {
namespace {

class WindowsUtyBars : public ::testing::Test {
protected:
    WindowsUtyBars() {
        w = desk.AddWindow(kNoWindow, {.className = "Pane", .rect = {0, 0, 100, 100}});
    }
    FakeDesktop desk;
    Hwnd w = kNoWindow;
};

TEST_F(WindowsUtyBars, TestsFollowTheirFieldsBoundaries) {
    desk.SetScrollBar(w, win::SB_VERT, 0, 0, 1, 0);
    EXPECT_TRUE(ScrollPosOk(desk, w, win::SB_VERT));    // nPos 0 counts
    EXPECT_TRUE(ScrollRangeOk(desk, w, win::SB_VERT));  // nMax 0 counts
    EXPECT_TRUE(ScrollPageOk(desk, w, win::SB_VERT));

    desk.SetScrollBar(w, win::SB_HORZ, -10, -1, 0, -5);
    EXPECT_FALSE(ScrollPosOk(desk, w, win::SB_HORZ));
    EXPECT_FALSE(ScrollRangeOk(desk, w, win::SB_HORZ));
    EXPECT_FALSE(ScrollPageOk(desk, w, win::SB_HORZ));  // page 0 although the read succeeds
}

TEST_F(WindowsUtyBars, TestsAreFalseForMissingBarOrWindow) {
    EXPECT_FALSE(ScrollPosOk(desk, w, win::SB_CTL));
    EXPECT_FALSE(ScrollRangeOk(desk, w, win::SB_CTL));
    EXPECT_FALSE(ScrollPageOk(desk, w, win::SB_CTL));
    EXPECT_FALSE(ScrollPosOk(desk, 0xDEAD, win::SB_VERT));
}

TEST_F(WindowsUtyBars, ReadersReturnValuesOrFixedFailureValues) {
    desk.SetScrollBar(w, win::SB_VERT, 3, 250, 40, 17);
    EXPECT_EQ(ScrollPosition(desk, w, win::SB_VERT), 17);
    EXPECT_EQ(ScrollRangeOf(desk, w, win::SB_VERT), (TScrollRange{250, 3}));
    EXPECT_EQ(ScrollPageOf(desk, w, win::SB_VERT), 40u);

    EXPECT_EQ(ScrollPosition(desk, w, win::SB_HORZ), INT_MIN);
    EXPECT_EQ(ScrollRangeOf(desk, w, win::SB_HORZ), (TScrollRange{INT_MIN, INT_MAX}));
    EXPECT_EQ(ScrollPageOf(desk, w, win::SB_HORZ), 0u);
}

class WindowsUtyGeometry : public ::testing::Test {
protected:
    WindowsUtyGeometry() {
        top = desk.AddWindow(kNoWindow, {.className = "Frame", .rect = {0, 0, 500, 400}});
        // Window 200 x 150 at (50, 60); client 180 x 120 at (55, 80).
        pane = desk.AddWindow(top, {.className = "Pane", .style = win::WS_VISIBLE | win::WS_CHILD,
                                    .rect = {50, 60, 250, 210}, .client = Rect{55, 80, 235, 200}});
    }
    FakeDesktop desk;
    Hwnd top = kNoWindow, pane = kNoWindow;
};

TEST_F(WindowsUtyGeometry, ClientLenGivesClientWidthAndHeight) {
    EXPECT_EQ(ClientLen(desk, pane, 0), 180);
    EXPECT_EQ(ClientLen(desk, pane, 1), 120);
}

TEST_F(WindowsUtyGeometry, ClientLenRaisesWithExactMessages) {
    try {
        ClientLen(desk, pane, 2);
        FAIL() << "axis 2 accepted";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "ClientLen error");
    }
    try {
        ClientLen(desk, 0xDEAD, 0);
        FAIL() << "missing window accepted";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "ClientLen missed GetClientRect");
    }
}

TEST_F(WindowsUtyGeometry, ScrollbarLenMeasuresTheWindowRectangle) {
    EXPECT_EQ(ScrollbarLen(desk, pane, 0), 200);
    EXPECT_EQ(ScrollbarLen(desk, pane, 1), 150);
    EXPECT_EQ(ScrollbarLen(desk, pane, 2), 350);
    EXPECT_EQ(ScrollbarLen(desk, pane, 3), -1);
    EXPECT_EQ(ScrollbarLen(desk, 0xDEAD, 0), -1);
}

TEST_F(WindowsUtyGeometry, PtToRtMeasuresToTheNearerClientEdge) {
    // Client spans x 55..235, y 80..200 on screen.
    EXPECT_EQ(PtToRt(desk, {55, 100}, pane, 0), 0);     // exactly on the left edge
    EXPECT_EQ(PtToRt(desk, {65, 100}, pane, 0), 10);
    EXPECT_EQ(PtToRt(desk, {230, 100}, pane, 0), 5);    // nearer the right edge
    EXPECT_EQ(PtToRt(desk, {100, 85}, pane, 1), 5);
    EXPECT_EQ(PtToRt(desk, {100, 190}, pane, 1), 10);
    EXPECT_EQ(PtToRt(desk, {40, 100}, pane, 0), -15);   // outside, left
    EXPECT_EQ(PtToRt(desk, {100, 230}, pane, 1), -30);  // outside, below
}

TEST_F(WindowsUtyGeometry, PtToRtRaisesWithExactMessages) {
    try {
        PtToRt(desk, {60, 90}, pane, -1);
        FAIL() << "axis -1 accepted";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "PtToRt error");
    }
    try {
        PtToRt(desk, {60, 90}, 0xDEAD, 0);
        FAIL() << "missing window accepted";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "PtToRt missed GetClientRect");
    }
}

TEST_F(WindowsUtyGeometry, TopLevelOfClimbsChildParentsOnly) {
    const Hwnd inner = desk.AddWindow(pane, {.style = win::WS_VISIBLE | win::WS_CHILD, .rect = {60, 90, 70, 100}});
    EXPECT_EQ(TopLevelOf(desk, inner), top);
    EXPECT_EQ(TopLevelOf(desk, pane), top);
    EXPECT_EQ(TopLevelOf(desk, top), top);
}

TEST_F(WindowsUtyGeometry, TextAndClassReadersReturnTheWindowsStrings) {
    desk.SetText(pane, "Hello");
    EXPECT_EQ(WindowTextOf(desk, pane), "Hello");
    EXPECT_EQ(ClassNameOf(desk, pane), "Pane");
    EXPECT_EQ(ClassNameOf(desk, 0xDEAD), "");
}

TEST(FormatArgs, ReplacesEveryOccurrenceAndLeavesUnknownNumbers) {
    EXPECT_EQ(FormatArgs("%1 %2", {"a", "b"}), "a b");
    EXPECT_EQ(FormatArgs("%1-%1-%3", {"x", "y"}), "x-x-%3");
    EXPECT_EQ(FormatArgs("100%", {"a"}), "100%");
    EXPECT_EQ(FormatArgs("%1", {}), "%1");
}

TEST(FormatArgs, HigherNumbersTakePrecedenceOverTheirPrefixes) {
    std::vector<std::string> ten{"1", "2", "3", "4", "5", "6", "7", "8", "9", "TEN"};
    EXPECT_EQ(FormatArgs("%10|%1", ten), "TEN|1");
    // With fewer arguments %10 is %1 followed by a zero.
    EXPECT_EQ(FormatArgs("%10", {"a"}), "a0");
}

TEST(FormatArgs, InsertedArgumentsAreNotExpandedAgain) {
    EXPECT_EQ(FormatArgs("%2 %1", {"one", "%1"}), "%1 one");
    EXPECT_EQ(FormatArgs("%1", {"%1"}), "%1");
}

}  // namespace
}  // namespace flicko
