// The still preview as the window lives it, through the real model
// (PictureLoader) and the program's own decoder (the worker pool, started from
// this build's worker; another decoder can be put in at makeDecoder()), on
// generated 24-megapixel JPEGs into a 700 x 450 pane:
// - a step to a prefetched neighbour: time from the step to the pane's pixels;
// - a step to a file not decoded ahead, for comparison;
// - the longest stall of the event loop (gaps of a 1 ms timer) while stepping
//   through the folder, against the peer: the stall of the old flow, which
//   decoded and shrank on the window's thread.

#include "PhotoLike.h"
#include "WaitFor.h"
#include "imaging/DecoderPool.h"
#include "imaging/FreeImageLoader.h"
#include "imaging/PictureDecoder.h"
#include "imaging/PictureLoader.h"
#include "imaging/mScaleImage.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <chrono>
#include <functional>
#include <memory>

namespace {

constexpr int kWidth = 6000, kHeight = 4000;
constexpr int kFiles = 5;
const QSize kBox(700, 450);

QTemporaryDir& dir() {
    static QTemporaryDir d;
    return d;
}

/// Five photo-like JPEGs (gradients with noise), written once per run.
const QStringList& files() {
    static const QStringList paths = [] {
        const QImage img = bench::PhotoLike(kWidth, kHeight, 7, 24);
        QStringList out;
        for (int i = 0; i < kFiles; ++i) {
            out << dir().filePath(QStringLiteral("photo%1.jpg").arg(i));
            QImageWriter writer(out.back(), "jpeg");
            writer.setQuality(90 - i);
            writer.write(img);
        }
        return out;
    }();
    return paths;
}

/// The decoder under measure.
std::unique_ptr<imaging::PictureDecoder> makeDecoder() {
    imaging::DecoderPool::Options options;
    options.workerPath = QStringLiteral(VISTREL_DECODER_PATH);
    return std::make_unique<imaging::DecoderPool>(options);
}

void waitFor(const std::function<bool()>& done) {
    bench::WaitFor(done, 1);
}

/// The model and decoder as the window holds them, and the pane it paints.
struct Preview {
    std::unique_ptr<imaging::PictureDecoder> decoder = makeDecoder();
    imaging::PictureLoader loader{*decoder};
    QImage pane{kBox, QImage::Format_RGB32};
    int shown = 0;

    Preview() {
        QObject::connect(&loader, &imaging::PictureLoader::Shown,
                         [this](const imaging::Picture& p) {
                             imaging::ScalePreview(p.image, pane, 0xFFF0F0F0, 0, true);
                             ++shown;
                         });
    }
    QStringList neighbours(int i) const {
        QStringList n;
        if (i + 1 < kFiles)
            n << files()[i + 1];
        if (i > 0)
            n << files()[i - 1];
        return n;
    }
    /// Steps to file `i` and waits until its pixels are in the pane; false
    /// when the picture did not decode.
    bool step(int i) {
        const int before = shown;
        loader.LoadImageFile(files()[i], kBox, neighbours(i));
        waitFor([&] { return shown > before; });
        return loader.Current().IsOk() && loader.Current().image.size() == QSize(675, 450);
    }
    bool ahead(int i) { return loader.Cache().Contains(imaging::PictureKey::Of(files()[i], kBox)); }
};

using Clock = std::chrono::steady_clock;

void BM_StepToPrefetchedNeighbour(benchmark::State& state) {
    Preview p;
    for (auto _ : state) {
        p.loader.CancelShown();
        p.loader.Cache().Clear();
        if (!p.step(0))
            state.SkipWithError("not decoded");
        waitFor([&] { return p.ahead(1); });
        const auto t0 = Clock::now();
        if (!p.step(1))
            state.SkipWithError("not decoded");
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - t0).count());
    }
}

void BM_StepNotPrefetched(benchmark::State& state) {
    Preview p;
    for (auto _ : state) {
        p.loader.CancelShown();
        p.loader.Cache().Clear();
        const auto t0 = Clock::now();
        if (!p.step(2))
            state.SkipWithError("not decoded");
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - t0).count());
    }
}

/// Steps through the folder, each step waiting for its picture, while a 1 ms
/// timer measures how long the event loop is away.
void BM_LongestStallWhileStepping(benchmark::State& state) {
    Preview p;
    double worst = 0;
    for (auto _ : state) {
        p.loader.CancelShown();
        p.loader.Cache().Clear();
        QElapsedTimer gap;
        qint64 longest = 0;
        QTimer tick;
        tick.setTimerType(Qt::PreciseTimer);
        tick.setInterval(1);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            longest = std::max(longest, gap.nsecsElapsed());
            gap.restart();
        });
        gap.start();
        tick.start();
        for (int i = 0; i < kFiles; ++i)
            if (!p.step(i))
                state.SkipWithError("not decoded");
        tick.stop();
        worst = std::max(worst, double(longest) / 1e6);
    }
    state.counters["longest_stall_ms"] = worst;
}

/// The peer: how long the old flow held the window's thread for one file.
void BM_OldFlowStall(benchmark::State& state) {
    using imaging::FreeImageLoader;
    QImage pane(kBox, QImage::Format_RGB32);
    for (auto _ : state) {
        const QImage full = FreeImageLoader::Load(files()[3], 0xFFFFFFFF);
        const imaging::PreviewPlacement at =
            imaging::FitPreview(full.width(), full.height(), kBox.width(), kBox.height(), 0, true);
        imaging::ScalePreview(
            imaging::RescaleBitmap(full, at.width, at.height, FreeImageLoader::FilterLanczos3),
            pane, 0xFFF0F0F0, 0, true);
    }
}

BENCHMARK(BM_StepToPrefetchedNeighbour)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StepNotPrefetched)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LongestStallWhileStepping)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OldFlowStall)->Iterations(2)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    files(); // written before anything is timed
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
