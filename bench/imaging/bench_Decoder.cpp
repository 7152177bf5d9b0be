// The preview path as the browser takes it - a request to the warm decoder
// pool until its Decoded signal, worker round trip included - against the
// floor: libjpeg-turbo's scaled decode (smallest scale covering the box) of
// the same bytes in this process. Generated 24-megapixel photo-like pictures
// into a 700 x 450 box: baseline JPEG, progressive JPEG, and a PNG (whose
// floor is FreeImage's full decode + Lanczos in this process, the old path).

#include "PhotoLike.h"
#include "imaging/DecoderPool.h"
#include "imaging/DecoderProtocol.h"
#include "imaging/FreeImageLoader.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <string>
#include <turbojpeg.h>
#include <vector>

namespace {

constexpr int kWidth = 6000, kHeight = 4000;
const QSize kBox(700, 450);

QTemporaryDir& dir() {
    static QTemporaryDir d;
    return d;
}

const QImage& picture() {
    static const QImage img = bench::PhotoLike(kWidth, kHeight, 42, 24);
    return img;
}

QByteArray jpegBytes(bool progressive) {
    return bench::Jpeg(picture(), progressive);
}

struct File {
    QString path;
    QByteArray bytes;
};

const File& file(const char* kind) {
    static std::map<std::string, File> files;
    File& f = files[kind];
    if (f.path.isEmpty()) {
        f.path = dir().filePath(QLatin1String(kind) + (kind[0] == 'p' && kind[1] == 'n'
                                                           ? QStringLiteral(".png")
                                                           : QStringLiteral(".jpg")));
        if (QLatin1String(kind) == QLatin1String("png"))
            picture().save(f.path, "png");
        else {
            QFile out(f.path);
            out.open(QIODevice::WriteOnly);
            out.write(jpegBytes(QLatin1String(kind) == QLatin1String("progressive")));
        }
        QFile in(f.path);
        in.open(QIODevice::ReadOnly);
        f.bytes = in.readAll();
    }
    return f;
}

imaging::DecoderPool& pool() {
    static auto* p = [] {
        imaging::DecoderPool::Options o;
        o.workerPath = QStringLiteral(VISTREL_DECODER_PATH);
        return new imaging::DecoderPool(o);
    }();
    return *p;
}

/// One request until its answer, the event loop running meanwhile.
bool roundTrip(const QString& path) {
    imaging::DecoderPool& p = pool();
    QEventLoop loop;
    bool ok = false;
    imaging::PictureDecoder::Ticket ticket = 0;
    const auto c = QObject::connect(&p, &imaging::PictureDecoder::Decoded, &loop,
                                    [&](auto t, const imaging::DecodedPicture& d) {
                                        if (t != ticket)
                                            return;
                                        ok = d.status == imaging::DecodeStatus::Ok &&
                                             d.image.size() == QSize(675, 450);
                                        loop.quit();
                                    });
    ticket = p.Request({path, kBox});
    loop.exec();
    QObject::disconnect(c);
    return ok;
}

/// CPU time all workers have used so far, in nanoseconds: on a loaded
/// machine wall time says more about the neighbours than about the decode.
double workersCpuNs() {
    double total = 0;
    for (const qint64 pid : pool().WorkerPids()) {
        QFile f(QStringLiteral("/proc/%1/schedstat").arg(pid));
        if (f.open(QIODevice::ReadOnly))
            total += f.readAll().split(' ').value(0).toDouble();
    }
    return total;
}

void poolPreview(benchmark::State& state, const char* kind) {
    const File& f = file(kind);
    if (!roundTrip(f.path)) // warms the workers and checks the answer
        state.SkipWithError("the pool did not decode");
    const double before = workersCpuNs();
    for (auto _ : state)
        if (!roundTrip(f.path))
            state.SkipWithError("the pool did not decode");
    state.counters["worker_cpu_ms"] =
        benchmark::Counter((workersCpuNs() - before) / 1e6, benchmark::Counter::kAvgIterations);
}

void turboFloor(benchmark::State& state, const char* kind) {
    const File& f = file(kind);
    tjhandle tj = tjInitDecompress();
    const auto* data = reinterpret_cast<const unsigned char*>(f.bytes.constData());
    const auto size = static_cast<unsigned long>(f.bytes.size());
    const QSize fitted = imaging::protocol::FittedSize(QSize(kWidth, kHeight), kBox);
    int count = 0;
    const tjscalingfactor* factors = tjGetScalingFactors(&count);
    QSize best(kWidth, kHeight);
    for (int i = 0; i < count; ++i) {
        const QSize s(TJSCALED(kWidth, factors[i]), TJSCALED(kHeight, factors[i]));
        if (s.width() >= fitted.width() && s.height() >= fitted.height() &&
            s.width() < best.width())
            best = s;
    }
    std::vector<unsigned char> out(size_t(best.width()) * best.height() * 4);
    for (auto _ : state) {
        int w = 0, h = 0, sub = 0, cs = 0;
        tjDecompressHeader3(tj, data, size, &w, &h, &sub, &cs);
        if (tjDecompress2(tj, data, size, out.data(), best.width(), 0, best.height(), TJPF_BGRX,
                          0) != 0)
            state.SkipWithError("turbojpeg failed");
        benchmark::DoNotOptimize(out.data());
    }
    tjDestroy(tj);
}

void inProcessPng(benchmark::State& state) {
    const File& f = file("png");
    for (auto _ : state) {
        const QImage full = imaging::FreeImageLoader::Load(f.path, 0xFFFFFFFF);
        const QImage small = imaging::FreeImageLoader::Rescale(
            full, 675, 450, imaging::FreeImageLoader::FilterLanczos3);
        if (small.isNull())
            state.SkipWithError("FreeImage failed");
    }
    imaging::FreeImageLoader::ReleaseScratch();
}

void BM_Pool_Baseline(benchmark::State& s) {
    poolPreview(s, "baseline");
}
void BM_TurboFloor_Baseline(benchmark::State& s) {
    turboFloor(s, "baseline");
}
void BM_Pool_Progressive(benchmark::State& s) {
    poolPreview(s, "progressive");
}
void BM_TurboFloor_Progressive(benchmark::State& s) {
    turboFloor(s, "progressive");
}
void BM_Pool_Png(benchmark::State& s) {
    poolPreview(s, "png");
}
void BM_InProcess_Png(benchmark::State& s) {
    inProcessPng(s);
}

BENCHMARK(BM_Pool_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TurboFloor_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Pool_Progressive)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TurboFloor_Progressive)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Pool_Png)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_InProcess_Png)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
