// Whole drags through the composite engine on the fake desktop: the hook's
// messages in, the messages, input and wake-ups that reach the desktop out.
#include "engine/Engine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/unit/engine/ScrollTestSupport.h"

namespace flicko {
namespace {

using testing::Calls;
using testing::Lines;

class CountingHookPause : public IHookPause {
public:
    int pauses = 0, resumes = 0;
    void PauseHook() override { ++pauses; }
    void ResumeHook() override { ++resumes; }
};

class WholeDrag : public ::testing::Test {
protected:
    static constexpr Hwnd kResident = 0x9990;

    WholeDrag()
        : hook(journal),
          tray(journal),
          engine(desktop, model, TEngineSettings{}, EngineHost{hook, pause, tray, errors, kResident}) {
        frame = desktop.AddWindow(kNoWindow, {.className = "Frame", .rect = {0, 0, 640, 480}});
        edit = desktop.AddWindow(frame, {.className = "Edit", .rect = {100, 100, 300, 260},
                                         .client = Rect{102, 102, 282, 242}});
        desktop.SetScrollBar(edit, win::SB_VERT, 0, 99, 10, 50);
        desktop.SetScrollBar(edit, win::SB_HORZ, 0, 199, 20, 100);
        // Edit controls scroll with the built-in defaults; nothing else does.
        const int i = model.SclDats.Add("C-Q\"Edit\"");
        ResetToDefaults(model.DefaultSclDat, &model.SclDats.Items(i));
        desktop.SetTime(kT0);
    }

    std::uint32_t Hook(std::uint32_t msg, Point p, Millis t) {
        desktop.SetTime(t);
        desktop.SetCursor(p);
        return engine.DispatchMouseEvent(msg);
    }
    void TickAt(Millis t) {
        desktop.SetTime(t);
        engine.InertiaTick();
    }
    Calls SentToEdit() const {
        Calls out;
        for (const auto& r : desktop.SentTo(edit)) out.push_back(testing::Describe(r));
        return out;
    }
    Calls TakeSentToEdit() {
        Calls out = SentToEdit();
        desktop.ClearRecords();
        return out;
    }
    int WakeUps() const {
        int n = 0;
        for (const auto& r : desktop.Records()) n += r.kind == FakeRecord::Kind::Post && r.window == kResident && r.msg == win::WM_NULL;
        return n;
    }
    int VPos() const { return desktop.Position(edit, win::SB_VERT); }

    static constexpr Millis kT0 = 100000;
    FakeDesktop desktop;
    TRuleModel model;
    testing::Journal journal;
    testing::RecordingHookLink hook;
    testing::RecordingTray tray;
    testing::RecordingErrors errors;
    CountingHookPause pause;
    Engine engine;
    Hwnd frame = 0, edit = 0;
};

TEST_F(WholeDrag, FlickScrollsWhileDraggingGlidesOnAndStopsAtTheNextPress) {
    EXPECT_EQ(Hook(win::WM_RBUTTONDOWN, {150, 150}, kT0), 1u);
    EXPECT_TRUE(hook.sendMove);
    EXPECT_TRUE(engine.CheckMouseRunning());
    EXPECT_EQ(WakeUps(), 1);  // the button poll starts
    desktop.ClearRecords();

    // 1.2 px/ms downward: one line per 12 px.
    Hook(win::WM_MOUSEMOVE, {150, 162}, kT0 + 10);
    EXPECT_EQ(TakeSentToEdit(), Lines("V", 0, 1));
    EXPECT_EQ(tray.state, TB_SCROLL);
    Hook(win::WM_MOUSEMOVE, {150, 174}, kT0 + 20);
    EXPECT_EQ(TakeSentToEdit(), Lines("V", 0, 1));

    EXPECT_EQ(Hook(win::WM_RBUTTONUP, {150, 186}, kT0 + 30), 1u);
    EXPECT_FALSE(hook.sendMove);
    EXPECT_TRUE(engine.InertiaRunning());
    EXPECT_EQ(WakeUps(), 1);  // the glide starts
    EXPECT_TRUE(SentToEdit().empty());  // the release itself scrolls nothing
    desktop.ClearRecords();

    // 10 ms after the release the offset is 36 + 12 = 48 px: two lines more.
    TickAt(kT0 + 40);
    EXPECT_EQ(TakeSentToEdit(), Lines("V", 0, 2));
    // A tick that comes late catches up by the elapsed time: 36 + 36.
    TickAt(kT0 + 60);
    EXPECT_EQ(TakeSentToEdit(), Lines("V", 0, 2));
    EXPECT_EQ(VPos(), 44);

    Hook(win::WM_LBUTTONDOWN, {150, 186}, kT0 + 65);
    EXPECT_FALSE(engine.InertiaRunning());
    EXPECT_EQ(tray.state, TB_ENABLE);
    EXPECT_TRUE(SentToEdit().empty());
}

TEST_F(WholeDrag, RightPressOnTheGlidingWindowStopsItAndStartsANewDragWithoutReplay) {
    Hook(win::WM_RBUTTONDOWN, {150, 150}, kT0);
    Hook(win::WM_MOUSEMOVE, {150, 170}, kT0 + 10);
    Hook(win::WM_RBUTTONUP, {150, 190}, kT0 + 20);
    ASSERT_TRUE(engine.InertiaRunning());
    // Inside the double-click time of that release, on the same window.
    EXPECT_EQ(Hook(win::WM_RBUTTONDOWN, {160, 200}, kT0 + 100), 1u);
    EXPECT_FALSE(engine.InertiaRunning());
    desktop.ClearRecords();
    TickAt(kT0 + 110);  // a tick already queued finds the press and does nothing
    EXPECT_TRUE(SentToEdit().empty());
    EXPECT_EQ(Hook(win::WM_RBUTTONUP, {160, 200}, kT0 + 150), 1u);
    // The stopping click is not given back to the window.
    EXPECT_TRUE(desktop.Inputs().empty());
    EXPECT_FALSE(engine.InertiaRunning());
}

TEST_F(WholeDrag, PlainRightClickIsReplayedWithTheHookPausedAndItsEchoPassesThrough) {
    EXPECT_EQ(Hook(win::WM_RBUTTONDOWN, {150, 150}, kT0), 1u);
    const int pausesBefore = pause.pauses;
    desktop.ClearRecords();
    EXPECT_EQ(Hook(win::WM_RBUTTONUP, {151, 150}, kT0 + 80), 1u);
    const auto inputs = desktop.Inputs();
    ASSERT_EQ(inputs.size(), 2u);
    EXPECT_EQ(inputs[0].msg, win::MOUSEEVENTF_RIGHTDOWN);
    EXPECT_EQ(inputs[1].msg, win::MOUSEEVENTF_RIGHTUP);
    EXPECT_EQ(pause.pauses, pausesBefore + 1);
    EXPECT_EQ(pause.resumes, pause.pauses);
    EXPECT_TRUE(SentToEdit().empty());
    EXPECT_FALSE(engine.InertiaRunning());
    // The replayed click comes back through the hook inside the double-click time.
    EXPECT_EQ(Hook(win::WM_RBUTTONDOWN, {151, 150}, kT0 + 81), 0u);
    EXPECT_EQ(Hook(win::WM_RBUTTONUP, {151, 150}, kT0 + 82), 0u);
}

TEST_F(WholeDrag, DragThatRestsBeforeTheReleaseDoesNotGlide) {
    desktop.SetButtonDown(win::VK_RBUTTON, true);
    Hook(win::WM_RBUTTONDOWN, {150, 150}, kT0);
    for (int i = 1; i <= 4; ++i) Hook(win::WM_MOUSEMOVE, {150, 150 + 25 * i}, kT0 + 8 * i);
    // The cursor rests at 250; the hook reports nothing, the poll samples it.
    for (Millis t = kT0 + 40; t <= kT0 + 200; t += 10) {
        desktop.SetTime(t);
        engine.CheckMouseTick();
    }
    Hook(win::WM_RBUTTONUP, {150, 250}, kT0 + 205);
    EXPECT_FALSE(engine.InertiaRunning());
    EXPECT_EQ(tray.state, TB_ENABLE);
    EXPECT_EQ(engine.Velocity().Velocity(kAxisV), 0.0f);
}

TEST_F(WholeDrag, SlowDragDoesNotGlide) {
    Hook(win::WM_RBUTTONDOWN, {150, 150}, kT0);
    for (int i = 1; i <= 30; ++i) Hook(win::WM_MOUSEMOVE, {150 - i, 150 + 2 * i}, kT0 + 10 * i);
    Hook(win::WM_RBUTTONUP, {120, 210}, kT0 + 310);
    EXPECT_FALSE(engine.InertiaRunning());
    EXPECT_EQ(model.SclDats.Items(0).IsInertia, true);
    // Both axes followed: 60 px down = 5 lines, 30 px left = 5 columns.
    EXPECT_EQ(desktop.CountSent(edit, win::WM_VSCROLL, win::SB_LINEUP), 5);
    EXPECT_EQ(desktop.CountSent(edit, win::WM_HSCROLL, win::SB_LINEDOWN), 5);
}

TEST_F(WholeDrag, ButtonPollEndsADragWhoseReleaseTheHookMissed) {
    desktop.SetButtonDown(win::VK_RBUTTON, true);
    Hook(win::WM_RBUTTONDOWN, {150, 150}, kT0);
    desktop.SetButtonDown(win::VK_RBUTTON, false);
    desktop.SetCursor({150, 180});
    desktop.SetTime(kT0 + 10);
    engine.CheckMouseTick();
    EXPECT_TRUE(engine.CheckMouseRunning());
    desktop.SetTime(kT0 + 20);
    engine.CheckMouseTick();
    EXPECT_FALSE(engine.CheckMouseRunning());
    EXPECT_FALSE(hook.sendMove);
    // 30 px in 20 ms: the synthesized release glides like a real one.
    EXPECT_TRUE(engine.InertiaRunning());
}

TEST_F(WholeDrag, GlideGoesOnAtTheEndOfTheContentWithoutSendingMore) {
    desktop.SetScrollBar(edit, win::SB_VERT, 0, 99, 10, 2);
    Hook(win::WM_RBUTTONDOWN, {150, 150}, kT0);
    Hook(win::WM_MOUSEMOVE, {150, 170}, kT0 + 10);
    Hook(win::WM_RBUTTONUP, {150, 190}, kT0 + 20);
    ASSERT_TRUE(engine.InertiaRunning());
    for (Millis t = kT0 + 30; t <= kT0 + 200; t += 10) TickAt(t);
    EXPECT_EQ(VPos(), 0);
    EXPECT_EQ(desktop.CountSent(edit, win::WM_VSCROLL, win::SB_LINEUP), 2);
    EXPECT_TRUE(engine.InertiaRunning());
}

TEST_F(WholeDrag, WakeUpsGoToAResidentWindowCreatedAfterTheEngine) {
    constexpr Hwnd kLater = 0x4440;
    engine.SetResidentWindow(kLater);
    Hook(win::WM_RBUTTONDOWN, {150, 150}, kT0);
    Hook(win::WM_MOUSEMOVE, {150, 170}, kT0 + 10);
    Hook(win::WM_RBUTTONUP, {150, 190}, kT0 + 20);
    ASSERT_TRUE(engine.InertiaRunning());
    int wakeUps = 0;
    for (const auto& r : desktop.Records()) wakeUps += r.kind == FakeRecord::Kind::Post && r.window == kLater;
    EXPECT_EQ(wakeUps, 2);  // the button poll and the glide
    EXPECT_EQ(WakeUps(), 0);
}

TEST_F(WholeDrag, RulesWithRegularExpressionPathsChooseTheWindow) {
    // The rule for Edit windows is replaced by one that matches by pattern.
    model.SclDats.Items(0).Path = "C-E\"^Ed.t$\"";
    EXPECT_EQ(Hook(win::WM_RBUTTONDOWN, {150, 150}, kT0), 1u);
    Hook(win::WM_MOUSEMOVE, {150, 162}, kT0 + 10);
    EXPECT_EQ(SentToEdit(), Lines("V", 0, 1));
}

TEST_F(WholeDrag, SettingsReachTheTrackers) {
    TEngineSettings s;
    s.InertiaMin = 5.0f;
    s.XTolerance = 7;
    Engine other(desktop, model, s, EngineHost{hook, pause, tray, errors, kResident});
    EXPECT_EQ(other.Velocity().Tracker(kAxisH).PosTolerance, 7);
    // A 3 px/ms flick glides with the defaults but not with these.
    for (Engine* e : {&engine, &other}) {
        desktop.Advance(1000);
        desktop.SetCursor({150, 150});
        ASSERT_EQ(e->DispatchMouseEvent(win::WM_RBUTTONDOWN), 1u);
        desktop.SetCursor({150, 180});
        desktop.Advance(10);
        e->DispatchMouseEvent(win::WM_MOUSEMOVE);
        desktop.Advance(10);
        e->DispatchMouseEvent(win::WM_RBUTTONUP);
    }
    EXPECT_TRUE(engine.InertiaRunning());
    EXPECT_FALSE(other.InertiaRunning());
}

}  // namespace
}  // namespace flicko
