// The application object on the fake desktop: hook messages in; the shared
// block's SendMove, the hook, the tray and the boxes out. Settings and rules
// are real files read by the real readers.
#include "host/core/ResidentApp.h"

#include <gtest/gtest.h>

#include <functional>

#include <string>
#include <utility>
#include <vector>

#include "hook/FmoData.h"
#include "tests/unit/host/RefusingNotifyArea.h"
#include "platform/native/NativeProfileFiles.h"
#include "platform/WinConst.h"
#include "platform/fake/FakeDesktop.h"
#include "platform/fake/FakeEnvironment.h"
#include "tests/unit/support/TempFiles.h"

namespace flicko {
namespace {

struct FakeHook : IHookInstaller, IHookLink {
    bool installed = false;
    bool sendMove = false;
    std::vector<std::string> calls;
    std::int32_t LinkSetHook() override {
        calls.push_back("set");
        installed = true;
        return -1;
    }
    std::int32_t LinkUnhook() override {
        calls.push_back("unhook");
        installed = false;
        return -1;
    }
    void SetSendMove() override { sendMove = true; }
    void ClearSendMove() override { sendMove = false; }
};

using FakeArea = testing::RefusingNotifyArea;

struct Boxes : IReadErrorReport {
    std::vector<std::string> shown;
    // What the user does while a report box is open.
    std::function<void()> whileShown;
    void ShowErrorBox(const std::string& text) override { shown.push_back(text); }
    void ReportReadError(const std::string&, int, const std::string& message) override {
        shown.push_back(message);
        // Once: what the user does must not recurse through a nested box.
        if (auto act = std::exchange(whileShown, nullptr)) act();
    }
};

constexpr Hwnd kResident = 0x5550;
constexpr char kRules[] =
    "Class(Edit) { }\n"
    // A target path that finds no window: measuring it at the press fails.
    "Class(Static) { SendTo: Parent; VScrollWidth: 1 clientLen; }\n"
    "else { IsScroll: 0; }\n";

class ResidentApp : public ::testing::Test {
protected:
    ResidentApp() {
        // The first top-level window is the topmost.
        bad = desktop.AddWindow(kNoWindow, {.className = "Static", .rect = {400, 300, 500, 400}});
        frame = desktop.AddWindow(kNoWindow, {.className = "Frame", .rect = {0, 0, 640, 480}});
        edit = desktop.AddWindow(frame, {.className = "Edit", .rect = {100, 100, 300, 260}});
        desktop.SetScrollBar(edit, win::SB_VERT, 0, 999, 10, 500);
        desktop.SetTime(100000);
    }

    void Start(const std::string& ini, const std::string& rules = kRules) {
        app.SetDefaults();
        app.Settings().Files().Ini = folder.Write("flicko.ini", ini);
        folder.Write("scroll.dat", rules);
        // The rules file is named by the settings file, as at a real start.
        app.Settings().Files().ScrollDat = folder.Path("scroll.dat");
        app.StartUp(false);
    }
    // The hook's message as the hook sends it: sent now, by the tick count.
    std::uint32_t Hook(std::uint32_t msg, Point p, std::uint32_t sentAgo = 0) {
        desktop.SetCursor(p);
        const std::uint32_t now = desktop.TimeGetTime();
        return app.MouseHook(HookWParam(msg, now - sentAgo), now);
    }
    // A 3 px/ms downward flick over the edit, released 20 ms after the press.
    void Flick() {
        desktop.Advance(1000);
        Hook(win::WM_RBUTTONDOWN, {150, 150});
        desktop.Advance(10);
        Hook(win::WM_MOUSEMOVE, {150, 180});
        desktop.Advance(10);
        Hook(win::WM_RBUTTONUP, {150, 210});
    }
    bool Gliding() { return app.Idle().Polling() && !hook.sendMove; }

    test::TempFolder folder;
    FakeDesktop desktop;
    FakeEnvironment environment;
    NativeProfileFiles profiles;
    FakeHook hook;
    FakeArea area;
    Boxes boxes;
    Boxes readReports;
    TResidentApp app{TResidentSystem{desktop, hook, hook, area, boxes, readReports, profiles, environment, kResident}};
    Hwnd frame = 0, edit = 0, bad = 0;
};

TEST_F(ResidentApp, EngineWishesReachTheBlockAndTheTray) {
    Start("[Scroll]\nEnable=1\n");
    EXPECT_TRUE(hook.installed);
    EXPECT_EQ(Hook(win::WM_RBUTTONDOWN, {150, 150}), 1u);
    EXPECT_TRUE(hook.sendMove);
    desktop.Advance(10);
    const std::size_t shownBefore = area.pictures.size();
    Hook(win::WM_MOUSEMOVE, {150, 180});
    // The shell's call comes after the reply, from the loop.
    EXPECT_EQ(area.pictures.size(), shownBefore);
    EXPECT_TRUE(app.HasDeferredWork());
    app.RunDeferred();
    EXPECT_EQ(area.pictures.back(), TB_SCROLL);
    desktop.Advance(10);
    EXPECT_EQ(Hook(win::WM_RBUTTONUP, {150, 210}), 1u);
    EXPECT_FALSE(hook.sendMove);
    EXPECT_TRUE(app.Polling());  // the glide ticks
    Hook(win::WM_LBUTTONDOWN, {150, 210});
    EXPECT_FALSE(app.Polling());
    app.RunDeferred();
    EXPECT_EQ(area.pictures.back(), TB_ENABLE);
}

TEST_F(ResidentApp, HookMessagesPassUntouchedWhileScrollingIsOff) {
    Start("[Scroll]\nEnable=0\n");
    EXPECT_FALSE(hook.installed);
    EXPECT_EQ(Hook(win::WM_RBUTTONDOWN, {150, 150}), 0u);
    EXPECT_FALSE(hook.sendMove);
    EXPECT_EQ(Hook(win::WM_RBUTTONUP, {150, 150}), 0u);
}

TEST_F(ResidentApp, PressTheHookMayHaveGivenUpOnStartsNoDrag) {
    Start("[Scroll]\nEnable=1\n");
    EXPECT_EQ(Hook(win::WM_RBUTTONDOWN, {150, 150}, kStalePressMs), 0u);
    EXPECT_FALSE(hook.sendMove);
    // Its release goes to the window that got the press.
    EXPECT_EQ(Hook(win::WM_RBUTTONUP, {150, 150}), 0u);
    desktop.Advance(1000);
    EXPECT_EQ(Hook(win::WM_RBUTTONDOWN, {150, 150}, kStalePressMs - 1), 1u);
    // The age is taken modulo 2^16 ms, across the wrap of the high word.
    Hook(win::WM_RBUTTONUP, {150, 150});
    desktop.SetTime(0x0001FFF0u);
    desktop.Advance(1000);
    EXPECT_EQ(Hook(win::WM_RBUTTONDOWN, {150, 150}, 0x20), 1u);
}

TEST_F(ResidentApp, NothingIsSentBeforeTheReplyAndAPressAnsweredTooLateIsGivenUp) {
    Start("[Scroll]\nEnable=1\n", "Class(Edit) { ButtonDown: Paint; }\nelse { IsScroll: 0; }\n");
    Flick();
    // The release ends the moves' run of lines once the hook has its answer.
    EXPECT_EQ(desktop.CountSent(edit, win::WM_VSCROLL, win::SB_ENDSCROLL), 0);
    ASSERT_TRUE(app.HasDeferredWork());
    app.RunDeferred();
    EXPECT_EQ(desktop.CountSent(edit, win::WM_VSCROLL, win::SB_ENDSCROLL), 1);
    // The press action keeps the window busy until the hook gave up waiting.
    desktop.OnSend = [&](const FakeRecord& r) {
        if (r.msg == win::WM_PAINT) desktop.Advance(kHookTimeoutMs);
    };
    desktop.Advance(1000);
    EXPECT_EQ(Hook(win::WM_RBUTTONDOWN, {150, 150}), 0u);
    EXPECT_FALSE(hook.sendMove);
    EXPECT_EQ(Hook(win::WM_RBUTTONUP, {150, 150}), 0u);
}

TEST_F(ResidentApp, LateDoubleClickOfTheGivenBackClickIsNeitherSwallowedNorGivenAgain) {
    Start("[Scroll]\nEnable=1\n");
    Hook(win::WM_RBUTTONDOWN, {150, 150});
    Hook(win::WM_RBUTTONUP, {150, 150});  // gives the click back
    // Paired into a double click, read so late that the hook may have delivered it.
    EXPECT_EQ(Hook(win::WM_RBUTTONDBLCLK, {150, 150}, kStalePressMs), 0u);
    EXPECT_EQ(Hook(win::WM_RBUTTONUP, {150, 150}), 0u);
    EXPECT_EQ(desktop.Inputs().size(), 2u);  // the one click given back
}

TEST_F(ResidentApp, ErrorAtAPressIsAnsweredFirstAndShownOncePerReading) {
    Start("[Scroll]\nEnable=1\n");
    EXPECT_EQ(Hook(win::WM_RBUTTONDOWN, {450, 350}), 0u);
    EXPECT_TRUE(readReports.shown.empty()) << readReports.shown[0];
    EXPECT_TRUE(boxes.shown.empty()) << "a box inside the hook's wait";
    EXPECT_TRUE(app.HasDeferredWork());
    EXPECT_FALSE(app.RunDeferred());
    EXPECT_EQ(boxes.shown, std::vector<std::string>{"ClientLen missed GetClientRect"});
    EXPECT_EQ(Hook(win::WM_RBUTTONUP, {450, 350}), 0u);
    // The cached rule fails again at every press: the box comes once.
    desktop.Advance(1000);
    Hook(win::WM_RBUTTONDOWN, {450, 350});
    Hook(win::WM_RBUTTONUP, {450, 350});
    app.RunDeferred();
    EXPECT_EQ(boxes.shown.size(), 1u);
    // A new reading of the rules shows it again.
    app.RequestReloadScrollDat();
    app.RunDeferred();
    desktop.Advance(1000);
    Hook(win::WM_RBUTTONDOWN, {450, 350});
    app.RunDeferred();
    EXPECT_EQ(boxes.shown.size(), 2u);
}

TEST_F(ResidentApp, ReadIniReachesTheEngine) {
    Start("[Scroll]\nEnable=1\nInertiaMin=1000\n");
    Flick();
    EXPECT_TRUE(Gliding());
    Hook(win::WM_LBUTTONDOWN, {150, 210});
    folder.Write("flicko.ini", "[Scroll]\nInertiaMin=5000\n");
    app.RequestReloadIni();
    EXPECT_FALSE(app.RunDeferred());
    EXPECT_FLOAT_EQ(app.EngineCore().Settings().InertiaMin, 5.0f);
    Flick();
    EXPECT_FALSE(Gliding());
    // The on/off state of before the reading is kept.
    EXPECT_TRUE(hook.installed);
}

TEST_F(ResidentApp, CloseAndReloadDuringAGlideTickWaitForTheLoop) {
    Start("[Scroll]\nEnable=1\n[Files]\nWriteExitStatus=1\n");
    Flick();
    ASSERT_TRUE(Gliding());
    bool ranInside = true;
    // Another program closes us and the menu asks for a reading while the
    // tick waits on the edit.
    desktop.OnSend = [&](const FakeRecord&) {
        desktop.OnSend = nullptr;
        app.RequestShutDown();
        app.RequestReloadScrollDat();
        ranInside = app.RunDeferred();
    };
    desktop.Advance(20);
    app.Idle().Run(desktop.TimeGetTime());
    EXPECT_FALSE(ranInside) << "shut-down or reload inside the running tick";
    EXPECT_FALSE(app.IsShutDown());
    // Back in the loop: the shut-down runs, the hook goes before the write.
    ASSERT_TRUE(app.RunDeferred());
    app.ShutDown();
    EXPECT_EQ(hook.calls.back(), "unhook");
    EXPECT_FALSE(hook.installed);
    // The state in force before the shut-down is what is written.
    EXPECT_NE(folder.Read("flicko.ini").find("Enable=True"), std::string::npos);
    EXPECT_EQ(app.MouseHook(win::WM_RBUTTONDOWN, 0), 0u);
}

TEST_F(ResidentApp, HookPauseIsCountedAndSetEnabledWhilePausedWaitsForTheLastResume) {
    Start("[Scroll]\nEnable=1\n");
    hook.calls.clear();
    app.PauseHook();
    app.PauseHook();  // a menu's actions, say
    app.ResumeHook();
    EXPECT_FALSE(hook.installed) << "the inner resume put the hook back";
    EXPECT_TRUE(app.SetEnabled(false));
    app.ResumeHook();
    EXPECT_FALSE(hook.installed);
    EXPECT_EQ(hook.calls, std::vector<std::string>{"unhook"});
    EXPECT_EQ(area.pictures.back(), TB_DISABLE);
}

TEST_F(ResidentApp, ReadingInProgressKeepsTheHookOutAndRefusesTheMenuAndASecondReading) {
    Start("[Scroll]\nEnable=1\n");
    folder.Write("scroll.dat", std::string("Class(Edit) { NoSuchKey: 1; }\n") + kRules);
    bool switched = true;
    bool hookedInBox = true;
    std::uint32_t reply = 1;
    bool nestedShutDown = true;
    // The report box's loop serves the tray menu and hook messages that
    // were on their way.
    readReports.whileShown = [&] {
        switched = app.SetEnabled(true);
        hookedInBox = hook.installed;
        reply = Hook(win::WM_RBUTTONDOWN, {150, 150});
        app.RequestReloadScrollDat();
        nestedShutDown = app.RunDeferred();
    };
    app.RequestReloadScrollDat();
    EXPECT_FALSE(app.RunDeferred());
    EXPECT_FALSE(switched) << "Scrolling on was accepted in the middle of a reading";
    EXPECT_FALSE(hookedInBox);
    EXPECT_EQ(reply, 0u);
    EXPECT_FALSE(hook.sendMove);
    EXPECT_FALSE(nestedShutDown);
    EXPECT_EQ(readReports.shown.size(), 1u) << "a reading started inside the reading";
    // Afterwards: scrolling is back as it was, the menu works again and the
    // second reading runs.
    EXPECT_TRUE(hook.installed);
    app.RunDeferred();
    EXPECT_EQ(readReports.shown.size(), 2u);
    EXPECT_TRUE(app.SetEnabled(false));
    EXPECT_FALSE(hook.installed);
}

TEST_F(ResidentApp, IconRefusedAtLogonIsAddedByALaterTryWithThePictureOfTheState) {
    area.refuseAdds = 3;
    Start("[Scroll]\nEnable=0\n");
    EXPECT_TRUE(app.TaskbarIconMissing());
    EXPECT_TRUE(app.RetryTaskbarIcon());
    EXPECT_TRUE(app.RetryTaskbarIcon());
    EXPECT_FALSE(app.RetryTaskbarIcon());
    EXPECT_EQ(area.adds, 4);
    // Added with the enable picture; scrolling is off, so that follows.
    EXPECT_EQ(area.pictures, std::vector<int>{TB_DISABLE});
    EXPECT_FALSE(app.RetryTaskbarIcon());
    EXPECT_EQ(area.adds, 4) << "an icon that is there was added again";

    // A restarted shell that is not ready yet: missing again until a try works.
    area.present = false;
    area.refuseAdds = 1;
    app.TaskbarCreated();
    EXPECT_TRUE(app.TaskbarIconMissing());
    EXPECT_FALSE(app.RetryTaskbarIcon());
    EXPECT_EQ(area.pictures.back(), TB_DISABLE);
    // Gone at shut-down: nothing is missing any more.
    app.ShutDown();
    EXPECT_FALSE(area.present);
    EXPECT_FALSE(app.TaskbarIconMissing());
}

// A save is read once the folder is quiet; a broken save keeps the rules in
// force and is reported once for that change.
TEST_F(ResidentApp, ChangedRulesFileIsReadByItselfAndABrokenOneKeepsTheRules) {
    Start("[Scroll]\nEnable=1\n");
    const auto save = [&](const std::string& rules) {
        folder.Write("scroll.dat", rules);
        app.Watch().Notified(1000);
        app.WatchDue(1000 + TFileWatch::kSettleMs - 1);
        EXPECT_FALSE(app.HasDeferredWork());
        app.WatchDue(1000 + TFileWatch::kSettleMs);
        app.RunDeferred();
    };
    save("Class(Edit) { IsScroll: 0; }\n");
    EXPECT_EQ(Hook(win::WM_RBUTTONDOWN, {150, 150}), 0u);
    save("Class(Edit) { Method: nosuch; }\n");
    EXPECT_EQ(readReports.shown, (std::vector<std::string>{"Bad Method's value : nosuch"}));
    EXPECT_EQ(Hook(win::WM_RBUTTONDOWN, {150, 150}), 0u);
    // The same file once more is no change: no second report.
    app.Watch().Notified(3000);
    app.WatchDue(3000 + TFileWatch::kSettleMs);
    app.RunDeferred();
    EXPECT_EQ(readReports.shown.size(), 1u);
}

}  // namespace
}  // namespace flicko
