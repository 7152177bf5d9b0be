// HALFTONE stretching: every destination pixel takes the average colour of the
// source area it covers, weighted by how much of each source pixel it covers.

#include "imaging/GdiInternal.h"

#include <algorithm>
#include <cmath>

namespace gdi::detail {
namespace {

// The source pixels under each destination pixel of one axis, with weights
// that sum to 1 per destination pixel. Taps of pixel k are [first[k], first[k+1]).
struct Footprints {
    std::vector<std::size_t> first;
    std::vector<std::int32_t> pos;
    std::vector<double> weight;
    std::int32_t lo = 0;
    std::int32_t hi = 0;
};

// Destination pixel i of the extent covers [i * sLen, (i + 1) * sLen) in units
// of 1/dLen source pixel, measured from s; source pixel s + p covers
// [p * dLen, (p + 1) * dLen). Only source pixels inside [0, sLimit) count.
Footprints footprints(const AxisMap& m, std::int64_t d, std::int64_t dLen, std::int64_t s,
                      std::int64_t sLen, std::int64_t sLimit) {
    Footprints f;
    f.lo = INT32_MAX;
    f.hi = INT32_MIN;
    for (std::size_t k = 0; k < m.src.size(); ++k) {
        f.first.push_back(f.pos.size());
        const std::int64_t i = m.dest0 + static_cast<std::int64_t>(k) - d;
        const std::int64_t a = i * sLen, b = a + sLen;
        const std::int64_t lo = std::max(s + a / dLen, std::int64_t{0});
        const std::int64_t hi = std::min(s + (b - 1) / dLen, sLimit - 1);
        double total = 0;
        const std::size_t start = f.pos.size();
        for (std::int64_t p = lo; p <= hi; ++p) {
            const std::int64_t rel = p - s;
            const std::int64_t cover = std::min(b, (rel + 1) * dLen) - std::max(a, rel * dLen);
            f.pos.push_back(static_cast<std::int32_t>(p));
            f.weight.push_back(static_cast<double>(cover));
            total += static_cast<double>(cover);
        }
        for (std::size_t t = start; t < f.pos.size(); ++t)
            f.weight[t] /= total;
        f.lo = std::min(f.lo, static_cast<std::int32_t>(lo));
        f.hi = std::max(f.hi, static_cast<std::int32_t>(hi));
    }
    f.first.push_back(f.pos.size());
    return f;
}

std::uint32_t channel(double v) {
    return static_cast<std::uint32_t>(std::clamp(std::floor(v + 0.5), 0.0, 255.0));
}

} // namespace

void HalftoneBlt(const PixelBuffer& dst, const PixelBuffer& src, const StretchGeometry& g,
                 const AxisMap& cols, const AxisMap& rows, Rop rop) {
    const Footprints fx = footprints(cols, g.x, g.w, g.xs, g.ws, src.width);
    const Footprints fy = footprints(rows, g.y, g.h, g.ys, g.hs, src.height);
    RowFetcher fetch(src, dst, true);
    ColourMapper toDst(dst);
    const std::size_t n = cols.src.size();
    const std::int32_t span = fx.hi - fx.lo + 1;
    std::vector<std::uint32_t> line(static_cast<std::size_t>(span));
    std::vector<double> acc(3 * n);
    std::vector<std::uint32_t> out(n);
    for (std::size_t j = 0; j < rows.src.size(); ++j) {
        std::fill(acc.begin(), acc.end(), 0.0);
        for (std::size_t ty = fy.first[j]; ty < fy.first[j + 1]; ++ty) {
            fetch.Run(RowPtr(src, fy.pos[ty]), fx.lo, span, line.data());
            const double wy = fy.weight[ty];
            for (std::size_t k = 0; k < n; ++k) {
                double b = 0, gr = 0, r = 0;
                for (std::size_t tx = fx.first[k]; tx < fx.first[k + 1]; ++tx) {
                    const std::uint32_t c = line[static_cast<std::size_t>(fx.pos[tx] - fx.lo)];
                    const double wx = fx.weight[tx];
                    b += wx * (c & 0xFF);
                    gr += wx * ((c >> 8) & 0xFF);
                    r += wx * ((c >> 16) & 0xFF);
                }
                acc[3 * k] += wy * b;
                acc[3 * k + 1] += wy * gr;
                acc[3 * k + 2] += wy * r;
            }
        }
        for (std::size_t k = 0; k < n; ++k)
            out[k] = toDst(channel(acc[3 * k]) | channel(acc[3 * k + 1]) << 8 |
                           channel(acc[3 * k + 2]) << 16);
        StoreRow(dst, RowPtr(dst, rows.dest0 + static_cast<std::int64_t>(j)),
                 static_cast<std::int32_t>(cols.dest0), static_cast<std::int32_t>(n), out.data(),
                 rop);
    }
}

} // namespace gdi::detail
