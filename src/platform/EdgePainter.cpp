#include "platform/EdgePainter.h"

#include <QGuiApplication>
#include <QPainter>

namespace platform {
namespace {

// Colours of one ring: top/left and bottom/right; Window marks "not drawn".
struct RingColors {
    QPalette::ColorRole topLeft;
    QPalette::ColorRole bottomRight;
};

constexpr RingColors noRing{QPalette::Window, QPalette::Window};

RingColors outerColors(unsigned outer) {
    switch (outer) {
    case BDR_RAISEDOUTER:
        return {QPalette::Midlight, QPalette::Shadow};
    case BDR_SUNKENOUTER:
        return {QPalette::Dark, QPalette::Light};
    default:
        return noRing;
    }
}

RingColors innerColors(unsigned inner) {
    switch (inner) {
    case BDR_RAISEDINNER:
        return {QPalette::Light, QPalette::Dark};
    case BDR_SUNKENINNER:
        return {QPalette::Shadow, QPalette::Midlight};
    default:
        return noRing;
    }
}

bool drawn(const RingColors& ring) {
    return ring.topLeft != QPalette::Window;
}

// Draws one ring on the border of r (inclusive pixel bounds) and returns the
// rectangle inside it. Top and left first, so that bottom and right own the
// corners they share with them.
QRect drawRing(QPainter& painter, QRect r, const RingColors& ring, unsigned flags,
               const QPalette& palette) {
    if (r.width() <= 0 || r.height() <= 0) {
        return r;
    }
    const QColor light = palette.color(QPalette::Active, ring.topLeft);
    const QColor dark = palette.color(QPalette::Active, ring.bottomRight);
    if (flags & BF_LEFT) {
        painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), light);
    }
    if (flags & BF_TOP) {
        painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), light);
    }
    if (flags & BF_BOTTOM) {
        painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), dark);
    }
    if (flags & BF_RIGHT) {
        painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), dark);
    }
    return r.adjusted((flags & BF_LEFT) ? 1 : 0, (flags & BF_TOP) ? 1 : 0,
                      (flags & BF_RIGHT) ? -1 : 0, (flags & BF_BOTTOM) ? -1 : 0);
}

} // namespace

QRect DrawEdge(QPainter& painter, const QRect& rect, unsigned edge, unsigned flags) {
    return DrawEdge(painter, rect, edge, flags, QGuiApplication::palette());
}

QRect DrawEdge(QPainter& painter, const QRect& rect, unsigned edge, unsigned flags,
               const QPalette& palette) {
    QRect inside = rect;
    if (inside.isEmpty()) {
        return inside;
    }
    RingColors outer = outerColors(edge & BDR_OUTER);
    RingColors inner = innerColors(edge & BDR_INNER);
    // Both outer bits at once make no edge at all, inner ring included.
    if ((edge & BDR_OUTER) == BDR_OUTER) {
        inner = noRing;
    }
    // An inner ring without an outer one takes the outer ring's place.
    if (!drawn(outer)) {
        outer = inner;
        inner = noRing;
    }
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (drawn(outer)) {
        inside = drawRing(painter, inside, outer, flags, palette);
    }
    if (drawn(inner)) {
        inside = drawRing(painter, inside, inner, flags, palette);
    }
    if ((flags & BF_MIDDLE) && !inside.isEmpty()) {
        painter.fillRect(inside, palette.color(QPalette::Active, QPalette::Button));
    }
    painter.restore();
    return inside;
}

} // namespace platform
