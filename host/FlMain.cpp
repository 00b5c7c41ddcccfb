#include "platform/win32/WindowsInclude.h"

#include "host/FlMain.h"

#include <cstdlib>
#include <cstring>

#include <mmsystem.h>

#include "platform/win32/WindowObject.h"

namespace flicko {

namespace {
constexpr const char* kClassName = kResidentClass;
constexpr UINT_PTR kIconRetryTimer = 1;
constexpr UINT kIconRetryMs = 2000;
}  // namespace

void TMessageBoxReport::ShowErrorBox(const std::string& text) {
    ::MessageBoxA(nullptr, text.c_str(), "Flicko ERROR", MB_OK | MB_ICONWARNING);
}

TFlMain::TFlMain(HINSTANCE instance, std::unique_ptr<Environment> environment, INotifyArea* notifyArea)
    : instance_(instance), environment_(std::move(environment)), notifyArea_(notifyArea) {
    const char* wait = std::getenv("FLICKO_IDLE_WAIT");
    sleepWait_ = wait && std::strcmp(wait, "sleep") == 0;
}

TFlMain::~TFlMain() {
    // The window goes first; then the tray commands, which end an open
    // About dialog and give its hook pause back to the application, so that
    // must still be there. The application goes last; its shut-down has run
    // (or runs now, from WM_DESTROY).
    if (window_) {
        if (iconTimer_) ::KillTimer(window_, kIconRetryTimer);
        ::DestroyWindow(window_);
        window_ = nullptr;
    }
    trayCommands_.reset();
    app_.reset();
}

bool TFlMain::CreateMainWindow() {
    WNDCLASSA wc{};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = &WindowProcOf<TFlMain>;
    wc.hInstance = instance_;
    wc.hIcon = ::LoadIconA(instance_, "MAINICON");
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClassName;
    // A second main object in one process (the tests) finds the class there.
    if (!::RegisterClassA(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    window_ = ::CreateWindowExA(0, kClassName, "Flicko", WS_OVERLAPPEDWINDOW | WS_HSCROLL | WS_VSCROLL, 0, 0,
                                CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance_, this);
    return window_ != nullptr;
}

void TFlMain::StartUp() {
    // 1. to 3. The application with its rule list, engine and icon; the
    // default paths and settings (scrolling off until read).
    link_ = std::make_unique<THookLink>(std::string(), nullptr);
    if (!notifyArea_) {
        shellArea_ = std::make_unique<TShellNotifyArea>(instance_, window_);
        notifyArea_ = shellArea_.get();
    }
    readReport_ = std::make_unique<TMessageBoxErrorReport>(processes_, [this] { return app_->Settings().Files().Debugger; });
    readReport_->SetOwner(reinterpret_cast<Hwnd>(window_));
    app_ = std::make_unique<TResidentApp>(TResidentSystem{desktop_, *link_, *link_, *notifyArea_, errors_,
                                                          *readReport_, *profiles_, *environment_,
                                                          reinterpret_cast<Hwnd>(window_)});
    app_->SetDefaults();
    link_->SetLibraryPath(app_->Settings().Files().HookLib);
    // The menus' reloads are requests: the loop does them.
    trayCommands_ = std::make_unique<TTrayCommands>(instance_, window_, *app_, [this] { WakeLoop(); });

    // 4. The instance marker, then the shared block. A block that already
    // exists is a running resident's only while it names a live resident
    // window; a marker held by some other program decides nothing.
    const bool first = marker_.Claim();
    fmo_.CreateFmo();
    TFmoData* block = fmo_.MapFmo();
    duplicate_ = AnotherResidentRuns(first, fmo_.AlreadyExisted(), block);
    if (duplicate_) {
        marker_.Release();
        // One line, and nothing else comes up: no icon, no reading.
        ::MessageBoxA(nullptr, "Flicko is already running.", "Flicko", MB_OK | MB_ICONINFORMATION);
        ::PostMessageA(window_, WM_CLOSE, 1, 0);
    } else if (block) {
        block->Wnd = HandleToValue32(window_);
        block->Hook = 0;
        block->SendMove = kSendMoveOff;
        // A duplicate must never write the running instance's SendMove.
        link_->AttachBlock(block);
    }

    // 5. to 9. Settings, scroll data, icon, hook.
    app_->StartUp(duplicate_);
    taskbarCreatedMsg_ = ::RegisterWindowMessageA("TaskbarCreated");
    RetryIconWhileMissing();
    // Errors of the start-up are shown by the loop's first pass.
    WakeLoop();
}

void TFlMain::WakeLoop() { ::PostMessageA(window_, WM_NULL, 0, 0); }

void TFlMain::RetryIconWhileMissing() {
    const bool missing = app_ && !quitPosted_ && app_->TaskbarIconMissing();
    if (missing && !iconTimer_) iconTimer_ = ::SetTimer(window_, kIconRetryTimer, kIconRetryMs, nullptr) != 0;
    if (!missing && iconTimer_) {
        ::KillTimer(window_, kIconRetryTimer);
        iconTimer_ = false;
    }
}

void TFlMain::ShutDown() {
    if (quitPosted_) return;
    quitPosted_ = true;
    if (app_) app_->ShutDown();
    RetryIconWhileMissing();
    // After the hook is gone. Hooked processes may keep their view of this
    // block after it is closed; a cleared window tells them that its
    // resident has ended, so they look for the next one at once.
    if (link_) link_->DetachBlock();
    if (!duplicate_ && fmo_.Data()) {
        fmo_.Data()->SendMove = kSendMoveOff;
        fmo_.Data()->Wnd = 0;
    }
    fmo_.CloseFmo();
    marker_.Release();
    ::PostQuitMessage(0);
}

LRESULT TFlMain::HandleWindowMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    // Until the application exists (while the window is being created)
    // every message takes the default way.
    if (!app_) return ::DefWindowProcA(wnd, msg, wParam, lParam);
    return HandleMessage(msg, wParam, lParam);
}

LRESULT TFlMain::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (taskbarCreatedMsg_ != 0 && msg == taskbarCreatedMsg_) {
        app_->TaskbarCreated();
        RetryIconWhileMissing();
    }
    switch (msg) {
    case WM_TIMER:
        if (wParam != kIconRetryTimer) return ::DefWindowProcA(window_, msg, wParam, lParam);
        app_->RetryTaskbarIcon();
        RetryIconWhileMissing();
        return 0;
    case WM_MOUSEHOOK: {
        const LRESULT reply = app_->MouseHook(static_cast<std::uint32_t>(wParam), ::GetTickCount());
        // The hooked thread gets its answer before anything is sent to its
        // windows. A hook running in this very thread (the other bitness)
        // cannot be answered early: the loop sends it then.
        if (app_->OwesAfterReply() && ::InSendMessage() && ::ReplyMessage(reply)) app_->SendAfterReply();
        // Errors to show and requests wait for the loop, which may be
        // blocked in GetMessage: sent messages do not make it return.
        if (app_->HasDeferredWork()) WakeLoop();
        return reply;
    }
    case WM_TASKBARICON:
        // Possibly sent while the engine waits on a window: the click is
        // acted on from the loop.
        if (trayCommands_) trayCommands_->TaskbarIconMessage(wParam, lParam);
        return 0;
    case TTrayCommands::kClickMsg:
        if (trayCommands_) app_->Guard().Run([&] { trayCommands_->TaskbarIconClick(wParam, lParam); });
        if (app_->HasDeferredWork()) WakeLoop();
        return 0;
    case WM_CLOSE:
        // Possibly sent while the engine waits on a window: the shut-down
        // runs from the loop, never under a running call.
        app_->RequestShutDown();
        WakeLoop();
        return 0;
    case WM_ENDSESSION:
        if (wParam) app_->EndSession();
        return 0;
    case WM_DESTROY:
        ShutDown();
        return 0;
    default:
        if (trayCommands_ && trayCommands_->AboutMessage(msg, wParam, lParam)) return 0;
        return ::DefWindowProcA(window_, msg, wParam, lParam);
    }
}

void TFlMain::Dispatch(MSG& msg) {
    // The About dialog's keys go through the loop of its own thread.
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
}

void TFlMain::AfterMessage() {
    if (quitPosted_ || !app_->RunDeferred()) return;
    ShutDown();
}

void TFlMain::WaitForMessages(Millis timeout) {
    if (sleepWait_) {
        ::Sleep(timeout);
        return;
    }
    // Wakes for posted and for sent messages, so a hooked thread waiting in
    // SendMessage is answered at once; MWMO_INPUTAVAILABLE also wakes for
    // input that an earlier peek already saw.
    ::MsgWaitForMultipleObjectsEx(0, nullptr, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

void TFlMain::WatchFolders() {
    TFileWatch& watch = app_->Watch();
    if (watching_ && watch.Generation() == watchGeneration_) return;
    watching_ = true;
    watchGeneration_ = watch.Generation();
    watches_.clear();
    for (std::string folder : watch.Folders()) {
        // The wait takes one handle fewer than its limit besides the queue.
        if (watches_.size() + 1 >= MAXIMUM_WAIT_OBJECTS) break;
        // A folder that is not there yet (the user's own, before the first
        // edit): the nearest folder above it is watched until it appears;
        // every settle makes the watches anew.
        for (;;) {
            ScopedHandle<ChangeNotificationTraits> h(::FindFirstChangeNotificationA(
                folder.c_str(), FALSE,
                FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_SIZE |
                    FILE_NOTIFY_CHANGE_LAST_WRITE));
            if (h) {
                watches_.push_back(std::move(h));
                break;
            }
            const std::size_t slash = folder.find_last_of("\\/");
            if (slash == std::string::npos || slash < 3) break;
            folder.resize(slash);
        }
    }
}

bool TFlMain::WaitBlocking(MSG& msg, int& exitCode) {
    if (!quitPosted_) WatchFolders();
    std::vector<HANDLE> handles;
    if (!quitPosted_) {
        for (const auto& h : watches_) handles.push_back(h.get());
    }
    TFileWatch& watch = app_->Watch();
    const std::optional<Millis> settle = quitPosted_ ? std::nullopt : watch.Wait(::timeGetTime());
    // Nothing to do: the thread sleeps until a message or a change comes.
    const DWORD r = ::MsgWaitForMultipleObjectsEx(static_cast<DWORD>(handles.size()), handles.data(),
                                                  settle ? *settle : INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (r >= WAIT_OBJECT_0 && r < WAIT_OBJECT_0 + handles.size()) {
        ::FindNextChangeNotification(handles[r - WAIT_OBJECT_0]);
        watch.Notified(::timeGetTime());
    }
    if (!quitPosted_) {
        const Millis now = ::timeGetTime();
        const std::optional<Millis> left = watch.Wait(now);
        if (left && *left == 0) {
            app_->WatchDue(now);
            AfterMessage();
        }
    }
    // Sent messages are delivered inside the peek; posted ones come out.
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            exitCode = static_cast<int>(msg.wParam);
            return false;
        }
        Dispatch(msg);
        AfterMessage();
        if (!quitPosted_ && app_->Polling()) break;
    }
    return true;
}

int TFlMain::MessageLoop() {
    MSG msg{};
    for (;;) {
        if (quitPosted_ || !app_->Polling()) {
            int exitCode = 0;
            if (!WaitBlocking(msg, exitCode)) return exitCode;
            continue;
        }
        if (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return static_cast<int>(msg.wParam);
            Dispatch(msg);
            AfterMessage();
            continue;
        }
        const std::optional<Millis> wait =
            app_->Guard().Run(std::optional<Millis>{}, [&] { return app_->Idle().Run(::timeGetTime()); });
        AfterMessage();
        if (wait && *wait > 0) WaitForMessages(*wait);
    }
}

}  // namespace flicko
