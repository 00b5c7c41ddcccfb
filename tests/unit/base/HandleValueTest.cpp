#include "base/HandleValue.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace flicko {
namespace {

struct Opaque;
using PointerHandle = Opaque*;

constexpr bool kWidePointers = sizeof(std::uintptr_t) == 8;

// The values at the sign boundary: below it a value reads back as itself,
// from it on it reads back sign-extended, and every one writes back as it was.
TEST(HandleValueTest, ValuesAtTheSignBoundaryRoundTrip) {
    EXPECT_EQ(HandleFromValue32(0x7FFFFFFFu), std::uintptr_t{0x7FFFFFFF});
    EXPECT_EQ(HandleFromValue32(0x80000000u), kWidePointers ? std::uintptr_t(0xFFFFFFFF80000000ull) : 0x80000000u);
    EXPECT_EQ(HandleFromValue32(0xFFFFFFFFu), ~std::uintptr_t{0});
    for (std::uint32_t v : {0u, 1u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
        EXPECT_EQ(HandleToValue32(HandleFromValue32(v)), v) << v;
        EXPECT_EQ(HandleToValue32(HandleFromValue32<PointerHandle>(v)), v) << v;
    }
    // The pointer form names the same address as the integer form.
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(HandleFromValue32<PointerHandle>(0x80000000u)),
              HandleFromValue32(0x80000000u));
    EXPECT_EQ(HandleFromValue32<PointerHandle>(0), nullptr);
}

// A value wider than 32 bits is no handle the system gives out; it keeps
// only its low half, read back as that half says.
TEST(HandleValueTest, AWiderValueKeepsItsLowHalf) {
    if (!kWidePointers) GTEST_SKIP() << "pointers are 32 bits here";
    const auto wide = static_cast<std::uintptr_t>(0x0000000123456789ull);
    EXPECT_EQ(HandleToValue32(wide), 0x23456789u);
    EXPECT_EQ(HandleFromValue32(HandleToValue32(wide)), std::uintptr_t{0x23456789});
    const auto wideNegative = static_cast<std::uintptr_t>(0x00000001C0000010ull);
    EXPECT_EQ(HandleFromValue32(HandleToValue32(wideNegative)), std::uintptr_t(0xFFFFFFFFC0000010ull));
}

}  // namespace
}  // namespace flicko
