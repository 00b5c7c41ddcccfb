// The resident program: the hidden window that receives every mouse event
// of the desktop, the start-up and shut-down orders, the enabled state and
// the message loop with its idle passes.
#pragma once

#include "platform/win32/WindowsInclude.h"

#include <memory>
#include <optional>

#include "base/FlError.h"
#include "engine/OutboundInterfaces.h"
#include "hook/loader/FHFileMapFl.h"
#include "hook/loader/FHLinkFl.h"
#include "host/HostEngine.h"
#include "host/TaskbarIconWin.h"
#include "host/TrayCommands.h"
#include "host/core/EnabledState.h"
#include "host/core/ErrorGuard.h"
#include "host/core/IdlePass.h"
#include "host/core/MouseReentry.h"
#include "host/core/TaskbarIcon.h"
#include "platform/Environment.h"
#include "platform/ProfileFile.h"
#include "platform/win32/MessageBoxErrorReport.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32Processes.h"
#include "rules/SclDats.h"
#include "settings/FlSettings.h"
#include "settings/PathMacros.h"

namespace flicko {

// Boxes of the program's own: caption "Flicko ERROR", warning icon, no owner.
class TMessageBoxReport : public IErrorReport {
public:
    void ShowErrorBox(const std::string& text) override;
};

// The engine's view of the hook pause: the enabled state decides whether
// there is a hook to remove.
class THookPauseLink : public IHookPause {
public:
    explicit THookPauseLink(TEnabledState& state) : state_(state) {}
    void PauseHook() override { state_.PauseHook(); }
    void ResumeHook() override { state_.ResumeHook(); }

private:
    TEnabledState& state_;
};

class TFlMain : private ILoopTicks, private IEnabledSwitch {
public:
    explicit TFlMain(HINSTANCE instance);
    ~TFlMain() override;
    TFlMain(const TFlMain&) = delete;
    TFlMain& operator=(const TFlMain&) = delete;

    // Registers the class and creates the hidden window; false on failure.
    bool CreateMainWindow();
    // Throws EFileMappingError when the shared block cannot be created.
    void StartUp();
    // Returns the exit code carried by WM_QUIT.
    int MessageLoop();
    // The ReadScrollDat command: scrolling off, the file read anew, the
    // enabled state restored whatever the reading did.
    bool ReloadScrollData();
    // The ReadIni command: the settings chain read again, scrolling restored.
    bool ReloadSettings();
    // The open About dialog gets its keyboard navigation from the loop;
    // null when it is closed.
    void SetAboutWindow(HWND dialog) { aboutWnd_ = dialog; }
    // Scrolling on or off from the menu; the settings record follows.
    bool SetEnabled(bool value) override;

private:
    static LRESULT CALLBACK MainWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void ShutDown();
    void LoadScrollData();
    void Dispatch(MSG& msg);
    void WaitForMessages(Millis timeout);

    // The loop's view of the engine: nothing runs once the engine is gone.
    bool Dragging() const;
    void RunDeferredMouseEvents();

    bool CheckMouseRunning() const override { return engine_ && engine_->CheckMouseRunning(); }
    bool InertiaRunning() const override { return engine_ && engine_->InertiaRunning(); }
    Millis CheckMouseInterval() const override { return engine_ ? engine_->CheckMouseInterval() : 10; }
    Millis InertiaInterval() const override { return engine_ ? engine_->InertiaInterval() : 10; }
    void CheckMouseTick() override;
    void InertiaTick() override;

    HINSTANCE instance_;
    HWND window_ = nullptr;
    HWND aboutWnd_ = nullptr;
    bool duplicate_ = false;
    bool shutDown_ = false;
    // Plain Sleep between idle passes instead of the message-aware wait;
    // kept only to measure what the wait buys.
    bool sleepWait_ = false;
    UINT taskbarCreatedMsg_ = 0;
    TMouseReentry reentry_;

    Win32Desktop desktop_;
    TMessageBoxReport errors_;
    TErrorGuard guard_{errors_};
    std::unique_ptr<Environment> environment_ = MakeSystemEnvironment();
    std::unique_ptr<ProfileFiles> profiles_ = MakeSystemProfileFiles();
    TPathMacros macros_{*environment_};
    // Reading errors offer the debugger of the settings in force at the time.
    Win32Processes processes_;
    TMessageBoxErrorReport readReport_{processes_, [this] { return settings_.Files().Debugger; }};
    TFlSettings settings_{*profiles_, macros_, readReport_};
    TFileMapping fmo_;
    std::unique_ptr<THookLink> link_;
    std::unique_ptr<TShellNotifyArea> notifyArea_;
    std::unique_ptr<TTaskbarIcon> tray_;
    std::unique_ptr<TEnabledState> enabled_;
    std::unique_ptr<THookPauseLink> hookPause_;
    std::unique_ptr<TRuleModel> model_;
    std::unique_ptr<IHostEngine> engine_;
    TIdlePass idle_{*this};
    std::unique_ptr<TTrayCommands> trayCommands_;
};

}  // namespace flicko
