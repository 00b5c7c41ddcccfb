// The resident program's Win32 side: the hidden window that receives every
// mouse event of the desktop, the shared block, and the message loop with
// its idle passes. The window procedure only translates messages into calls
// on the application object (TResidentApp), which does the work.
#pragma once

#include "platform/win32/WindowsInclude.h"

#include <memory>
#include <vector>

#include "base/FlError.h"
#include "hook/loader/InstanceMarker.h"
#include "hook/loader/SharedBlock.h"
#include "hook/loader/HookLink.h"
#include "host/TaskbarIconWin.h"
#include "host/TrayCommands.h"
#include "host/core/ResidentApp.h"
#include "platform/Environment.h"
#include "platform/ProfileFile.h"
#include "platform/win32/MessageBoxErrorReport.h"
#include "platform/win32/ScopedHandle.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32Processes.h"

namespace flicko {

// Boxes of the program's own: caption "Flicko ERROR", warning icon, no owner.
class TMessageBoxReport : public IErrorReport {
public:
    void ShowErrorBox(const std::string& text) override;
};

class TFlMain {
public:
    // environment: where the program's folder is (its settings, rules and
    // hook library sit there); the system's by default. notifyArea: the
    // shell's side of the tray icon; Shell_NotifyIconA when null.
    explicit TFlMain(HINSTANCE instance, std::unique_ptr<Environment> environment = MakeSystemEnvironment(),
                     INotifyArea* notifyArea = nullptr);
    ~TFlMain();
    TFlMain(const TFlMain&) = delete;
    TFlMain& operator=(const TFlMain&) = delete;

    // Registers the class and creates the hidden window; false on failure.
    bool CreateMainWindow();
    // Throws EFileMappingError when the shared block cannot be created.
    void StartUp();
    // Returns the exit code carried by WM_QUIT.
    int MessageLoop();

    // The application: reload requests, the counted hook pause, SetEnabled.
    TResidentApp& App() { return *app_; }
    HWND Window() const { return window_; }
    // The open About dialog; null when it is closed.
    HWND AboutWindow() const { return trayCommands_ ? trayCommands_->AboutWindow() : nullptr; }

    // Messages of the main window (see WindowProcOf).
    LRESULT HandleWindowMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void Dispatch(MSG& msg);
    void WaitForMessages(Millis timeout);
    // The loop's part after every message and idle pass.
    void AfterMessage();
    // Ends the program: the application's shut-down, then the block, then
    // the window and the loop.
    void ShutDown();
    // A loop blocked in GetMessage only returns for posted messages; when a
    // handler started the ticks or requested deferred work, wake it.
    void WakeLoop();
    // While the shell refuses the icon (not ready yet at logon, or just
    // restarted) a timer tries again until it is there.
    void RetryIconWhileMissing();
    // One change notification per folder that holds a watched file, made
    // again whenever the application's watch names other files.
    void WatchFolders();
    // Blocks until a message, a change in a watched folder, or the end of
    // the watch's settle; acts on the last two. False once WM_QUIT came
    // (its wParam in exitCode).
    bool WaitBlocking(MSG& msg, int& exitCode);

    HINSTANCE instance_;
    HWND window_ = nullptr;
    bool duplicate_ = false;
    bool quitPosted_ = false;
    bool iconTimer_ = false;
    // Plain Sleep between idle passes instead of the message-aware wait;
    // kept only to measure what the wait buys.
    bool sleepWait_ = false;
    UINT taskbarCreatedMsg_ = 0;

    Win32Desktop desktop_;
    TMessageBoxReport errors_;
    std::unique_ptr<Environment> environment_;
    std::unique_ptr<ProfileFiles> profiles_ = MakeSystemProfileFiles();
    // Reading errors offer to start the debugger through this.
    Win32Processes processes_;
    std::unique_ptr<TMessageBoxErrorReport> readReport_;
    TInstanceMarker marker_;
    TFileMapping fmo_;
    std::unique_ptr<THookLink> link_;
    std::unique_ptr<TShellNotifyArea> shellArea_;
    INotifyArea* notifyArea_ = nullptr;
    std::unique_ptr<TResidentApp> app_;
    std::unique_ptr<TTrayCommands> trayCommands_;
    std::vector<ScopedHandle<ChangeNotificationTraits>> watches_;
    unsigned watchGeneration_ = 0;
    bool watching_ = false;
};

}  // namespace flicko
