// Handles as 32-bit values, the way the shared block and fprobe's window
// texts keep them. Window, hook and kernel object handles carry only 32
// significant bits on 64-bit Windows too (that is what lets 32-bit and
// 64-bit processes hand them to each other): a handle is written as its low
// 32 bits and read back by sign-extending them, as the system's own
// HandleToULong and LongToHandle do. The same value then names the same
// handle in a 32-bit and in a 64-bit process.
//
// Header-only, no C runtime: the hook library uses it too.
#pragma once

#include <cstdint>
#include <type_traits>

namespace flicko {

// The handle's low 32 bits. H is a handle type (a pointer) or an integer
// that holds one (Hwnd).
template <class H>
constexpr std::uint32_t HandleToValue32(H handle) {
    static_assert(std::is_pointer_v<H> || std::is_integral_v<H>, "a handle or an integer holding one");
    if constexpr (std::is_pointer_v<H>) {
        return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(handle));
    } else {
        return static_cast<std::uint32_t>(handle);
    }
}

// The handle that a 32-bit value names, sign-extended to the width of a
// pointer; H as above (by default the integer form).
template <class H = std::uintptr_t>
constexpr H HandleFromValue32(std::uint32_t value) {
    static_assert(std::is_pointer_v<H> || std::is_integral_v<H>, "a handle or an integer holding one");
    const auto wide = static_cast<std::uintptr_t>(static_cast<std::intptr_t>(static_cast<std::int32_t>(value)));
    if constexpr (std::is_pointer_v<H>) {
        return reinterpret_cast<H>(wide);
    } else {
        static_assert(sizeof(H) >= sizeof(std::uintptr_t), "a handle needs the width of a pointer");
        return static_cast<H>(wide);
    }
}

}  // namespace flicko
