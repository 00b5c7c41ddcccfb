#include "engine/WindowGeometry.h"

#include <gtest/gtest.h>

#include "platform/WinConst.h"
#include "platform/fake/FakeDesktop.h"

namespace flicko {
namespace {

template <typename F>
std::string RaisedMessage(F f) {
    try {
        f();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "nothing raised";
}

class WindowGeometryBars : public ::testing::Test {
protected:
    WindowGeometryBars() {
        w = desk.AddWindow(kNoWindow, {.className = "Pane", .rect = {0, 0, 100, 100}});
    }
    FakeDesktop desk;
    Hwnd w = kNoWindow;
};

TEST_F(WindowGeometryBars, TestsFollowTheirFieldsBoundaries) {
    desk.SetScrollBar(w, win::SB_VERT, 0, 0, 1, 0);
    EXPECT_TRUE(ScrollPosOk(desk, w, win::SB_VERT));    // nPos 0 counts
    EXPECT_TRUE(ScrollRangeOk(desk, w, win::SB_VERT));  // nMax 0 counts
    EXPECT_TRUE(ScrollPageOk(desk, w, win::SB_VERT));

    desk.SetScrollBar(w, win::SB_HORZ, -10, -1, 0, -5);
    EXPECT_FALSE(ScrollPosOk(desk, w, win::SB_HORZ));
    EXPECT_FALSE(ScrollRangeOk(desk, w, win::SB_HORZ));
    EXPECT_FALSE(ScrollPageOk(desk, w, win::SB_HORZ));  // page 0 although the read succeeds

    // A missing bar fails every test, even though zeroed fields would pass two.
    EXPECT_FALSE(ScrollPosOk(desk, w, win::SB_CTL));
    EXPECT_FALSE(ScrollRangeOk(desk, w, win::SB_CTL));
    EXPECT_FALSE(ScrollPosOk(desk, 0xDEAD, win::SB_VERT));
}

TEST_F(WindowGeometryBars, ReadersReturnValuesOrFixedFailureValues) {
    desk.SetScrollBar(w, win::SB_VERT, 3, 250, 40, 17);
    EXPECT_EQ(ScrollPosition(desk, w, win::SB_VERT), 17);
    EXPECT_EQ(ScrollRangeOf(desk, w, win::SB_VERT), (TScrollRange{250, 3}));
    EXPECT_EQ(ScrollPageOf(desk, w, win::SB_VERT), 40u);

    EXPECT_EQ(ScrollPosition(desk, w, win::SB_HORZ), INT_MIN);
    EXPECT_EQ(ScrollRangeOf(desk, w, win::SB_HORZ), (TScrollRange{INT_MIN, INT_MAX}));
    EXPECT_EQ(ScrollPageOf(desk, w, win::SB_HORZ), 0u);
}

class WindowGeometryTest : public ::testing::Test {
protected:
    WindowGeometryTest() {
        top = desk.AddWindow(kNoWindow, {.className = "Frame", .rect = {0, 0, 500, 400}});
        // Window 200 x 150 at (50, 60); client 180 x 120 at (55, 80).
        pane = desk.AddWindow(top, {.className = "Pane", .style = win::WS_VISIBLE | win::WS_CHILD,
                                    .rect = {50, 60, 250, 210}, .client = Rect{55, 80, 235, 200}});
    }
    FakeDesktop desk;
    Hwnd top = kNoWindow, pane = kNoWindow;
};

TEST_F(WindowGeometryTest, LengthsMeasureClientAndWindowRectangles) {
    EXPECT_EQ(ClientLen(desk, pane, 0), 180);
    EXPECT_EQ(ClientLen(desk, pane, 1), 120);
    EXPECT_EQ(ScrollbarLen(desk, pane, 0), 200);
    EXPECT_EQ(ScrollbarLen(desk, pane, 1), 150);
    EXPECT_EQ(ScrollbarLen(desk, pane, 2), 350);
    EXPECT_EQ(ScrollbarLen(desk, pane, 3), -1);
    EXPECT_EQ(ScrollbarLen(desk, 0xDEAD, 0), -1);
}

TEST_F(WindowGeometryTest, ClientLenAndPtToRtRaiseWithExactMessages) {
    EXPECT_EQ(RaisedMessage([&] { ClientLen(desk, pane, 2); }), "ClientLen error");
    EXPECT_EQ(RaisedMessage([&] { ClientLen(desk, 0xDEAD, 0); }), "ClientLen missed GetClientRect");
    EXPECT_EQ(RaisedMessage([&] { PtToRt(desk, {60, 90}, pane, -1); }), "PtToRt error");
    EXPECT_EQ(RaisedMessage([&] { PtToRt(desk, {60, 90}, 0xDEAD, 0); }), "PtToRt missed GetClientRect");
}

TEST_F(WindowGeometryTest, PtToRtMeasuresToTheNearerClientEdge) {
    // Client spans x 55..235, y 80..200 on screen.
    EXPECT_EQ(PtToRt(desk, {55, 100}, pane, 0), 0);     // exactly on the left edge
    EXPECT_EQ(PtToRt(desk, {65, 100}, pane, 0), 10);
    EXPECT_EQ(PtToRt(desk, {230, 100}, pane, 0), 5);    // nearer the right edge
    EXPECT_EQ(PtToRt(desk, {100, 85}, pane, 1), 5);
    EXPECT_EQ(PtToRt(desk, {100, 190}, pane, 1), 10);
    EXPECT_EQ(PtToRt(desk, {40, 100}, pane, 0), -15);   // outside, left
    EXPECT_EQ(PtToRt(desk, {100, 230}, pane, 1), -30);  // outside, below
}

// GetParent of an owned pop-up yields its owner, which does not hold it as a child.
class OwnerDesktop : public FakeDesktop {
public:
    Hwnd popup = kNoWindow, owner = kNoWindow;
    Hwnd GetParent(Hwnd w) override { return w == popup ? owner : FakeDesktop::GetParent(w); }
};

TEST(TopLevelOf, ClimbsChildParentsButNotOwners) {
    OwnerDesktop desk;
    const Hwnd top = desk.AddWindow(kNoWindow, {.className = "Frame"});
    const Hwnd pane = desk.AddWindow(top, {.className = "Pane"});
    const Hwnd inner = desk.AddWindow(pane, {.className = "Inner"});
    desk.owner = top;
    desk.popup = desk.AddWindow(kNoWindow, {.className = "Popup"});
    EXPECT_EQ(TopLevelOf(desk, inner), top);
    EXPECT_EQ(TopLevelOf(desk, top), top);
    EXPECT_EQ(TopLevelOf(desk, desk.popup), desk.popup);
}

}  // namespace
}  // namespace flicko
