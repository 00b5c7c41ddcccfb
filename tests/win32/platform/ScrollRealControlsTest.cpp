// The scroll methods against real controls in this process: each method
// that a control understands must move it by the amount the offset asks for,
// read back through the control's own messages.
#include "platform/win32/WindowsInclude.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "engine/EngineState.h"
#include "engine/Scroll.h"
#include "platform/win32/Win32Desktop.h"

#include <commctrl.h>

namespace flicko {
namespace {

constexpr const char* kFrameClass = "FlickoScrollTestFrame";
constexpr const char* kPadClass = "FlickoScrollTestPad";

// A window that keeps its own scroll bars the way simple applications do:
// it moves the bar in its WM_VSCROLL / WM_HSCROLL handler.
LRESULT CALLBACK PadProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_VSCROLL && msg != WM_HSCROLL) return DefWindowProcA(w, msg, wp, lp);
    const int bar = msg == WM_VSCROLL ? SB_VERT : SB_HORZ;
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    GetScrollInfo(w, bar, &si);
    int pos = si.nPos;
    switch (LOWORD(wp)) {
    case SB_LINEUP: pos -= 1; break;
    case SB_LINEDOWN: pos += 1; break;
    case SB_PAGEUP: pos -= static_cast<int>(si.nPage); break;
    case SB_PAGEDOWN: pos += static_cast<int>(si.nPage); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: pos = HIWORD(wp); break;
    default: return 0;
    }
    si.fMask = SIF_POS;
    si.nPos = pos;
    SetScrollInfo(w, bar, &si, TRUE);  // the system clamps into the range
    return 0;
}

void RegisterClasses() {
    static bool done = false;
    if (done) return;
    WNDCLASSA frame{};
    frame.lpfnWndProc = DefWindowProcA;
    frame.hInstance = GetModuleHandleA(nullptr);
    frame.lpszClassName = kFrameClass;
    frame.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassA(&frame);
    WNDCLASSA pad = frame;
    pad.lpfnWndProc = PadProc;
    pad.lpszClassName = kPadClass;
    RegisterClassA(&pad);
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    done = true;
}

void Pump() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

Hwnd W(HWND h) { return reinterpret_cast<Hwnd>(h); }

class NoActions : public IActions {
public:
    void RunActions(std::string_view) override {}
};

// Every path yields the pointed window, except the scroll-bar path "bar".
class PointedPaths : public IPathResolver {
public:
    Hwnd bar = kNoWindow;
    Hwnd ResolveWindowPath(Hwnd start, std::string_view code, const TSclDat&) override {
        return code == "bar" ? bar : start;
    }
};

class RealControls : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterClasses();
        const HINSTANCE inst = GetModuleHandleA(nullptr);
        frame = CreateWindowExA(0, kFrameClass, "scroll test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 760, 300,
                                nullptr, nullptr, inst, nullptr);
        ASSERT_NE(frame, nullptr);
        const DWORD child = WS_CHILD | WS_VISIBLE | WS_BORDER;

        edit = CreateWindowExA(0, "EDIT", "", child | ES_MULTILINE | WS_VSCROLL | WS_HSCROLL, 5, 5, 180, 120, frame,
                               nullptr, inst, nullptr);
        std::string text;
        for (int i = 0; i < 200; ++i) text += "line " + std::to_string(i) + "\r\n";
        SetWindowTextA(edit, text.c_str());
        SendMessageA(edit, EM_LINESCROLL, 0, 50);

        list = CreateWindowExA(0, "LISTBOX", "", child | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 190, 5, 140, 120, frame,
                               nullptr, inst, nullptr);
        for (int i = 0; i < 200; ++i) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(("item " + std::to_string(i)).c_str()));
        SendMessageA(list, LB_SETTOPINDEX, 50, 0);

        view = CreateWindowExA(0, WC_LISTVIEWA, "", child | LVS_REPORT, 335, 5, 200, 150, frame, nullptr, inst,
                               nullptr);
        LVCOLUMNA col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH;
        col.cx = 150;
        col.pszText = const_cast<char*>("name");
        SendMessageA(view, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&col));
        for (int i = 0; i < 200; ++i) {
            std::string s = "row " + std::to_string(i);
            LVITEMA item{};
            item.mask = LVIF_TEXT;
            item.iItem = i;
            item.pszText = s.data();
            SendMessageA(view, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        }
        RECT r{};
        r.left = LVIR_BOUNDS;
        SendMessageA(view, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
        rowHeight = r.bottom - r.top;
        SendMessageA(view, LVM_SCROLL, 0, 50 * rowHeight);

        bar = CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | WS_VISIBLE | SBS_VERT, 540, 5, 16, 150, frame, nullptr,
                              inst, nullptr);
        SetBar(bar, SB_CTL);

        pad = CreateWindowExA(0, kPadClass, "", child | WS_VSCROLL | WS_HSCROLL, 560, 5, 180, 150, frame, nullptr,
                              inst, nullptr);
        SetBar(pad, SB_VERT);
        SetBar(pad, SB_HORZ);
        Pump();
        rule = BuiltInSclDat();
    }
    void TearDown() override {
        if (frame) DestroyWindow(frame);
        Pump();
    }

    static void SetBar(HWND w, int kind) {
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_ALL;
        si.nMin = 0;
        si.nMax = 100;
        si.nPage = 10;
        si.nPos = 50;
        SetScrollInfo(w, kind, &si, TRUE);
    }
    static int BarPos(HWND w, int kind) {
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_POS;
        return GetScrollInfo(w, kind, &si) ? si.nPos : -9999;
    }
    int EditTop() const { return static_cast<int>(SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0)); }
    int ListTop() const { return static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0)); }
    int ViewTop() const { return static_cast<int>(SendMessageA(view, LVM_GETTOPINDEX, 0, 0)); }

    void Use(int axis, TScrollMethod m, float width) {
        TAxSclDat& a = axis == kAxisH ? rule.H : rule.V;
        a.Method = m;
        a.ScrollWidth = width;
        a.ScrollWidthUnit = TScrollWidthUnit::dot;
    }
    // What a press on w prepares, then one move to (dx, dy).
    void Drag(HWND w, int dx, int dy) {
        state = EngineState{};
        RECT wr;
        GetWindowRect(w, &wr);
        state.Drag.DownPoint = Point{(wr.left + wr.right) / 2, (wr.top + wr.bottom) / 2};
        state.Drag.Pressed = true;
        state.Target.PointedWindow = W(w);
        state.Target.Rule = &rule;
        state.Target.IsScroll = true;
        state.Target.TargetWindow = W(w);
        RECT cr;
        GetClientRect(w, &cr);
        POINT tl{cr.left, cr.top}, br{cr.right, cr.bottom};
        ClientToScreen(w, &tl);
        ClientToScreen(w, &br);
        state.Target.TargetRect = Rect{tl.x, tl.y, br.x - 1, br.y - 1};
        scroll.PrepareAxes();
        state.Drag.LastDelta[0] = dx;
        state.Drag.LastDelta[1] = dy;
        scroll.ScrollToDelta();
        Pump();
    }
    const AxisState& Axis(int axis) const { return state.Target.Axis[axis]; }

    Win32Desktop desktop;
    EngineState state;
    PointedPaths paths;
    NoActions actions;
    ScrollMethods scroll{desktop, state, paths, actions};
    TSclDat rule;
    HWND frame = nullptr, edit = nullptr, list = nullptr, view = nullptr, bar = nullptr, pad = nullptr;
    int rowHeight = 0;
};

// --- EDIT ------------------------------------------------------------------

TEST_F(RealControls, EditMovesByLinesThumbPositionsAndWheelNotches) {
    ASSERT_EQ(EditTop(), 50);
    Drag(edit, 0, 24);  // scrollline, 12 px per line
    EXPECT_EQ(EditTop(), 48);
    EXPECT_EQ(state.Drag.Applied[1], 24);

    Use(kAxisV, TScrollMethod::editscroll, 12.0f);
    Drag(edit, 0, -36);
    EXPECT_EQ(EditTop(), 51);

    Use(kAxisV, TScrollMethod::scrollpos, 4.0f);
    Drag(edit, 0, -20);
    EXPECT_EQ(EditTop(), 56);

    UINT lines = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    Use(kAxisV, TScrollMethod::mousewheel, 0.5f);
    Drag(edit, 0, 60);  // one notch up
    EXPECT_EQ(EditTop(), 56 - static_cast<int>(lines));
}

TEST_F(RealControls, EditAtItsFirstLineIsNotPushedFurther) {
    SendMessageA(edit, EM_LINESCROLL, 0, -1000);
    ASSERT_EQ(EditTop(), 0);
    Drag(edit, 0, 48);
    EXPECT_EQ(EditTop(), 0);
    EXPECT_EQ(state.Drag.Applied[1], 0);
}

// --- LISTBOX ---------------------------------------------------------------

TEST_F(RealControls, ListBoxMovesByLinesAndThumbPositions) {
    ASSERT_EQ(ListTop(), 50);
    Drag(list, 0, 24);
    EXPECT_EQ(ListTop(), 48);
    Use(kAxisV, TScrollMethod::scrollpos, 4.0f);
    Drag(list, 0, -20);
    EXPECT_EQ(ListTop(), 53);
}

// --- SysListView32 (report view) -------------------------------------------

TEST_F(RealControls, ListViewMovesByListViewScrollAndByLines) {
    ASSERT_GT(rowHeight, 0);
    const int top = ViewTop();
    ASSERT_GE(top, 10);
    // One unit per pixel: three rows' worth of offset upward scrolls three
    // rows toward the end.
    Use(kAxisV, TScrollMethod::listviewscroll, 1.0f);
    Drag(view, 0, -3 * rowHeight);
    EXPECT_EQ(ViewTop(), top + 3);
    EXPECT_EQ(state.Drag.Applied[1], -3 * rowHeight);

    Use(kAxisV, TScrollMethod::scrollline, 12.0f);
    Drag(view, 0, 24);
    EXPECT_EQ(ViewTop(), top + 1);
}

// --- SCROLLBAR control -----------------------------------------------------

TEST_F(RealControls, ScrollBarControlTakesItsPositionDirectly) {
    paths.bar = W(bar);
    rule.V.ScrollBar = "bar";
    rule.V.ScrollBarType = TScrollBarType::Control;
    Use(kAxisV, TScrollMethod::scrollbarpos, 4.0f);
    Drag(frame, 0, -20);
    EXPECT_EQ(Axis(kAxisV).BarKind, SB_CTL);
    EXPECT_EQ(BarPos(bar, SB_CTL), 55);
    // Clamped so the last page still fits: 100 - 10 + 1.
    Drag(frame, 0, -400);
    EXPECT_EQ(BarPos(bar, SB_CTL), 91);
}

// --- a window that handles its own bars ------------------------------------

TEST_F(RealControls, SelfScrollingWindowMovesByLinesOnBothAxes) {
    Drag(pad, -12, 24);  // 6 px per column, 12 per line
    EXPECT_EQ(BarPos(pad, SB_VERT), 48);
    EXPECT_EQ(BarPos(pad, SB_HORZ), 52);
}

TEST_F(RealControls, SelfScrollingWindowTakesThumbPositionsClampedToTheLastPage) {
    Use(kAxisV, TScrollMethod::scrollpos, 4.0f);
    Use(kAxisH, TScrollMethod::scrolltrack, 2.0f);
    Drag(pad, 10, -20);
    EXPECT_EQ(BarPos(pad, SB_VERT), 55);
    EXPECT_EQ(BarPos(pad, SB_HORZ), 45);
    Drag(pad, 0, -400);
    EXPECT_EQ(BarPos(pad, SB_VERT), 91);
}

// --- auto --------------------------------------------------------------------

TEST_F(RealControls, AutoSettlesOnAMethodThatMovesEachControl) {
    rule.V.Method = TScrollMethod::Auto;
    rule.V.ScrollWidth = 1.0f;
    struct Case {
        const char* name;
        HWND window;
        int offset;
    };
    const Case cases[] = {{"EDIT", edit, -48}, {"LISTBOX", list, -48}, {"SysListView32", view, -3 * rowHeight},
                          {"pad", pad, -30}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int before = BarPos(c.window, SB_VERT);
        Drag(c.window, 0, c.offset);
        EXPECT_FALSE(Axis(kAxisV).AutoMethod) << "ended on " << static_cast<int>(Axis(kAxisV).Method);
        EXPECT_NE(Axis(kAxisV).Method, TScrollMethod::arrowkey);
        EXPECT_GT(BarPos(c.window, SB_VERT), before);
        ::testing::Test::RecordProperty(c.name, static_cast<int>(Axis(kAxisV).Method));
    }
    // The pad takes thumb positions: one position per pixel from 50.
    EXPECT_EQ(BarPos(pad, SB_VERT), 80);
    EXPECT_EQ(Axis(kAxisV).Method, TScrollMethod::scrollpos);
}

}  // namespace
}  // namespace flicko
