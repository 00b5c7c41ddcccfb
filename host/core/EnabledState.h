// Scrolling on or off: whether the mouse hook is meant to be installed, and
// the tray picture that shows it.
#pragma once

#include "engine/OutboundInterfaces.h"
#include "hook/HookInstaller.h"
#include "host/core/TaskbarIcon.h"

namespace flicko {

class TEnabledState : public IHookPause {
public:
    TEnabledState(IHookInstaller& link, ITrayIcon& tray) : link_(link), tray_(tray) {}

    bool Enabled() const { return enabled_; }
    // Only the settings reader sets the value without touching the hook.
    void SetEnabledValue(bool value) { enabled_ = value; }

    // Installs or removes the hook when value differs; Enabled changes only
    // on success. Any success resets the picture, so a call with the current
    // value still clears a fast-drag picture. While paused the hook stays
    // out and the last resume puts it in; an enable then only succeeds when
    // the hook can be installed (it is tried once and removed again).
    bool SetEnabled(bool value);
    // Makes the hook match Enabled (start-up); Enabled is not changed.
    bool ApplyEnabled();
    // Bracket anything during which the program's own mouse handling must
    // not intercept the user's clicks (menus, dialogs, synthetic input).
    // Counted: a pause inside a pause (actions run while a menu is open, a
    // Scroll action inside a line step) leaves the hook removed until the
    // outermost resume.
    bool PauseHook() override;
    bool ResumeHook() override;
    bool Paused() const { return pauses_ > 0; }

private:
    void ShowState();

    IHookInstaller& link_;
    ITrayIcon& tray_;
    bool enabled_ = false;
    int pauses_ = 0;
};

// Pauses the hook for one scope and resumes it on every way out.
class THookPauseScope {
public:
    explicit THookPauseScope(TEnabledState& pause) : pause_(pause) { pause_.PauseHook(); }
    ~THookPauseScope() { pause_.ResumeHook(); }
    THookPauseScope(const THookPauseScope&) = delete;
    THookPauseScope& operator=(const THookPauseScope&) = delete;

private:
    TEnabledState& pause_;
};

}  // namespace flicko
