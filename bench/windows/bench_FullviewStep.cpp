// A step in the full view as the user lives it: from the key press (Right, or
// End for a far jump) to the next picture drawn on screen, through the real
// main window and the program's own decoder (the worker pool, started from
// this build's worker), on a folder of generated 24-megapixel JPEGs.
// - prefetched: the neighbour's preview is in the cache, so the full view
//   shows it enlarged at once (target: within 30 ms); sharp_ms is when the
//   full-size picture replaced it;
// - not prefetched: Home, then End across the folder; nothing stands in, so
//   the first picture on screen is the full-size one.
// Each file has its own width, so the view's original size tells which file
// it shows.

#include "PhotoLike.h"
#include "WaitFor.h"
#include "app/fMain.h"
#include "app/mDirTreeview.h"
#include "controls/ImageAceX.h"
#include "imaging/DecoderPool.h"
#include "imaging/PictureLoader.h"
#include "platform/ListView.h"
#include "platform/MessageBox.h"
#include "platform/PictureBox.h"
#include "platform/ProgramFolder.h"
#include "settings/mSetup.h"
#include "windows/fFullview.h"

#include <QApplication>
#include <QEventLoop>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <chrono>
#include <functional>
#include <memory>

namespace {

constexpr int kHeight = 4000;
constexpr int kFiles = 6;

int widthOf(int i) {
    return 6000 - 16 * i;
}

QTemporaryDir& dir() {
    static QTemporaryDir d;
    return d;
}

/// Photo-like JPEGs (gradients with noise), written once per run, in a folder
/// of their own so that the list holds nothing else.
QString folder() {
    static const QString path = [] {
        const QString photos = dir().filePath(QStringLiteral("photos"));
        QDir().mkpath(photos);
        const QImage img = bench::PhotoLike(widthOf(0), kHeight, 7, 24);
        for (int i = 0; i < kFiles; ++i) {
            QImageWriter writer(QDir(photos).filePath(QStringLiteral("photo%1.jpg").arg(i)),
                                "jpeg");
            writer.setQuality(90);
            writer.write(img.copy(0, 0, widthOf(i), kHeight));
        }
        return photos;
    }();
    return path;
}

void waitFor(const std::function<bool()>& done) {
    bench::WaitFor(done, 0);
}

/// The main window on the folder, with the full view open on the first file.
struct Viewer {
    std::unique_ptr<fMain> w;

    Viewer() {
        platform::SetProgramFolderOverride(dir().path());
        platform::SetUserConfigFolderOverride(dir().filePath(QStringLiteral("user")));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(dir().filePath(QStringLiteral("cache"))));
        settings::Setup = settings::DefaultSetup();
        settings::Setup.StartInThumbnailView = 0;
        imaging::DecoderPool::Options options;
        options.workerPath = QStringLiteral(VISTREL_DECODER_PATH);
        w = std::make_unique<fMain>(nullptr, std::make_unique<imaging::DecoderPool>(options));
        w->SetQuitAction([] {});
        w->show();
        w->ChooseFolder(folder());
        w->lvFiles()->selectRow(0);
        w->lvFiles_ItemClick();
        w->lvFiles_KeyPress(platform::KeyAsciiReturn); // Enter opens the full view
        waitFor([this] { return w->Fullview() && w->Fullview()->isVisible(); });
    }
    ~Viewer() {
        platform::ScopedMessageBoxResponder yes(platform::MsgResult::Yes);
        w.reset();
    }
    ImageAceX* view() const { return w->Fullview()->imView(); }
    bool shows(int i) const {
        return view()->OriginalSize() == QSize(widthOf(i), kHeight) && !view()->Picture().isNull();
    }
    bool sharp(int i) const {
        return shows(i) && view()->Picture().size() == view()->OriginalSize();
    }
    bool prefetched(int i) const {
        const QSize box =
            (QSizeF(w->picPreview()->size()) * w->picPreview()->devicePixelRatioF()).toSize();
        const QString path = QDir(folder()).filePath(QStringLiteral("photo%1.jpg").arg(i));
        return w->PicLoad().Cache().Contains(imaging::PictureKey::Of(path, box));
    }
    /// Goes to file `i` with `key` and waits until it is shown at full size,
    /// so that no decode from before is still running.
    bool settle(Qt::Key key, int i) {
        QTest::keyClick(view(), key);
        waitFor([&] { return sharp(i) && !w->PicLoad().FullSizePending(); });
        return sharp(i);
    }
    /// Presses `key` and returns the seconds until file `i` is drawn, and in
    /// `sharpSeconds` until its full-size picture is.
    double step(Qt::Key key, int i, double& sharpSeconds) {
        using Clock = std::chrono::steady_clock;
        const auto t0 = Clock::now();
        QTest::keyClick(view(), key);
        waitFor([&] { return shows(i); });
        view()->repaint(); // on screen, not just handed over
        const double shown = std::chrono::duration<double>(Clock::now() - t0).count();
        waitFor([&] { return sharp(i); });
        sharpSeconds = std::chrono::duration<double>(Clock::now() - t0).count();
        return shown;
    }
};

void BM_StepToPrefetched(benchmark::State& state) {
    Viewer v;
    double sharp = 0, worstSharp = 0;
    for (auto _ : state) {
        if (!v.settle(Qt::Key_Home, 0))
            state.SkipWithError("first file not shown");
        waitFor([&] { return v.prefetched(1); });
        if (!v.prefetched(1))
            state.SkipWithError("neighbour not prefetched");
        state.SetIterationTime(v.step(Qt::Key_Right, 1, sharp));
        worstSharp = std::max(worstSharp, sharp);
    }
    state.counters["sharp_ms"] = worstSharp * 1000;
}

void BM_JumpNotPrefetched(benchmark::State& state) {
    Viewer v;
    double sharp = 0, worstSharp = 0;
    for (auto _ : state) {
        if (!v.settle(Qt::Key_Home, 0))
            state.SkipWithError("first file not shown");
        // The far end was shown in the round before; forget it.
        v.w->PicLoad().Cache().Clear();
        state.SetIterationTime(v.step(Qt::Key_End, kFiles - 1, sharp));
        worstSharp = std::max(worstSharp, sharp);
    }
    state.counters["sharp_ms"] = worstSharp * 1000;
}

BENCHMARK(BM_StepToPrefetched)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JumpNotPrefetched)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    folder(); // written before anything is timed
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
