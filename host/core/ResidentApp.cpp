#include "host/core/ResidentApp.h"

#include <exception>

#include "engine/PressGate.h"
#include "hook/FmoData.h"
#include "platform/WinConst.h"
#include "rules/SclDatReader.h"
#include "rules/UserRules.h"
#include "settings/SettingValues.h"

namespace flicko {

namespace {

// However a reading ends (also aborted), the files it opened are watched.
struct TWatchFilesRead {
    TScrollDataReader& reader;
    TFileWatch& watch;
    ~TWatchFilesRead() { watch.WatchRules(reader.FilesRead()); }
};

}  // namespace

TEngineSettings EngineSettingsFrom(const TSettingValues& values) {
    TEngineSettings e;
    e.CheckMouseInterval = static_cast<std::int32_t>(values.CheckMouseInterval);
    e.InertiaInterval = static_cast<std::int32_t>(values.InertiaInterval);
    e.InertiaMin = values.InertiaMin;
    e.TTolerance = static_cast<std::int32_t>(values.Tolerance[0].Time);
    e.XTolerance = values.Tolerance[0].Distance;
    e.YTolerance = values.Tolerance[1].Distance;
    e.LeaveConfinedCursor = values.LeaveConfinedCursor;
    e.PassKey = PassKeyByName(values.PassKey);
    return e;
}

TResidentApp::TResidentApp(TResidentSystem system)
    : sys_(system),
      macros_(sys_.environment),
      settings_(sys_.profiles, macros_, sys_.readReport),
      tray_(std::make_unique<TTaskbarIcon>(
          sys_.notifyArea, [&env = sys_.environment](unsigned char byte) { return env.IsDbcsLeadByte(byte); })),
      enabled_(std::make_unique<TEnabledState>(sys_.hook, *tray_)),
      model_(std::make_unique<TRuleModel>()),
      engine_(std::make_unique<Engine>(sys_.desktop, *model_, TEngineSettings{}, *enabled_, sys_.window)) {}

TResidentApp::~TResidentApp() {
    // The engine points into the rules: it goes first.
    engine_.reset();
}

void TResidentApp::SetDefaults() {
    SetDefaultPaths(settings_.Files(), macros_);
    SetDefaultSettings(settings_.Values(), sys_.environment);
}

void TResidentApp::StartUp(bool duplicate) {
    duplicate_ = duplicate;
    // A second start reads nothing and shows nothing: it only ends.
    if (duplicate_) return;
    // The settings. A failed path expansion ends the reading; what was read
    // stays and the program goes on with it.
    {
        TReadingScope reading(reading_);
        guard_.Run([&] { settings_.ReadSettings(); });
    }
    watch_.WatchSettings(settings_.Files().Ini);
    const TSettingValues& values = settings_.Values();
    enabled_->SetEnabledValue(values.Enabled);
    tray_->Tooltip = values.TaskbarIcon.Tooltip;
    engine_->ApplySettings(EngineSettingsFrom(values));
    LoadScrollData();
    tray_->AddTaskbarIcon();
    // The hook last; a duplicate leaves the running instance's hook alone.
    if (!duplicate_) enabled_->ApplyEnabled();
    started_ = true;
}

void TResidentApp::LoadScrollData() {
    // An aborted reading keeps the rules read so far; the program goes on.
    TReadingScope reading(reading_);
    guard_.Run([&] {
        TScrollDataReader reader(*model_, sys_.readReport, macros_);
        const TWatchFilesRead watched{reader, watch_};
        reader.LoadScrollData(settings_.Files().ScrollDat);
    });
}

std::uint32_t TResidentApp::MouseHook(std::uint32_t wParam, std::uint32_t tickNow) {
    // A message the hook sent before a reading took it out may still come
    // in through a report box's loop: the rules are half read, it passes.
    if (shutDown_ || !engine_ || Reading()) return 0;
    // With scrolling off this instance has no hook in; a message then comes
    // from a hook that another instance left behind (Wine keeps a killed
    // program's global hook) and must not drive this one.
    if (!enabled_->Enabled()) return 0;
    const std::uint32_t message = HookMessage(wParam);
    const Millis began = sys_.desktop.TimeGetTime();
    const std::uint32_t reply = guard_.Run(std::uint32_t{0}, [&] {
        const bool rightPress = message == win::WM_RBUTTONDOWN || message == win::WM_RBUTTONDBLCLK;
        if (rightPress && HookMessageAge(wParam, tickNow) >= kStalePressMs) {
            // The hook may have given up on this press and delivered it.
            engine_->PressGivenUp();
            return std::uint32_t{0};
        }
        const std::uint32_t r = engine_->DispatchMouseEvent(message);
        // A swallowing answer that comes after the hook's wait ended is not
        // heard: the window got the press, so no drag runs from it and its
        // release passes.
        const Millis spent = sys_.desktop.TimeGetTime() - began;
        if (rightPress && (r & kReplySwallow) && HookMessageAge(wParam, tickNow + spent) >= kStalePressMs) {
            engine_->PressGivenUp();
            return std::uint32_t{0};
        }
        return r;
    });
    Sync();
    return reply;
}

void TResidentApp::SendAfterReply() {
    if (!engine_ || Reading()) return;
    guard_.Run([&] { engine_->SendAfterReply(); });
    Sync();
}

void TResidentApp::Sync() {
    if (!engine_) return;
    const bool moves = engine_->WantsMoves();
    if (moves != movesWritten_) {
        if (moves) {
            sys_.sendMove.SetSendMove();
        } else {
            sys_.sendMove.ClearSendMove();
        }
        movesWritten_ = moves;
    }
    // The picture is a call into the shell: it waits for the loop, so a
    // hooked application waiting for this call's reply never waits for it.
    const int picture = engine_->TrayPicture();
    if (picture != enginePicture_) {
        enginePicture_ = picture;
        picturePending_ = true;
    }
    for (std::string& text : engine_->TakeErrors()) queued_.pending.push_back(std::move(text));
}

Millis TResidentApp::CheckMouseInterval() const {
    const std::int32_t ms = engine_ ? engine_->Settings().CheckMouseInterval : 10;
    // A negative interval would be a wait of weeks.
    return ms > 0 ? static_cast<Millis>(ms) : 0;
}

Millis TResidentApp::InertiaInterval() const {
    const std::int32_t ms = engine_ ? engine_->Settings().InertiaInterval : 10;
    return ms > 0 ? static_cast<Millis>(ms) : 0;
}

void TResidentApp::CheckMouseTick() {
    if (!engine_) return;
    engine_->CheckMouseTick();
    Sync();
}

void TResidentApp::InertiaTick() {
    if (!engine_) return;
    engine_->InertiaTick();
    Sync();
}

bool TResidentApp::SetEnabled(bool value) {
    if (Reading()) return false;
    return SwitchEnabled(value);
}

bool TResidentApp::RetryTaskbarIcon() {
    if (tray_->Missing()) tray_->AddTaskbarIcon();
    return tray_->Missing();
}

bool TResidentApp::SwitchEnabled(bool value) {
    if (!enabled_->SetEnabled(value)) return false;
    settings_.Values().Enabled = enabled_->Enabled();
    // The picture was reset to the resting state of the new value.
    enginePicture_ = TB_ENABLE;
    picturePending_ = false;
    return true;
}

bool TResidentApp::RunDeferred() {
    // The loop calls this between messages, but a box shown by an earlier
    // step runs its own loop: nothing here may start inside the engine.
    if ((engine_ && engine_->Busy()) || Reading()) return false;
    if (shutDownRequested_) return true;
    SendAfterReply();
    ShowPendingPicture();
    if (reloadIni_) {
        reloadIni_ = false;
        ReloadSettingsNow();
    }
    if (changedIni_) {
        changedIni_ = false;
        const std::string scrollDat = settings_.Files().ScrollDat;
        ReloadSettingsNow();
        // The settings name another rules file: that is a change of the rules.
        if (scrollDat != settings_.Files().ScrollDat) changedScrollDat_ = true;
    }
    if (reloadScrollDat_) {
        reloadScrollDat_ = false;
        changedScrollDat_ = false;
        ReloadScrollDataNow();
    }
    if (changedScrollDat_) {
        changedScrollDat_ = false;
        ReloadChangedScrollData();
    }
    ShowPendingErrors();
    return shutDownRequested_;
}

void TResidentApp::ShowPendingPicture() {
    if (!picturePending_) return;
    picturePending_ = false;
    // A disabled program keeps its disabled picture.
    if (enabled_->Enabled()) tray_->SetTaskbarIconState(enginePicture_);
}

void TResidentApp::ShowPendingErrors() {
    // Boxes are modal; a request or a further error that comes in while one
    // is open waits for the next pass.
    while (!queued_.pending.empty()) {
        const std::string text = queued_.pending.front();
        queued_.pending.erase(queued_.pending.begin());
        try {
            sys_.errors.ShowErrorBox(text);
        } catch (...) {
            // A failing box must not end the loop.
        }
        if (shutDownRequested_) return;
    }
}

void TResidentApp::ReloadSettingsNow() {
    engine_->ReleaseRules();
    Sync();
    const bool wasEnabled = enabled_->Enabled();
    TReadingScope reading(reading_);
    const bool ok = guard_.Run(false, [&] { return settings_.ReloadSettings(readingSwitch_); });
    if (!ok && enabled_->Enabled() != wasEnabled) guard_.Run([&] { SwitchEnabled(wasEnabled); });
    tray_->SetTooltip(settings_.Values().TaskbarIcon.Tooltip);
    engine_->ApplySettings(EngineSettingsFrom(settings_.Values()));
    watch_.WatchSettings(settings_.Files().Ini);
}

void TResidentApp::WatchDue(Millis now) {
    const TFileWatch::TChanges c = watch_.Take(now);
    changedIni_ = changedIni_ || c.Settings;
    changedScrollDat_ = changedScrollDat_ || c.Rules;
}

void TResidentApp::MakeOwnScrollDat() {
    TFiles& files = settings_.Files();
    const std::string before = files.ScrollDat;
    const bool ok =
        guard_.Run(false, [&] { return EnsureUserScrollDat(files.ScrollDat, files.Ini, sys_.profiles, macros_); });
    if (!ok) queued_.pending.push_back(OwnScrollDatFailedText(files.ScrollDat));
    if (files.ScrollDat != before) changedScrollDat_ = true;
}

void TResidentApp::ReloadChangedScrollData() {
    TRulesCheck check;
    {
        TReadingScope reading(reading_);
        check = guard_.Run(TRulesCheck{}, [&] { return CheckRulesFile(settings_.Files().ScrollDat, macros_); });
    }
    if (check.Clean()) {
        ReloadScrollDataNow();
        return;
    }
    // The files of the broken reading are watched on, so the repair is seen.
    watch_.WatchRules(check.FilesRead);
    TReadingScope reading(reading_);
    guard_.Run([&] {
        if (check.FirstLine > 0) {
            sys_.readReport.ReportReadError(check.FirstFile, check.FirstLine, check.FirstMessage);
        } else {
            sys_.readReport.ShowErrorBox(check.FirstMessage);
        }
    });
}

void TResidentApp::ReloadScrollDataNow() {
    // The engine lets go of the old rules before they are replaced.
    engine_->ReleaseRules();
    Sync();
    const bool wasEnabled = enabled_->Enabled();
    {
        TReadingScope reading(reading_);
        guard_.Run([&] {
            TScrollDataReader reader(*model_, sys_.readReport, macros_);
            // Scrolling is switched back on also when the reading is aborted.
            const TWatchFilesRead watched{reader, watch_};
            flicko::ReloadScrollData(reader, *model_, settings_.Files().ScrollDat, wasEnabled,
                                     [this](bool v) { return SwitchEnabled(v); });
        });
    }
    // The reading's own choices point into the new rules only.
    engine_->ReleaseRules();
    Sync();
}

void TResidentApp::SaveExitStatus() {
    // Only the running instance owns the settings' Enable; a duplicate
    // closes before it ever applied it.
    if (duplicate_ || !started_ || exitStatusWritten_) return;
    exitStatusWritten_ = true;
    guard_.Run([&] { settings_.SaveExitStatus(); });
}

void TResidentApp::UnhookAndSaveExitStatus() {
    // The order is the contract: the state in force is read before the hook
    // goes (removing it switches scrolling off), and that state, not the
    // switched-off one, is what the settings keep.
    const bool wasEnabled = enabled_->Enabled();
    if (!duplicate_) {
        enabled_->SetEnabled(false);
        sys_.hook.LinkUnhook();
    }
    settings_.Values().Enabled = wasEnabled;
    SaveExitStatus();
}

void TResidentApp::EndSession() {
    if (shutDown_) return;
    UnhookAndSaveExitStatus();
}

void TResidentApp::ShutDown() {
    if (shutDown_) return;
    shutDown_ = true;
    if (engine_) engine_->ReleaseRules();
    Sync();
    UnhookAndSaveExitStatus();
    tray_->DeleteTaskbarIcon();
    engine_.reset();
    model_.reset();
}

}  // namespace flicko
