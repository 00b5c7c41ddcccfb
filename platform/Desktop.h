// The seam between the core and the operating system.
//
// The core (rules, engine, settings logic, the probe's text views) talks to
// windows, input, the clock and system metrics only through this interface.
// The Win32 adapter (platform/win32) forwards each call to the system; the
// fake desktop (platform/fake) models a small desktop for tests. Calls behave
// as their Win32 namesakes do, including their failures for a missing window.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Types.h"

namespace flicko {

using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;

// What GetCursorInfo says of the cursor.
enum class CursorState {
    Showing,
    Hidden,      // CURSOR_SHOWING clear: ShowCursor(FALSE), as games do
    Suppressed,  // CURSOR_SUPPRESSED: the system hides it while a pen or touch is used
};

class Desktop {
public:
    virtual ~Desktop() = default;

    // --- window queries -------------------------------------------------
    virtual Hwnd WindowFromPoint(Point screen) = 0;
    virtual Hwnd GetParent(Hwnd w) = 0;
    virtual bool IsChild(Hwnd parent, Hwnd w) = 0;
    virtual bool IsWindow(Hwnd w) = 0;
    virtual bool IsWindowVisible(Hwnd w) = 0;
    // GetClassNameA / GetWindowTextA into a 256-character buffer.
    virtual std::string ClassName(Hwnd w) = 0;
    virtual std::string WindowText(Hwnd w) = 0;
    // IsDBCSLeadByte of the ANSI code page these texts come in.
    virtual bool IsDbcsLeadByte(unsigned char byte) = 0;
    // GetWindowLongA(GWL_STYLE) and (GWL_EXSTYLE); 0 for a missing window.
    virtual std::uint32_t Style(Hwnd w) = 0;
    virtual std::uint32_t ExStyle(Hwnd w) = 0;
    virtual bool GetWindowRect(Hwnd w, Rect& out) = 0;
    virtual bool GetClientRect(Hwnd w, Rect& out) = 0;
    virtual bool ScreenToClient(Hwnd w, Point& p) = 0;
    virtual bool ClientToScreen(Hwnd w, Point& p) = 0;
    // EnumChildWindows (all descendants, system order) and EnumWindows.
    virtual std::vector<Hwnd> ChildWindows(Hwnd parent) = 0;
    virtual std::vector<Hwnd> TopLevelWindows() = 0;
    // EnumPropsExA: the names of the window's properties in enumeration
    // order; a property named by an integer atom gives the atom's name.
    // Only the probe asks, so a seam without properties gives none.
    virtual std::vector<std::string> WindowPropertyNames(Hwnd) { return {}; }

    // --- owning processes -----------------------------------------------
    // GetWindowThreadProcessId: the id of the process that owns the window;
    // 0 for a missing window.
    virtual std::uint32_t WindowProcessId(Hwnd w) = 0;
    // The file name part of the process's image path (QueryFullProcessImageNameA
    // on a handle opened for limited query), such as "notepad.exe". False,
    // and nothing reported, when the process cannot be opened: an elevated
    // process seen from a normal one, or a process that has ended.
    virtual bool ProcessImageName(std::uint32_t pid, std::string& name) = 0;
    // Whether the process runs with higher rights than this one (a higher
    // integrity level: an elevated program seen from a normal one). The
    // system then keeps this program's messages and input from its windows
    // and runs no hook of this program in it. Also true for a process this
    // one may not even ask; false for one that has ended.
    virtual bool ProcessRunsHigher(std::uint32_t) { return false; }

    // --- scroll bars ----------------------------------------------------
    // GetScrollInfo with the given SIF_* mask and bar kind SB_HORZ/VERT/CTL.
    virtual bool GetScrollInfo(Hwnd w, int bar, std::uint32_t mask, ScrollInfo& out) = 0;

    // --- messages -------------------------------------------------------
    virtual LResult SendMessage(Hwnd w, std::uint32_t msg, WParam wp, LParam lp) = 0;
    // SendMessageTimeoutA with SMTO_NORMAL | SMTO_ABORTIFHUNG: the result, or
    // nothing when the window's thread did not answer within timeoutMs (or
    // is already known to be hung). A missing window answers 0 at once, as
    // SendMessage does: only a live window can hang.
    virtual std::optional<LResult> SendMessageTimeout(Hwnd w, std::uint32_t msg, WParam wp, LParam lp,
                                                      std::uint32_t timeoutMs) = 0;
    virtual bool PostMessage(Hwnd w, std::uint32_t msg, WParam wp, LParam lp) = 0;

    // --- activation and focus -------------------------------------------
    virtual Hwnd SetActiveWindow(Hwnd w) = 0;
    virtual Hwnd SetFocus(Hwnd w) = 0;
    virtual bool SetForegroundWindow(Hwnd w) = 0;
    virtual Hwnd GetForegroundWindow() = 0;
    virtual bool BringWindowToTop(Hwnd w) = 0;

    // --- synthetic input and the input state ----------------------------
    virtual void KeybdEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags, std::uintptr_t extra) = 0;
    virtual void MouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data,
                            std::uintptr_t extra) = 0;
    // False when the position cannot be read (another desktop is active, the
    // session is locked); out is then left alone.
    virtual bool GetCursorPos(Point& out) = 0;
    // SendInput of one wheel turn at the cursor (MOUSEEVENTF_WHEEL, or
    // MOUSEEVENTF_HWHEEL when horizontal), in wheel units (120 a notch),
    // marked with kOwnInputMark: the hook lets it pass untouched.
    virtual void WheelInput(bool horizontal, std::int32_t delta) = 0;
    // GetClipCursor: the rectangle the cursor is confined to; the whole
    // virtual screen when no program confines it. False when unreadable.
    virtual bool GetClipCursor(Rect& out) = 0;
    // GetCursorInfo's flags; Showing when they cannot be read.
    virtual CursorState GetCursorState() = 0;
    // SystemParametersInfo(SPI_GETMOUSEWHEELROUTING): the wheel turns over
    // the window under the cursor, not over the focused one. False where the
    // system cannot say (before Windows 10 the focus always gets it).
    virtual bool WheelFollowsCursor() = 0;
    virtual std::int16_t GetAsyncKeyState(int vk) = 0;

    // --- time and metrics -----------------------------------------------
    virtual Millis TimeGetTime() = 0;
    virtual int GetSystemMetrics(int index) = 0;
    virtual std::uint32_t GetDoubleClickTime() = 0;

    // --- display scale --------------------------------------------------
    // The DPI the window's content is shown at: that of the monitor its
    // top-level window is on, which a per-monitor-aware window lays itself
    // out for and the system stretches any other window to; the system's
    // where the system cannot say per monitor; 0
    // for a missing window. Every point and rectangle of this seam is in
    // physical pixels whatever the scale.
    virtual int WindowDpi(Hwnd w) = 0;
    // PhysicalToLogicalPointForPerMonitorDPI: a screen point as the window
    // sees it. A window that is not per-monitor aware, on a monitor the
    // system stretches it for, reads its points scaled to its own DPI.
    // False, and p left as it is, where the system has no such scaling.
    virtual bool PhysicalToLogicalPoint(Hwnd w, Point& p) = 0;
};

}  // namespace flicko
