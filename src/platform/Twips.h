#pragma once

// Window sizes and some containers are measured in twips. The program always
// counts 15 twips per logical pixel, whatever the screen's real resolution, so
// that stored sizes mean the same on every machine.

#include <cmath>

namespace platform {

inline constexpr int TwipsPerPixel = 15;

/// Whole pixels to twips (exact).
constexpr int PixelsToTwips(int pixels) {
    return pixels * TwipsPerPixel;
}

/// Pixels (possibly fractional) to twips, without rounding.
constexpr double PixelsToTwipsF(double pixels) {
    return pixels * TwipsPerPixel;
}

/// Twips to pixels, without rounding.
constexpr double TwipsToPixelsF(double twips) {
    return twips / TwipsPerPixel;
}

/// Rounds to the nearest whole number, halves to the even neighbour (2.5 -> 2,
/// 3.5 -> 4, -2.5 -> -2): the program's rule for turning fractions into whole
/// numbers. Values beyond the range of long long, and NaN, give 0.
long long RoundHalfEven(double value);

/// Twips to whole pixels, rounded to the nearest, halves to even (22.5 px -> 22).
int TwipsToPixels(double twips);

} // namespace platform
