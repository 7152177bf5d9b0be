#pragma once

// Internals shared by the raster layer's translation units; not part of the
// library's interface.

#include "imaging/Gdi.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

namespace gdi {

static_assert(std::endian::native == std::endian::little,
              "32-bit pixels are read as B,G,R,X words on a little-endian machine");

struct DeviceContext {
    PixelBuffer buf;
    int stretchMode = BLACKONWHITE;
};

namespace detail {

/// The live context behind `dc`, or null for a null, deleted or foreign handle.
DeviceContext* Resolve(HDC dc);

/// The bound buffer of a live context, or null when unknown or unbound.
const PixelBuffer* BoundBuffer(HDC dc);

enum class Rop { Copy, And, Paint };
/// Maps a raster operation code; false for one this layer does not support.
bool DecodeRop(std::uint32_t code, Rop& rop);

inline constexpr std::uint32_t OpaqueX = 0xFF000000u;

inline std::uint32_t Load32(const std::uint8_t* p) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
inline void Store32(std::uint8_t* p, std::uint32_t v) {
    std::memcpy(p, &v, 4);
}
inline std::uint32_t Load16(const std::uint8_t* p) {
    std::uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}
inline void Store16(std::uint8_t* p, std::uint32_t v) {
    const auto s = static_cast<std::uint16_t>(v);
    std::memcpy(p, &s, 2);
}

/// Colour word 0x00RRGGBB (the B,G,R bytes of a 32-bit pixel) of a 5-5-5 pixel;
/// each channel's top bits are repeated below so that 31 becomes 255.
inline std::uint32_t Colour555(std::uint32_t v) {
    const std::uint32_t b = v & 31, g = (v >> 5) & 31, r = (v >> 10) & 31;
    return ((r << 3 | r >> 2) << 16) | ((g << 3 | g >> 2) << 8) | (b << 3 | b >> 2);
}
inline std::uint32_t Pack555(std::uint32_t colour) {
    return ((colour >> 9) & 0x7C00) | ((colour >> 6) & 0x03E0) | ((colour >> 3) & 0x001F);
}

/// Colour word of palette entry `index`; black for an entry the buffer lacks.
inline std::uint32_t PaletteColour(const PixelBuffer& buf, std::uint32_t index) {
    if (buf.palette == nullptr || index >= static_cast<std::uint32_t>(buf.paletteEntries))
        return 0;
    const std::uint8_t* q = buf.palette + 4 * index;
    return std::uint32_t{q[0]} | std::uint32_t{q[1]} << 8 | std::uint32_t{q[2]} << 16;
}

/// Palette index of pixel x in a row of a 1, 4 or 8-bit buffer.
inline std::uint32_t LoadIndex(const std::uint8_t* row, std::int64_t x, int bpp) {
    switch (bpp) {
    case 1:
        return (row[x >> 3] >> (7 - (x & 7))) & 1u;
    case 4:
        return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15u;
    default:
        return row[x];
    }
}

/// Turns colour words into the destination's pixel values: B,G,R,0xFF words
/// for 32 bpp, B,G,R for 24, 5-5-5 for 16, nearest palette index below.
class ColourMapper {
public:
    explicit ColourMapper(const PixelBuffer& dst);
    std::uint32_t operator()(std::uint32_t colour);

private:
    std::uint32_t nearest(std::uint32_t colour) const;

    const PixelBuffer& m_dst;
    std::vector<std::uint32_t> m_palette; // colour words of the target's table
    // Direct-mapped memo of nearest-entry searches: key colour | 0x01000000.
    std::vector<std::uint32_t> m_cacheKey;
    std::vector<std::uint8_t> m_cacheIndex;
};

/// Reads source pixels as destination values (or, for averaging, as colour
/// words), a row segment at a time.
class RowFetcher {
public:
    /// `asColours` makes the fetcher produce colour words instead of
    /// destination values (used when the colours are averaged first).
    RowFetcher(const PixelBuffer& src, const PixelBuffer& dst, bool asColours);

    /// Pixels sx0 .. sx0+n-1 of `row`.
    void Run(const std::uint8_t* row, std::int32_t sx0, std::int32_t n, std::uint32_t* out);
    /// Pixels xs[0..n-1] of `row`.
    void Mapped(const std::uint8_t* row, const std::int32_t* xs, std::int32_t n,
                std::uint32_t* out);
    /// The lookup table of a palettized source (2^bpp destination values).
    const std::uint32_t* Lut() const { return m_lut.data(); }

private:
    void finish(std::uint32_t* out, std::int32_t n);

    const PixelBuffer& m_src;
    ColourMapper m_mapper;
    bool m_needsMapping; // direct sources whose colours need converting
    std::vector<std::uint32_t> m_lut;
};

/// Writes n destination values into `row` from pixel dx0 with `rop`.
void StoreRow(const PixelBuffer& dst, std::uint8_t* row, std::int32_t dx0, std::int32_t n,
              const std::uint32_t* vals, Rop rop);

/// The rectangles of one stretch, widened to 64 bits.
struct StretchGeometry {
    std::int64_t x, y, w, h;     // destination
    std::int64_t xs, ys, ws, hs; // source
};

/// The destination pixels of one axis that get drawn, from absolute
/// destination coordinate `dest0` on, each with the source coordinate its
/// centre samples (always inside the source buffer).
struct AxisMap {
    std::int64_t dest0 = 0;
    std::vector<std::int32_t> src;
};

/// Maps destination extent (d, dLen) onto source extent (s, sLen), keeping
/// destination pixels inside [0, dLimit) whose sample lies inside [0, sLimit).
AxisMap MapAxis(std::int64_t d, std::int64_t dLen, std::int64_t dLimit, std::int64_t s,
                std::int64_t sLen, std::int64_t sLimit);

/// Area-averaging stretch of the pixels selected by `cols` x `rows`.
void HalftoneBlt(const PixelBuffer& dst, const PixelBuffer& src, const StretchGeometry& g,
                 const AxisMap& cols, const AxisMap& rows, Rop rop);

/// Pointer to row y of a buffer (y already clipped).
inline std::uint8_t* RowPtr(const PixelBuffer& buf, std::int64_t y) {
    return buf.bits + y * static_cast<std::int64_t>(buf.stride);
}

} // namespace detail
} // namespace gdi
