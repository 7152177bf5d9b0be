// BitBlt and StretchBlt against a plain per-pixel model of what they should
// do, over a few thousand random cases (fixed seed): every depth pair, every
// raster operation, odd strides, short palettes, absurd coordinates and blits
// of a buffer onto itself.

#include "PixelAccess.h"
#include "imaging/Gdi.h"

#include <QTest>
#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <map>
#include <random>

using testpx::Buffer;
using testpx::Dc;

namespace {

constexpr int kDepths[] = {1, 4, 8, 16, 24, 32};

struct Case {
    int x, y, w, h, xs, ys, ws, hs;
    std::uint32_t rop;
    int mode;
};

// Model of one destination pixel's new value from a source colour.
std::uint32_t model(const gdi::PixelBuffer& dst, std::uint32_t c,
                    std::map<std::uint32_t, std::uint32_t>& memo) {
    switch (dst.bpp) {
    case 32:
        return c | 0xFF000000u;
    case 24:
        return c;
    case 16:
        return ((c >> 9) & 0x7C00) | ((c >> 6) & 0x03E0) | ((c >> 3) & 0x1F);
    }
    if (auto it = memo.find(c); it != memo.end())
        return it->second;
    std::uint32_t best = 0;
    long bestD = LONG_MAX;
    for (std::uint32_t i = 0; i < (1u << dst.bpp); ++i) {
        const std::uint32_t p = testpx::colourOf(dst, i);
        long d = 0;
        for (int sh = 0; sh < 24; sh += 8) {
            const long diff = long((p >> sh) & 0xFF) - long((c >> sh) & 0xFF);
            d += diff * diff;
        }
        if (d < bestD)
            bestD = d, best = i;
    }
    return memo[c] = best;
}

bool samePalette(const gdi::PixelBuffer& a, const gdi::PixelBuffer& b) {
    if (a.bpp != b.bpp || a.bpp > 8)
        return false;
    for (std::uint32_t i = 0; i < (1u << a.bpp); ++i)
        if (testpx::colourOf(a, i) != testpx::colourOf(b, i))
            return false;
    return true;
}

// Source coordinate the centre of destination pixel i samples, or -1.
std::int64_t sample(std::int64_t i, std::int64_t len, std::int64_t s, std::int64_t sLen,
                    std::int64_t limit) {
    const std::int64_t v = s + ((2 * i + 1) * sLen) / (2 * len);
    return v >= 0 && v < limit ? v : -1;
}

// Average colour of the source area under destination pixel (i, j).
std::uint32_t areaAverage(const gdi::PixelBuffer& src, const Case& c, std::int64_t i,
                          std::int64_t j) {
    const double a0 = c.xs + double(i) * c.ws / c.w, a1 = c.xs + double(i + 1) * c.ws / c.w;
    const double b0 = c.ys + double(j) * c.hs / c.h, b1 = c.ys + double(j + 1) * c.hs / c.h;
    double acc[3] = {0, 0, 0}, total = 0;
    for (int sy = std::max(0, int(std::floor(b0))); sy < std::min(src.height, int(std::ceil(b1)));
         ++sy)
        for (int sx = std::max(0, int(std::floor(a0)));
             sx < std::min(src.width, int(std::ceil(a1))); ++sx) {
            const double wgt = (std::min(a1, sx + 1.0) - std::max(a0, double(sx))) *
                               (std::min(b1, sy + 1.0) - std::max(b0, double(sy)));
            const std::uint32_t col = testpx::colour(src, sx, sy);
            for (int k = 0; k < 3; ++k)
                acc[k] += wgt * ((col >> (8 * k)) & 0xFF);
            total += wgt;
        }
    std::uint32_t out = 0;
    for (int k = 0; k < 3; ++k)
        out |= std::uint32_t(std::lround(acc[k] / total)) << (8 * k);
    return out;
}

struct Modelled {
    std::vector<std::pair<int, int>> averaged; // pixels whose value is an average
    bool touched = false;                      // any pixel drawn at all
};

// Applies the model of the blit `c` from `src` to `expected`, reading the
// source as it was before (it may be the destination itself).
Modelled runModel(const Buffer& src, Buffer& expected, const Case& c, bool halftone) {
    Modelled m;
    Buffer srcCopy = src;
    std::map<std::uint32_t, std::uint32_t> memo;
    const gdi::PixelBuffer sv = srcCopy.view(), dv = expected.view();
    const bool rawCopy = sv.bpp == dv.bpp && (sv.bpp >= 16 || samePalette(sv, dv));
    for (int dy = 0; dy < dv.height; ++dy)
        for (int dx = 0; dx < dv.width; ++dx) {
            const std::int64_t i = std::int64_t{dx} - c.x, j = std::int64_t{dy} - c.y;
            if (c.w == 0 || c.h == 0 || i < 0 || i >= c.w || j < 0 || j >= c.h)
                continue;
            const std::int64_t sx = sample(i, c.w, c.xs, c.ws, sv.width);
            const std::int64_t sy = sample(j, c.h, c.ys, c.hs, sv.height);
            if (sx < 0 || sy < 0)
                continue;
            m.touched = true;
            if (halftone) {
                m.averaged.emplace_back(dx, dy);
                testpx::setRaw(dv, dx, dy, model(dv, areaAverage(sv, c, i, j), memo));
                continue;
            }
            const std::uint32_t s = testpx::raw(sv, int(sx), int(sy));
            const std::uint32_t v = rawCopy ? s : model(dv, testpx::colourOf(sv, s), memo);
            const std::uint32_t old = testpx::raw(dv, dx, dy);
            testpx::setRaw(dv, dx, dy,
                           c.rop == gdi::SRCCOPY  ? v
                           : c.rop == gdi::SRCAND ? (old & v)
                                                  : (old | v));
        }
    return m;
}

QByteArray describe(int n, const Buffer& src, const Buffer& dst, const Case& c) {
    return QString::asprintf("case %d: %d->%d dst %dx%d (%d,%d,%d,%d) src %dx%d (%d,%d,%d,%d) "
                             "rop %x mode %d",
                             n, src.bpp, dst.bpp, dst.width, dst.height, c.x, c.y, c.w, c.h,
                             src.width, src.height, c.xs, c.ys, c.ws, c.hs, c.rop, c.mode)
        .toUtf8();
}

class Randomizer {
public:
    explicit Randomizer(std::uint32_t seed) : m_rng(seed) {}
    int in(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }
    int coord(int limit) {
        if (in(0, 39) == 0) // now and then something absurd
            return std::array{INT_MIN, INT_MAX, INT_MIN / 2, INT_MAX - 3, -100000}[in(0, 4)];
        return in(-3, limit / 2);
    }
    void fill(Buffer& b) {
        std::generate(b.bits(), b.bits() + b.stride * b.height,
                      [&] { return static_cast<std::uint8_t>(in(0, 255)); });
        if (b.bpp == 16) // the unused top bit stays clear
            for (int y = 0; y < b.height; ++y)
                for (int x = 0; x < b.width; ++x)
                    testpx::setRaw(b.view(), x, y, testpx::raw(b.view(), x, y) & 0x7FFF);
        const bool few = in(0, 3) == 0; // duplicate entries: ties go to the lowest index
        for (int e = 0; e < int(b.palette.size() / 4); ++e)
            b.setEntry(e, few ? std::array{0x102030u, 0xF0E0D0u, 0x808080u}[in(0, 2)]
                              : std::uint32_t(in(0, 0xFFFFFF)));
        if (b.bpp == 8 && in(0, 4) == 0) // a short table: the rest reads as black
            b.palette.resize(std::size_t(4 * in(1, 255)));
    }

private:
    std::mt19937 m_rng;
};

} // namespace

class tst_GdiReference : public QObject {
    Q_OBJECT
private slots:
    void randomBlitsMatchModel();
};

void tst_GdiReference::randomBlitsMatchModel() {
    Randomizer rnd(20240611);
    const auto near = [](int v) { return v > -100 && v < 100; };
    const std::uint32_t rops[] = {gdi::SRCCOPY, gdi::SRCAND, gdi::SRCPAINT};
    int drawing = 0; // cases where the model changes something
    for (int n = 0; n < 3000; ++n) {
        const int sBpp = kDepths[rnd.in(0, 5)];
        const bool self = rnd.in(0, 9) == 0;
        const int dBpp = self ? sBpp : kDepths[rnd.in(0, 5)];
        Buffer src(rnd.in(1, 20), rnd.in(1, 20), sBpp, 4 * rnd.in(0, 2));
        Buffer dstOwn(rnd.in(1, 20), rnd.in(1, 20), dBpp, 4 * rnd.in(0, 2));
        rnd.fill(src);
        rnd.fill(dstOwn);
        if (dBpp == sBpp && dBpp <= 8 && rnd.in(0, 2) == 0)
            dstOwn.palette = src.palette;
        Buffer& dst = self ? src : dstOwn;
        // Braced initialisers are evaluated in order, so the seed fixes every case.
        Case c{rnd.coord(dst.width),      rnd.coord(dst.height),     rnd.in(0, dst.width + 4),
               rnd.in(0, dst.height + 4), rnd.coord(src.width),      rnd.coord(src.height),
               rnd.in(1, src.width + 4),  rnd.in(1, src.height + 4), rops[rnd.in(0, 2)],
               gdi::COLORONCOLOR};
        const bool stretch = rnd.in(0, 2) != 0;
        if (!stretch)
            c.ws = c.w, c.hs = c.h;
        const bool halftone = stretch && dBpp >= 24 && c.rop == gdi::SRCCOPY && !self &&
                              near(c.x) && near(c.y) && near(c.xs) && near(c.ys) && rnd.in(0, 1);
        if (halftone)
            c.mode = gdi::HALFTONE;

        Buffer expected = dst;
        const Modelled m = runModel(src, expected, c, halftone);

        Dc sDc(gdi::CreateBufferDC(src.view()));
        Dc dDcOwn(self ? nullptr : gdi::CreateBufferDC(dstOwn.view()));
        const gdi::HDC dDc = self ? sDc.h : dDcOwn.h;
        gdi::SetStretchBltMode(dDc, c.mode);
        const int r =
            stretch ? gdi::StretchBlt(dDc, c.x, c.y, c.w, c.h, sDc, c.xs, c.ys, c.ws, c.hs, c.rop)
                    : gdi::BitBlt(dDc, c.x, c.y, c.w, c.h, sDc, c.xs, c.ys, c.rop);
        const QByteArray what = describe(n, src, dst, c);
        QVERIFY2(r == 1, what.constData());
        drawing += m.touched;
        if (!halftone) {
            QVERIFY2(dst.storage == expected.storage, what.constData());
            continue;
        }
        const gdi::PixelBuffer dv = expected.view();
        for (auto [dx, dy] : m.averaged) { // rounding may differ by one step
            const std::uint32_t got = testpx::colour(dst.view(), dx, dy);
            const std::uint32_t want = testpx::colour(dv, dx, dy);
            for (int k = 0; k < 24; k += 8)
                QVERIFY2(std::abs(int((got >> k) & 0xFF) - int((want >> k) & 0xFF)) <= 1,
                         what.constData());
            testpx::setRaw(dv, dx, dy, testpx::raw(dst.view(), dx, dy));
        }
        QVERIFY2(dst.storage == expected.storage, what.constData());
    }
    QVERIFY2(drawing > 1200, "the random cases should mostly draw something");
}

QTEST_APPLESS_MAIN(tst_GdiReference)
#include "tst_GdiReference.moc"
