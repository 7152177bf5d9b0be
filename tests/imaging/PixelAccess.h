#pragma once

// Test-side pixel access, written independently of the library so that tests
// check the library against a second reading of the pixel layout.

#include "imaging/Gdi.h"

#include <cstdint>
#include <vector>

namespace testpx {

/// A buffer the test owns, with an optional extra stride and guard bytes
/// before and after the pixels: whole-storage comparisons catch stray writes.
struct Buffer {
    static constexpr std::size_t kGuard = 64;
    static constexpr std::uint8_t kGuardByte = 0xA5;

    int width, height, bpp, stride;
    std::vector<std::uint8_t> storage;
    std::vector<std::uint8_t> palette; // RGBQUADs

    Buffer(int w, int h, int depth, int extraStride = 0)
        : width(w), height(h), bpp(depth), stride(((w * depth + 31) / 32) * 4 + extraStride),
          storage(2 * kGuard + static_cast<std::size_t>(stride) * h, 0) {
        for (std::size_t i = 0; i < kGuard; ++i)
            storage[i] = storage[storage.size() - 1 - i] = kGuardByte;
        if (depth <= 8)
            palette.assign(std::size_t{4} << depth, 0);
    }
    std::uint8_t* bits() { return storage.data() + kGuard; }
    const std::uint8_t* bits() const { return storage.data() + kGuard; }
    gdi::PixelBuffer view() {
        return {bits(),
                width,
                height,
                stride,
                bpp,
                palette.empty() ? nullptr : palette.data(),
                static_cast<std::int32_t>(palette.size() / 4)};
    }
    void setEntry(int i, std::uint32_t rrggbb) {
        palette[4 * i] = rrggbb & 0xFF;
        palette[4 * i + 1] = (rrggbb >> 8) & 0xFF;
        palette[4 * i + 2] = (rrggbb >> 16) & 0xFF;
        palette[4 * i + 3] = 0;
    }
};

/// Owns a device context for the length of a test.
struct Dc {
    gdi::HDC h;
    explicit Dc(gdi::HDC dc) : h(dc) {}
    ~Dc() { gdi::DeleteDC(h); }
    Dc(const Dc&) = delete;
    Dc& operator=(const Dc&) = delete;
    operator gdi::HDC() const { return h; }
};

/// The stored value: an index, a 5-5-5 word, or B,G,R(,X) as a little-endian word.
inline std::uint32_t raw(const gdi::PixelBuffer& b, int x, int y) {
    const std::uint8_t* row = b.bits + static_cast<std::size_t>(y) * b.stride;
    switch (b.bpp) {
    case 1:
        return (row[x / 8] >> (7 - x % 8)) & 1;
    case 4:
        return (row[x / 2] >> (x % 2 ? 0 : 4)) & 15;
    case 8:
        return row[x];
    case 16:
        return row[2 * x] | row[2 * x + 1] << 8;
    case 24:
        return row[3 * x] | row[3 * x + 1] << 8 | row[3 * x + 2] << 16;
    default:
        return row[4 * x] | row[4 * x + 1] << 8 | row[4 * x + 2] << 16 |
               std::uint32_t{row[4 * x + 3]} << 24;
    }
}

inline void setRaw(const gdi::PixelBuffer& b, int x, int y, std::uint32_t v) {
    std::uint8_t* row = b.bits + static_cast<std::size_t>(y) * b.stride;
    if (b.bpp < 8) {
        const int per = 8 / b.bpp, shift = 8 - b.bpp * (1 + x % per);
        const unsigned mask = ((1u << b.bpp) - 1) << shift;
        row[x / per] = static_cast<std::uint8_t>((row[x / per] & ~mask) | ((v << shift) & mask));
        return;
    }
    for (int k = 0; k < b.bpp / 8; ++k)
        row[b.bpp / 8 * x + k] = static_cast<std::uint8_t>(v >> (8 * k));
}

/// Colour 0xRRGGBB of a stored value; 5-bit channels repeat their top bits.
inline std::uint32_t colourOf(const gdi::PixelBuffer& b, std::uint32_t v) {
    if (b.bpp <= 8) {
        if (b.palette == nullptr || static_cast<std::int32_t>(v) >= b.paletteEntries)
            return 0;
        const std::uint8_t* q = b.palette + 4 * v;
        return q[0] | q[1] << 8 | q[2] << 16;
    }
    if (b.bpp == 16) {
        const auto ex = [](std::uint32_t c) { return (c << 3) | (c >> 2); };
        return ex((v >> 10) & 31) << 16 | ex((v >> 5) & 31) << 8 | ex(v & 31);
    }
    return v & 0xFFFFFF;
}

inline std::uint32_t colour(const gdi::PixelBuffer& b, int x, int y) {
    return colourOf(b, raw(b, x, y));
}

} // namespace testpx
