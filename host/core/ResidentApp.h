// The resident program as one object: it composes the settings, the rules,
// the engine, the enabled state and the tray icon; it starts them, reloads
// them and shuts them down. The Win32 side (host/FlMain) owns the window,
// the shared block and the loop, and only translates messages into calls
// on this object.
//
// Work that would pull the rules or the engine from under a running call -
// a reload from the menu, a close sent by another program while the engine
// waits on a window - is only requested by the message handlers and done
// by the loop (RunDeferred), where nothing of the engine is running.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "engine/OutboundInterfaces.h"
#include "hook/HookInstaller.h"
#include "host/core/EnabledState.h"
#include "host/core/ErrorGuard.h"
#include "host/core/FileWatch.h"
#include "host/core/IdlePass.h"
#include "host/core/TaskbarIcon.h"
#include "platform/Desktop.h"
#include "platform/Environment.h"
#include "platform/ProfileFile.h"
#include "base/FlError.h"
#include "rules/SclDats.h"
#include "settings/FlSettings.h"
#include "settings/PathMacros.h"

namespace flicko {

// The engine's tunables from the settings record; start-up and every
// re-read go through it.
TEngineSettings EngineSettingsFrom(const TSettingValues& values);

// What the application needs of the system around it.
struct TResidentSystem {
    Desktop& desktop;
    IHookInstaller& hook;     // installs and removes the mouse hook
    IHookLink& sendMove;      // the shared block's SendMove (ignored by a duplicate)
    INotifyArea& notifyArea;  // the shell's side of the tray icon
    IErrorReport& errors;     // the program's own boxes ("Flicko ERROR")
    IReadErrorReport& readReport;  // reports of the scroll-data reader
    ProfileFiles& profiles;
    Environment& environment;
    Hwnd window = kNoWindow;  // the hidden window: wake-ups go there
};

class TResidentApp : private ILoopTicks {
public:
    explicit TResidentApp(TResidentSystem system);
    ~TResidentApp() override;
    TResidentApp(const TResidentApp&) = delete;
    TResidentApp& operator=(const TResidentApp&) = delete;

    // Default paths and settings. Throws what the path queries throw.
    void SetDefaults();
    // The rest of the start-up after the shared block was created: the
    // settings chain, the scroll-data file, the icon, and the hook unless
    // this is a duplicate instance (which never touches the hook).
    void StartUp(bool duplicate);

    // WM_MOUSEHOOK. wParam as the hook sent it (message id in the low word,
    // the send time in the high word); tickNow is the resident's tick count.
    std::uint32_t MouseHook(std::uint32_t wParam, std::uint32_t tickNow);
    // What the last hook message left to send once its reply is given (the
    // window procedure replies early, or the loop sends it).
    bool OwesAfterReply() const { return engine_ && engine_->OwesAfterReply(); }
    void SendAfterReply();

    // --- requests of the tray menu and of the window procedure -----------
    // Each is done by the next RunDeferred, never inside the handler.
    void RequestReloadIni() { reloadIni_ = true; }
    void RequestReloadScrollDat() { reloadScrollDat_ = true; }
    void RequestShutDown() { shutDownRequested_ = true; }
    // The files the rules and the settings were read from, for the host's
    // change notifications.
    TFileWatch& Watch() { return watch_; }
    // The watch's settle has ended: what changed on disk is read again by
    // the next RunDeferred. The settings are read as ReadIni reads them; the
    // rules only when they read without a report: a broken edit keeps the
    // rules in force and its first report is shown, once for that change.
    void WatchDue(Millis now);
    // Points the settings at the user's own rules file, made when needed,
    // when they name the shipped one; the new file is then read (and
    // watched) by the next RunDeferred.
    void MakeOwnScrollDat();
    // The loop's part, after each message and each idle pass: the tray
    // picture the engine asked for, pending reloads, then error boxes. True
    // when a shut-down is due: the caller then runs ShutDown and ends the
    // loop.
    bool RunDeferred();
    // Something waits for RunDeferred (a request or an error to show).
    bool HasDeferredWork() const {
        return reloadIni_ || reloadScrollDat_ || changedIni_ || changedScrollDat_ || shutDownRequested_ ||
               picturePending_ || !queued_.pending.empty() || OwesAfterReply();
    }

    // The hook is removed while the program's own windows take the mouse
    // (a popup menu, a dialog). Counted: only the last resume reinstalls it.
    bool PauseHook() { return enabled_->PauseHook(); }
    bool ResumeHook() { return enabled_->ResumeHook(); }

    // Scrolling on or off from the menu; the settings record follows.
    // Refused (false, nothing changed) while the settings or the rules are
    // being read: a report box of the reading runs a message loop in which
    // the menu works, and the hook must stay out until the reading is done.
    bool SetEnabled(bool value);
    bool Enabled() const { return enabled_->Enabled(); }
    // A reading of the settings or the rules is under way (a report box of
    // it may be open).
    bool Reading() const { return reading_ > 0; }

    // The shell restarted: the icon is added again.
    void TaskbarCreated() { tray_->AddTaskbarIcon(); }
    // The icon could not be added (the shell is not ready at logon, say):
    // the program tries again until the add succeeds. True while it is
    // still missing.
    bool TaskbarIconMissing() const { return tray_->Missing(); }
    bool RetryTaskbarIcon();

    // The shut-down order: the hook goes first, then the exit status is
    // written from the state before the shut-down, then the icon; the
    // engine and the rules last. Idempotent.
    void ShutDown();
    // The session ends: the process may be ended without a WM_DESTROY, so
    // the exit status is written now (after the hook is removed).
    void EndSession();

    // The loop's idle passes.
    TIdlePass& Idle() { return idle_; }
    bool Polling() const { return idle_.Polling(); }

    TFlSettings& Settings() { return settings_; }
    const TPathMacros& Macros() const { return macros_; }
    TTaskbarIcon& Tray() { return *tray_; }
    TRuleModel& Rules() { return *model_; }
    Engine& EngineCore() { return *engine_; }
    bool Duplicate() const { return duplicate_; }
    bool IsShutDown() const { return shutDown_; }
    // Runs f; an escaping exception is shown (from the loop) and fallback
    // returned.
    TErrorGuard& Guard() { return guard_; }

private:
    // The readings switch scrolling off and back on through this, the only
    // switch that works while they run.
    class TReadingSwitch : public IEnabledSwitch {
    public:
        explicit TReadingSwitch(TResidentApp& app) : app_(app) {}
        bool SetEnabled(bool value) override { return app_.SwitchEnabled(value); }

    private:
        TResidentApp& app_;
    };
    // Marks one reading for its whole extent, also when it is aborted.
    class TReadingScope {
    public:
        explicit TReadingScope(int& reading) : reading_(reading) { ++reading_; }
        ~TReadingScope() { --reading_; }
        TReadingScope(const TReadingScope&) = delete;
        TReadingScope& operator=(const TReadingScope&) = delete;

    private:
        int& reading_;
    };

    bool SwitchEnabled(bool value);
    // The engine's wishes reach the block, the icon and the error queue.
    void Sync();
    void ReloadSettingsNow();
    void ReloadScrollDataNow();
    void ReloadChangedScrollData();
    void LoadScrollData();
    void SaveExitStatus();
    // Removes the hook (the running instance only) and saves the state that
    // was in force before, once.
    void UnhookAndSaveExitStatus();
    void ShowPendingErrors();
    void ShowPendingPicture();

    // ILoopTicks
    bool CheckMouseRunning() const override { return engine_ && engine_->CheckMouseRunning(); }
    bool InertiaRunning() const override { return engine_ && engine_->InertiaRunning(); }
    Millis CheckMouseInterval() const override;
    Millis InertiaInterval() const override;
    void CheckMouseTick() override;
    void InertiaTick() override;

    // Errors are queued and shown from the loop: a box inside a handler
    // would freeze the hooked application that waits for the reply.
    class TQueuedReport : public IErrorReport {
    public:
        void ShowErrorBox(const std::string& text) override { pending.push_back(text); }
        std::vector<std::string> pending;
    };

    TResidentSystem sys_;
    TQueuedReport queued_;
    TErrorGuard guard_{queued_};
    TPathMacros macros_;
    TFlSettings settings_;
    std::unique_ptr<TTaskbarIcon> tray_;
    std::unique_ptr<TEnabledState> enabled_;
    std::unique_ptr<TRuleModel> model_;
    std::unique_ptr<Engine> engine_;
    TIdlePass idle_{*this};
    TReadingSwitch readingSwitch_{*this};
    int reading_ = 0;
    int enginePicture_ = TB_ENABLE;
    // The engine's picture changed and the tray does not show it yet.
    bool picturePending_ = false;
    bool movesWritten_ = false;
    bool duplicate_ = false;
    bool started_ = false;
    bool reloadIni_ = false;
    bool reloadScrollDat_ = false;
    bool changedIni_ = false;
    bool changedScrollDat_ = false;
    TFileWatch watch_;
    bool shutDownRequested_ = false;
    bool shutDown_ = false;
    bool exitStatusWritten_ = false;
};

}  // namespace flicko
