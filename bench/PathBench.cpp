// The rule choice at a press: FindRule over 1,000 rules on a desktop of 300
// windows (cold), and ChooseRule on a window already pressed on (cached).
#include <benchmark/benchmark.h>

#include <string>

#include "engine/DistinguishWnd.h"
#include "platform/WinConst.h"
#include "platform/fake/FakeDesktop.h"
#include "rules/SclDats.h"

namespace flicko {
namespace {

std::string Q(const std::string& s) { return "\"" + s + "\""; }

// 10 frames, each with 5 panes of 5 cells: 10 * (1 + 5 + 25) = 310 windows,
// trimmed to 300 by leaving the last frame's last two panes bare.
struct PressScene {
    FakeDesktop desk;
    EngineState state;
    TRuleModel model;
    DistinguishWnd paths{desk, state, model.RegexCache};
    Hwnd pointed = kNoWindow;
    int windows = 0;

    // With regexes, every fifth rule is a ClassRe / TextReI test instead of
    // a plain class test; with processes it is a ProcessI / Toplevel.ProcessRe
    // test.
    explicit PressScene(bool regexes = false, bool processes = false) {
        for (int f = 0; f < 10; ++f) {
            const Hwnd frame = desk.AddWindow(kNoWindow, {.className = "Frame" + std::to_string(f),
                                                          .text = "Document " + std::to_string(f),
                                                          .rect = {0, 0, 1000, 1000}});
            ++windows;
            for (int p = 0; p < 5; ++p) {
                const Hwnd pane = desk.AddWindow(frame, {.className = "Pane",
                                                         .style = win::WS_VISIBLE | win::WS_CHILD,
                                                         .rect = {p * 200, 0, p * 200 + 200, 1000}});
                ++windows;
                if (f == 9 && p >= 3) continue;
                for (int c = 0; c < 5; ++c) {
                    const Hwnd cell = desk.AddWindow(pane, {.className = "Cell" + std::to_string(c),
                                                            .style = win::WS_VISIBLE | win::WS_CHILD,
                                                            .rect = {p * 200, c * 200, p * 200 + 200, c * 200 + 200}});
                    ++windows;
                    if (f == 9 && p == 2 && c == 2) pointed = cell;
                }
            }
        }
        desk.SetScrollBar(pointed, win::SB_VERT, 0, 100, 10, 0);
        state.Target.PointedWindow = pointed;
        state.Drag.DownPoint = {500, 500};

        // Only the first rule matches, so the choice tries all of them from
        // the last. The paths mix plain tests, climbs and child searches.
        model.SclDats.Add("PC-Q" + Q("Frame9") + "H-PC-Q" + Q("Cell2") + "i-p");
        for (int i = 1; i < 1000; ++i) {
            const std::string n = std::to_string(i);
            switch (i % 5) {
                case 0:
                    if (processes) {
                        model.SclDats.Add(i % 10 == 0 ? "X-q" + Q("game" + n + ".exe")
                                                      : "oX-E" + Q("^tool" + n + "\\.exe$"));
                    } else if (!regexes) {
                        model.SclDats.Add("C-Q" + Q("Edit" + n));
                    } else if (i % 10 == 0) {
                        model.SclDats.Add("C-E" + Q("^Edit" + n + "(Box)?$"));
                    } else {
                        model.SclDats.Add("pT-e" + Q("report [0-9]+ of " + n));
                    }
                    break;
                case 1: model.SclDats.Add("PC-q" + Q("frame" + n)); break;
                case 2: model.SclDats.Add("oT-I" + Q("Report " + n)); break;
                case 3: model.SclDats.Add("oh-PhC-Q" + Q("Tile" + n)); break;
                default: model.SclDats.Add("ph-lC-Q" + Q("Grid" + n)); break;
            }
        }
    }

    // Every window pressed on once, the pointed one last: the cached choice
    // then searches the whole known-windows list.
    void PressEverywhere() {
        for (Hwnd top : desk.TopLevelWindows()) {
            if (model.KnownWindowIndex(top) < 0) model.ChooseRule(top, paths);
            for (Hwnd w : desk.ChildWindows(top)) {
                if (w != pointed) model.ChooseRule(w, paths);
            }
        }
        model.ChooseRule(pointed, paths);
    }
};

void BM_FindRuleCold(benchmark::State& st) {
    PressScene scene;
    int found = -1;
    for (auto _ : st) {
        found = scene.model.FindRule(scene.pointed, scene.paths);
        benchmark::DoNotOptimize(found);
    }
    if (found != 0) st.SkipWithError("the first rule should be chosen");
    st.counters["windows"] = scene.windows;
    st.counters["rules"] = scene.model.SclDats.Count();
}
BENCHMARK(BM_FindRuleCold)->Unit(benchmark::kMicrosecond);

// Expressions are compiled on their first use, so the first choice pays for
// compiling them and the measured ones search with the cached expressions.
void BM_FindRuleColdWithRegex(benchmark::State& st) {
    PressScene scene(true);
    int found = scene.model.FindRule(scene.pointed, scene.paths);
    for (auto _ : st) {
        found = scene.model.FindRule(scene.pointed, scene.paths);
        benchmark::DoNotOptimize(found);
    }
    if (found != 0) st.SkipWithError("the first rule should be chosen");
    st.counters["expressions"] = scene.model.RegexCache.Count();
}
BENCHMARK(BM_FindRuleColdWithRegex)->Unit(benchmark::kMicrosecond);

// The first press on a window whose rules test the owning process 200 times:
// the choice looks the process up once (on the fake desktop the look-up
// itself is free; the real one opens the process).
void BM_ChooseRuleColdWithProcess(benchmark::State& st) {
    PressScene scene(true, true);
    const TSclDat* chosen = nullptr;
    const int before = scene.desk.ImageNameQueries();
    for (auto _ : st) {
        scene.model.KnowWindows.Clear();
        chosen = scene.model.ChooseRule(scene.pointed, scene.paths).SclDat;
        benchmark::DoNotOptimize(chosen);
    }
    if (chosen != &scene.model.SclDats.Items(0)) st.SkipWithError("the first rule should be chosen");
    st.counters["lookups_per_press"] =
        static_cast<double>(scene.desk.ImageNameQueries() - before) / static_cast<double>(st.iterations());
}
BENCHMARK(BM_ChooseRuleColdWithProcess)->Unit(benchmark::kMicrosecond);

void BM_ChooseRuleCached(benchmark::State& st) {
    PressScene scene;
    scene.PressEverywhere();
    const TSclDat* chosen = nullptr;
    for (auto _ : st) {
        chosen = scene.model.ChooseRule(scene.pointed, scene.paths).SclDat;
        benchmark::DoNotOptimize(chosen);
    }
    if (chosen != &scene.model.SclDats.Items(0)) st.SkipWithError("the first rule should be cached");
    st.counters["known"] = scene.model.KnowWindows.Count();
}
BENCHMARK(BM_ChooseRuleCached)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace flicko
