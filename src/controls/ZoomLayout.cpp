#include "controls/ZoomLayout.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace zoom {

namespace {

// The usual photo-viewer stops: thirds and halves near actual size, doubling
// further out.
constexpr std::array<double, 23> Stops = {
    0.01, 0.02, 0.03, 0.05, 0.08, 0.10, 0.15, 0.20, 0.25, 1.0 / 3.0, 0.50, 2.0 / 3.0, //
    1.00, 1.50, 2.00, 3.00, 4.00, 6.00, 8.00, 12.0, 16.0, 24.0,      32.0};

// Two zooms closer than this are the same stop: keeps a zoom that came out of
// arithmetic a hair off a stop from stepping to that same stop.
constexpr double Tolerance = 1e-6;

} // namespace

std::span<const double> Ladder() {
    return Stops;
}

double FitZoom(QSizeF picture, QSizeF view) {
    if (picture.isEmpty() || view.isEmpty())
        return 1.0;
    const double fit = std::min(view.width() / picture.width(), view.height() / picture.height());
    return std::clamp(fit, MinZoom, 1.0);
}

Limits LimitsFor(double fit) {
    if (std::isnan(fit))
        return {};
    return {std::clamp(fit, MinZoom, 1.0), MaxZoom};
}

double Clamp(double zoom, Limits limits) {
    if (std::isnan(zoom))
        return limits.lower;
    return std::clamp(zoom, limits.lower, limits.upper);
}

double StepIn(double current, Limits limits) {
    if (std::isnan(current))
        return limits.lower;
    const auto next = std::find_if(Stops.begin(), Stops.end(),
                                   [&](double stop) { return stop > current * (1.0 + Tolerance); });
    return Clamp(next == Stops.end() ? MaxZoom : *next, limits);
}

double StepOut(double current, Limits limits) {
    if (std::isnan(current))
        return limits.lower;
    const auto next = std::find_if(Stops.rbegin(), Stops.rend(),
                                   [&](double stop) { return stop < current * (1.0 - Tolerance); });
    return Clamp(next == Stops.rend() ? MinZoom : *next, limits);
}

QPointF ZoomAround(QPointF origin, double oldScale, double newScale, QPointF anchor) {
    if (!(oldScale > 0.0))
        return origin;
    const QPointF picturePoint = (anchor - origin) / oldScale;
    return anchor - picturePoint * newScale;
}

QPointF ClampOrigin(QPointF origin, QSizeF shown, QSizeF view) {
    const auto axis = [](double at, double length, double room) {
        if (length <= room)
            return (room - length) / 2.0;
        return std::clamp(at, room - length, 0.0);
    };
    return {axis(origin.x(), shown.width(), view.width()),
            axis(origin.y(), shown.height(), view.height())};
}

int Percent(double zoom) {
    return std::max(1, static_cast<int>(std::lround(zoom * 100.0)));
}

} // namespace zoom
