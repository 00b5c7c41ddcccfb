// The shared block and the hook message protocol between the resident
// program and the hook library. Both sides are 32-bit processes; the block
// holds three aligned 32-bit words and nothing else.
#pragma once

#include <cstddef>
#include <cstdint>

namespace flicko {

// Name of the paging-file backed mapping; it doubles as the instance marker.
inline constexpr char kFmoName[] = "FlickoFmo";

struct TFmoData {
    std::uint32_t Wnd;       // the resident window, receiver of WM_MOUSEHOOK
    std::uint32_t Hook;      // the installed mouse hook, 0 when none
    std::int32_t SendMove;   // nonzero: the hook forwards moves (-1 set, 0 clear)
};

static_assert(sizeof(TFmoData) == 12, "the shared block is exactly 12 bytes");
static_assert(offsetof(TFmoData, Wnd) == 0);
static_assert(offsetof(TFmoData, Hook) == 4);
static_assert(offsetof(TFmoData, SendMove) == 8);

inline constexpr std::uint32_t kFmoSize = sizeof(TFmoData);

// Private window messages (WM_USER + 580 and + 581).
inline constexpr std::uint32_t WM_MOUSEHOOK = 1604;
inline constexpr std::uint32_t WM_TASKBARICON = 1605;

// Reply bits of WM_MOUSEHOOK.
inline constexpr std::uint32_t kMouseHookSwallow = 1;  // do not deliver the event
inline constexpr std::uint32_t kMouseHookCaret = 2;    // SetCaretPos at the event point
inline constexpr std::uint32_t kMouseHookCapture = 4;  // SetCapture on the event's window

inline constexpr std::int32_t kSendMoveOn = -1;
inline constexpr std::int32_t kSendMoveOff = 0;

}  // namespace flicko
