// How soon a big animation shows: the viewer's LoadFromFile of a 200-frame
// 500 x 500 GIF until frame 1 is painted (later frames go on decoding in the
// background), against loading all its frames with cGIF, and against the same
// work for a file that holds only that first frame (its headers and one frame).

#include "BenchGifSample.h"
#include "controls/ucGIFViewer.h"
#include "gif/cGIF.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kSize = 500;

const QString& Sample(int frames) {
    static QTemporaryDir dir;
    static const QString many = [] {
        const QString p = dir.filePath(QStringLiteral("many.gif"));
        return benchgif::WriteSample(p, kSize, 200, 2) ? p : QString();
    }();
    static const QString one = [] {
        const QString p = dir.filePath(QStringLiteral("one.gif"));
        return benchgif::WriteSample(p, kSize, 1, 2) ? p : QString();
    }();
    return frames == 1 ? one : many;
}

// LoadFromFile and one paint of the control. Untimed between runs: the viewer's
// posted events, as the event loop delivers them after the paint (the background
// decoding starts there), and ending that decoding.
void BM_ViewerFirstFrameOnScreen(benchmark::State& state) {
    const QString& path = Sample(int(state.range(0)));
    ucGIFViewer viewer;
    viewer.resize(kSize, kSize);
    QImage target(kSize, kSize, QImage::Format_RGB32);
    for (auto _ : state) {
        if (!viewer.LoadFromFile(path)) {
            state.SkipWithError("sample GIF not loaded");
            return;
        }
        viewer.render(&target);
        benchmark::DoNotOptimize(target.constBits());
        state.PauseTiming();
        QCoreApplication::sendPostedEvents(&viewer);
        viewer.Destroy();
        state.ResumeTiming();
    }
}

void BM_cGIFLoadAllFrames(benchmark::State& state) {
    const std::string path = QFile::encodeName(Sample(int(state.range(0)))).toStdString();
    for (auto _ : state) {
        cGIF gif;
        if (!gif.LoadFromFile(path)) {
            state.SkipWithError("sample GIF not loaded");
            return;
        }
        benchmark::DoNotOptimize(gif.FramesCount());
    }
}

BENCHMARK(BM_ViewerFirstFrameOnScreen)->Arg(200)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_cGIFLoadAllFrames)->Arg(200)->Arg(1)->Unit(benchmark::kMillisecond);

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
