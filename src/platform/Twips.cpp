#include "platform/Twips.h"

#include <limits>

namespace platform {

long long RoundHalfEven(double value) {
    // nearbyint honours the default rounding mode, which is to nearest-even;
    // the range check keeps the conversion defined for huge values and NaN.
    constexpr double limit = 9.2e18;
    if (!(value > -limit && value < limit)) {
        return 0;
    }
    return static_cast<long long>(std::nearbyint(value));
}

int TwipsToPixels(double twips) {
    const long long pixels = RoundHalfEven(TwipsToPixelsF(twips));
    if (pixels > std::numeric_limits<int>::max()) {
        return std::numeric_limits<int>::max();
    }
    if (pixels < std::numeric_limits<int>::min()) {
        return std::numeric_limits<int>::min();
    }
    return static_cast<int>(pixels);
}

} // namespace platform
