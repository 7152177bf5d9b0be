#pragma once

// Conversions between pixels and twips, at the program's fixed 15 twips per
// logical pixel (imaging/Units.h).

#include "imaging/Units.h"

namespace platform {

/// Whole pixels to twips (exact).
constexpr int PixelsToTwips(int pixels) {
    return pixels * units::TwipsPerPixel;
}

/// Pixels (possibly fractional) to twips, without rounding.
constexpr double PixelsToTwipsF(double pixels) {
    return pixels * units::TwipsPerPixel;
}

/// Twips to pixels, without rounding.
constexpr double TwipsToPixelsF(double twips) {
    return twips / units::TwipsPerPixel;
}

/// Twips to whole pixels, rounded half to even (22.5 px -> 22), saturated to
/// the int range; NaN gives 0.
inline int TwipsToPixels(double twips) {
    return units::RoundHalfEvenTo<int>(TwipsToPixelsF(twips));
}

} // namespace platform
