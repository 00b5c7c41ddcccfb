#include "engine/WindowGeometry.h"

#include <algorithm>

#include "platform/WinConst.h"

namespace flicko {

namespace {

bool ReadBar(Desktop& desk, Hwnd window, int kind, std::uint32_t mask, ScrollInfo& si) {
    si = ScrollInfo{};
    return desk.GetScrollInfo(window, kind, mask, si);
}

}  // namespace

bool ScrollPosOk(Desktop& desk, Hwnd window, int kind) {
    ScrollInfo si;
    return ReadBar(desk, window, kind, win::SIF_POS, si) && si.nPos >= 0;
}

bool ScrollRangeOk(Desktop& desk, Hwnd window, int kind) {
    ScrollInfo si;
    return ReadBar(desk, window, kind, win::SIF_RANGE, si) && si.nMax >= 0;
}

bool ScrollPageOk(Desktop& desk, Hwnd window, int kind) {
    ScrollInfo si;
    return ReadBar(desk, window, kind, win::SIF_PAGE, si) && si.nPage > 0;
}

std::int32_t ScrollPosition(Desktop& desk, Hwnd window, int kind) {
    ScrollInfo si;
    return ReadBar(desk, window, kind, win::SIF_POS, si) ? si.nPos : INT_MIN;
}

TScrollRange ScrollRangeOf(Desktop& desk, Hwnd window, int kind) {
    ScrollInfo si;
    if (!ReadBar(desk, window, kind, win::SIF_RANGE, si)) return TScrollRange{};
    return TScrollRange{si.nMax, si.nMin};
}

std::uint32_t ScrollPageOf(Desktop& desk, Hwnd window, int kind) {
    ScrollInfo si;
    return ReadBar(desk, window, kind, win::SIF_ALL, si) ? si.nPage : 0;
}

std::int32_t ClientLen(Desktop& desk, Hwnd window, int axis) {
    Rect r;
    if (!desk.GetClientRect(window, r)) throw EWindowGeometryError("ClientLen missed GetClientRect");
    switch (axis) {
        case 0: return r.right;
        case 1: return r.bottom;
        default: throw EWindowGeometryError("ClientLen error");
    }
}

std::int32_t ScrollbarLen(Desktop& desk, Hwnd window, int axis) {
    Rect r;
    if (!desk.GetWindowRect(window, r)) return -1;
    switch (axis) {
        case 0: return r.right - r.left;
        case 1: return r.bottom - r.top;
        case 2: return (r.right - r.left) + (r.bottom - r.top);
        default: return -1;
    }
}

std::int32_t PtToRt(Desktop& desk, Point screen, Hwnd window, int axis) {
    Rect r;
    if (!desk.GetClientRect(window, r)) throw EWindowGeometryError("PtToRt missed GetClientRect");
    Point p = screen;
    // The window can vanish between the two calls; an unconverted screen
    // point would give a plausible but wrong distance.
    if (!desk.ScreenToClient(window, p)) throw EWindowGeometryError("PtToRt missed GetClientRect");
    switch (axis) {
        case 0: return std::min(p.x - r.left, r.right - p.x);
        case 1: return std::min(p.y - r.top, r.bottom - p.y);
        default: throw EWindowGeometryError("PtToRt error");
    }
}

Hwnd TopLevelOf(Desktop& desk, Hwnd window) {
    Hwnd current = window;
    for (;;) {
        Hwnd parent = desk.GetParent(current);
        if (parent == kNoWindow || !desk.IsChild(parent, current)) return current;
        current = parent;
    }
}

std::string WindowTextOf(Desktop& desk, Hwnd window) { return desk.WindowText(window); }

std::string ClassNameOf(Desktop& desk, Hwnd window) { return desk.ClassName(window); }

Rect ClientRectOnScreen(Desktop& desk, Hwnd window) {
    Rect client;
    Point topLeft;
    Point bottomRight;
    if (desk.GetClientRect(window, client)) {
        topLeft = Point{client.left, client.top};
        bottomRight = Point{client.right, client.bottom};
        desk.ClientToScreen(window, topLeft);
        desk.ClientToScreen(window, bottomRight);
    }
    return Rect{topLeft.x, topLeft.y, bottomRight.x - 1, bottomRight.y - 1};
}

}  // namespace flicko
