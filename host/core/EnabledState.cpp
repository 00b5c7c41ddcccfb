#include "host/core/EnabledState.h"

namespace flicko {

void TEnabledState::ShowState() { tray_.SetTaskbarIconState(enabled_ ? TB_ENABLE : TB_DISABLE); }

bool TEnabledState::SetEnabled(bool value) {
    if (value != enabled_) {
        bool ok = true;
        if (pauses_ == 0) {
            ok = value ? link_.LinkSetHook() != 0 : link_.LinkUnhook() != 0;
        } else if (value) {
            // While paused the hook is off and the last resume puts it in.
            // An enable that the resume could not keep (the library is
            // missing) must fail now, so it is tried and taken out again.
            ok = link_.LinkSetHook() != 0;
            if (ok) link_.LinkUnhook();
        }
        if (!ok) return false;
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
