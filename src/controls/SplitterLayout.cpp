#include "controls/SplitterLayout.h"

#include "imaging/Units.h"

#include <cmath>

namespace splitter {

namespace {

constexpr float kMinFraction = 0.001F;
constexpr float kMaxFraction = 0.999F;

int RoundEdge(float twips) {
    // The quotient stays in single precision, as the control computes it.
    return static_cast<int>(units::RoundHalfEven(twips / float(units::TwipsPerPixel)));
}

} // namespace

Layout ComputeLayout(float w, float h, float s, bool stacked, float fraction) {
    const float length = (stacked ? h : w) - s;
    // Both shares are rounded to single precision, as the control holds them.
    const float a = length * fraction;
    const float b = length * (1.0F - fraction);
    Layout out;
    if (stacked) {
        out.child1 = {0.0F, 0.0F, w, a};
        out.child2 = {0.0F, s + a, w, b};
        out.bar = {0.0F, a, w, s};
    } else {
        out.child1 = {0.0F, 0.0F, a, h};
        out.child2 = {s + a, 0.0F, b, h};
        out.bar = {a, 0.0F, s, h};
    }
    return out;
}

float DragBarPosition(float barPos, float pointer, float s) {
    return barPos + pointer - s;
}

float DragFraction(float barPos, float pointer, float s, float length) {
    const float fraction = DragBarPosition(barPos, pointer, s) / length;
    if (std::isnan(fraction) || fraction < kMinFraction) {
        return kMinFraction;
    }
    if (fraction > kMaxFraction) {
        return kMaxFraction;
    }
    return fraction;
}

int FractionToPercent(float fraction) {
    const float percent = float(units::RoundHalfEven(fraction * 100.0F));
    if (!(percent > 0.0F)) {
        return 0;
    }
    if (percent > 255.0F) {
        return 255;
    }
    return static_cast<int>(percent);
}

PixelRect ToPixels(const TwipRect& r) {
    const int left = RoundEdge(r.left);
    const int top = RoundEdge(r.top);
    return {left, top, RoundEdge(r.left + r.width) - left, RoundEdge(r.top + r.height) - top};
}

} // namespace splitter
