// Depth conversion: source pixels to colour words, colour words to the pixel
// values of the target, and the raster operations that store them.

#include "imaging/GdiInternal.h"

#include <cstring>

namespace gdi::detail {
namespace {

constexpr std::size_t kCacheSize = 4096;
constexpr std::uint32_t kCacheValid = 0x01000000u;

std::size_t cacheSlot(std::uint32_t colour) {
    return static_cast<std::size_t>((colour * 2654435761u) >> 20) & (kCacheSize - 1);
}

template <typename Op>
void storeBytes32(std::uint8_t* p, std::int32_t n, const std::uint32_t* vals, Op op) {
    for (std::int32_t i = 0; i < n; ++i, p += 4)
        Store32(p, op(Load32(p), vals[i]));
}

template <typename Op>
void store24(std::uint8_t* p, std::int32_t n, const std::uint32_t* vals, Op op) {
    for (std::int32_t i = 0; i < n; ++i, p += 3) {
        const std::uint32_t old =
            std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16;
        const std::uint32_t v = op(old, vals[i]);
        p[0] = static_cast<std::uint8_t>(v);
        p[1] = static_cast<std::uint8_t>(v >> 8);
        p[2] = static_cast<std::uint8_t>(v >> 16);
    }
}

template <typename Op>
void store16(std::uint8_t* p, std::int32_t n, const std::uint32_t* vals, Op op) {
    for (std::int32_t i = 0; i < n; ++i, p += 2)
        Store16(p, op(Load16(p), vals[i]));
}

template <typename Op>
void store8(std::uint8_t* p, std::int32_t n, const std::uint32_t* vals, Op op) {
    for (std::int32_t i = 0; i < n; ++i)
        p[i] = static_cast<std::uint8_t>(op(p[i], vals[i]));
}

// 1 and 4-bit targets: a read-modify-write of each pixel's bits.
template <typename Op>
void storePacked(std::uint8_t* row, int bpp, std::int64_t dx0, std::int32_t n,
                 const std::uint32_t* vals, Op op) {
    const std::uint32_t mask = (1u << bpp) - 1;
    const int perByte = 8 / bpp;
    for (std::int32_t i = 0; i < n; ++i) {
        const std::int64_t x = dx0 + i;
        std::uint8_t& byte = row[x / perByte];
        const int shift = 8 - bpp * (1 + static_cast<int>(x % perByte));
        const std::uint32_t old = (byte >> shift) & mask;
        const std::uint32_t v = op(old, vals[i]) & mask;
        byte = static_cast<std::uint8_t>((byte & ~(mask << shift)) | (v << shift));
    }
}

template <typename Op>
void storeWith(const PixelBuffer& dst, std::uint8_t* row, std::int32_t dx0, std::int32_t n,
               const std::uint32_t* vals, Op op) {
    const std::int64_t x = dx0;
    switch (dst.bpp) {
    case 32:
        storeBytes32(row + 4 * x, n, vals, op);
        break;
    case 24:
        store24(row + 3 * x, n, vals, op);
        break;
    case 16:
        store16(row + 2 * x, n, vals, op);
        break;
    case 8:
        store8(row + x, n, vals, op);
        break;
    default:
        storePacked(row, dst.bpp, x, n, vals, op);
        break;
    }
}

} // namespace

ColourMapper::ColourMapper(const PixelBuffer& dst) : m_dst(dst) {
    if (dst.bpp > 8)
        return;
    const std::uint32_t entries = 1u << dst.bpp;
    m_palette.resize(entries);
    for (std::uint32_t i = 0; i < entries; ++i)
        m_palette[i] = PaletteColour(dst, i);
    m_cacheKey.assign(kCacheSize, 0);
    m_cacheIndex.assign(kCacheSize, 0);
}

std::uint32_t ColourMapper::operator()(std::uint32_t colour) {
    colour &= 0x00FFFFFFu;
    switch (m_dst.bpp) {
    case 32:
        return colour | OpaqueX;
    case 24:
        return colour;
    case 16:
        return Pack555(colour);
    default:
        break;
    }
    const std::size_t slot = cacheSlot(colour);
    if (m_cacheKey[slot] != (colour | kCacheValid)) {
        m_cacheKey[slot] = colour | kCacheValid;
        m_cacheIndex[slot] = static_cast<std::uint8_t>(nearest(colour));
    }
    return m_cacheIndex[slot];
}

std::uint32_t ColourMapper::nearest(std::uint32_t colour) const {
    const int b = colour & 0xFF, g = (colour >> 8) & 0xFF, r = (colour >> 16) & 0xFF;
    std::uint32_t best = 0;
    int bestDist = 1 << 30;
    for (std::uint32_t i = 0; i < m_palette.size(); ++i) {
        const std::uint32_t p = m_palette[i];
        const int db = static_cast<int>(p & 0xFF) - b;
        const int dg = static_cast<int>((p >> 8) & 0xFF) - g;
        const int dr = static_cast<int>((p >> 16) & 0xFF) - r;
        const int d = db * db + dg * dg + dr * dr;
        if (d < bestDist) {
            bestDist = d;
            best = i;
            if (d == 0)
                break;
        }
    }
    return best;
}

RowFetcher::RowFetcher(const PixelBuffer& src, const PixelBuffer& dst, bool asColours)
    : m_src(src), m_mapper(dst), m_needsMapping(!asColours && src.bpp > 8 && dst.bpp != 24) {
    if (src.bpp > 8)
        return;
    const std::uint32_t entries = 1u << src.bpp;
    m_lut.resize(entries);
    // Between identical tables indices are kept as they are; going through
    // colours would fold duplicate entries onto the first one.
    bool same = !asColours && dst.bpp == src.bpp;
    for (std::uint32_t i = 0; same && i < entries; ++i)
        same = PaletteColour(src, i) == PaletteColour(dst, i);
    for (std::uint32_t i = 0; i < entries; ++i) {
        if (same) {
            m_lut[i] = i;
            continue;
        }
        const std::uint32_t c = PaletteColour(src, i);
        m_lut[i] = asColours ? c : m_mapper(c);
    }
}

void RowFetcher::finish(std::uint32_t* out, std::int32_t n) {
    if (!m_needsMapping)
        return;
    for (std::int32_t i = 0; i < n; ++i)
        out[i] = m_mapper(out[i]);
}

void RowFetcher::Run(const std::uint8_t* row, std::int32_t sx0, std::int32_t n,
                     std::uint32_t* out) {
    const std::int64_t x0 = sx0;
    switch (m_src.bpp) {
    case 32:
        for (std::int32_t i = 0; i < n; ++i)
            out[i] = Load32(row + 4 * (x0 + i)) & 0x00FFFFFFu;
        break;
    case 24:
        for (std::int32_t i = 0; i < n; ++i) {
            const std::uint8_t* p = row + 3 * (x0 + i);
            out[i] = std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16;
        }
        break;
    case 16:
        for (std::int32_t i = 0; i < n; ++i)
            out[i] = Colour555(Load16(row + 2 * (x0 + i)));
        break;
    case 8:
        for (std::int32_t i = 0; i < n; ++i)
            out[i] = m_lut[row[x0 + i]];
        return;
    default:
        for (std::int32_t i = 0; i < n; ++i)
            out[i] = m_lut[LoadIndex(row, x0 + i, m_src.bpp)];
        return;
    }
    finish(out, n);
}

void RowFetcher::Mapped(const std::uint8_t* row, const std::int32_t* xs, std::int32_t n,
                        std::uint32_t* out) {
    switch (m_src.bpp) {
    case 32:
        for (std::int32_t i = 0; i < n; ++i)
            out[i] = Load32(row + 4 * static_cast<std::int64_t>(xs[i])) & 0x00FFFFFFu;
        break;
    case 24:
        for (std::int32_t i = 0; i < n; ++i) {
            const std::uint8_t* p = row + 3 * static_cast<std::int64_t>(xs[i]);
            out[i] = std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16;
        }
        break;
    case 16:
        for (std::int32_t i = 0; i < n; ++i)
            out[i] = Colour555(Load16(row + 2 * static_cast<std::int64_t>(xs[i])));
        break;
    default:
        for (std::int32_t i = 0; i < n; ++i)
            out[i] = m_lut[LoadIndex(row, xs[i], m_src.bpp)];
        return;
    }
    finish(out, n);
}

void StoreRow(const PixelBuffer& dst, std::uint8_t* row, std::int32_t dx0, std::int32_t n,
              const std::uint32_t* vals, Rop rop) {
    if (n <= 0)
        return;
    switch (rop) {
    case Rop::Copy:
        if (dst.bpp == 32) {
            std::memcpy(row + 4 * static_cast<std::int64_t>(dx0), vals,
                        4 * static_cast<std::size_t>(n));
            return;
        }
        storeWith(dst, row, dx0, n, vals, [](std::uint32_t, std::uint32_t s) { return s; });
        break;
    case Rop::And:
        storeWith(dst, row, dx0, n, vals, [](std::uint32_t d, std::uint32_t s) { return d & s; });
        break;
    case Rop::Paint:
        storeWith(dst, row, dx0, n, vals, [](std::uint32_t d, std::uint32_t s) { return d | s; });
        break;
    }
}

} // namespace gdi::detail
