// Whole drags through the composite engine on the fake desktop: the hook's
// messages in, the messages, input and wake-ups that reach the desktop out.
#include "engine/Engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "tests/unit/engine/ScrollTestSupport.h"

namespace flicko {
namespace {

using testing::Calls;
using testing::EndOfLines;
using testing::Lines;

class CountingHookPause : public IHookPause {
public:
    int pauses = 0, resumes = 0;
    bool PauseHook() override { return ++pauses > 0; }
    bool ResumeHook() override { return ++resumes > 0; }
};

class WholeDrag : public ::testing::Test {
protected:
    static constexpr Hwnd kResident = 0x9990;

    WholeDrag() : engine(desktop, model, TEngineSettings{}, pause, kResident) {
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

    // As the host runs it: what the message left to send goes after the reply.
    std::uint32_t Hook(std::uint32_t msg, Point p, Millis t) {
        desktop.SetTime(t);
        desktop.SetCursor(p);
        const std::uint32_t reply = engine.DispatchMouseEvent(msg);
        engine.SendAfterReply();
        return reply;
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
    void LongPaneOfTenPixelLines() {
        desktop.SetScrollBar(edit, win::SB_VERT, 0, 99999, 10, 50000);
        model.SclDats.Items(0).V.ScrollWidth = 10.0f;
        model.SclDats.Items(0).V.ScrollWidthUnit = TScrollWidthUnit::dot;
    }
    // Each line request keeps the edit busy for ms.
    void LinesCost(Millis ms) {
        desktop.OnSend = [this, ms](const FakeRecord& r) {
            if (r.msg == win::WM_VSCROLL && (r.wp & 0xFFFF) != win::SB_ENDSCROLL) desktop.Advance(ms);
        };
    }

    static constexpr Millis kT0 = 100000;
    FakeDesktop desktop;
    TRuleModel model;
    CountingHookPause pause;
    Engine engine;
    Hwnd frame = 0, edit = 0;
};

TEST_F(WholeDrag, FlickScrollsWhileDraggingGlidesOnAndStopsAtTheNextPress) {
    EXPECT_EQ(Hook(win::WM_RBUTTONDOWN, {150, 150}, kT0), 1u);
    EXPECT_TRUE(engine.WantsMoves());
    EXPECT_TRUE(engine.CheckMouseRunning());
    EXPECT_EQ(WakeUps(), 1);  // the button poll starts
    desktop.ClearRecords();

    // 1.2 px/ms downward: one line per 12 px.
    Hook(win::WM_MOUSEMOVE, {150, 162}, kT0 + 10);
    EXPECT_EQ(TakeSentToEdit(), Lines("V", 0, 1));
    EXPECT_EQ(engine.TrayPicture(), TB_SCROLL);
    Hook(win::WM_MOUSEMOVE, {150, 174}, kT0 + 20);
    EXPECT_EQ(TakeSentToEdit(), Lines("V", 0, 1));

    EXPECT_EQ(Hook(win::WM_RBUTTONUP, {150, 186}, kT0 + 30), 1u);
    EXPECT_FALSE(engine.WantsMoves());
    EXPECT_TRUE(engine.InertiaRunning());
    EXPECT_EQ(WakeUps(), 1);  // the glide starts
    // The release itself scrolls nothing; it ends the run of lines.
    EXPECT_EQ(SentToEdit(), EndOfLines("V"));
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
    EXPECT_EQ(engine.TrayPicture(), TB_ENABLE);
    EXPECT_EQ(SentToEdit(), EndOfLines("V"));  // the glide's lines end
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
    EXPECT_EQ(engine.TrayPicture(), TB_ENABLE);
    EXPECT_EQ(engine.Velocity().Velocity(kAxisV), 0.0f);
}

TEST_F(WholeDrag, HoldLongerThanTheTimeToleranceRestsOnASlowTarget) {
    LongPaneOfTenPixelLines();
    LinesCost(5);  // a move that comes meanwhile waits
    desktop.SetButtonDown(win::VK_RBUTTON, true);
    Hook(win::WM_RBUTTONDOWN, {150, 150}, kT0);
    // A 300 ms flick at 3 px/ms, each move read as soon as the last is done.
    for (Millis t = kT0 + 8; t < kT0 + 300; t = desktop.TimeGetTime() + 1) {
        Hook(win::WM_MOUSEMOVE, {150, 150 + 3 * static_cast<int>(t - kT0)}, t);
    }
    ASSERT_FLOAT_EQ(engine.Velocity().Velocity(kAxisV), 3.0f);
    // Then held still for twice the time tolerance, sampled by the button poll.
    const Millis held = desktop.TimeGetTime();
    for (Millis t = held + 10; t <= held + 200; t += 10) {
        desktop.SetTime(t);
        engine.CheckMouseTick();
    }
    engine.DispatchMouseEvent(win::WM_RBUTTONUP);
    EXPECT_FALSE(engine.InertiaRunning());
}

TEST_F(WholeDrag, FastFlickGlidesOverATargetSlowerThanTheFlick) {
    LongPaneOfTenPixelLines();
    LinesCost(8);
    desktop.SetButtonDown(win::VK_RBUTTON, true);
    Hook(win::WM_RBUTTONDOWN, {150, 110}, kT0);
    // 300 px down in 48 ms, then let go at once. The lines take far longer
    // than the flick, so the moves and the release wait behind them, and the
    // system learns where the cursor went only when the target reads its
    // input again: the button poll in between still finds it where the last
    // move left it.
    const auto cursorAt = [](Millis t) { return 110 + 25 * static_cast<int>(std::min<Millis>(t - kT0, 48) / 4); };
    for (Millis t = kT0 + 4;; t = std::max(t + 4, desktop.TimeGetTime() + 3)) {
        Hook(win::WM_MOUSEMOVE, {150, cursorAt(t)}, t);
        desktop.SetTime(desktop.TimeGetTime() + 1);
        engine.CheckMouseTick();
        if (t >= kT0 + 48) break;
    }
    const Millis up = desktop.TimeGetTime() + 2;
    ASSERT_GT(up - kT0, 200u);
    desktop.SetButtonDown(win::VK_RBUTTON, false);
    Hook(win::WM_RBUTTONUP, {150, cursorAt(up)}, up);
    EXPECT_TRUE(engine.InertiaRunning());
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
    EXPECT_FALSE(engine.WantsMoves());
    // 30 px in 20 ms: the synthesized release glides like a real one.
    EXPECT_TRUE(engine.InertiaRunning());
}

TEST_F(WholeDrag, EachRunOfLineStepsEndsWithOneNoticeAtAPauseAndAtTheRelease) {
    desktop.SetButtonDown(win::VK_RBUTTON, true);
    Hook(win::WM_RBUTTONDOWN, {150, 150}, kT0);
    desktop.ClearRecords();
    Hook(win::WM_MOUSEMOVE, {150, 162}, kT0 + 10);
    Hook(win::WM_MOUSEMOVE, {150, 174}, kT0 + 20);
    engine.CheckMouseTick();  // lines went out since the last tick: the run goes on
    Hook(win::WM_MOUSEMOVE, {150, 186}, kT0 + 30);
    EXPECT_EQ(TakeSentToEdit(), Lines("V", 0, 3));
    engine.CheckMouseTick();
    EXPECT_TRUE(TakeSentToEdit().empty());
    engine.CheckMouseTick();  // a whole tick without a line: a pause
    EXPECT_EQ(TakeSentToEdit(), EndOfLines("V"));
    engine.CheckMouseTick();
    EXPECT_TRUE(TakeSentToEdit().empty());

    Hook(win::WM_MOUSEMOVE, {150, 198}, kT0 + 500);
    desktop.SetButtonDown(win::VK_RBUTTON, false);
    Hook(win::WM_RBUTTONUP, {150, 198}, kT0 + 900);
    EXPECT_FALSE(engine.InertiaRunning());
    EXPECT_EQ(TakeSentToEdit(), testing::Seq({Lines("V", 0, 1), EndOfLines("V")}));
}

TEST_F(WholeDrag, ATargetFoundHungGetsNoEndOfScroll) {
    Hook(win::WM_RBUTTONDOWN, {150, 150}, kT0);
    Hook(win::WM_MOUSEMOVE, {150, 162}, kT0 + 10);
    desktop.SetHung(edit, true);
    Hook(win::WM_MOUSEMOVE, {150, 200}, kT0 + 20);
    desktop.SetHung(edit, false);
    Hook(win::WM_RBUTTONUP, {150, 200}, kT0 + 30);
    engine.CheckMouseTick();
    EXPECT_EQ(desktop.CountSent(edit, win::WM_VSCROLL, win::SB_ENDSCROLL), 0);
}

TEST_F(WholeDrag, GlideEndsAtTheEndOfTheContent) {
    desktop.SetScrollBar(edit, win::SB_VERT, 0, 99, 10, 2);
    Hook(win::WM_RBUTTONDOWN, {150, 150}, kT0);
    Hook(win::WM_MOUSEMOVE, {150, 170}, kT0 + 10);
    Hook(win::WM_RBUTTONUP, {150, 190}, kT0 + 20);
    ASSERT_TRUE(engine.InertiaRunning());
    for (Millis t = kT0 + 30; t <= kT0 + 200; t += 10) TickAt(t);
    EXPECT_EQ(VPos(), 0);
    EXPECT_EQ(desktop.CountSent(edit, win::WM_VSCROLL, win::SB_LINEUP), 2);
    EXPECT_FALSE(engine.InertiaRunning());
    EXPECT_EQ(engine.TrayPicture(), TB_ENABLE);
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
    Engine other(desktop, model, s, pause, kResident);
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

// --- faults: re-entry, hangs, stalls --------------------------------------

// The system delivers other threads' hook messages to the resident thread
// while it waits in SendMessage: here, during the first message the engine
// sends to the edit.
class Reentry : public WholeDrag {
protected:
    void DuringNextSend(std::function<void()> f) {
        desktop.OnSend = [this, f](const FakeRecord& r) {
            if (r.window != edit) return;
            desktop.OnSend = nullptr;
            f();
        };
    }
    void StartGlide(Millis t) {
        Hook(win::WM_RBUTTONDOWN, {150, 150}, t);
        Hook(win::WM_MOUSEMOVE, {150, 170}, t + 10);
        Hook(win::WM_RBUTTONUP, {150, 190}, t + 20);
        ASSERT_TRUE(engine.InertiaRunning());
        desktop.ClearRecords();
    }
};

TEST_F(Reentry, AnyPressDuringAGlideTickStopsTheGlideAndTheTick) {
    Millis t = kT0;
    for (std::uint32_t press : {win::WM_LBUTTONDOWN, win::WM_NCLBUTTONDOWN, win::WM_RBUTTONDOWN}) {
        t += 5000;
        StartGlide(t);
        std::uint32_t nestedReply = 99;
        DuringNextSend([&] { nestedReply = engine.DispatchMouseEvent(press); });
        TickAt(t + 90);  // 140 px due: many lines
        // A right press on the gliding window is kept from it: it starts a drag.
        EXPECT_EQ(nestedReply, press == win::WM_RBUTTONDOWN ? 1u : 0u) << press;
        EXPECT_FALSE(engine.InertiaRunning()) << press;
        // The tick sent one line request (the one the press came in on).
        EXPECT_EQ(desktop.CountSent(edit, win::WM_VSCROLL, win::SB_LINEUP), 1) << press;
        EXPECT_EQ(engine.TrayPicture(), TB_ENABLE);
    }
    EXPECT_TRUE(engine.WantsMoves());
    // Released without moving: the stopping click is not given back. The
    // hook stayed in all along (the rule has no press or drag-end actions):
    // the release that follows the answered press cannot slip past it.
    EXPECT_EQ(Hook(win::WM_RBUTTONUP, {150, 190}, t + 150), 1u);
    EXPECT_TRUE(desktop.Inputs().empty());
    EXPECT_EQ(pause.pauses, 0);
}

TEST_F(Reentry, RightPressDuringADragMoveEndsTheDragAndItsReleasePasses) {
    EXPECT_EQ(Hook(win::WM_RBUTTONDOWN, {150, 150}, kT0), 1u);
    // The user let go (the release was lost) and pressed again elsewhere.
    DuringNextSend([&] { EXPECT_EQ(engine.DispatchMouseEvent(win::WM_RBUTTONDOWN), 0u); });
    Hook(win::WM_MOUSEMOVE, {150, 174}, kT0 + 10);
    EXPECT_FALSE(engine.WantsMoves());
    EXPECT_FALSE(engine.CheckMouseRunning());
    desktop.ClearRecords();
    // Its window has the press, so it gets the release; nothing is replayed.
    EXPECT_EQ(Hook(win::WM_RBUTTONUP, {150, 174}, kT0 + 20), 0u);
    EXPECT_TRUE(desktop.Inputs().empty());
    EXPECT_FALSE(engine.InertiaRunning());
}

TEST_F(Reentry, ReleaseDuringAMoveIsSwallowedOnceAndEndsTheDragAfterIt) {
    Hook(win::WM_RBUTTONDOWN, {150, 150}, kT0);
    std::uint32_t nested = 99;
    DuringNextSend([&] {
        desktop.SetCursor({150, 162});
        nested = engine.DispatchMouseEvent(win::WM_RBUTTONUP);
        EXPECT_TRUE(engine.WantsMoves()) << "the release ran inside the move";
    });
    Hook(win::WM_MOUSEMOVE, {150, 162}, kT0 + 100);
    EXPECT_EQ(nested, 1u);
    EXPECT_FALSE(engine.WantsMoves());
    EXPECT_FALSE(engine.CheckMouseRunning());
    // A further release of the same press is the application's.
    EXPECT_EQ(Hook(win::WM_RBUTTONUP, {150, 162}, kT0 + 120), 0u);
}

TEST_F(Reentry, MoveDuringTheNoticeOfAPauseScrollsWhenTheNoticeReturns) {
    desktop.SetButtonDown(win::VK_RBUTTON, true);
    Hook(win::WM_RBUTTONDOWN, {150, 150}, kT0);
    Hook(win::WM_MOUSEMOVE, {150, 162}, kT0 + 10);
    engine.CheckMouseTick();  // lines went out since the last tick
    desktop.ClearRecords();
    DuringNextSend([&] {
        desktop.SetCursor({150, 174});
        engine.DispatchMouseEvent(win::WM_MOUSEMOVE);
    });
    engine.CheckMouseTick();  // a pause: its notice, during which the cursor moves on
    EXPECT_EQ(TakeSentToEdit(), testing::Seq({EndOfLines("V"), Lines("V", 0, 1)}));
}

TEST_F(Reentry, NonClientRightPressAfterADragDoesNotReplayItsRelease) {
    Hook(win::WM_RBUTTONDOWN, {150, 150}, kT0);
    Hook(win::WM_MOUSEMOVE, {150, 160}, kT0 + 200);
    EXPECT_EQ(Hook(win::WM_RBUTTONUP, {150, 160}, kT0 + 400), 1u);
    desktop.ClearRecords();
    // A title-bar click: the window gets press and release, no actions run.
    EXPECT_EQ(Hook(win::WM_NCRBUTTONDOWN, {150, 90}, kT0 + 2000), 0u);
    EXPECT_EQ(Hook(win::WM_NCRBUTTONUP, {150, 90}, kT0 + 2100), 0u);
    EXPECT_TRUE(desktop.Inputs().empty());
    EXPECT_FALSE(engine.InertiaRunning());
    EXPECT_TRUE(SentToEdit().empty());
}

TEST_F(WholeDrag, HungTargetEndsTheDragAndTheGlide) {
    EXPECT_EQ(Hook(win::WM_RBUTTONDOWN, {150, 150}, kT0), 1u);
    desktop.SetHung(edit, true);
    Hook(win::WM_MOUSEMOVE, {150, 200}, kT0 + 10);
    // One request timed out; the rest of the move sent nothing.
    EXPECT_EQ(desktop.CountSent(edit, win::WM_VSCROLL), 1);
    EXPECT_FALSE(engine.WantsMoves());
    EXPECT_FALSE(engine.CheckMouseRunning());
    Hook(win::WM_MOUSEMOVE, {150, 260}, kT0 + 20);
    EXPECT_EQ(desktop.CountSent(edit, win::WM_VSCROLL), 1);
    // The press was swallowed, so its release is too - and nothing glides.
    EXPECT_EQ(Hook(win::WM_RBUTTONUP, {150, 300}, kT0 + 30), 1u);
    EXPECT_FALSE(engine.InertiaRunning());
    EXPECT_TRUE(desktop.Inputs().empty());

    desktop.SetHung(edit, false);
    Hook(win::WM_RBUTTONDOWN, {150, 150}, kT0 + 2000);
    Hook(win::WM_MOUSEMOVE, {150, 170}, kT0 + 2010);
    Hook(win::WM_RBUTTONUP, {150, 190}, kT0 + 2020);
    ASSERT_TRUE(engine.InertiaRunning());
    desktop.SetHung(edit, true);
    TickAt(kT0 + 2040);
    EXPECT_FALSE(engine.InertiaRunning());
}

TEST_F(WholeDrag, GlideAfterAStallGoesOnWithoutJumpingAndEachTickIsBounded) {
    desktop.SetScrollBar(edit, win::SB_VERT, 0, 99999, 10, 50000);
    Hook(win::WM_RBUTTONDOWN, {150, 150}, kT0);
    Hook(win::WM_MOUSEMOVE, {150, 170}, kT0 + 10);
    Hook(win::WM_RBUTTONUP, {150, 190}, kT0 + 20);  // 2 px/ms: a line per 6 ms
    TickAt(kT0 + 30);
    desktop.ClearRecords();
    // A minute without ticks (a suspended machine): the next tick goes one
    // interval on instead of 10,000 lines at once.
    TickAt(kT0 + 60030);
    EXPECT_LE(desktop.CountSent(edit, win::WM_VSCROLL, win::SB_LINEUP), 2);
    EXPECT_TRUE(engine.InertiaRunning());
    desktop.ClearRecords();
    TickAt(kT0 + 60040);
    EXPECT_GE(desktop.CountSent(edit, win::WM_VSCROLL, win::SB_LINEUP), 1);
    // A late tick short of the stall limit still catches up (16.5 lines).
    desktop.ClearRecords();
    TickAt(kT0 + 60040 + 99);
    EXPECT_GE(desktop.CountSent(edit, win::WM_VSCROLL, win::SB_LINEUP), 16);
}

TEST_F(WholeDrag, OneGlideTickSendsAtMostTheCap) {
    desktop.SetScrollBar(edit, win::SB_VERT, 0, 99999, 10, 50000);
    Hook(win::WM_RBUTTONDOWN, {150, 150}, kT0);
    Hook(win::WM_MOUSEMOVE, {150, 250}, kT0 + 4);  // 25 px/ms
    Hook(win::WM_RBUTTONUP, {150, 250}, kT0 + 5);
    ASSERT_TRUE(engine.InertiaRunning());
    desktop.ClearRecords();
    TickAt(kT0 + 95);  // 2250 px due: 187 lines
    EXPECT_EQ(desktop.CountSent(edit, win::WM_VSCROLL, win::SB_LINEUP), kMaxEventsPerCall);
    // The rest follows with the next ticks.
    desktop.ClearRecords();
    TickAt(kT0 + 100);
    EXPECT_GT(desktop.CountSent(edit, win::WM_VSCROLL, win::SB_LINEUP), 80);
}

TEST_F(WholeDrag, GlideTicksOnATargetSlowerThanTheGlideStayShort) {
    LongPaneOfTenPixelLines();
    Hook(win::WM_RBUTTONDOWN, {150, 150}, kT0);
    Hook(win::WM_MOUSEMOVE, {150, 180}, kT0 + 10);
    Hook(win::WM_RBUTTONUP, {150, 210}, kT0 + 20);  // 3 px/ms: 3 lines an interval
    ASSERT_TRUE(engine.InertiaRunning());
    LinesCost(5);
    // As the loop runs them: one interval after the last tick began, or at
    // once when that one took longer.
    int most = 0;
    for (Millis due = kT0 + 30; due < kT0 + 2000; due += 10) {
        due = std::max(due, desktop.TimeGetTime());
        desktop.SetTime(due);
        desktop.ClearRecords();
        engine.InertiaTick();
        most = std::max(most, desktop.CountSent(edit, win::WM_VSCROLL, win::SB_LINEUP));
    }
    EXPECT_LE(most, 6);
    EXPECT_TRUE(engine.InertiaRunning());
}

TEST_F(WholeDrag, GlideEndsWhenItsWindowIsGone) {
    Hook(win::WM_RBUTTONDOWN, {150, 150}, kT0);
    Hook(win::WM_MOUSEMOVE, {150, 170}, kT0 + 10);
    Hook(win::WM_RBUTTONUP, {150, 190}, kT0 + 20);
    ASSERT_TRUE(engine.InertiaRunning());
    desktop.DestroyWindow(frame);
    TickAt(kT0 + 30);
    EXPECT_FALSE(engine.InertiaRunning());
    EXPECT_EQ(engine.TrayPicture(), TB_ENABLE);
}

TEST_F(WholeDrag, ScrollActionAroundLineStepsDoesNotScrollAgain) {
    model.SclDats.Items(0).BeforeScroll = "R0";
    model.SclDats.Items(0).AfterScroll = "R0";
    Hook(win::WM_RBUTTONDOWN, {150, 150}, kT0);
    Hook(win::WM_MOUSEMOVE, {150, 162}, kT0 + 200);
    EXPECT_EQ(TakeSentToEdit(), Lines("V", 0, 1));
    Hook(win::WM_MOUSEMOVE, {150, 163}, kT0 + 400);
    EXPECT_TRUE(SentToEdit().empty());
    // Each action list paused the hook once, and every pause was resumed.
    EXPECT_EQ(pause.resumes, pause.pauses);
}

TEST_F(WholeDrag, UnreadableCursorGivesNoMoveAndAPressThatPasses) {
    Hook(win::WM_RBUTTONDOWN, {150, 150}, kT0);
    desktop.SetCursorUnreadable(true);
    desktop.SetTime(kT0 + 10);
    EXPECT_EQ(engine.DispatchMouseEvent(win::WM_MOUSEMOVE), 0u);
    EXPECT_TRUE(SentToEdit().empty());
    EXPECT_EQ(engine.Velocity().Velocity(kAxisV), 0.0f);
    desktop.SetTime(kT0 + 20);
    EXPECT_EQ(engine.DispatchMouseEvent(win::WM_RBUTTONUP), 1u);
    EXPECT_FALSE(engine.InertiaRunning());
    desktop.SetTime(kT0 + 2000);
    EXPECT_EQ(engine.DispatchMouseEvent(win::WM_RBUTTONDOWN), 0u);
    EXPECT_FALSE(engine.WantsMoves());
}

}  // namespace
}  // namespace flicko
