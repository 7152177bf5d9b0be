#pragma once

// The arithmetic of the Splitter control, kept free of widgets so that it can be
// checked against worked examples. Lengths are twips (15 per pixel) in single
// precision, as the control keeps them; pixels appear only when widgets move.

namespace splitter {

/// A rectangle in twips, relative to the splitter's top-left corner.
struct TwipRect {
    float left = 0.0F;
    float top = 0.0F;
    float width = 0.0F;
    float height = 0.0F;
};

/// Where one layout pass puts the two panes and the bar.
struct Layout {
    TwipRect child1;
    TwipRect child2;
    TwipRect bar;
};

/// Lays out a splitter of width w and height h (twips) with a bar of thickness s.
/// stacked: Child1 above Child2 (horizontal bar); else side by side. The fraction
/// is Child1's share of the length left after the bar; it is not clamped, so a
/// fraction above 1 gives Child2 a negative length (the caller skips such moves).
Layout ComputeLayout(float w, float h, float s, bool stacked, float fraction);

/// The fraction a drag asks for: the bar's new leading edge (barPos + pointer - s,
/// all twips, pointer relative to the bar) over the splitter's length along the
/// drag (width when side by side, height when stacked), clamped to 0.001..0.999;
/// NaN (a zero length) also becomes 0.001. Returns the clamped fraction.
float DragFraction(float barPos, float pointer, float s, float length);

/// The bar's new leading edge during a drag, in twips; deliberately not clamped.
float DragBarPosition(float barPos, float pointer, float s);

/// SplitPercent as read back: fraction x 100 rounded to the nearest whole number,
/// halves to the even neighbour, limited to 0..255 (the property is a byte).
int FractionToPercent(float fraction);

/// A pixel rectangle from twips: each edge is rounded to the nearest pixel (halves
/// to even), so that neighbouring panes tile without gaps or overlaps. Width and
/// height may come out negative when the twip size is negative.
struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};
PixelRect ToPixels(const TwipRect& r);

} // namespace splitter
