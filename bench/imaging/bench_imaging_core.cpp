// The blits the GIF viewer runs per frame, on a full-HD surface, next to
// QPainter::drawImage doing the same work. Wall-clock time is what counts:
// Qt may spread image conversions over worker threads.

#include "imaging/cDIB.h"

#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <random>

namespace {

constexpr int kW = 1920;
constexpr int kH = 1080;

void noise(std::uint8_t* p, std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    for (std::size_t i = 0; i < n; ++i)
        p[i] = static_cast<std::uint8_t>(rng());
}

// A 32-bit surface, its 1-bit mask (about one pixel in eight transparent, in
// runs, as GIF frames have) and an 8-bit frame image with a random palette.
struct Surfaces {
    cDIB image32, mask, frame, target;
    Surfaces() {
        image32.Create(kW, kH, 32);
        mask.Create(kW, kH, 1);
        frame.Create(kW, kH, 8);
        target.Create(kW, kH, 32);
        noise(image32.lpBits(), static_cast<std::size_t>(image32.size()), 1);
        noise(frame.lpBits(), static_cast<std::size_t>(frame.size()), 2);
        std::vector<std::uint8_t> pal(1024);
        noise(pal.data(), pal.size(), 3);
        frame.SetPalette(pal);
        mask.SetPalette({0, 0, 0, 0, 255, 255, 255, 0});
        std::uint8_t* m = mask.lpBits();
        for (int i = 0; i < mask.size(); ++i)
            m[i] = (i % 8 == 0) ? 0xFF : 0x00;
    }
};

Surfaces& surfaces() {
    static Surfaces s;
    return s;
}

struct Images {
    QImage image32, mask, frame, target;
    Images() {
        Surfaces& s = surfaces();
        image32 =
            QImage(s.image32.lpBits(), kW, kH, s.image32.BytesPerScanline(), QImage::Format_RGB32)
                .copy();
        mask =
            QImage(s.mask.lpBits(), kW, kH, s.mask.BytesPerScanline(), QImage::Format_Mono).copy();
        mask.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        frame =
            QImage(s.frame.lpBits(), kW, kH, s.frame.BytesPerScanline(), QImage::Format_Indexed8)
                .copy();
        std::vector<std::uint8_t> pal;
        s.frame.GetPalette(pal);
        QList<QRgb> table;
        for (int i = 0; i < 256; ++i)
            table.append(qRgb(pal[4 * i + 2], pal[4 * i + 1], pal[4 * i]));
        frame.setColorTable(table);
        target = QImage(kW, kH, QImage::Format_RGB32);
        target.fill(Qt::black);
    }
};

Images& images() {
    static Images i;
    return i;
}

void BM_Stretch_1to1_cDIB(benchmark::State& state) {
    Surfaces& s = surfaces();
    for (auto _ : state) {
        s.image32.Stretch(s.target.hDC(), 0, 0, kW, kH);
        benchmark::ClobberMemory();
    }
}

void BM_Stretch_1to1_QPainter(benchmark::State& state) {
    Images& im = images();
    QPainter p(&im.target);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    for (auto _ : state) {
        p.drawImage(0, 0, im.image32);
        benchmark::ClobberMemory();
    }
}

void BM_Stretch_Half_cDIB(benchmark::State& state) {
    Surfaces& s = surfaces();
    for (auto _ : state) {
        s.image32.Stretch(s.target.hDC(), 0, 0, kW / 2, kH / 2);
        benchmark::ClobberMemory();
    }
}

void BM_Stretch_Half_QPainter(benchmark::State& state) {
    Images& im = images();
    QPainter p(&im.target);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    for (auto _ : state) {
        p.drawImage(QRect(0, 0, kW / 2, kH / 2), im.image32);
        benchmark::ClobberMemory();
    }
}

void BM_MaskPair_cDIB(benchmark::State& state) {
    Surfaces& s = surfaces();
    for (auto _ : state) {
        s.mask.Stretch(s.target.hDC(), 0, 0, kW, kH, 0, 0, 0, 0, gdi::SRCAND);
        s.frame.Stretch(s.target.hDC(), 0, 0, kW, kH, 0, 0, 0, 0, gdi::SRCPAINT);
        benchmark::ClobberMemory();
    }
}

void BM_MaskPair_QPainter(benchmark::State& state) {
    Images& im = images();
    QPainter p(&im.target);
    for (auto _ : state) {
        p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        p.drawImage(0, 0, im.mask);
        p.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
        p.drawImage(0, 0, im.frame);
        benchmark::ClobberMemory();
    }
}

} // namespace

BENCHMARK(BM_Stretch_1to1_cDIB)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_Stretch_1to1_QPainter)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_Stretch_Half_cDIB)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_Stretch_Half_QPainter)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_MaskPair_cDIB)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_MaskPair_QPainter)->Unit(benchmark::kMicrosecond)->UseRealTime();

BENCHMARK_MAIN();
