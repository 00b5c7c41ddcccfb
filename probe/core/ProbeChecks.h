// The probe's check states, each mirrored by one check box of the form.
#pragma once

#include "platform/Types.h"

namespace flicko {

struct TProbeChecks {
    bool Enable = true;          // the check timer runs
    bool LeftButton = false;     // which held buttons start a probe
    bool RightButton = true;
    bool MiddleButton = true;
    bool WindowsTree = true;     // a probe rebuilds the window tree
    bool ScrollDateFile = true;  // a probe chooses the rule and fills the views
    bool Scroll = false;         // moving during a probe scrolls the window
    Millis CheckInterval = 100;  // period of the check timer
};

}  // namespace flicko
