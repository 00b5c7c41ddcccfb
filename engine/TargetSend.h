// Messages from the engine to other programs' windows.
//
// The resident program has one thread; while it waits on a window nothing
// else it does moves (the tray, the button check, a posted close). So every
// message to another program waits at most kTargetSendTimeout, and a window
// that does not answer stops the current call from sending anything more.
#pragma once

#include "engine/EngineState.h"
#include "platform/Desktop.h"

namespace flicko {

// False when nothing was sent (the call was already stopped) or the window
// did not answer; the result, when wanted, is 0 then.
inline bool SendToWindow(Desktop& desktop, SendState& sending, Hwnd w, std::uint32_t msg, WParam wp, LParam lp,
                         LResult* result = nullptr) {
    if (result) *result = 0;
    if (sending.Stop) return false;
    const std::optional<LResult> r = desktop.SendMessageTimeout(w, msg, wp, lp, kTargetSendTimeout);
    if (!r) {
        sending.TargetHung = true;
        sending.Stop = true;
        return false;
    }
    if (result) *result = *r;
    return true;
}

}  // namespace flicko
