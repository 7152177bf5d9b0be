#pragma once

// 3-D edges as the old toolkit drew them: an outer and an inner ring, one pixel
// each, in the palette's light, midlight, dark and shadow colours.

#include <QPalette>
#include <QRect>

class QPainter;

namespace platform {

// Edge parts: outer ring (raised/sunken) and inner ring (raised/sunken).
inline constexpr unsigned BDR_RAISEDOUTER = 0x0001;
inline constexpr unsigned BDR_SUNKENOUTER = 0x0002;
inline constexpr unsigned BDR_RAISEDINNER = 0x0004;
inline constexpr unsigned BDR_SUNKENINNER = 0x0008;
inline constexpr unsigned BDR_OUTER = BDR_RAISEDOUTER | BDR_SUNKENOUTER;
inline constexpr unsigned BDR_INNER = BDR_RAISEDINNER | BDR_SUNKENINNER;
inline constexpr unsigned EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER; // 5
inline constexpr unsigned EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER; // 10
inline constexpr unsigned EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER; // 6
inline constexpr unsigned EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;   // 9

// Sides to draw, and extras.
inline constexpr unsigned BF_LEFT = 0x0001;
inline constexpr unsigned BF_TOP = 0x0002;
inline constexpr unsigned BF_RIGHT = 0x0004;
inline constexpr unsigned BF_BOTTOM = 0x0008;
inline constexpr unsigned BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM; // 15
inline constexpr unsigned BF_MIDDLE = 0x0800; ///< fill the inside with the button colour

/// Draws `edge` round the inside of `rect` on the sides named in `flags`.
/// Each ring is one pixel: the outer ring on the rectangle's border, the inner
/// one just inside it. Top and left take the ring's light colour, bottom and
/// right its dark one; the bottom-left and top-right corner pixels belong to
/// bottom and right. Colours (from `palette`, the application palette by
/// default): raised outer = Midlight / Shadow, raised inner = Light / Dark,
/// sunken outer = Dark / Light, sunken inner = Shadow / Midlight. When only an
/// inner part is given it is drawn in the outer ring's place. Both bits of one
/// ring (raised and sunken) draw nothing for that ring, and both outer bits
/// draw no edge at all. An empty or reversed
/// rectangle, or an edge of 0, draws nothing. Returns the rectangle left inside the drawn
/// rings (the rectangle that the next ring or the content would use).
QRect DrawEdge(QPainter& painter, const QRect& rect, unsigned edge, unsigned flags = BF_RECT);
QRect DrawEdge(QPainter& painter, const QRect& rect, unsigned edge, unsigned flags,
               const QPalette& palette);

} // namespace platform
