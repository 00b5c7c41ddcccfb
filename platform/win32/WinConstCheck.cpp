// Checks the core's spelled-out Win32 constants (platform/WinConst.h)
// against the system headers, every one of them: a wrong copy fails the
// Windows build. A test checks that the list below names every constant of
// that header.
//
// The core's values are captured under their own names before <windows.h>
// turns the names into macros; the list is written once and expanded twice.
#include "platform/WinConst.h"

#define FLICKO_WIN_CONSTANTS(X) \
    X(WM_NULL) \
    X(WM_CLOSE) \
    X(WM_PAINT) \
    X(WM_KEYDOWN) \
    X(WM_KEYUP) \
    X(WM_SYSKEYDOWN) \
    X(WM_SYSKEYUP) \
    X(WM_HSCROLL) \
    X(WM_VSCROLL) \
    X(WM_NCMOUSEMOVE) \
    X(WM_NCLBUTTONDOWN) \
    X(WM_NCLBUTTONUP) \
    X(WM_NCRBUTTONDOWN) \
    X(WM_NCRBUTTONUP) \
    X(WM_NCMBUTTONDOWN) \
    X(WM_NCMBUTTONUP) \
    X(WM_MOUSEMOVE) \
    X(WM_LBUTTONDOWN) \
    X(WM_LBUTTONUP) \
    X(WM_LBUTTONDBLCLK) \
    X(WM_RBUTTONDOWN) \
    X(WM_RBUTTONUP) \
    X(WM_RBUTTONDBLCLK) \
    X(WM_MBUTTONDOWN) \
    X(WM_MBUTTONUP) \
    X(WM_MBUTTONDBLCLK) \
    X(WM_MOUSEWHEEL) \
    X(WM_USER) \
    X(SB_LINEUP) \
    X(SB_LINEDOWN) \
    X(SB_PAGEUP) \
    X(SB_PAGEDOWN) \
    X(SB_THUMBPOSITION) \
    X(SB_THUMBTRACK) \
    X(SB_TOP) \
    X(SB_BOTTOM) \
    X(SB_ENDSCROLL) \
    X(SB_HORZ) \
    X(SB_VERT) \
    X(SB_CTL) \
    X(SIF_RANGE) \
    X(SIF_PAGE) \
    X(SIF_POS) \
    X(SIF_DISABLENOSCROLL) \
    X(SIF_TRACKPOS) \
    X(SIF_ALL) \
    X(SBM_SETPOS) \
    X(SBM_GETPOS) \
    X(EM_SCROLL) \
    X(LVM_SCROLL) \
    X(WS_VISIBLE) \
    X(WS_CHILD) \
    X(WS_HSCROLL) \
    X(WS_VSCROLL) \
    X(VK_LBUTTON) \
    X(VK_RBUTTON) \
    X(VK_MBUTTON) \
    X(VK_CONTROL) \
    X(VK_LEFT) \
    X(VK_UP) \
    X(VK_RIGHT) \
    X(VK_DOWN) \
    X(KEYEVENTF_KEYUP) \
    X(MOUSEEVENTF_MOVE) \
    X(MOUSEEVENTF_LEFTDOWN) \
    X(MOUSEEVENTF_LEFTUP) \
    X(MOUSEEVENTF_RIGHTDOWN) \
    X(MOUSEEVENTF_RIGHTUP) \
    X(MOUSEEVENTF_MIDDLEDOWN) \
    X(MOUSEEVENTF_MIDDLEUP) \
    X(MOUSEEVENTF_WHEEL) \
    X(MOUSEEVENTF_HWHEEL) \
    X(SM_CXDOUBLECLK) \
    X(SM_CYDOUBLECLK) \
    X(SM_XVIRTUALSCREEN) \
    X(SM_YVIRTUALSCREEN) \
    X(SM_CXVIRTUALSCREEN) \
    X(SM_CYVIRTUALSCREEN) \
    X(SM_SWAPBUTTON) \
    X(WHEEL_DELTA)

namespace core {
#define FLICKO_CAPTURE(name) constexpr long long name##_ = flicko::win::name;
FLICKO_WIN_CONSTANTS(FLICKO_CAPTURE)
#undef FLICKO_CAPTURE
}  // namespace core

#include "platform/win32/WindowsInclude.h"

#include <commctrl.h>

// From here on each name is the system's macro; name##_ still names the copy.
#define FLICKO_CHECK(name) static_assert(core::name##_ == static_cast<long long>(name), #name);
FLICKO_WIN_CONSTANTS(FLICKO_CHECK)
#undef FLICKO_CHECK

// The word helpers against the system's macros, with values that need the cut
// to 16 bits and the sign of a negative coordinate.
static_assert(flicko::win::MakeLong(-1, 2) == static_cast<std::uint32_t>(MAKELONG(-1, 2)));
static_assert(flicko::win::MakeLong(0x12345, -3) == static_cast<std::uint32_t>(MAKELONG(0x12345, -3)));
static_assert(flicko::win::LoWord(0xABCD1234u) == LOWORD(0xABCD1234u));
static_assert(flicko::win::HiWord(0xABCD1234u) == HIWORD(0xABCD1234u));
