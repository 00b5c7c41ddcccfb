// The tray icon's clicks and the About dialog joined to the program: the
// one translation layer between the menus and the application object. It
// makes the menus, runs the items by calling the application, and opens
// the dialog; requests that the loop carries out are followed by a wake-up
// of the loop.
#pragma once

#include "platform/win32/WindowsInclude.h"

#include <functional>

#include "host/FlDialog.h"
#include "host/FlMenu.h"
#include "host/core/ResidentApp.h"
#include "platform/win32/Win32Processes.h"
#include "platform/win32/Win32StartupShortcut.h"

namespace flicko {

class TTrayCommands : private IPopMnuHost, private IAboutHost {
public:
    // wakeLoop makes a loop blocked in GetMessage return, so that it carries
    // out the application's pending requests.
    TTrayCommands(HINSTANCE instance, HWND window, TResidentApp& app, std::function<void()> wakeLoop);

    // WM_TASKBARICON. The shell's notification is a sent message, so it may
    // arrive while the program waits on another window: the click is posted
    // back and acted on from the loop (kClickMsg).
    void TaskbarIconMessage(WPARAM wParam, LPARAM lParam) { ::PostMessageA(window_, kClickMsg, wParam, lParam); }
    void TaskbarIconClick(WPARAM wParam, LPARAM lParam) {
        menu_.TaskbarIconNotify(wParam, lParam, app_.Settings().Values().TaskbarIcon);
    }
    static constexpr UINT kClickMsg = WM_APP + 1;

    // The About dialog's messages to the window (TAboutDialog::kOpenedMsg,
    // kClosedMsg); false for any other message.
    bool AboutMessage(UINT msg, WPARAM wParam, LPARAM lParam) { return about_.HandleMessage(msg, wParam, lParam); }
    // The open About dialog; null when it is closed.
    HWND AboutWindow() const { return about_.Window(); }

private:
    bool Enabled() const override { return app_.Enabled(); }
    bool SetEnabled(bool value) override { return app_.SetEnabled(value); }
    void PauseHook() override { app_.PauseHook(); }
    void ResumeHook() override { app_.ResumeHook(); }
    // Reloads are requests: the loop re-reads, never inside a handler.
    void RequestReloadSettings() override {
        app_.RequestReloadIni();
        wakeLoop_();
    }
    void RequestReloadScrollData() override {
        app_.RequestReloadScrollDat();
        wakeLoop_();
    }
    void MakeOwnScrollDat() override {
        app_.MakeOwnScrollDat();
        wakeLoop_();
    }
    void ShowAboutDialog() override;
    void RequestExit() override { ::PostMessageA(window_, WM_CLOSE, 0, 0); }
    bool StartsAtLogon() const override { return startup_.IsOn(); }
    bool SetStartsAtLogon(bool on) override { return startup_.SetOn(on); }

    HWND window_;
    TResidentApp& app_;
    std::function<void()> wakeLoop_;
    Win32Processes processes_;
    Win32StartupShortcut startup_;
    TTrayMenu menu_;
    // Last: its end waits for the dialog's thread and gives the pause back
    // to the application while everything else is still there.
    TAboutDialog about_;
};

}  // namespace flicko
