// The shared block and the hook message protocol between the resident
// program and the hook library. The block holds three aligned 32-bit words
// and nothing else, in 32-bit and in 64-bit builds alike: a resident of one
// bitness and hook libraries of either read the same block. Handles go in
// and out only through HandleToValue32 and HandleFromValue32.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/HandleValue.h"

namespace flicko {

// Name of the paging-file backed mapping.
inline constexpr char kFmoName[] = "FlickoFmo";
// Name of the resident's instance marker, a mutex (hook/loader/InstanceMarker).
inline constexpr char kInstanceName[] = "FlickoInstance";
// Window class of the resident's hidden window, the receiver of WM_MOUSEHOOK.
inline constexpr char kResidentClass[] = "Flicko";

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

// Reply bits of WM_MOUSEHOOK: the engine answers with them and the hook
// library obeys them, both from these definitions.
inline constexpr std::uint32_t kReplySwallow = 1;  // do not deliver the event
inline constexpr std::uint32_t kReplyCaret = 2;    // SetCaretPos at the event point
inline constexpr std::uint32_t kReplyCapture = 4;  // SetCapture on the event's window

inline constexpr std::int32_t kSendMoveOn = -1;
inline constexpr std::int32_t kSendMoveOff = 0;

// The hook waits this long for the resident program's reply, then lets the
// event pass unchanged. The resident answers a press in well under 10 ms
// (its loop wakes for sent messages at once, also while it polls), so only
// a stalled resident reaches it; it stays below the double-click time, so a
// stall never costs a double click, and a click delayed by it still feels
// like a click.
inline constexpr std::uint32_t kHookTimeoutMs = 200;

// After one time-out a process stops waiting for a resident that does not
// answer: each later event first asks with an empty message and this much
// patience, and is only sent when that is answered at once. A resident that
// runs answers it in well under a millisecond.
inline constexpr std::uint32_t kHookProbeMs = 10;

// The low 16 bits of the sender's tick count (GetTickCount) travel in the
// otherwise unused high word of WM_MOUSEHOOK's wParam; the low word is the
// mouse message. A press older than this when the resident reads it may
// already have been given up by the hook (which then delivered it to its
// window), so it must not start a drag. The margin covers the tick count's
// granularity of up to 16 ms on either side.
inline constexpr std::uint32_t kStalePressMs = kHookTimeoutMs - 40;

inline constexpr std::uint32_t HookWParam(std::uint32_t message, std::uint32_t tickCount) {
    return (message & 0xFFFFu) | ((tickCount & 0xFFFFu) << 16);
}
inline constexpr std::uint32_t HookMessage(std::uint32_t wParam) { return wParam & 0xFFFFu; }
// Age of a hook message in ms, modulo 2^16. Exact below 65 s; a message
// that waited longer (the resident stalled that long) reads as fresh only
// within kStalePressMs of a multiple of 65.5 s.
inline constexpr std::uint32_t HookMessageAge(std::uint32_t wParam, std::uint32_t tickCountNow) {
    return (tickCountNow - (wParam >> 16)) & 0xFFFFu;
}

}  // namespace flicko
