#include "host/core/EnabledState.h"

namespace flicko {

void TEnabledState::ShowState() { tray_.SetTaskbarIconState(enabled_ ? TB_ENABLE : TB_DISABLE); }

bool TEnabledState::SetEnabled(bool value) {
    if (value != enabled_) {
        const bool ok = value ? link_.LinkSetHook() != 0 : link_.LinkUnhook() != 0;
        if (!ok) return false;
        enabled_ = value;
    }
    ShowState();
    return true;
}

bool TEnabledState::ApplyEnabled() {
    const bool ok = enabled_ ? link_.LinkSetHook() != 0 : link_.LinkUnhook() != 0;
    if (ok) ShowState();
    return ok;
}

bool TEnabledState::PauseHook() { return enabled_ ? link_.LinkUnhook() != 0 : true; }

bool TEnabledState::ResumeHook() { return enabled_ ? link_.LinkSetHook() != 0 : true; }

}  // namespace flicko
