#include "platform/win32/WindowsInclude.h"

#include "host/FlMain.h"

#include <cstdlib>
#include <cstring>

#include <mmsystem.h>

#include "host/ResidentEngine.h"
#include "rules/SclDatReader.h"
#include "settings/FlEnv.h"

namespace flicko {

namespace {
constexpr char kClassName[] = "Flicko";
// The menu's re-read requests, done from the loop.
constexpr UINT kReloadSettingsMsg = WM_APP + 2;
constexpr UINT kReloadScrollDataMsg = WM_APP + 3;
}  // namespace

void TMessageBoxReport::ShowErrorBox(const std::string& text) {
    ::MessageBoxA(nullptr, text.c_str(), "Flicko ERROR", MB_OK | MB_ICONWARNING);
}

TFlMain::TFlMain(HINSTANCE instance) : instance_(instance) {
    const char* wait = std::getenv("FLICKO_IDLE_WAIT");
    sleepWait_ = wait && std::strcmp(wait, "sleep") == 0;
}

TFlMain::~TFlMain() {
    // The engine points into the rules and at the icon: release it first.
    engine_.reset();
    if (window_) {
        ::SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        ::DestroyWindow(window_);
    }
}

bool TFlMain::CreateMainWindow() {
    WNDCLASSA wc{};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = &TFlMain::MainWndProc;
    wc.hInstance = instance_;
    wc.hIcon = ::LoadIconA(instance_, "MAINICON");
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClassName;
    if (!::RegisterClassA(&wc)) return false;
    window_ = ::CreateWindowExA(0, kClassName, "Flicko", WS_OVERLAPPEDWINDOW | WS_HSCROLL | WS_VSCROLL, 0, 0,
                                CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance_, nullptr);
    if (!window_) return false;
    ::SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    return true;
}

void TFlMain::StartUp() {
    // 1. The rule list and the known-windows cache.
    model_ = std::make_unique<TRuleModel>();
    // 2. and 3. Default paths and settings (scrolling off until read).
    SetDefaultPaths(settings_.Files(), macros_);
    SetDefaultSettings(settings_.Values(), *environment_);

    // 4. The shared block doubles as the instance marker.
    fmo_.CreateFmo();
    TFmoData* block = fmo_.MapFmo();
    duplicate_ = fmo_.AlreadyExisted();
    if (duplicate_) {
        ::PostMessageA(window_, WM_CLOSE, 1, 0);
    } else if (block) {
        block->Wnd = static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(window_));
        block->Hook = 0;
        block->SendMove = kSendMoveOff;
    }
    // A duplicate must never write the running instance's SendMove.
    link_ = std::make_unique<THookLink>(settings_.Files().HookLib, duplicate_ ? nullptr : block);
    notifyArea_ = std::make_unique<TShellNotifyArea>(instance_, window_);
    tray_ = std::make_unique<TTaskbarIcon>(*notifyArea_);
    enabled_ = std::make_unique<TEnabledState>(*link_, *tray_);
    hookPause_ = std::make_unique<THookPauseLink>(*enabled_);
    trayCommands_ = std::make_unique<TTrayCommands>(
        instance_, window_,
        TTrayAppLink{[this] { return enabled_->Enabled(); }, [this](bool v) { return SetEnabled(v); },
                     [this] { enabled_->PauseHook(); }, [this] { enabled_->ResumeHook(); },
                     [this] { ::PostMessageA(window_, kReloadSettingsMsg, 0, 0); },
                     [this] { ::PostMessageA(window_, kReloadScrollDataMsg, 0, 0); },
                     [this](HWND dialog) { SetAboutWindow(dialog); },
                     [this]() -> const TTaskbarIconItems& { return settings_.Values().TaskbarIcon; },
                     [this] { return settings_.Values().Ja; }},
        settings_.Files(), macros_);

    // 5. The settings. A failed path expansion ends the reading; what was
    // read stays and the program goes on with it.
    try {
        settings_.ReadSettings();
    } catch (const std::exception& e) {
        errors_.ShowErrorBox(e.what());
    }
    const TSettingValues& values = settings_.Values();
    enabled_->SetEnabledValue(values.Enabled);
    tray_->SetTooltip(values.TaskbarIcon.Tooltip);
    TEngineSettings engine;
    engine.CheckMouseInterval = static_cast<std::int32_t>(values.CheckMouseInterval);
    engine.InertiaInterval = static_cast<std::int32_t>(values.InertiaInterval);
    engine.InertiaMin = values.InertiaMin;
    engine.TTolerance = static_cast<std::int32_t>(values.Tolerance[0].Time);
    engine.XTolerance = values.Tolerance[0].Distance;
    engine.YTolerance = values.Tolerance[1].Distance;
    engine_ = std::make_unique<TResidentEngine>(
        desktop_, *model_, engine,
        EngineHost{*link_, *hookPause_, *tray_, errors_, reinterpret_cast<Hwnd>(window_)});

    // 6. The scroll-data file.
    LoadScrollData();
    // 7. and 8. The icon, and the message that says the shell restarted.
    tray_->AddTaskbarIcon();
    taskbarCreatedMsg_ = ::RegisterWindowMessageA("TaskbarCreated");
    // 9. Install the hook when scrolling is on; a duplicate leaves it alone.
    if (!duplicate_) enabled_->ApplyEnabled();
}

void TFlMain::LoadScrollData() {
    // An aborted reading keeps the rules read so far; the program goes on.
    try {
        TScrollDataReader reader(*model_, readReport_, macros_);
        reader.LoadScrollData(settings_.Files().ScrollDat);
    } catch (const std::exception& e) {
        errors_.ShowErrorBox(e.what());
    }
    if (engine_) engine_->RulesChanged();
}

bool TFlMain::SetEnabled(bool value) {
    if (!enabled_ || !enabled_->SetEnabled(value)) return false;
    settings_.Values().Enabled = enabled_->Enabled();
    return true;
}

bool TFlMain::ReloadScrollData() {
    const bool wasEnabled = enabled_->Enabled();
    try {
        TScrollDataReader reader(*model_, readReport_, macros_);
        // Scrolling is switched back on also when the reading is aborted.
        flicko::ReloadScrollData(reader, *model_, settings_.Files().ScrollDat, wasEnabled,
                                 [this](bool v) { return SetEnabled(v); });
    } catch (const std::exception& e) {
        errors_.ShowErrorBox(e.what());
    }
    if (engine_) engine_->RulesChanged();
    return enabled_->Enabled() == wasEnabled;
}

bool TFlMain::ReloadSettings() {
    const bool wasEnabled = enabled_->Enabled();
    try {
        const bool ok = settings_.ReloadSettings(*this);
        tray_->SetTooltip(settings_.Values().TaskbarIcon.Tooltip);
        return ok;
    } catch (const std::exception& e) {
        errors_.ShowErrorBox(e.what());
        SetEnabled(wasEnabled);
        return false;
    }
}

void TFlMain::ShutDown() {
    if (shutDown_) return;
    shutDown_ = true;
    if (enabled_) {
        // The state in force before the shut-down switches scrolling off.
        settings_.Values().Enabled = enabled_->Enabled();
        settings_.SaveExitStatus();
        if (!duplicate_) {
            enabled_->SetEnabled(false);
            link_->LinkUnhook();
        }
    }
    if (tray_) tray_->DeleteTaskbarIcon();
    // The engine may still hold a drag or a glide: it goes with the rules.
    engine_.reset();
    fmo_.CloseFmo();
    if (link_) link_->DetachBlock();
    model_.reset();
    ::PostQuitMessage(0);
}

LRESULT CALLBACK TFlMain::MainWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TFlMain*>(::GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (!self) return ::DefWindowProcA(wnd, msg, wParam, lParam);
    return self->HandleMessage(msg, wParam, lParam);
}

LRESULT TFlMain::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (taskbarCreatedMsg_ != 0 && msg == taskbarCreatedMsg_ && tray_) {
        guard_.Run([&] { tray_->AddTaskbarIcon(); });
    }
    switch (msg) {
    case WM_DESTROY:
        guard_.Run([&] { ShutDown(); });
        // Whatever failed above, the loop must still end.
        if (!shutDown_) ::PostQuitMessage(0);
        return 0;
    case WM_MOUSEHOOK:
    {
        // A handler waiting on another window let this one in: answer at once.
        if (reentry_.Busy()) return reentry_.NestedReply(static_cast<std::uint32_t>(wParam), Dragging());
        const LRESULT reply = guard_.Run(LRESULT{0}, [&]() -> LRESULT {
            TMouseReentry::TEntry entry(reentry_);
            return engine_ ? static_cast<LRESULT>(engine_->DispatchMouseEvent(static_cast<std::uint32_t>(wParam)))
                           : 0;
        });
        RunDeferredMouseEvents();
        return reply;
    }
    case WM_TASKBARICON:
        if (trayCommands_) trayCommands_->TaskbarIconMessage(wParam, lParam);
        return 0;
    case TTrayCommands::kClickMsg:
        if (trayCommands_) guard_.Run([&] { trayCommands_->TaskbarIconClick(wParam, lParam); });
        return 0;
    case kReloadSettingsMsg:
        guard_.Run([&] { ReloadSettings(); });
        return 0;
    case kReloadScrollDataMsg:
        guard_.Run([&] { ReloadScrollData(); });
        return 0;
    default:
        return ::DefWindowProcA(window_, msg, wParam, lParam);
    }
}

bool TFlMain::Dragging() const {
    const TFmoData* block = duplicate_ ? nullptr : fmo_.Data();
    return block && block->SendMove != kSendMoveOff;
}

void TFlMain::RunDeferredMouseEvents() {
    while (engine_) {
        const std::optional<std::uint32_t> message = reentry_.TakeDeferred();
        if (!message) return;
        guard_.Run([&] {
            TMouseReentry::TEntry entry(reentry_);
            engine_->DispatchMouseEvent(*message);
        });
    }
}

void TFlMain::CheckMouseTick() {
    if (!engine_) return;
    {
        TMouseReentry::TEntry entry(reentry_);
        engine_->CheckMouseTick();
    }
    RunDeferredMouseEvents();
}

void TFlMain::InertiaTick() {
    if (!engine_) return;
    {
        TMouseReentry::TEntry entry(reentry_);
        engine_->InertiaTick();
    }
    RunDeferredMouseEvents();
}

void TFlMain::Dispatch(MSG& msg) {
    if (aboutWnd_ && ::IsDialogMessageA(aboutWnd_, &msg)) return;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
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

int TFlMain::MessageLoop() {
    MSG msg{};
    for (;;) {
        if (!idle_.Polling()) {
            const BOOL r = ::GetMessageA(&msg, nullptr, 0, 0);
            if (r == 0) return static_cast<int>(msg.wParam);
            if (r == -1) {
                guard_.Run([&] { ShutDown(); });
                continue;
            }
            Dispatch(msg);
            continue;
        }
        if (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return static_cast<int>(msg.wParam);
            Dispatch(msg);
            continue;
        }
        const std::optional<Millis> wait =
            guard_.Run(std::optional<Millis>{}, [&] { return idle_.Run(::timeGetTime()); });
        if (wait && *wait > 0) WaitForMessages(*wait);
    }
}

}  // namespace flicko
