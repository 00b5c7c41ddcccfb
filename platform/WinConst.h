// Win32 numeric constants the core needs, spelled out so the core never
// includes <windows.h>. The values are the system's own; the Win32 adapter
// checks them against the real headers with static assertions.
#pragma once

#include <cstdint>

namespace flicko::win {

// Window messages.
constexpr std::uint32_t WM_NULL = 0x0000;
constexpr std::uint32_t WM_CLOSE = 0x0010;
constexpr std::uint32_t WM_PAINT = 0x000F;
constexpr std::uint32_t WM_KEYDOWN = 0x0100;
constexpr std::uint32_t WM_KEYUP = 0x0101;
constexpr std::uint32_t WM_SYSKEYDOWN = 0x0104;
constexpr std::uint32_t WM_SYSKEYUP = 0x0105;
constexpr std::uint32_t WM_HSCROLL = 0x0114;
constexpr std::uint32_t WM_VSCROLL = 0x0115;
constexpr std::uint32_t WM_NCMOUSEMOVE = 0x00A0;
constexpr std::uint32_t WM_NCLBUTTONDOWN = 0x00A1;
constexpr std::uint32_t WM_NCLBUTTONUP = 0x00A2;
constexpr std::uint32_t WM_NCRBUTTONDOWN = 0x00A4;
constexpr std::uint32_t WM_NCRBUTTONUP = 0x00A5;
constexpr std::uint32_t WM_NCMBUTTONDOWN = 0x00A7;
constexpr std::uint32_t WM_NCMBUTTONUP = 0x00A8;
constexpr std::uint32_t WM_MOUSEMOVE = 0x0200;
constexpr std::uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr std::uint32_t WM_LBUTTONUP = 0x0202;
constexpr std::uint32_t WM_LBUTTONDBLCLK = 0x0203;
constexpr std::uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr std::uint32_t WM_RBUTTONUP = 0x0205;
constexpr std::uint32_t WM_RBUTTONDBLCLK = 0x0206;
constexpr std::uint32_t WM_MBUTTONDOWN = 0x0207;
constexpr std::uint32_t WM_MBUTTONUP = 0x0208;
constexpr std::uint32_t WM_MBUTTONDBLCLK = 0x0209;
constexpr std::uint32_t WM_MOUSEWHEEL = 0x020A;
constexpr std::uint32_t WM_USER = 0x0400;

// Scroll-bar requests (WM_HSCROLL / WM_VSCROLL low word).
constexpr std::uint32_t SB_LINEUP = 0;
constexpr std::uint32_t SB_LINEDOWN = 1;
constexpr std::uint32_t SB_PAGEUP = 2;
constexpr std::uint32_t SB_PAGEDOWN = 3;
constexpr std::uint32_t SB_THUMBPOSITION = 4;
constexpr std::uint32_t SB_THUMBTRACK = 5;
constexpr std::uint32_t SB_TOP = 6;
constexpr std::uint32_t SB_BOTTOM = 7;
constexpr std::uint32_t SB_ENDSCROLL = 8;

// Scroll-bar kinds for GetScrollInfo.
constexpr int SB_HORZ = 0;
constexpr int SB_VERT = 1;
constexpr int SB_CTL = 2;

// SCROLLINFO masks.
constexpr std::uint32_t SIF_RANGE = 0x0001;
constexpr std::uint32_t SIF_PAGE = 0x0002;
constexpr std::uint32_t SIF_POS = 0x0004;
constexpr std::uint32_t SIF_DISABLENOSCROLL = 0x0008;
constexpr std::uint32_t SIF_TRACKPOS = 0x0010;
constexpr std::uint32_t SIF_ALL = 0x0017;

// Control messages.
constexpr std::uint32_t SBM_SETPOS = 0x00E0;
constexpr std::uint32_t SBM_GETPOS = 0x00E1;
constexpr std::uint32_t EM_SCROLL = 0x00B5;
constexpr std::uint32_t LVM_SCROLL = 0x1014;

// Window styles.
constexpr std::uint32_t WS_VISIBLE = 0x10000000;
constexpr std::uint32_t WS_CHILD = 0x40000000;
constexpr std::uint32_t WS_HSCROLL = 0x00100000;
constexpr std::uint32_t WS_VSCROLL = 0x00200000;

// Virtual keys.
constexpr std::uint8_t VK_LBUTTON = 0x01;
constexpr std::uint8_t VK_RBUTTON = 0x02;
constexpr std::uint8_t VK_MBUTTON = 0x04;
constexpr std::uint8_t VK_CONTROL = 0x11;
constexpr std::uint8_t VK_LEFT = 0x25;
constexpr std::uint8_t VK_UP = 0x26;
constexpr std::uint8_t VK_RIGHT = 0x27;
constexpr std::uint8_t VK_DOWN = 0x28;

// keybd_event / mouse_event flags.
constexpr std::uint32_t KEYEVENTF_KEYUP = 0x0002;
constexpr std::uint32_t MOUSEEVENTF_MOVE = 0x0001;
constexpr std::uint32_t MOUSEEVENTF_LEFTDOWN = 0x0002;
constexpr std::uint32_t MOUSEEVENTF_LEFTUP = 0x0004;
constexpr std::uint32_t MOUSEEVENTF_RIGHTDOWN = 0x0008;
constexpr std::uint32_t MOUSEEVENTF_RIGHTUP = 0x0010;
constexpr std::uint32_t MOUSEEVENTF_MIDDLEDOWN = 0x0020;
constexpr std::uint32_t MOUSEEVENTF_MIDDLEUP = 0x0040;
constexpr std::uint32_t MOUSEEVENTF_WHEEL = 0x0800;
constexpr std::uint32_t MOUSEEVENTF_HWHEEL = 0x01000;

// GetSystemMetrics indices.
constexpr int SM_CXDOUBLECLK = 36;
constexpr int SM_CYDOUBLECLK = 37;
constexpr int SM_XVIRTUALSCREEN = 76;
constexpr int SM_YVIRTUALSCREEN = 77;
constexpr int SM_CXVIRTUALSCREEN = 78;
constexpr int SM_CYVIRTUALSCREEN = 79;
constexpr int SM_SWAPBUTTON = 23;

constexpr std::uint32_t WHEEL_DELTA = 120;

// MAKELONG / MAKEWPARAM / MAKELPARAM: low word, high word, each cut to 16 bits.
constexpr std::uint32_t MakeLong(std::int32_t lo, std::int32_t hi) {
    return (static_cast<std::uint32_t>(lo) & 0xFFFFu) | ((static_cast<std::uint32_t>(hi) & 0xFFFFu) << 16);
}
constexpr std::uint16_t LoWord(std::uint32_t v) { return static_cast<std::uint16_t>(v & 0xFFFFu); }
constexpr std::uint16_t HiWord(std::uint32_t v) { return static_cast<std::uint16_t>(v >> 16); }

}  // namespace flicko::win
