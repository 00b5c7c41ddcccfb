#include "engine/PressGate.h"

#include "base/Text.h"
#include "engine/WindowGeometry.h"
#include "platform/WinConst.h"
#include "rules/VirtualkeyToStr.h"

namespace flicko {

namespace {

bool Within(const Rect& inner, const Rect& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// The cursor is confined, and to a place within the pointed window's
// top-level window: that program confines it. A confinement elsewhere (a
// utility that keeps the cursor on one monitor) is someone else's, and the
// whole virtual screen, which the system reports when nobody confines, is
// nobody's: a full-screen browser or video still scrolls.
bool ConfinedByPointedProgram(Desktop& desktop, Hwnd pointed) {
    Rect clip;
    if (!desktop.GetClipCursor(clip)) return false;
    const std::int32_t x = desktop.GetSystemMetrics(win::SM_XVIRTUALSCREEN);
    const std::int32_t y = desktop.GetSystemMetrics(win::SM_YVIRTUALSCREEN);
    const Rect screen{x, y, x + desktop.GetSystemMetrics(win::SM_CXVIRTUALSCREEN),
                      y + desktop.GetSystemMetrics(win::SM_CYVIRTUALSCREEN)};
    if (Within(screen, clip)) return false;
    Rect top;
    return desktop.GetWindowRect(TopLevelOf(desktop, pointed), top) && Within(clip, top);
}

}  // namespace

std::int32_t PassKeyByName(std::string_view name) {
    if (name.empty() || SameText(name, "None")) return 0;
    try {
        return VirtualKeyByName(name);
    } catch (const EVirtualKeyError&) {
        return TEngineSettings{}.PassKey;
    }
}

bool TurnsInputWheel(const TSclDat& rule) {
    return (rule.H.IsScroll && rule.H.Method == TScrollMethod::inputwheel) ||
           (rule.V.IsScroll && rule.V.Method == TScrollMethod::inputwheel);
}

TLeaveReason WhyPressLeftAlone(Desktop& desktop, const TEngineSettings& settings, Hwnd pointed, const TSclDat& rule) {
    if (settings.PassKey != 0 && (static_cast<std::uint16_t>(desktop.GetAsyncKeyState(settings.PassKey)) & 0x8000u)) {
        return TLeaveReason::PassKey;
    }
    if (settings.LeaveConfinedCursor) {
        // A cursor the system hides while a pen or touch is used is no
        // program's doing: a pen's barrel-button drag scrolls.
        if (desktop.GetCursorState() == CursorState::Hidden) return TLeaveReason::CursorHidden;
        if (ConfinedByPointedProgram(desktop, pointed)) return TLeaveReason::CursorConfined;
    }
    // Where the system turns the wheel over the focused window, wheel input
    // reaches the window under the cursor only when its program has the
    // foreground; otherwise it would scroll another program.
    if (TurnsInputWheel(rule) && !desktop.WheelFollowsCursor() &&
        TopLevelOf(desktop, desktop.GetForegroundWindow()) != TopLevelOf(desktop, pointed)) {
        return TLeaveReason::WheelToFocus;
    }
    return TLeaveReason::None;
}

}  // namespace flicko
