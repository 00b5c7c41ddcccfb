// The probe's views and its timer-driven press, move and release, on the
// fake desktop with rules read from a file.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/WinConst.h"
#include "platform/fake/FakeDesktop.h"
#include "probe/core/Probe.h"
#include "rules/SclDatReader.h"
#include "tests/unit/rules/RulesTestSupport.h"

namespace flicko {
namespace {

const char* const kRules =
    "// rules of the probe tests\n"
    "Class(Edit)\n"
    "{\n"
    "    HIsScroll: False;\n"
    "    VMethod: scrollline;\n"
    "    VScrollWidth: 16 dot;\n"
    "}\n"
    "Class(AutoPane) { Method: auto; }\n"
    "else\n"
    "{\n"
    "    IsScroll: False;\n"
    "}\n";

class FakeTimer : public IProbeTimer {
public:
    bool SetTimer(Millis interval) override {
        intervals.push_back(interval);
        running = true;
        return true;
    }
    void KillTimer() override { running = false; }
    std::vector<Millis> intervals;
    bool running = false;
};

class RecordingView : public IProbeView {
public:
    void ShowCursorPos(const std::string& text) override { cursor = text; }
    void ShowWindowTree(const TWindowTree&) override { ++trees; }
    void ShowScrollData(const std::string& text) override {
        data = text;
        ++datas;
    }
    void ShowScrollResult(const std::string& text) override {
        result = text;
        ++results;
    }
    std::string cursor = "LblCursorPos", data, result;
    int trees = 0, datas = 0, results = 0;
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    for (;;) {
        const std::size_t end = text.find("\r\n", at);
        lines.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
        if (end == std::string::npos) return lines;
        at = end + 2;
    }
}

class FpProbeTest : public ::testing::Test {
protected:
    FpProbeTest() : expander(dir.Dir()) {
        top = desktop.AddWindow(kNoWindow, {"Main", "Notes", 0x10CF0000, 0, Rect{0, 0, 500, 500}});
        edit = desktop.AddWindow(top, {"Edit", "", 0x50200004, 0, Rect{10, 10, 310, 210}});
        desktop.SetScrollBar(edit, win::SB_VERT, 0, 99, 10, 20);
        pane = desktop.AddWindow(top, {"AutoPane", "", 0x50000000, 0, Rect{10, 300, 310, 400}});
        desktop.SetScrollBar(pane, win::SB_VERT, 0, 99, 10, 0);
        Read(kRules);
    }
    void Read(const std::string& text) {
        file = dir.Write("scroll.dat", text);
        TScrollDataReader reader(model, report, expander);
        reader.LoadScrollData(file);
        probe.RulesChanged();
    }
    // One tick with the cursor at p and the right button as given.
    void Tick(Point p, bool rightDown) {
        desktop.SetCursor(p);
        desktop.SetButtonDown(win::VK_RBUTTON, rightDown);
        desktop.Advance(100);
        probe.CheckTimerTick(desktop.TimeGetTime());
    }

    testing::ScratchDir dir;
    testing::DirExpander expander;
    testing::RecordingReport report;
    std::string file;
    FakeDesktop desktop;
    TRuleModel model;
    TProbeChecks checks;
    FakeTimer timer;
    RecordingView view;
    TProbe probe{desktop, model, checks, timer, view, report};
    Hwnd top, edit, pane;
};

// --- the rule and state views -------------------------------------------

TEST_F(FpProbeTest, ClassRuleShowsItsHeaderItsEndAndWhereItWasRead) {
    Tick({100, 100}, true);
    const auto lines = Lines(view.data);
    ASSERT_EQ(lines.size(), 19u);
    EXPECT_EQ(lines[0], "Class(Edit){");
    EXPECT_EQ(lines[4], "HIsScroll: False;");
    EXPECT_EQ(lines[12], "VMethod: ScrollLine;");
    EXPECT_EQ(lines[17], "}");
    EXPECT_EQ(lines[18], "// " + file + ":2");
}

TEST_F(FpProbeTest, StateViewShowsTheWindowsAndBothAxes) {
    Tick({100, 100}, true);
    char edit8[16];
    std::snprintf(edit8, sizeof edit8, "%08X", static_cast<unsigned>(edit));
    EXPECT_EQ(Lines(view.result),
              (std::vector<std::string>{
                  std::string("Window from point : ") + edit8, "", std::string("Window for send : ") + edit8,
                  " Client size: 300 x 200", "", "Horizontal : ", " Is scroll : False",
                  std::string(" Scrollbar : ") + edit8, " Scrollbar type : Horizontal",
                  // The edit has no horizontal bar: no numbers, which would
                  // read as a bar's.
                  " ScrollInfo : the bar cannot be read", " Dot/Scroll : 6",
                  " Method: ScrollLine", "", "Vertical : ", " Is scroll : True", std::string(" Scrollbar : ") + edit8,
                  " Scrollbar type : Vertical", " ScrollInfo : Min:0, Max:99, Pos:20, Page:10", " Dot/Scroll : 16",
                  " Method: ScrollLine"}));
}

TEST_F(FpProbeTest, StateViewOnAScaledMonitorShowsTheTargetsDpiAndTheScaledWidth) {
    desktop.AddMonitor({0, 0, 1920, 1080}, 144);
    Tick({100, 100}, true);
    const auto lines = Lines(view.result);
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[3], " Client size: 300 x 200");
    EXPECT_EQ(lines[4], " DPI : 144 (1 dot = 1.5 pixels)");
    EXPECT_NE(std::find(lines.begin(), lines.end(), " Dot/Scroll : 24"), lines.end());
}

TEST_F(FpProbeTest, UnmatchedWindowShowsTheElseBlockAndItsPlace) {
    Tick({400, 450}, true);
    const auto lines = Lines(view.data);
    EXPECT_EQ(lines.front(), "Else{");
    EXPECT_EQ(lines[1], "IsScroll: False;");
    EXPECT_EQ(lines.back(), "// " + file + ":9");
}

TEST_F(FpProbeTest, WithoutElseBlockTheFallbackSaysBuiltInDefaults) {
    Read("Class(Edit) {}\n");
    Tick({400, 450}, true);
    EXPECT_EQ(Lines(view.data).front(), "Else{");
    EXPECT_EQ(Lines(view.data).back(), "// built-in defaults");
}

TEST_F(FpProbeTest, AutoRuleShowsAutoAndTheStateShowsTheMethodInForce) {
    Tick({100, 350}, true);
    EXPECT_EQ(Lines(view.data)[12], "VMethod: Auto;");
    EXPECT_EQ(Lines(view.result).back(), " Method: ScrollPos");
}

TEST_F(FpProbeTest, StateViewSaysInWordsWhyAWindowIsNotScrolled) {
    Tick({400, 450}, true);  // the frame: no rule
    EXPECT_EQ(Lines(view.result)[2], "Not scrolled: no rule matched this window;");
    EXPECT_EQ(Lines(view.result)[3], " the else rule (" + file + ":9) says IsScroll: False.");
    Tick({400, 450}, false);  // and a rule that says so:
    Read(std::string(kRules) + "Class(AutoPane) { IsScroll: False; }\n");
    Tick({100, 350}, true);
    EXPECT_EQ(Lines(view.result)[3], " IsScroll: False at " + file + ":13.");
    Tick({100, 350}, false);
    const std::uint32_t admin = desktop.AddProcess("regedit.exe");
    desktop.SetProcessHigher(admin, true);  // whatever its rule says
    desktop.AddWindow(kNoWindow, {.className = "Edit", .rect = {600, 0, 800, 200}, .process = admin});
    Tick({700, 100}, true);
    EXPECT_EQ(Lines(view.result)[0], "Not scrolled: regedit.exe (" + std::to_string(admin) + ") runs with higher rights than Flicko");
}

// --- the timer and the probe ----------------------------------------------

TEST_F(FpProbeTest, TickShowsTheCursorAndRestartsTheTimerWithItsInterval) {
    checks.CheckInterval = 50;
    probe.SetCheckEnable(true);
    Tick({7, 9}, false);
    EXPECT_EQ(view.cursor, "CursorPos:(x=7, y=9)");
    EXPECT_TRUE(timer.running);
    EXPECT_EQ(timer.intervals, (std::vector<Millis>{50, 50}));
    EXPECT_EQ(view.trees + view.datas + view.results, 0);
}

TEST_F(FpProbeTest, DisabledTickChangesNothingAndLeavesTheTimerStopped) {
    probe.SetCheckEnable(true);
    probe.SetCheckEnable(false);
    Tick({100, 100}, true);
    EXPECT_FALSE(timer.running);
    EXPECT_FALSE(probe.TimerRunning());
    EXPECT_EQ(view.cursor, "LblCursorPos");
    EXPECT_FALSE(probe.State().Drag.Pressed);
}

TEST_F(FpProbeTest, UnwatchedButtonChangesOnlyTheCursorText) {
    desktop.SetButtonDown(win::VK_LBUTTON, true);
    Tick({100, 100}, false);
    EXPECT_EQ(view.cursor, "CursorPos:(x=100, y=100)");
    EXPECT_FALSE(probe.State().Drag.Pressed);
    EXPECT_EQ(view.trees + view.datas + view.results, 0);
    checks.LeftButton = true;
    Tick({100, 100}, false);
    EXPECT_TRUE(probe.State().Drag.Pressed);
}

TEST_F(FpProbeTest, PressFillsTreeAndViewsAndSelectsThePointedWindow) {
    Tick({100, 100}, true);
    EXPECT_EQ(view.trees, 1);
    EXPECT_EQ(view.datas, 1);
    EXPECT_EQ(view.results, 1);
    ASSERT_NE(probe.Tree().Selected(), nullptr);
    EXPECT_EQ(HandleFromNodeText(probe.Tree().Selected()->Text.substr(1)), edit);
}

TEST_F(FpProbeTest, WithScrollOnMovesSendTheSameLineRequestsAndComeBack) {
    checks.Scroll = true;
    Tick({100, 100}, true);
    Tick({130, 68}, true);  // 32 px up: two lines; the disabled axis stays 0
    EXPECT_EQ(desktop.CountSent(edit, win::WM_VSCROLL, win::SB_LINEDOWN), 2);
    EXPECT_EQ(probe.State().Drag.LastDelta[0], 0);
    EXPECT_EQ(desktop.Position(edit, win::SB_VERT), 22);
    EXPECT_NE(view.result.find("Pos:22,"), std::string::npos);
    Tick({100, 100}, true);  // back at the press point
    EXPECT_EQ(desktop.CountSent(edit, win::WM_VSCROLL, win::SB_LINEUP), 2);
    EXPECT_EQ(desktop.Position(edit, win::SB_VERT), 20);
}

TEST_F(FpProbeTest, WithScrollOffMovesOnlyRewriteTheStateView) {
    Tick({100, 100}, true);
    Tick({100, 68}, true);
    EXPECT_EQ(desktop.CountSent(edit, win::WM_VSCROLL), 0);
    EXPECT_EQ(view.results, 2);
    Tick({140, 68}, true);  // only along the disabled axis: same offset
    EXPECT_EQ(view.results, 2);
}

TEST_F(FpProbeTest, ReleaseEndsTheProbeAndTheNextPressUsesTheCachedChoice) {
    Tick({100, 100}, true);
    Tick({100, 100}, false);
    EXPECT_FALSE(probe.State().Drag.Pressed);
    Tick({120, 120}, true);
    EXPECT_EQ(model.KnowWindows.Count(), 1);
    probe.RulesChanged();
    EXPECT_EQ(model.KnowWindows.Count(), 0);
}

TEST_F(FpProbeTest, ReloadKeepsTheTimerAsItWasAndForgetsTheChoices) {
    int loads = 0;
    Tick({100, 100}, true);
    probe.SetCheckEnable(false);
    probe.ReloadScrollData([&] {
        EXPECT_FALSE(timer.running);
        ++loads;
    });
    EXPECT_EQ(loads, 1);
    EXPECT_FALSE(timer.running);
    EXPECT_FALSE(checks.Enable);
    EXPECT_EQ(model.KnowWindows.Count(), 0);
    EXPECT_FALSE(probe.State().Drag.Pressed);

    probe.SetCheckEnable(true);
    probe.ReloadScrollData([&] { EXPECT_FALSE(timer.running); });
    EXPECT_TRUE(timer.running);
    EXPECT_TRUE(checks.Enable);
}

TEST_F(FpProbeTest, LoadDuringAReadingIsRefusedAndTheTimerWaitsForTheOuterOne) {
    probe.SetCheckEnable(true);
    int loads = 0;
    probe.ReloadScrollData([&] {
        ++loads;
        EXPECT_TRUE(probe.Reading());
        // "loa&d" pressed again from a report box's loop.
        probe.ReloadScrollData([&] { ++loads; });
        EXPECT_FALSE(timer.running) << "the inner reload restarted the timer mid-reading";
    });
    EXPECT_EQ(loads, 1);
    EXPECT_FALSE(probe.Reading());
    EXPECT_TRUE(timer.running);
    probe.ReloadScrollData([&] { ++loads; });
    EXPECT_EQ(loads, 2);
}

TEST_F(FpProbeTest, ProbeStaysAsItWasWhileEnableIsOff) {
    probe.SetCheckEnable(true);
    Tick({100, 100}, true);
    probe.SetCheckEnable(false);
    Tick({100, 100}, false);
    EXPECT_TRUE(probe.State().Drag.Pressed);
    probe.SetCheckEnable(true);
    Tick({100, 100}, false);
    EXPECT_FALSE(probe.State().Drag.Pressed);
}

TEST_F(FpProbeTest, ScrollDataOffLeavesTheViewsAndMovesScrollNothing) {
    checks.Scroll = true;
    Tick({100, 100}, true);
    Tick({100, 100}, false);
    checks.ScrollDateFile = false;
    Tick({100, 100}, true);
    Tick({100, 50}, true);
    EXPECT_EQ(view.datas, 1);
    EXPECT_EQ(desktop.CountSent(edit, win::WM_VSCROLL), 0);
    EXPECT_EQ(view.trees, 2);
}

TEST_F(FpProbeTest, CopyHoldsTreeRuleAndStateAsPlainText) {
    Tick({100, 100}, true);
    const std::string text = probe.CopyText();
    EXPECT_NE(text.find("  property\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n\r\nClass(Edit){\r\n"), std::string::npos);
    EXPECT_NE(text.find("}\r\n// " + file + ":2\r\n\r\nWindow from point : "), std::string::npos);
    EXPECT_EQ(text.find('\n', 0), text.find("\r\n", 0) + 1);
}

}  // namespace
}  // namespace flicko
