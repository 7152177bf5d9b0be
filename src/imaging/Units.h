#pragma once

// The program's one rule for turning fractions into whole numbers, and its one
// twips constant. Every layout, scale and file field that rounds goes through
// here, so that the same fraction gives the same pixel everywhere.

#include <cmath>
#include <concepts>
#include <limits>

namespace units {

/// Window sizes and some containers are measured in twips. The program always
/// counts 15 twips per logical pixel, whatever the screen's real resolution,
/// so that stored sizes mean the same on every machine.
inline constexpr int TwipsPerPixel = 15;

/// Nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4,
/// -2.5 -> -2), whatever the floating-point rounding mode. NaN and infinities
/// come back unchanged. A float argument converts to double exactly, so float
/// arithmetic rounded here gives the same whole number as in float.
inline double RoundHalfEven(double value) {
    if (std::fabs(value - std::trunc(value)) == 0.5) {
        return 2.0 * std::round(value / 2.0);
    }
    return std::round(value);
}

/// RoundHalfEven as an `Int`, saturated to its range; NaN gives 0.
template <std::integral Int>
Int RoundHalfEvenTo(double value) {
    const double r = RoundHalfEven(value);
    if (std::isnan(r)) {
        return 0;
    }
    // Both bounds are powers of two (or one less, for the top of narrower
    // types), so the comparisons are exact.
    constexpr double lo = static_cast<double>(std::numeric_limits<Int>::min());
    constexpr double hi = static_cast<double>(std::numeric_limits<Int>::max());
    if (r <= lo) {
        return std::numeric_limits<Int>::min();
    }
    if (r >= hi) {
        return std::numeric_limits<Int>::max();
    }
    return static_cast<Int>(r);
}

} // namespace units
