// ScrollToDelta per cursor move for each method family on the fake desktop:
// the drag runs back and forth over 400 px in 3 px steps on both axes, so
// every family sends a realistic mix of nothing, one unit and a few units.
#include <benchmark/benchmark.h>

#include "engine/EngineState.h"
#include "engine/Scroll.h"
#include "platform/WinConst.h"
#include "platform/fake/FakeDesktop.h"
#include "rules/SclDats.h"

namespace flicko {
namespace {

class NoActions : public IActions {
public:
    void RunActions(std::string_view) override {}
};

class Pointed : public IPathResolver {
public:
    Hwnd ResolveWindowPath(Hwnd start, std::string_view, const TSclDat&) override { return start; }
};

struct DragScene {
    FakeDesktop desk;
    EngineState state;
    Pointed paths;
    NoActions actions;
    ScrollMethods scroll{desk, state, paths, actions};
    TSclDat rule = BuiltInSclDat();
    Hwnd target = kNoWindow;
    int offset = 0;
    int step = 3;

    DragScene(TScrollMethod method, float hWidth, float vWidth, const char* cls = "Edit") {
        target = desk.AddWindow(kNoWindow, {.className = cls, .rect = {0, 0, 400, 300}});
        // Far from both ends, so no move runs into the end of the range.
        desk.SetScrollBar(target, win::SB_VERT, 0, 100000, 20, 50000);
        desk.SetScrollBar(target, win::SB_HORZ, 0, 100000, 20, 50000);
        rule.H.Method = rule.V.Method = method;
        rule.H.ScrollWidth = hWidth;
        rule.V.ScrollWidth = vWidth;
        Press();
    }
    void Press() {
        state.Drag = DragState{};
        state.Drag.Pressed = true;
        state.Drag.DownPoint = {200, 150};
        state.Target.PointedWindow = state.Target.TargetWindow = target;
        state.Target.Rule = &rule;
        state.Target.IsScroll = true;
        state.Target.TargetRect = Rect{0, 0, 399, 299};
        scroll.PrepareAxes();
    }
    void Move() {
        if (offset + step > 200 || offset + step < -200) step = -step;
        offset += step;
        state.Drag.LastDelta[0] = offset;
        state.Drag.LastDelta[1] = -offset;
        scroll.ScrollToDelta();
        // The fake keeps every message; drop them now and then so memory
        // stays flat over millions of iterations.
        if (desk.Records().size() > 4096) desk.ClearRecords();
    }
};

void RunMoves(benchmark::State& st, DragScene& scene) {
    std::size_t sent = 0;
    for (auto _ : st) {
        const std::size_t before = scene.desk.Records().size();
        scene.Move();
        const std::size_t after = scene.desk.Records().size();
        sent += after >= before ? after - before : after;
    }
    st.counters["msgs/move"] = benchmark::Counter(static_cast<double>(sent), benchmark::Counter::kAvgIterations);
}

void BM_StepFamily_ScrollLine(benchmark::State& st) {
    DragScene scene(TScrollMethod::scrollline, 6.0f, 12.0f);
    RunMoves(st, scene);
}
BENCHMARK(BM_StepFamily_ScrollLine);

void BM_StepFamily_ArrowKey(benchmark::State& st) {
    DragScene scene(TScrollMethod::arrowkey, 6.0f, 12.0f);
    RunMoves(st, scene);
}
BENCHMARK(BM_StepFamily_ArrowKey);

void BM_PositionFamily_ScrollPos(benchmark::State& st) {
    DragScene scene(TScrollMethod::scrollpos, 4.0f, 4.0f);
    RunMoves(st, scene);
}
BENCHMARK(BM_PositionFamily_ScrollPos);

void BM_WheelFamily_MouseWheel(benchmark::State& st) {
    DragScene scene(TScrollMethod::mousewheel, 0.5f, 0.5f);
    RunMoves(st, scene);
}
BENCHMARK(BM_WheelFamily_MouseWheel);

void BM_WheelFamily_ListViewScroll(benchmark::State& st) {
    DragScene scene(TScrollMethod::listviewscroll, 1.0f, 1.0f, "SysListView32");
    RunMoves(st, scene);
}
BENCHMARK(BM_WheelFamily_ListViewScroll);

// The worst case of auto: a window deaf to every message, so a press and its
// first move walk the whole chain down to arrow keys.
void BM_Auto_PressAndFirstMoveOnADeafWindow(benchmark::State& st) {
    DragScene scene(TScrollMethod::Auto, 6.0f, 12.0f, "Static");
    for (auto _ : st) {
        scene.Press();
        scene.offset = 0;
        scene.step = 24;
        scene.Move();
    }
}
BENCHMARK(BM_Auto_PressAndFirstMoveOnADeafWindow);

}  // namespace
}  // namespace flicko
