#pragma once

// The arithmetic of the full view's zoom and pan, kept free of widgets so that
// it can be checked against worked examples. A zoom is device pixels per
// picture pixel (1 = actual size, every picture pixel on one screen pixel);
// positions and view sizes are in whatever unit the caller lays out in, the
// same for every argument of one call.

#include <QPointF>
#include <QSizeF>
#include <span>

namespace zoom {

/// The largest zoom: 3200%.
inline constexpr double MaxZoom = 32.0;
/// The smallest zoom any picture can be shown at: 1%.
inline constexpr double MinZoom = 0.01;

/// The stops + and - move between, from MinZoom to MaxZoom, ascending.
std::span<const double> Ladder();

/// The zoom that shows the whole of a picture of `picture` pixels inside
/// `view` (device pixels), aspect kept: shrunk, never enlarged, and never
/// below MinZoom. An empty picture or view gives 1.
double FitZoom(QSizeF picture, QSizeF view);

/// The zoom limits for a picture whose fitted zoom is `fit`: no smaller than
/// the fitted size (nor 1%), no larger than 3200%.
struct Limits {
    double lower = MinZoom;
    double upper = MaxZoom;
};
Limits LimitsFor(double fit);

/// `zoom` within the limits; NaN becomes the lower limit.
double Clamp(double zoom, Limits limits);

/// The next ladder stop above (StepIn) or below (StepOut) `current`, from any
/// zoom, on or between stops, then clamped; at a limit the limit stays.
double StepIn(double current, Limits limits);
double StepOut(double current, Limits limits);

/// Where the picture's top-left corner must go so that the picture point
/// under `anchor` stays under it when the scale goes from `oldScale` to
/// `newScale` (scale = view units per picture pixel). Not clamped.
QPointF ZoomAround(QPointF origin, double oldScale, double newScale, QPointF anchor);

/// The picture's top-left corner (`origin`) made legal for a picture shown at
/// `shown` in a view of `view`: along an axis where the picture is no longer
/// than the view it is centred; elsewhere the picture covers the view, so the
/// origin lies between view - shown and 0.
QPointF ClampOrigin(QPointF origin, QSizeF shown, QSizeF view);

/// The zoom as the on-screen line shows it: a whole percent, at least 1.
int Percent(double zoom);

} // namespace zoom
