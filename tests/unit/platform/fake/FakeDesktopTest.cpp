#include "platform/fake/FakeDesktop.h"

#include <climits>

#include <gtest/gtest.h>

#include "platform/WinConst.h"

namespace flicko {
namespace {

using win::MakeLong;

class FakeDesktopTest : public ::testing::Test {
protected:
    FakeDesktopTest() {
        top = d.AddWindow(kNoWindow, {.className = "Frame", .text = "Main", .rect = {0, 0, 500, 400}});
        edit = d.AddWindow(top, {.className = "Edit", .rect = {10, 10, 210, 110}, .client = Rect{12, 12, 192, 108}});
        list = d.AddWindow(top, {.className = "ListBox", .rect = {10, 120, 210, 320}});
        inner = d.AddWindow(list, {.className = "Static", .rect = {20, 130, 60, 150}});
        d.SetScrollBar(edit, win::SB_VERT, 0, 99, 10, 50);
    }
    FakeDesktop d;
    Hwnd top = 0, edit = 0, list = 0, inner = 0;
};

// --- windows ---------------------------------------------------------------

TEST_F(FakeDesktopTest, WindowFromPointFindsTheDeepestVisibleChild) {
    EXPECT_EQ(d.WindowFromPoint({30, 140}), inner);
    EXPECT_EQ(d.WindowFromPoint({100, 200}), list);
    EXPECT_EQ(d.WindowFromPoint({400, 300}), top);
    EXPECT_EQ(d.WindowFromPoint({600, 600}), kNoWindow);
    d.SetVisible(inner, false);
    EXPECT_EQ(d.WindowFromPoint({30, 140}), list);
}

TEST_F(FakeDesktopTest, ChildEnumerationIsDepthFirstInCreationOrder) {
    EXPECT_EQ(d.ChildWindows(top), (std::vector<Hwnd>{edit, list, inner}));
    EXPECT_EQ(d.ChildWindows(list), std::vector<Hwnd>{inner});
    EXPECT_EQ(d.TopLevelWindows(), std::vector<Hwnd>{top});
}

TEST_F(FakeDesktopTest, ParentsAndChildRelations) {
    EXPECT_EQ(d.GetParent(inner), list);
    EXPECT_EQ(d.GetParent(top), kNoWindow);
    EXPECT_TRUE(d.IsChild(top, inner));
    EXPECT_FALSE(d.IsChild(inner, top));
    EXPECT_FALSE(d.IsChild(edit, list));
    EXPECT_TRUE(d.Style(edit) & win::WS_CHILD);
}

TEST_F(FakeDesktopTest, ClientCoordinatesFollowTheClientArea) {
    Rect r;
    ASSERT_TRUE(d.GetClientRect(edit, r));
    EXPECT_EQ(r, (Rect{0, 0, 180, 96}));
    Point p{20, 30};
    ASSERT_TRUE(d.ScreenToClient(edit, p));
    EXPECT_EQ(p, (Point{8, 18}));
    ASSERT_TRUE(d.ClientToScreen(edit, p));
    EXPECT_EQ(p, (Point{20, 30}));
}

TEST_F(FakeDesktopTest, MissingAndDestroyedWindowsFailLikeWin32) {
    d.DestroyWindow(list);
    for (Hwnd w : {kNoWindow, list, inner}) {
        Rect r{1, 2, 3, 4};
        Point p{5, 6};
        ScrollInfo si;
        EXPECT_FALSE(d.IsWindow(w));
        EXPECT_FALSE(d.GetWindowRect(w, r));
        EXPECT_FALSE(d.GetClientRect(w, r));
        EXPECT_EQ(r, (Rect{1, 2, 3, 4})) << "a failed call leaves the output alone";
        EXPECT_FALSE(d.ScreenToClient(w, p));
        EXPECT_FALSE(d.GetScrollInfo(w, win::SB_VERT, win::SIF_ALL, si));
        EXPECT_EQ(d.ClassName(w), "");
        EXPECT_EQ(d.SendMessage(w, win::WM_VSCROLL, win::SB_LINEDOWN, 0), 0);
        EXPECT_FALSE(d.Records().back().delivered);
        EXPECT_EQ(d.SetFocus(w), kNoWindow);
    }
    EXPECT_EQ(d.ChildWindows(top), std::vector<Hwnd>{edit});
    EXPECT_FALSE(d.PostMessage(list, win::WM_NULL, 0, 0));
    EXPECT_TRUE(d.PostMessage(kNoWindow, win::WM_NULL, 0, 0)) << "a null window posts to the thread";
}

// --- scroll bars -------------------------------------------------------------

TEST_F(FakeDesktopTest, GetScrollInfoReadsOnlyTheMaskedFields) {
    ScrollInfo si;
    si.nPos = -7;
    ASSERT_TRUE(d.GetScrollInfo(edit, win::SB_VERT, win::SIF_RANGE, si));
    EXPECT_EQ(si.nMin, 0);
    EXPECT_EQ(si.nMax, 99);
    EXPECT_EQ(si.nPos, -7);
    ASSERT_TRUE(d.GetScrollInfo(edit, win::SB_VERT, win::SIF_ALL, si));
    EXPECT_EQ(si.nPos, 50);
    EXPECT_EQ(si.nPage, 10u);
    EXPECT_FALSE(d.GetScrollInfo(edit, win::SB_HORZ, win::SIF_POS, si)) << "no horizontal bar";
    EXPECT_FALSE(d.GetScrollInfo(edit, win::SB_VERT, 0, si)) << "an empty mask fails";
}

TEST_F(FakeDesktopTest, LineAndThumbMessagesMoveTheBarWithinItsRange) {
    d.SendMessage(edit, win::WM_VSCROLL, win::SB_LINEUP, 0);
    EXPECT_EQ(d.Position(edit, win::SB_VERT), 49);
    d.SendMessage(edit, win::WM_VSCROLL, win::SB_LINEDOWN, 0);
    d.SendMessage(edit, win::WM_VSCROLL, win::SB_LINEDOWN, 0);
    EXPECT_EQ(d.Position(edit, win::SB_VERT), 51);
    d.SendMessage(edit, win::WM_VSCROLL, MakeLong(win::SB_THUMBPOSITION, 95), 0);
    EXPECT_EQ(d.Position(edit, win::SB_VERT), 90) << "the last page must fit: 99 - 10 + 1";
    d.SendMessage(edit, win::WM_VSCROLL, MakeLong(win::SB_THUMBTRACK, 3), 0);
    EXPECT_EQ(d.Position(edit, win::SB_VERT), 3);
    for (int i = 0; i < 5; ++i) d.SendMessage(edit, win::WM_VSCROLL, win::SB_LINEUP, 0);
    EXPECT_EQ(d.Position(edit, win::SB_VERT), 0);
    EXPECT_EQ(d.CountSent(edit, win::WM_VSCROLL, win::SB_LINEUP), 6);
    EXPECT_EQ(d.CountSent(edit, win::WM_VSCROLL), 10);
}

TEST_F(FakeDesktopTest, EditScrollReportsTheLinesItMoved) {
    LResult r = d.SendMessage(edit, win::EM_SCROLL, win::SB_LINEDOWN, 0);
    EXPECT_EQ(win::LoWord(static_cast<std::uint32_t>(r)), 1);
    EXPECT_EQ(win::HiWord(static_cast<std::uint32_t>(r)), 1);
    d.SendMessage(edit, win::EM_SCROLL, win::SB_PAGEUP, 0);
    EXPECT_EQ(d.Position(edit, win::SB_VERT), 41);
    d.SendMessage(list, win::EM_SCROLL, win::SB_LINEDOWN, 0);  // a list box ignores it
    EXPECT_EQ(d.Position(list, win::SB_VERT), INT_MIN);
}

TEST_F(FakeDesktopTest, WheelScrollsThreeLinesPerNotchAndKeepsPartialDeltas) {
    d.SendMessage(edit, win::WM_MOUSEWHEEL, MakeLong(0, -120), 0);
    EXPECT_EQ(d.Position(edit, win::SB_VERT), 53);
    d.SendMessage(edit, win::WM_MOUSEWHEEL, MakeLong(0, 60), 0);
    EXPECT_EQ(d.Position(edit, win::SB_VERT), 53);
    d.SendMessage(edit, win::WM_MOUSEWHEEL, MakeLong(0, 60), 0);
    EXPECT_EQ(d.Position(edit, win::SB_VERT), 50);
}

TEST_F(FakeDesktopTest, UnhandledWheelGoesToTheParent) {
    Hwnd label = d.AddWindow(edit, {.className = "Static", .rect = {20, 20, 40, 40}});
    d.SendMessage(label, win::WM_MOUSEWHEEL, MakeLong(0, 120), 0);
    EXPECT_EQ(d.Position(edit, win::SB_VERT), 47);
}

TEST_F(FakeDesktopTest, ListViewScrollsWholeLinesVertically) {
    Hwnd lv = d.AddWindow(top, {.className = "SysListView32", .rect = {220, 10, 420, 210}});
    d.SetScrollBar(lv, win::SB_VERT, 0, 199, 12, 100);
    d.SetScrollBar(lv, win::SB_HORZ, 0, 599, 200, 100);
    d.SendMessage(lv, win::LVM_SCROLL, 0, -40);  // 2.5 lines rounds to 3 (away from zero at .5)
    EXPECT_EQ(d.Position(lv, win::SB_VERT), 97);
    d.SendMessage(lv, win::LVM_SCROLL, static_cast<WParam>(-30), 0);
    EXPECT_EQ(d.Position(lv, win::SB_HORZ), 70);
}

TEST_F(FakeDesktopTest, ScrollBarControlTakesSetPosAndThumbRequestsFromItsOwner) {
    Hwnd bar = d.AddWindow(top, {.className = "ScrollBar", .rect = {430, 10, 450, 300}});
    d.SetScrollBar(bar, win::SB_CTL, 0, 20, 0, 5);
    EXPECT_EQ(d.SendMessage(bar, win::SBM_SETPOS, 30, 1), 5);
    EXPECT_EQ(d.Position(bar, win::SB_CTL), 20);
    // A window that handles scroll requests moves the control named in lParam.
    d.SetBehaviour(top, FakeBehaviour{.lineAndThumb = true});
    d.SendMessage(top, win::WM_VSCROLL, win::SB_LINEUP, static_cast<LParam>(bar));
    EXPECT_EQ(d.Position(bar, win::SB_CTL), 19);
}

// --- input and recording --------------------------------------------------------

TEST_F(FakeDesktopTest, RecordsSyntheticInputAndCallsInOrder) {
    d.KeybdEvent(win::VK_UP, 0, 0, 0);
    d.KeybdEvent(win::VK_UP, 0, win::KEYEVENTF_KEYUP, 0);
    d.MouseEvent(win::MOUSEEVENTF_RIGHTDOWN, 0, 0, 0, 0);
    d.SetActiveWindow(edit);
    const auto in = d.Inputs();
    ASSERT_EQ(in.size(), 3u);
    EXPECT_EQ(in[0].wp, win::VK_UP);
    EXPECT_EQ(in[1].msg, win::KEYEVENTF_KEYUP);
    EXPECT_EQ(in[2].kind, FakeRecord::Kind::Mouse);
    EXPECT_EQ(d.Records().back().call, "SetActiveWindow");
}

TEST_F(FakeDesktopTest, ClockCursorAndButtonsAreDrivenByTheTest) {
    d.SetTime(0xFFFFFFF0u);
    d.Advance(0x20);
    EXPECT_EQ(d.TimeGetTime(), 0x10u) << "the clock wraps like timeGetTime";
    d.SetCursor({7, 8});
    Point p;
    ASSERT_TRUE(d.GetCursorPos(p));
    EXPECT_EQ(p, (Point{7, 8}));
    EXPECT_EQ(d.GetAsyncKeyState(win::VK_RBUTTON), 0);
    d.SetButtonDown(win::VK_RBUTTON, true);
    EXPECT_LT(d.GetAsyncKeyState(win::VK_RBUTTON), 0) << "high bit set while down";
}

}  // namespace
}  // namespace flicko
