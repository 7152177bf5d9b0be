// The old one-thread preview pipeline (full-size FreeImage decode, Lanczos
// shrink, ScalePreview into a 600 x 450 pane)
// against the FreeImage floor (FreeImage_Load + FreeImage_Rescale alone) and,
// for JPEG, against libjpeg-turbo's 1/8 scaled decode.

#include "imaging/FreeImageLoader.h"
#include "imaging/mScaleImage.h"

#include <FreeImage.h>
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <turbojpeg.h>
#include <vector>

namespace {

constexpr int kWidth = 6000, kHeight = 4000; // 24 megapixels
constexpr int kPaneW = 600, kPaneH = 450;

QTemporaryDir& dir() {
    static QTemporaryDir d;
    return d;
}

/// A photo-like picture: smooth gradients with some noise, so that the
/// encoders work as hard as on real photos.
QImage makePicture() {
    QImage img(kWidth, kHeight, QImage::Format_RGB32);
    QRandomGenerator rng(42);
    for (int y = 0; y < kHeight; ++y) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < kWidth; ++x) {
            const int n = int(rng.bounded(24));
            row[x] = qRgb((x * 255 / kWidth + n) & 0xFF, (y * 255 / kHeight + n) & 0xFF,
                          ((x + y) * 255 / (kWidth + kHeight) + n) & 0xFF);
        }
    }
    return img;
}

QString file(const char* format) {
    const QString path = dir().filePath(QStringLiteral("big.") + QLatin1String(format));
    if (!QFile::exists(path)) {
        static const QImage picture = makePicture();
        picture.save(path, format, format[0] == 'j' ? 90 : -1);
    }
    return path;
}

void pipeline(benchmark::State& state, const char* format) {
    const QString path = file(format);
    using imaging::FreeImageLoader;
    QImage pane(kPaneW, kPaneH, QImage::Format_RGB32);
    for (auto _ : state) {
        const QImage full = FreeImageLoader::Load(path, 0xFFFFFFFF);
        if (full.isNull())
            state.SkipWithError("load failed");
        const imaging::PreviewPlacement p =
            imaging::FitPreview(full.width(), full.height(), kPaneW, kPaneH, 0, true);
        const QImage shrunk =
            imaging::RescaleBitmap(full, p.width, p.height, FreeImageLoader::FilterLanczos3);
        imaging::ScalePreview(shrunk, pane, 0xFFFFFFFF, 0, true);
    }
}

void freeImageFloor(benchmark::State& state, const char* format) {
    const QByteArray path = QFile::encodeName(file(format));
    const FREE_IMAGE_FORMAT fif = format[0] == 'j' ? FIF_JPEG : FIF_PNG;
    for (auto _ : state) {
        FIBITMAP* dib = FreeImage_Load(fif, path.constData(), fif == FIF_JPEG ? JPEG_ACCURATE : 0);
        FIBITMAP* small =
            FreeImage_Rescale(dib, kPaneW, kPaneW * kHeight / kWidth, FILTER_LANCZOS3);
        if (!dib || !small)
            state.SkipWithError("FreeImage failed");
        FreeImage_Unload(small);
        FreeImage_Unload(dib);
    }
}

void BM_Pipeline_Jpeg(benchmark::State& s) {
    pipeline(s, "jpg");
}
void BM_Pipeline_Png(benchmark::State& s) {
    pipeline(s, "png");
}
void BM_FreeImageFloor_Jpeg(benchmark::State& s) {
    freeImageFloor(s, "jpg");
}
void BM_FreeImageFloor_Png(benchmark::State& s) {
    freeImageFloor(s, "png");
}

void BM_TurboJpegEighth(benchmark::State& state) {
    const QString path = file("jpg");
    tjhandle tj = tjInitDecompress();
    for (auto _ : state) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            state.SkipWithError("cannot read");
        const QByteArray bytes = f.readAll();
        const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
        int w = 0, h = 0, sub = 0, cs = 0;
        tjDecompressHeader3(tj, data, static_cast<unsigned long>(bytes.size()), &w, &h, &sub, &cs);
        const int sw = TJSCALED(w, (tjscalingfactor{1, 8})),
                  sh = TJSCALED(h, (tjscalingfactor{1, 8}));
        std::vector<unsigned char> out(static_cast<size_t>(sw) * sh * 4);
        if (tjDecompress2(tj, data, static_cast<unsigned long>(bytes.size()), out.data(), sw, 0, sh,
                          TJPF_BGRX, 0) != 0)
            state.SkipWithError("turbojpeg failed");
        benchmark::DoNotOptimize(out.data());
    }
    tjDestroy(tj);
}

BENCHMARK(BM_Pipeline_Jpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FreeImageFloor_Jpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TurboJpegEighth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pipeline_Png)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FreeImageFloor_Png)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
