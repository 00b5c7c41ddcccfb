// Checks the core's spelled-out Win32 constants against the system headers.
// The core values are captured before <windows.h> turns the names into macros.
#include "platform/WinConst.h"

namespace core {
using namespace flicko::win;
constexpr auto wmMouseWheel = WM_MOUSEWHEEL;
constexpr auto wmNcRButtonUp = WM_NCRBUTTONUP;
constexpr auto wmNcMouseMove = WM_NCMOUSEMOVE;
constexpr auto wmSysKeyUp = WM_SYSKEYUP;
constexpr auto wmVScroll = WM_VSCROLL;
constexpr auto emScroll = EM_SCROLL;
constexpr auto sbmSetPos = SBM_SETPOS;
constexpr auto sbEndScroll = SB_ENDSCROLL;
constexpr auto sbThumbTrack = SB_THUMBTRACK;
constexpr auto sifAll = SIF_ALL;
constexpr auto smCxDoubleClk = SM_CXDOUBLECLK;
constexpr auto smCyDoubleClk = SM_CYDOUBLECLK;
constexpr auto smSwapButton = SM_SWAPBUTTON;
constexpr auto keyUp = KEYEVENTF_KEYUP;
constexpr auto rightDown = MOUSEEVENTF_RIGHTDOWN;
constexpr auto middleUp = MOUSEEVENTF_MIDDLEUP;
constexpr auto wsVScroll = WS_VSCROLL;
constexpr auto wsHScroll = WS_HSCROLL;
constexpr auto vkDown = VK_DOWN;
constexpr auto vkControl = VK_CONTROL;
}  // namespace core

#include "platform/win32/WindowsInclude.h"

#include <commctrl.h>

static_assert(core::wmMouseWheel == WM_MOUSEWHEEL);
static_assert(core::wmNcRButtonUp == WM_NCRBUTTONUP);
static_assert(core::wmNcMouseMove == WM_NCMOUSEMOVE);
static_assert(core::wmSysKeyUp == WM_SYSKEYUP);
static_assert(core::wmVScroll == WM_VSCROLL);
static_assert(core::emScroll == EM_SCROLL);
static_assert(core::sbmSetPos == SBM_SETPOS);
static_assert(core::sbEndScroll == SB_ENDSCROLL);
static_assert(core::sbThumbTrack == SB_THUMBTRACK);
static_assert(core::sifAll == SIF_ALL);
static_assert(core::smCxDoubleClk == SM_CXDOUBLECLK && core::smCyDoubleClk == SM_CYDOUBLECLK);
static_assert(core::smSwapButton == SM_SWAPBUTTON);
static_assert(core::keyUp == KEYEVENTF_KEYUP);
static_assert(core::rightDown == MOUSEEVENTF_RIGHTDOWN && core::middleUp == MOUSEEVENTF_MIDDLEUP);
static_assert(core::wsVScroll == WS_VSCROLL && core::wsHScroll == WS_HSCROLL);
static_assert(core::vkDown == VK_DOWN && core::vkControl == VK_CONTROL);
static_assert(0x1014 == LVM_SCROLL);
