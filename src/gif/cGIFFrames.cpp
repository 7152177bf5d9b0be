// Drawing a frame with its transparency, and building its mask.

#include "gif/cGIF.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

int32_t roundToInt(double v) {
    // Halves go to the even neighbour; the result is held to the int32 range.
    double r = std::round(v);
    if (std::fabs(v - std::trunc(v)) == 0.5) {
        r = 2.0 * std::round(v / 2.0);
    }
    return int32_t(std::clamp(r, -2147483648.0, 2147483647.0));
}

// Sets a mask bit (most significant bit = leftmost pixel) exactly where the
// image holds the transparent index.
void buildMask(const cDIB& image, cDIB& mask, uint8_t index) {
    const int32_t w = std::min(image.Width(), mask.Width());
    const int32_t h = std::min(image.Height(), mask.Height());
    std::memset(mask.lpBits(), 0, size_t(mask.size()));
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* src = image.lpBits() + size_t(y) * size_t(image.BytesPerScanline());
        uint8_t* dst = mask.lpBits() + size_t(y) * size_t(mask.BytesPerScanline());
        for (int32_t x = 0; x < w; ++x) {
            dst[x >> 3] |= uint8_t((src[x] == index) << (7 - (x & 7)));
        }
    }
}

} // namespace

void cGIF::FrameMask(int16_t nFrame, uint8_t TransparentColorIndex) {
    GIFFrame* f = frame(nFrame);
    if (!f) {
        return;
    }
    std::vector<uint8_t> palette(f->Palette.begin(), f->Palette.end());
    const bool masked =
        f->UseTransparentColor && f->DIBXOR && f->DIBAND && f->DIBXOR->hDIB() && f->DIBAND->hDIB();
    if (f->UseTransparentColor) {
        // Black in the image palette lets the colour pass OR over what the mask kept.
        std::memset(&palette[size_t(TransparentColorIndex) * 4], 0, 3);
    }
    if (masked) {
        buildMask(*f->DIBXOR, *f->DIBAND, TransparentColorIndex);
    } else if (f->DIBAND && f->DIBAND->hDIB()) {
        std::memset(f->DIBAND->lpBits(), 0, size_t(f->DIBAND->size()));
    }
    if (f->DIBXOR) {
        f->DIBXOR->SetPalette(palette);
    }
}

void cGIF::FrameDraw(gdi::HDC hDC, int16_t nFrame, int16_t Left, int16_t Top, float ScaleFactor,
                     bool ScreenCrop) const {
    const GIFFrame* f = frame(nFrame);
    if (!f || !f->DIBXOR || !f->DIBXOR->hDIB()) {
        return;
    }
    int32_t w = f->DIBXOR->Width();
    int32_t h = f->DIBXOR->Height();
    if (ScreenCrop) {
        // The logical screen's size is an unsigned 16-bit value in the file.
        const int32_t screenW = uint16_t(ScreenWidth());
        const int32_t screenH = uint16_t(ScreenHeight());
        w = std::max(0, std::min(w, screenW - f->Left));
        h = std::max(0, std::min(h, screenH - f->Top));
    }
    if (w == 0 || h == 0) {
        return;
    }
    const double scale = ScaleFactor;
    const int32_t x = roundToInt(f->Left * scale + Left);
    const int32_t y = roundToInt(f->Top * scale + Top);
    const int32_t dw = roundToInt(w * scale);
    const int32_t dh = roundToInt(h * scale);
    if (f->UseTransparentColor && f->DIBAND) {
        f->DIBAND->Stretch(hDC, x, y, dw, dh, 0, 0, w, h, gdi::SRCAND, gdi::COLORONCOLOR);
        f->DIBXOR->Stretch(hDC, x, y, dw, dh, 0, 0, w, h, gdi::SRCPAINT, gdi::COLORONCOLOR);
    } else {
        f->DIBXOR->Stretch(hDC, x, y, dw, dh, 0, 0, w, h, gdi::SRCCOPY, gdi::COLORONCOLOR);
    }
}
