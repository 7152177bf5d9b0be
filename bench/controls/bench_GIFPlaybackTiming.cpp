// How closely the GIF viewer keeps a file's pace: plays a generated GIF through
// the real control and its timer in a shown widget and compares the moment each
// frame is composed with the moment it was due (the first frame's time plus the
// intervals of the frames before it).
//
// Usage: bench_GIFPlaybackTiming [frames] [delay in hundredths]   (200, 2)

#include "BenchGifSample.h"
#include "controls/ucGIFViewer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <vector>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const int frames = argc > 1 ? std::max(2, std::atoi(argv[1])) : 200;
    const int delay = argc > 2 ? std::atoi(argv[2]) : 2;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("timing.gif"));
    // Frames of the viewer's own benchmark size, so drawing takes real time, and
    // as many as are played, so that the first ones play while the others decode.
    if (!benchgif::WriteSample(path, 500, frames, delay)) {
        std::fprintf(stderr, "cannot write the sample GIF\n");
        return 1;
    }
    ucGIFViewer viewer;
    viewer.resize(400, 400);
    viewer.show();

    QElapsedTimer clock;
    std::vector<qint64> at;     // ns since start, per composed frame
    std::vector<int> intervals; // ms the viewer set after each frame
    at.reserve(std::size_t(frames));
    QEventLoop loop;
    QObject::connect(&viewer, &ucGIFViewer::GIFFrameRendered, [&](int) {
        at.push_back(clock.nsecsElapsed());
        intervals.push_back(viewer.Interval());
        if (int(at.size()) >= frames) {
            viewer.Pause();
            loop.quit();
        }
    });
    viewer.setAutoPlay(true);
    clock.start();
    if (!viewer.LoadFromFile(path)) {
        std::fprintf(stderr, "cannot load the sample GIF\n");
        return 1;
    }
    QTimer::singleShot(qint64(frames) * 70000 / 1000 + 5000, &loop, &QEventLoop::quit); // guard
    loop.exec();
    if (int(at.size()) < frames) {
        std::fprintf(stderr, "only %zu frames in time\n", at.size());
        return 1;
    }

    // Error of each frame against its due time, in ms.
    std::vector<double> errors;
    double due = double(at[0]) / 1e6;
    for (std::size_t k = 1; k < at.size(); ++k) {
        due += intervals[k - 1];
        errors.push_back(double(at[k]) / 1e6 - due);
    }
    std::vector<double> magnitudes(errors.size());
    std::transform(errors.begin(), errors.end(), magnitudes.begin(),
                   [](double e) { return std::abs(e); });
    std::sort(magnitudes.begin(), magnitudes.end());
    double sum = 0;
    for (double m : magnitudes) {
        sum += m;
    }
    const double mean = sum / double(magnitudes.size());
    const double p95 = magnitudes[std::size_t(0.95 * double(magnitudes.size() - 1))];
    const double expected = std::accumulate(intervals.begin(), intervals.end() - 1, 0.0);
    const double actual = double(at.back() - at.front()) / 1e6;
    std::printf("frames %d, interval %d ms (delay %d), run %.1f ms (due %.1f ms)\n", frames,
                intervals.front(), delay, actual, expected);
    std::printf("error |mean| %.3f ms, p95 %.3f ms, max %.3f ms, drift at end %+.3f ms\n", mean,
                p95, magnitudes.back(), errors.back());
    return 0;
}
