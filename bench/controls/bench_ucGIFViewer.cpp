// One timer step of the GIF viewer (compose the next frame, then paint the
// control) against QMovie stepping the same file (jumpToNextFrame and
// currentImage, then painting that image the same way).

#include "BenchGifSample.h"
#include "controls/ucGIFViewer.h"

#include <QApplication>
#include <QImage>
#include <QMovie>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr int kSize = 500;
constexpr int kFrames = 20;

const QString& SamplePath() {
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString p = dir.filePath(QStringLiteral("sample.gif"));
        return benchgif::WriteSample(p, kSize, kFrames, 2) ? p : QString();
    }();
    return path;
}

// The viewer at the GIF's size (1:1) or shrunk into a smaller control.
void BM_ViewerStep(benchmark::State& state) {
    const int control = int(state.range(0));
    const bool paint = state.range(1) != 0;
    ucGIFViewer viewer;
    viewer.resize(control, control);
    if (!viewer.LoadFromFile(SamplePath())) {
        state.SkipWithError("sample GIF not loaded");
        return;
    }
    QImage target(control, control, QImage::Format_RGB32);
    for (auto _ : state) {
        viewer.NextFrame();
        if (paint) {
            viewer.render(&target);
        }
        benchmark::DoNotOptimize(target.constBits());
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_QMovieStep(benchmark::State& state) {
    const int control = int(state.range(0));
    const bool paint = state.range(1) != 0;
    QMovie movie(SamplePath());
    movie.setCacheMode(QMovie::CacheNone);
    if (!movie.isValid() || !movie.jumpToFrame(0)) {
        state.SkipWithError("QMovie cannot read the sample");
        return;
    }
    QImage target(control, control, QImage::Format_RGB32);
    for (auto _ : state) {
        if (!movie.jumpToNextFrame()) {
            movie.jumpToFrame(0);
        }
        const QImage frame = movie.currentImage();
        if (paint) {
            QPainter painter(&target);
            painter.drawImage(QRect(0, 0, control, control), frame);
        }
        benchmark::DoNotOptimize(frame.constBits());
    }
    state.SetItemsProcessed(state.iterations());
}

// {control size, paint}: compose only, and compose + paint at 1:1 and shrunk.
void Args(benchmark::internal::Benchmark* b) {
    b->Args({kSize, 0})->Args({kSize, 1})->Args({300, 1})->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_ViewerStep)->Apply(Args);
BENCHMARK(BM_QMovieStep)->Apply(Args);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
