#include "host/core/EnabledState.h"

namespace flicko {

void TEnabledState::ShowState() { tray_.SetTaskbarIconState(enabled_ ? TB_ENABLE : TB_DISABLE); }

bool TEnabledState::SetEnabled(bool value) {
    if (value != enabled_) {
        // While paused the hook is already off; the last resume follows the
        // value set here.
        if (pauses_ == 0) {
            const bool ok = value ? link_.LinkSetHook() != 0 : link_.LinkUnhook() != 0;
            if (!ok) return false;
        }
        enabled_ = value;
    }
    ShowState();
    return true;
}

bool TEnabledState::ApplyEnabled() {
    if (pauses_ > 0) {
        ShowState();
        return true;
    }
    const bool ok = enabled_ ? link_.LinkSetHook() != 0 : link_.LinkUnhook() != 0;
    if (ok) ShowState();
    return ok;
}

bool TEnabledState::PauseHook() {
    if (pauses_++ > 0 || !enabled_) return true;
    return link_.LinkUnhook() != 0;
}

bool TEnabledState::ResumeHook() {
    if (pauses_ == 0) return true;  // unbalanced: nothing is paused
    if (--pauses_ > 0 || !enabled_) return true;
    return link_.LinkSetHook() != 0;
}

}  // namespace flicko
