#pragma once

// The arithmetic of ImageAceX's two display modes, kept free of widgets so that
// it can be checked against worked examples. All values are pixels.

#include <cstdint>

namespace scrollview {

/// A rectangle with a single-precision origin (the image surface may sit at a
/// half pixel when centred) and whole-pixel sizes.
struct Box {
    float left = 0.0F;
    float top = 0.0F;
    int width = 0;
    int height = 0;
};

/// One scroll bar's placement and range (Min is always 0, SmallChange 1).
struct Bar {
    Box geometry;
    std::int32_t max = 0;
    std::int32_t largeChange = 0;
    bool visible = false;
};

/// Where the mode-0 layout puts the viewport (in the control), and the image
/// surface, the bars and the corner button (in the viewport).
struct ScrollLayout {
    Box viewport;
    Box image;
    Bar hBar;
    Bar vBar;
    Box corner;
    bool cornerVisible = false;
};

/// The mode-0 layout of an image of imageW x imageH in a control of W x H
/// whose border style is borderStyle: the viewport fills the control for style
/// 0 and sits 2 pixels inside it otherwise; an image that fits both ways is
/// centred with no bars, one that overflows either way starts at (0, 0) with
/// the bars it needs. hBarHeight and vBarWidth are the bars' thicknesses.
/// Ranges are 32-bit, so a picture of any size scrolls to its far edge: at
/// hBar.max the image's right edge meets the vertical bar (or the viewport's
/// edge when there is no vertical bar); likewise for vBar.max.
ScrollLayout ArrangeScrollView(int W, int H, int imageW, int imageH, int borderStyle,
                               int hBarHeight, int vBarWidth);

/// The mode-1 viewport: 2 pixels inside the control whatever the border style.
Box FitViewport(int W, int H);

/// Where FitPicture draws a source of sourceW x sourceH in a target of
/// targetW x targetH: shrunk (never enlarged), aspect kept, to fit the target
/// less the margin; centred when `centre`, else at (margin, margin). Rounding
/// is to the nearest, halves to even. Sizes may come out 0 for tiny targets.
Box FitPicture(int sourceW, int sourceH, int targetW, int targetH, int margin, bool centre);

} // namespace scrollview
