// A fake desktop with one scrollable Edit control and a prepared drag, and a
// compact reading of what the scroll methods sent.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "engine/EngineState.h"
#include "engine/Scroll.h"
#include "platform/WinConst.h"
#include "platform/fake/FakeDesktop.h"
#include "tests/unit/engine/RecordingDragNeighbours.h"

namespace flicko::testing {

// "V(0,0)" is WM_VSCROLL with SB_LINEUP, "H(4,17)" WM_HSCROLL with
// SB_THUMBPOSITION at 17, "WHEEL(-120)", "LVM(0,-2)", "EM(1)",
// "SETPOS(5)", "SYSDOWN(38,20000001)", "SYSUP(38,e0000001)"; keybd_event
// shows as "key+38" and "key-38".
inline std::string Describe(const FakeRecord& r) {
    const auto lo = win::LoWord(static_cast<std::uint32_t>(r.wp));
    const auto hi = static_cast<std::int16_t>(win::HiWord(static_cast<std::uint32_t>(r.wp)));
    const auto hex = [](std::intptr_t v) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%x", static_cast<unsigned>(static_cast<std::uint32_t>(v)));
        return std::string(buf);
    };
    if (r.kind == FakeRecord::Kind::Key) {
        return std::string(r.msg & win::KEYEVENTF_KEYUP ? "key-" : "key+") + std::to_string(r.wp);
    }
    switch (r.msg) {
    case win::WM_HSCROLL: return "H(" + std::to_string(lo) + "," + std::to_string(hi) + ")";
    case win::WM_VSCROLL: return "V(" + std::to_string(lo) + "," + std::to_string(hi) + ")";
    case win::WM_MOUSEWHEEL: return "WHEEL(" + std::to_string(hi) + ")";
    case win::LVM_SCROLL:
        return "LVM(" + std::to_string(static_cast<std::int32_t>(r.wp)) + "," +
               std::to_string(static_cast<std::int32_t>(r.lp)) + ")";
    case win::EM_SCROLL: return "EM(" + std::to_string(r.wp) + ")";
    case win::SBM_SETPOS: return "SETPOS(" + std::to_string(static_cast<std::int32_t>(r.wp)) + ")";
    case win::WM_SYSKEYDOWN: return "SYSDOWN(" + std::to_string(r.wp) + "," + hex(r.lp) + ")";
    case win::WM_SYSKEYUP: return "SYSUP(" + std::to_string(r.wp) + "," + hex(r.lp) + ")";
    default: return "msg" + std::to_string(r.msg);
    }
}

using Calls = std::vector<std::string>;

// Line steps: count requests; the end-of-scroll notice comes once, when
// the run of steps ends (EndOfLines).
inline Calls Lines(const std::string& axis, int code, int count) {
    Calls out;
    for (int i = 0; i < count; ++i) out.push_back(axis + "(" + std::to_string(code) + ",0)");
    return out;
}
inline Calls EndOfLines(const std::string& axis) { return {axis + "(8,0)"}; }

// The parts one after the other.
inline Calls Seq(std::initializer_list<Calls> parts) {
    Calls out;
    for (const Calls& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

class ScrollFixture : public ::testing::Test {
protected:
    ScrollFixture() : actions(journal), scroll(desktop, state, paths, actions) {
        frame = desktop.AddWindow(kNoWindow, {.className = "Frame", .rect = {0, 0, 640, 480}});
        edit = desktop.AddWindow(frame, {.className = "Edit", .rect = {100, 100, 300, 260},
                                         .client = Rect{102, 102, 282, 242}});
        desktop.SetScrollBar(edit, win::SB_VERT, 0, 99, 10, 50);
        desktop.SetScrollBar(edit, win::SB_HORZ, 0, 199, 20, 100);
        rule = BuiltInSclDat();
    }

    // What RightButtonDown does before it hands over to the scroll methods.
    void Press(Hwnd w, Point p = {150, 150}) {
        state.Drag = DragState{};
        state.Drag.DownPoint = p;
        state.Drag.Pressed = true;
        ScrollTarget& s = state.Target;
        s.PointedWindow = w;
        s.Rule = &rule;
        s.IsScroll = true;
        s.TargetWindow = paths.ResolveWindowPath(w, rule.SendTo, rule);
        Rect c;
        Point tl, br;
        if (desktop.GetClientRect(s.TargetWindow, c)) {
            tl = {c.left, c.top};
            br = {c.right, c.bottom};
            desktop.ClientToScreen(s.TargetWindow, tl);
            desktop.ClientToScreen(s.TargetWindow, br);
        }
        s.TargetRect = Rect{tl.x, tl.y, br.x - 1, br.y - 1};
        scroll.PrepareAxes();
        desktop.ClearRecords();
    }
    void DragTo(int dx, int dy) {
        state.Drag.LastDelta[0] = dx;
        state.Drag.LastDelta[1] = dy;
        scroll.ScrollToDelta();
    }
    Calls Sent() const {
        Calls out;
        for (const auto& r : desktop.Records()) {
            if (r.kind == FakeRecord::Kind::Send || r.kind == FakeRecord::Kind::Key) out.push_back(Describe(r));
        }
        return out;
    }
    Calls TakeSent() {
        Calls out = Sent();
        desktop.ClearRecords();
        return out;
    }
    AxisState& Ax(int axis) { return state.Target.Axis[axis]; }
    int Applied(int axis) const { return state.Drag.Applied[axis]; }
    int VPos() const { return desktop.Position(edit, win::SB_VERT); }
    int HPos() const { return desktop.Position(edit, win::SB_HORZ); }
    void SetV(TScrollMethod m, float width, TScrollWidthUnit unit = TScrollWidthUnit::dot) {
        rule.V.Method = m;
        rule.V.ScrollWidth = width;
        rule.V.ScrollWidthUnit = unit;
    }
    void SetH(TScrollMethod m, float width, TScrollWidthUnit unit = TScrollWidthUnit::dot) {
        rule.H.Method = m;
        rule.H.ScrollWidth = width;
        rule.H.ScrollWidthUnit = unit;
    }

    FakeDesktop desktop;
    EngineState state;
    Journal journal;
    TablePathResolver paths;
    RecordingActions actions;
    ScrollMethods scroll;
    TSclDat rule;
    Hwnd frame = 0, edit = 0;
};

}  // namespace flicko::testing
