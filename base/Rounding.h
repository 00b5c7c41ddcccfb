// The three roundings used when pixels become scroll units (the engine) and
// when a step value becomes whole pixels (the rules reader).
//
// Results are saturated to the int32 range: a tiny unit width can make a
// quotient far larger than any offset, and converting such a float to an
// integer would be undefined.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace flicko {

namespace rounding_detail {
template <typename F>
std::int32_t Saturate(F whole) {
    // 2^31 is exactly representable in float, double and long double.
    constexpr F hi = static_cast<F>(2147483648.0);
    if (std::isnan(whole)) return 0;
    if (whole >= hi) return std::numeric_limits<std::int32_t>::max();
    if (whole < -hi) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(whole);
}
}  // namespace rounding_detail

// Half to even, the floating-point unit's default rounding mode.
inline std::int32_t RoundHalfEven(float x) { return rounding_detail::Saturate(std::nearbyint(x)); }
inline std::int32_t RoundHalfEven(long double x) { return rounding_detail::Saturate(std::nearbyint(x)); }

// Toward zero.
inline std::int32_t Trunc(float x) { return rounding_detail::Saturate(std::trunc(x)); }

// Away from zero: the truncation plus the sign when x is not whole.
inline std::int32_t RoundAway(float x) {
    const float t = std::trunc(x);
    if (t == x) return rounding_detail::Saturate(t);
    return rounding_detail::Saturate(x > 0 ? t + 1.0f : t - 1.0f);
}

}  // namespace flicko
