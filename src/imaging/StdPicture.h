#pragma once

// A picture value that owns its pixels: the stand-in for an OLE bitmap picture.
// Rows are top-down, `stride` bytes apart, in the layout of the raster layer
// (1/4/8 bpp palette indices, 16 bpp 5-5-5, 24 bpp B,G,R, 32 bpp B,G,R,X).
// A 32-bit picture has the byte layout of QImage::Format_RGB32, so the Qt side
// converts with
//     QImage(pic.bits.data(), pic.width, pic.height, pic.stride,
//            QImage::Format_RGB32).copy()
// and back by copying the rows of a Format_RGB32 image into `bits`.

#include <cstdint>
#include <vector>

struct StdPicture {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t bpp = 0;              ///< 1, 4, 8, 16, 24 or 32
    std::int32_t stride = 0;           ///< bytes per row, at least ((width * bpp + 31) / 32) * 4
    std::vector<std::uint8_t> bits;    ///< stride * height bytes, top row first
    std::vector<std::uint8_t> palette; ///< RGBQUADs (B, G, R, 0) for bpp <= 8; missing = black

    /// True when there is no picture (no size or no pixels).
    bool empty() const { return width <= 0 || height <= 0 || bits.empty(); }

    /// True when the fields agree: positive size, a supported depth, a stride
    /// of at least the rule's minimum and enough bytes for every row.
    bool isValid() const;

    /// A zero-filled picture of the given size and depth with the rule's
    /// stride and, for bpp <= 8, an all-black palette of 2^bpp entries. An
    /// empty picture when the size or depth is not acceptable.
    static StdPicture Make(std::int32_t width, std::int32_t height, std::int32_t bpp);
};
