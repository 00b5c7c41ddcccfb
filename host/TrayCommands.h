// The tray icon's clicks and the About dialog joined to the program: the
// program hands in what the menus may ask of it (TTrayAppLink), and this
// object makes the menus, runs the items and opens the dialog.
#pragma once

#include "platform/win32/WindowsInclude.h"

#include <functional>

#include "host/FlDialog.h"
#include "host/FlMenu.h"
#include "platform/win32/Win32Processes.h"
#include "platform/win32/Win32StartupShortcut.h"

namespace flicko {

struct TTrayAppLink {
    std::function<bool()> Enabled;
    std::function<bool(bool)> SetEnabled;
    // Counted pause of the hook while a menu or the dialog takes the mouse.
    std::function<void()> PauseHook;
    std::function<void()> ResumeHook;
    // Requests: the program re-reads from its loop, never inside a handler.
    std::function<void()> RequestReloadSettings;
    std::function<void()> RequestReloadScrollData;
    std::function<void(HWND)> SetAboutWindow;
    std::function<const TTaskbarIconItems&()> Items;
    std::function<bool()> Japanese;
};

class TTrayCommands : private IPopMnuHost, private IAboutHost {
public:
    TTrayCommands(HINSTANCE instance, HWND window, TTrayAppLink app, const TFiles& files,
                  const IPathExpander& paths);

    // WM_TASKBARICON. The shell's notification is a sent message, so it may
    // arrive while the program waits on another window: the click is posted
    // back and acted on from the loop (kClickMsg).
    void TaskbarIconMessage(WPARAM wParam, LPARAM lParam) { ::PostMessageA(window_, kClickMsg, wParam, lParam); }
    void TaskbarIconClick(WPARAM wParam, LPARAM lParam) { menu_.TaskbarIconNotify(wParam, lParam, app_.Items()); }
    static constexpr UINT kClickMsg = WM_APP + 1;

private:
    bool Enabled() const override { return app_.Enabled(); }
    bool SetEnabled(bool value) override { return app_.SetEnabled(value); }
    void PauseHook() override { app_.PauseHook(); }
    void ResumeHook() override { app_.ResumeHook(); }
    void RequestReloadSettings() override { app_.RequestReloadSettings(); }
    void RequestReloadScrollData() override { app_.RequestReloadScrollData(); }
    void ShowAboutDialog() override;
    void RequestExit() override { ::PostMessageA(window_, WM_CLOSE, 0, 0); }
    void SetAboutWindow(HWND dialog) override {
        about_ = dialog;
        app_.SetAboutWindow(dialog);
    }
    HWND AboutWindow() const override { return about_; }
    bool StartsAtLogon() const override { return startup_.IsOn(); }
    bool SetStartsAtLogon(bool on) override { return startup_.SetOn(on); }

    HINSTANCE instance_;
    HWND window_;
    TTrayAppLink app_;
    const TFiles& files_;
    Win32Processes processes_;
    Win32StartupShortcut startup_;
    TTrayMenu menu_;
    HWND about_ = nullptr;
};

}  // namespace flicko
