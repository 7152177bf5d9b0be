// BitBlt and StretchBlt: clipping against both buffers, then a fast path for
// the common depth pairs or the general fetch-convert-store pipeline.

#include "imaging/GdiInternal.h"

#include <algorithm>
#include <new>
#include <vector>

namespace gdi {
namespace {

using detail::Load32;
using detail::Rop;
using detail::RowPtr;
using detail::Store32;

bool overlaps(const PixelBuffer& a, const PixelBuffer& b) {
    const auto begin = [](const PixelBuffer& p) {
        return reinterpret_cast<std::uintptr_t>(p.bits);
    };
    const auto end = [&](const PixelBuffer& p) {
        return begin(p) +
               static_cast<std::uintptr_t>(p.stride) * static_cast<std::uintptr_t>(p.height);
    };
    return begin(a) < end(b) && begin(b) < end(a);
}

// A source that shares memory with the destination is read from a private
// copy, so that rows written early are never read back as source.
struct SourceSnapshot {
    PixelBuffer buf;
    std::vector<std::uint8_t> copy;
    SourceSnapshot(const PixelBuffer& src, const PixelBuffer& dst) : buf(src) {
        if (!overlaps(src, dst))
            return;
        copy.assign(src.bits, src.bits + static_cast<std::size_t>(src.stride) *
                                             static_cast<std::size_t>(src.height));
        buf.bits = copy.data();
    }
};

// Calls f with the combining function of `rop` (destination, source -> result).
template <typename F>
void withOp(Rop rop, F&& f) {
    switch (rop) {
    case Rop::Copy:
        f([](std::uint32_t, std::uint32_t s) { return s; });
        break;
    case Rop::And:
        f([](std::uint32_t d, std::uint32_t s) { return d & s; });
        break;
    case Rop::Paint:
        f([](std::uint32_t d, std::uint32_t s) { return d | s; });
        break;
    }
}

void sameDepthRow(std::uint8_t* d, const std::uint8_t* s, std::size_t bytes, Rop rop) {
    switch (rop) {
    case Rop::Copy:
        std::memcpy(d, s, bytes);
        break;
    case Rop::And:
        for (std::size_t i = 0; i < bytes; ++i)
            d[i] &= s[i];
        break;
    case Rop::Paint:
        for (std::size_t i = 0; i < bytes; ++i)
            d[i] |= s[i];
        break;
    }
}

template <typename Op>
void lut8To32(std::uint8_t* d, const std::uint8_t* s, std::int32_t n, const std::uint32_t* lut,
              Op op) {
    for (std::int32_t i = 0; i < n; ++i, d += 4)
        Store32(d, op(Load32(d), lut[s[i]]));
}

// A 1-bit row onto 32-bit pixels: whole source bytes at a time once aligned.
template <typename Op>
void bits1To32(std::uint8_t* d, const std::uint8_t* row, std::int64_t x, std::int32_t n,
               const std::uint32_t* lut, Op op) {
    std::int32_t i = 0;
    for (; i < n && (x & 7) != 0; ++i, ++x, d += 4)
        Store32(d, op(Load32(d), lut[(row[x >> 3] >> (7 - (x & 7))) & 1]));
    for (; n - i >= 8; i += 8, x += 8) {
        const unsigned byte = row[x >> 3];
        if (byte == 0x00 || byte == 0xFF) { // masks come in runs: one value for 8 pixels
            const std::uint32_t v = lut[byte & 1];
            for (int k = 0; k < 8; ++k, d += 4)
                Store32(d, op(Load32(d), v));
            continue;
        }
        for (int k = 7; k >= 0; --k, d += 4)
            Store32(d, op(Load32(d), lut[(byte >> k) & 1]));
    }
    for (; i < n; ++i, ++x, d += 4)
        Store32(d, op(Load32(d), lut[(row[x >> 3] >> (7 - (x & 7))) & 1]));
}

// Range of offsets i in [0, len) with d+i inside [0, dLim) and s+i inside [0, sLim).
bool clipOneToOne(std::int64_t d, std::int64_t s, std::int64_t len, std::int64_t dLim,
                  std::int64_t sLim, std::int64_t& i0, std::int64_t& i1) {
    i0 = std::max({std::int64_t{0}, -d, -s});
    i1 = std::min({len, dLim - d, sLim - s});
    return i0 < i1;
}

void blitOneToOne(const PixelBuffer& dst, const PixelBuffer& srcIn,
                  const detail::StretchGeometry& g, Rop rop) {
    std::int64_t i0, i1, j0, j1;
    if (!clipOneToOne(g.x, g.xs, g.w, dst.width, srcIn.width, i0, i1) ||
        !clipOneToOne(g.y, g.ys, g.h, dst.height, srcIn.height, j0, j1))
        return;
    const SourceSnapshot snap(srcIn, dst);
    const PixelBuffer& src = snap.buf;
    const auto n = static_cast<std::int32_t>(i1 - i0);
    const std::int64_t dx0 = g.x + i0, sx0 = g.xs + i0;
    const auto dRow = [&](std::int64_t j) { return RowPtr(dst, g.y + j); };
    const auto sRow = [&](std::int64_t j) { return RowPtr(src, g.ys + j); };

    if (src.bpp == dst.bpp && src.bpp >= 16) {
        const std::int64_t px = src.bpp / 8;
        for (std::int64_t j = j0; j < j1; ++j)
            sameDepthRow(dRow(j) + px * dx0, sRow(j) + px * sx0, static_cast<std::size_t>(px * n),
                         rop);
        return;
    }
    detail::RowFetcher fetch(src, dst, false);
    if (dst.bpp == 32 && (src.bpp == 8 || src.bpp == 1)) {
        const std::uint32_t* lut = fetch.Lut();
        withOp(rop, [&](auto op) {
            for (std::int64_t j = j0; j < j1; ++j) {
                if (src.bpp == 8)
                    lut8To32(dRow(j) + 4 * dx0, sRow(j) + sx0, n, lut, op);
                else
                    bits1To32(dRow(j) + 4 * dx0, sRow(j), sx0, n, lut, op);
            }
        });
        return;
    }
    std::vector<std::uint32_t> tmp(static_cast<std::size_t>(n));
    for (std::int64_t j = j0; j < j1; ++j) {
        fetch.Run(sRow(j), static_cast<std::int32_t>(sx0), n, tmp.data());
        detail::StoreRow(dst, dRow(j), static_cast<std::int32_t>(dx0), n, tmp.data(), rop);
    }
}

void nearestBlt(const PixelBuffer& dst, const PixelBuffer& src, const detail::AxisMap& cols,
                const detail::AxisMap& rows, Rop rop) {
    const auto n = static_cast<std::int32_t>(cols.src.size());
    const std::int64_t dx0 = cols.dest0;
    const std::int32_t* xs = cols.src.data();
    if (dst.bpp == 32 && src.bpp == 32) {
        withOp(rop, [&](auto op) {
            for (std::size_t j = 0; j < rows.src.size(); ++j) {
                std::uint8_t* d = RowPtr(dst, rows.dest0 + static_cast<std::int64_t>(j)) + 4 * dx0;
                // Enlarging repeats source rows: copy the row just written.
                if (rop == Rop::Copy && j > 0 && rows.src[j] == rows.src[j - 1]) {
                    std::memcpy(d, d - dst.stride, 4 * static_cast<std::size_t>(n));
                    continue;
                }
                const std::uint8_t* s = RowPtr(src, rows.src[j]);
                for (std::int32_t i = 0; i < n; ++i)
                    Store32(d + 4 * i, op(Load32(d + 4 * i), Load32(s + 4 * std::int64_t{xs[i]})));
            }
        });
        return;
    }
    detail::RowFetcher fetch(src, dst, false);
    std::vector<std::uint32_t> tmp(static_cast<std::size_t>(n));
    std::int64_t lastSy = -1;
    for (std::size_t j = 0; j < rows.src.size(); ++j) {
        if (rows.src[j] != lastSy) {
            lastSy = rows.src[j];
            fetch.Mapped(RowPtr(src, lastSy), xs, n, tmp.data());
        }
        detail::StoreRow(dst, RowPtr(dst, rows.dest0 + static_cast<std::int64_t>(j)),
                         static_cast<std::int32_t>(dx0), n, tmp.data(), rop);
    }
}

} // namespace

namespace detail {

AxisMap MapAxis(std::int64_t d, std::int64_t dLen, std::int64_t dLimit, std::int64_t s,
                std::int64_t sLen, std::int64_t sLimit) {
    AxisMap map;
    const std::int64_t i0 = std::max<std::int64_t>(0, -d);
    const std::int64_t i1 = std::min(dLen, dLimit - d);
    if (i0 >= i1)
        return map;
    // Pixel i samples s + floor((2i + 1) * sLen / (2 * dLen)), stepped as a
    // quotient and remainder. Bounds: i < 2^31 and sLen < 2^31 keep the
    // products below 2^63.
    const std::int64_t den = 2 * dLen;
    const std::int64_t step = 2 * sLen;
    const std::int64_t stepQ = step / den, stepR = step % den;
    const std::int64_t num = (2 * i0 + 1) * sLen;
    std::int64_t q = num / den, r = num % den;
    for (std::int64_t i = i0; i < i1; ++i) {
        const std::int64_t sx = s + q;
        if (sx >= 0 && sx < sLimit) {
            if (map.src.empty())
                map.dest0 = d + i;
            map.src.push_back(static_cast<std::int32_t>(sx));
        } else if (!map.src.empty() || sx >= sLimit) {
            break; // samples only grow: nothing further can be inside
        }
        q += stepQ;
        r += stepR;
        if (r >= den) {
            r -= den;
            ++q;
        }
    }
    return map;
}

} // namespace detail

int BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int xs, int ys, std::uint32_t rop) {
    Rop op;
    const PixelBuffer* d = detail::BoundBuffer(dst);
    const PixelBuffer* s = detail::BoundBuffer(src);
    if (!detail::DecodeRop(rop, op) || d == nullptr || s == nullptr || w < 0 || h < 0)
        return 0;
    const PixelBuffer db = *d, sb = *s;
    try {
        blitOneToOne(db, sb, {x, y, w, h, xs, ys, w, h}, op);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    return 1;
}

int StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int xs, int ys, int ws, int hs,
               std::uint32_t rop) {
    Rop op;
    const PixelBuffer* d = detail::BoundBuffer(dst);
    const PixelBuffer* s = detail::BoundBuffer(src);
    if (!detail::DecodeRop(rop, op) || d == nullptr || s == nullptr || w < 0 || h < 0 || ws < 0 ||
        hs < 0)
        return 0;
    if (w == 0 || h == 0)
        return 1;
    if (ws == 0 || hs == 0)
        return 0;
    const PixelBuffer db = *d, sb = *s;
    const detail::StretchGeometry g{x, y, w, h, xs, ys, ws, hs};
    const int mode = GetStretchBltMode(dst);
    try {
        if (w == ws && h == hs) {
            blitOneToOne(db, sb, g, op);
            return 1;
        }
        const detail::AxisMap cols = detail::MapAxis(x, w, db.width, xs, ws, sb.width);
        const detail::AxisMap rows = detail::MapAxis(y, h, db.height, ys, hs, sb.height);
        if (cols.src.empty() || rows.src.empty())
            return 1;
        const SourceSnapshot snap(sb, db);
        if (mode == HALFTONE)
            detail::HalftoneBlt(db, snap.buf, g, cols, rows, op);
        else
            nearestBlt(db, snap.buf, cols, rows, op);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    return 1;
}

} // namespace gdi
