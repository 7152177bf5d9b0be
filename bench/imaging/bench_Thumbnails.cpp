// Thumbnails as the large-icon view gets them, against their floors.
//
// Cold: a folder of 200 large JPEGs (2560x1600 and 5120x2880, baseline and
// progressive), empty cache, through the Thumbnailer and the warm decoder
// pool until the last thumbnail; the floor is libjpeg-turbo's scaled decode
// (smallest scale covering 128 px) of the same files on one thread per core.
// The longest gap between turns of the event loop during the cold run is
// reported as stall_ms, beside the same measure of an idle loop (the
// machine's own share).
// Window: the same cold folder in the real main window's large-icon view
// (its own decoder pool, list and painting), from the folder change to the
// last thumbnail, with the longest stall of the window's event loop.
// Warm: a 1,000-file folder whose thumbnails are all cached; the time from
// start() to the last of the first screen's 40 thumbnails.

#include "PhotoLike.h"
#include "app/fMain.h"
#include "imaging/DecoderPool.h"
#include "imaging/Thumbnailer.h"
#include "platform/MessageBox.h"
#include "platform/ProgramFolder.h"
#include "settings/mSetup.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <memory>
#include <thread>
#include <turbojpeg.h>
#include <vector>

namespace {

constexpr int kColdFiles = 200;
constexpr int kWarmFiles = 1000;
constexpr int kFirstScreen = 40;
constexpr int kBox = 128;

QTemporaryDir& Scratch() {
    static QTemporaryDir dir;
    return dir;
}

QImage PhotoLike(int width, int height) {
    return bench::PhotoLike(width, height, 7, 20);
}

using bench::Jpeg;

/// The 200 JPEGs, made once: the four kinds in turn.
const QStringList& ColdFolder() {
    static const QStringList names = [] {
        const QImage small = PhotoLike(2560, 1600);
        const QImage large = PhotoLike(5120, 2880);
        const QByteArray kinds[4] = {Jpeg(small, false), Jpeg(small, true), Jpeg(large, false),
                                     Jpeg(large, true)};
        QDir().mkpath(Scratch().filePath("cold"));
        QStringList list;
        for (int i = 0; i < kColdFiles; ++i) {
            const QString name = QStringLiteral("photo%1.jpg").arg(i, 3, 10, QLatin1Char('0'));
            QFile file(Scratch().filePath("cold/" + name));
            file.open(QIODevice::WriteOnly);
            file.write(kinds[i % 4]);
            list << name;
        }
        return list;
    }();
    return names;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

/// libjpeg-turbo's own scaled decode: the smallest scale that still covers the box.
bool ScaledDecode(tjhandle tj, const QByteArray& bytes) {
    int width = 0, height = 0, subsamp = 0, colorspace = 0;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    if (tjDecompressHeader3(tj, data, bytes.size(), &width, &height, &subsamp, &colorspace) != 0)
        return false;
    int count = 0;
    const tjscalingfactor* factors = tjGetScalingFactors(&count);
    int bestW = width, bestH = height;
    for (int i = 0; i < count; ++i) {
        const int w = TJSCALED(width, factors[i]);
        const int h = TJSCALED(height, factors[i]);
        if ((w >= kBox || h >= kBox) && w * h < bestW * bestH) {
            bestW = w;
            bestH = h;
        }
    }
    std::vector<unsigned char> pixels(size_t(bestW) * size_t(bestH) * 4);
    return tjDecompress2(tj, data, bytes.size(), pixels.data(), bestW, 0, bestH, TJPF_BGRX, 0) == 0;
}

void BM_ColdFloor_TurboJpegScaled(benchmark::State& state) {
    const QStringList& names = ColdFolder();
    const int threads = std::max(1, QThread::idealThreadCount());
    for (auto _ : state) {
        std::atomic<int> next{0};
        std::vector<std::thread> workers;
        for (int t = 0; t < threads; ++t) {
            workers.emplace_back([&] {
                tjhandle tj = tjInitDecompress();
                for (int i = next++; i < names.size(); i = next++)
                    ScaledDecode(tj, ReadAll(Scratch().filePath("cold/" + names[i])));
                tjDestroy(tj);
            });
        }
        for (auto& worker : workers)
            worker.join();
    }
    state.counters["files_per_s"] =
        benchmark::Counter(kColdFiles, benchmark::Counter::kIsIterationInvariantRate);
}

imaging::DecoderPool* pool = nullptr; // made in main, within the application's life

imaging::DecoderPool& Pool() {
    return *pool;
}

/// The longest gap, in ms, between turns of the event loop, as a 1 ms timer sees them.
struct StallMeter {
    QElapsedTimer sinceTick;
    qint64 worst = 0;
    QTimer ticker;
    StallMeter() {
        ticker.setInterval(1);
        QObject::connect(&ticker, &QTimer::timeout,
                         [this] { worst = std::max(worst, sinceTick.restart()); });
    }
    void start() {
        sinceTick.start();
        ticker.start();
    }
};

void BM_Cold_Thumbnailer(benchmark::State& state) {
    const QStringList& names = ColdFolder();
    double worstStall = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir cacheRoot; // an empty cache every time
        imaging::Thumbnailer thumbs(&Pool(), imaging::ThumbnailCache(cacheRoot.path()));
        QEventLoop loop;
        QObject::connect(&thumbs, &imaging::Thumbnailer::finished, &loop, &QEventLoop::quit);
        StallMeter stall;
        state.ResumeTiming();
        stall.start();
        thumbs.start(Scratch().filePath("cold"), names);
        loop.exec();
        state.PauseTiming();
        worstStall = std::max(worstStall, double(stall.worst));
        if (thumbs.done() != kColdFiles)
            state.SkipWithError("not every thumbnail was made");
        state.ResumeTiming();
    }
    state.counters["files_per_s"] =
        benchmark::Counter(kColdFiles, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["stall_ms"] = worstStall;
}

void BM_Window_Cold(benchmark::State& state) {
    const QStringList& names = ColdFolder();
    double worstStall = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir home; // an empty cache and default settings every time
        qputenv("XDG_CACHE_HOME", QFile::encodeName(home.filePath(QStringLiteral("cache"))));
        platform::SetProgramFolderOverride(home.path());
        platform::SetUserConfigFolderOverride(home.filePath(QStringLiteral("user")));
        settings::Setup = settings::DefaultSetup(); // starts in the large-icon view
        imaging::DecoderPool::Options options;
        options.workerPath = QStringLiteral(VISTREL_DECODER_PATH);
        auto window =
            std::make_unique<fMain>(nullptr, std::make_unique<imaging::DecoderPool>(options));
        window->SetQuitAction([] {});
        window->show();
        QEventLoop loop;
        QObject::connect(window->thumbnailer(), &imaging::Thumbnailer::progress, &loop,
                         [&](int done, int total) {
                             if (total == names.size() && done == total)
                                 loop.quit();
                         });
        StallMeter stall;
        state.ResumeTiming();
        stall.start();
        window->ChooseFolder(Scratch().filePath("cold"));
        loop.exec();
        state.PauseTiming();
        worstStall = std::max(worstStall, double(stall.worst));
        if (window->thumbnailer()->done() != kColdFiles)
            state.SkipWithError("not every thumbnail was made");
        {
            platform::ScopedMessageBoxResponder yes(platform::MsgResult::Yes);
            window.reset();
        }
        state.ResumeTiming();
    }
    state.counters["files_per_s"] =
        benchmark::Counter(kColdFiles, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["stall_ms"] = worstStall;
}

/// The same 1 ms ticker with nothing else to do, for as long as a cold run
/// takes at most: how long this loaded machine alone keeps the loop waiting.
void BM_IdleLoop_Stall(benchmark::State& state) {
    double worstStall = 0;
    for (auto _ : state) {
        QEventLoop loop;
        StallMeter stall;
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        stall.start();
        loop.exec();
        worstStall = std::max(worstStall, double(stall.worst));
    }
    state.counters["stall_ms"] = worstStall;
}

/// 1,000 files, each with a valid thumbnail in its own cache.
const QStringList& WarmFolder(const imaging::ThumbnailCache& cache) {
    static const QStringList names = [&] {
        QDir().mkpath(Scratch().filePath("warm"));
        QImage thumb = PhotoLike(128, 80);
        QStringList list;
        for (int i = 0; i < kWarmFiles; ++i) {
            const QString name = QStringLiteral("w%1.jpg").arg(i, 4, 10, QLatin1Char('0'));
            const QString path = Scratch().filePath("warm/" + name);
            QFile file(path);
            file.open(QIODevice::WriteOnly);
            file.write("not decoded: the cache has it");
            file.close();
            cache.Store(imaging::ThumbnailCache::Describe(path), imaging::ThumbnailSize::Normal,
                        thumb, QSize(2560, 1600));
            list << name;
        }
        return list;
    }();
    return names;
}

void BM_Warm_FirstScreen(benchmark::State& state) {
    const imaging::ThumbnailCache cache(Scratch().filePath("warmcache"));
    const QStringList& names = WarmFolder(cache);
    const QStringList firstScreen = names.mid(0, kFirstScreen);
    for (auto _ : state) {
        imaging::Thumbnailer thumbs(nullptr, cache); // a decode would be a failure here
        QEventLoop loop;
        int shown = 0;
        QObject::connect(&thumbs, &imaging::Thumbnailer::thumbnailReady, [&](const QString& name) {
            if (firstScreen.contains(name) && ++shown == kFirstScreen)
                loop.quit();
        });
        QElapsedTimer clock;
        clock.start();
        thumbs.start(Scratch().filePath("warm"), names);
        thumbs.prioritize(firstScreen);
        loop.exec();
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        state.PauseTiming();
        thumbs.cancel();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_ColdFloor_TurboJpegScaled)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK(BM_Cold_Thumbnailer)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_Window_Cold)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_IdleLoop_Stall)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_Warm_FirstScreen)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    imaging::DecoderPool::Options options;
    options.workerPath = QStringLiteral(VISTREL_DECODER_PATH);
    auto decoders = std::make_unique<imaging::DecoderPool>(options);
    pool = decoders.get();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
