// Hostile input: the malformed files of the corpus and generated ones must load,
// compose, save and reload without crash, hang or leak (the sanitizer build runs
// this too), and the saved model must come back with the same frames.

#include "FramePixels.h"
#include "GifBuilder.h"
#include "gif/cGIF.h"
#include "gif/cGIFComposer.h"
#include "gif/cGIFLoader.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>

using giftest::GifBuilder;
using giftest::toVector;

namespace {

const QString kCorpus = QStringLiteral(VISTREL_CORPUS_DIR "/gif");

QByteArray surfaceBytes(const std::shared_ptr<cDIB>& dib) {
    return dib ? QByteArray(reinterpret_cast<const char*>(dib->lpBits()), dib->size())
               : QByteArray();
}

// The frame-by-frame loader (as the viewer uses it) against the whole load: the
// count and area known before decoding, then the same frames, field for field and
// pixel for pixel; each mask, built with the indices, against FrameMask's own.
void compareLoader(const std::vector<uint8_t>& bytes, const cGIF& whole) {
    cGIF model;
    model.setSurfaceBudget(whole.SurfaceBudget());
    cGIFLoader loader;
    QVERIFY(loader.Begin(bytes, model));
    QCOMPARE(loader.FramesExpected(), whole.FramesCount());
    QCOMPARE(model.ScreenWidth(), whole.ScreenWidth());
    QCOMPARE(model.AnimationLoops(), whole.AnimationLoops());
    GIFFrame frame;
    while (loader.Next(frame)) {
        model.FrameAppend(std::move(frame));
    }
    QCOMPARE(model.FramesCount(), whole.FramesCount());
    const auto area = cGIFComposer::CoveredArea(whole);
    const auto scanned = cGIFComposer::CoveredArea(model, loader.CoveredLeft(), loader.CoveredTop(),
                                                   loader.CoveredRight(), loader.CoveredBottom());
    QCOMPARE(QRect(scanned.x, scanned.y, scanned.width, scanned.height),
             QRect(area.x, area.y, area.width, area.height));
    for (int16_t n = 1; n <= whole.FramesCount(); ++n) {
        QCOMPARE(model.FrameLeft(n), whole.FrameLeft(n));
        QCOMPARE(model.FrameDisposalMethod(n), whole.FrameDisposalMethod(n));
        QCOMPARE(model.FrameTransparentColorIndex(n), whole.FrameTransparentColorIndex(n));
        QCOMPARE(giftest::FrameIndices(model, n), giftest::FrameIndices(whole, n));
        const QByteArray mask = surfaceBytes(model.FrameDIBAND(n));
        QCOMPARE(mask, surfaceBytes(whole.FrameDIBAND(n)));
        model.FrameMask(n, model.FrameTransparentColorIndex(n));
        QCOMPARE(surfaceBytes(model.FrameDIBAND(n)), mask);
    }
}

// Composition on surfaces that cover only the frames' area gives the same pixels
// there as on the whole canvas.
void compareArea(const cGIF& gif, cGIFComposer& whole) {
    const auto a = cGIFComposer::CoveredArea(gif);
    cGIFComposer part;
    QVERIFY(whole.Setup(gif, 0x00123456));
    QVERIFY(part.Setup(a, 0x00123456));
    const uint32_t background =
        *reinterpret_cast<const uint32_t*>(whole.Background().lpBits()) & 0xFFFFFFu;
    for (int16_t n = 1; n <= gif.FramesCount(); ++n) {
        QVERIFY(whole.DrawFrame(gif, n));
        QVERIFY(part.DrawFrame(gif, n));
        const cDIB& big = whole.FrameBuffer();
        const cDIB& small = part.FrameBuffer();
        int32_t wrong = 0;
        for (int32_t y = 0; y < big.Height(); ++y) {
            const auto* want = reinterpret_cast<const uint32_t*>(
                big.lpBits() + size_t(y) * size_t(big.BytesPerScanline()));
            const bool inRows = y >= a.y && y < a.y + a.height;
            const auto* got = reinterpret_cast<const uint32_t*>(
                small.lpBits() + size_t(inRows ? y - a.y : 0) * size_t(small.BytesPerScanline()));
            for (int32_t x = 0; x < big.Width(); ++x) {
                // Outside the area only the background may show.
                const bool inside = inRows && x >= a.x && x < a.x + a.width;
                wrong += ((want[x] ^ (inside ? got[x - a.x] : background)) & 0xFFFFFFu) != 0;
            }
        }
        QCOMPARE(wrong, 0);
    }
}

// Everything a viewer and an editor would do with a loaded file.
void exercise(const std::vector<uint8_t>& bytes) {
    cGIF gif;
    gif.setSurfaceBudget(int64_t{16} << 20);
    if (!gif.LoadFromStream(bytes)) {
        QCOMPARE(gif.FramesCount(), 0);
        return;
    }
    int32_t w = 0;
    int32_t h = 0;
    cGIFComposer::CanvasSize(gif, w, h);
    cGIFComposer composer;
    if (int64_t(w) * h <= (int64_t{1} << 20) && w > 0 && h > 0) {
        compareArea(gif, composer);
    }
    compareLoader(bytes, gif);
    cDIB small;
    QVERIFY(small.Create(40, 30, 32));
    for (int16_t n = 1; n <= gif.FramesCount() && n <= 4; ++n) {
        gif.FrameDraw(small.hDC(), n, -7, 3, 0.5f, true);
        gif.FrameDraw(small.hDC(), n, 2, -2, 3.0f, false);
    }
    std::vector<uint8_t> saved;
    QVERIFY(gif.SaveToStream(saved));
    cGIF again;
    again.setSurfaceBudget(int64_t{16} << 20);
    QVERIFY(again.LoadFromStream(saved));
    QCOMPARE(again.FramesCount(), gif.FramesCount());
}

std::vector<uint8_t> readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray a = f.readAll();
    return std::vector<uint8_t>(a.begin(), a.end());
}

} // namespace

class tst_GifRobustness : public QObject {
    Q_OBJECT

private slots:
    void malformedCorpus_data();
    void malformedCorpus();
    void generated_data();
    void generated();
    void randomDamage();
};

void tst_GifRobustness::malformedCorpus_data() {
    if (!QDir(kCorpus).exists()) {
        QSKIP(qPrintable("GIF corpus not found at " + kCorpus + "; malformed-file tests skipped"));
    }
    QTest::addColumn<QString>("path");
    for (const char* sub :
         {"/libnsgif/test/ns-afl-gif", "/libnsgif/test/data", "/wuffs/test/data/artificial-gif"}) {
        QDirIterator it(kCorpus + sub, QDir::Files);
        while (it.hasNext()) {
            const QString path = it.next();
            QTest::newRow(qPrintable(QDir(kCorpus).relativeFilePath(path))) << path;
        }
    }
}

void tst_GifRobustness::malformedCorpus() {
    QFETCH(QString, path);
    exercise(readFile(path));
}

void tst_GifRobustness::generated_data() {
    QTest::addColumn<QByteArray>("bytes");

    const auto start = [] { return GifBuilder().screen(8, 8, 0x81).table(4); };
    QTest::newRow("huge frame, tiny data")
        << start().descriptor(0, 0, 30000, 30000).raw({2, 1, 0x0C, 0}).trailer().qbytes();
    QTest::newRow("huge screen")
        << GifBuilder().screen(65535, 65535, 0x80).table(2).frame(0, 0, 1, 1, {0}).qbytes();
    QTest::newRow("frame far off the screen")
        << start().frame(0xFFFF, 0xFFFF, 2, 2, {1, 2, 3, 0}).trailer().qbytes();
    QTest::newRow("code size 11, noise") << start()
                                                .descriptor(0, 0, 8, 8)
                                                .raw({11, 8, 0xFF, 0x00, 0xAA, 0x55, 1, 2, 3, 4, 0})
                                                .qbytes();
    QTest::newRow("graphic control of size 0")
        << start().raw({0x21, 0xF9, 0x00}).frame(0, 0, 1, 1, {1}).trailer().qbytes();
    QTest::newRow("application identifier of 255 bytes")
        << start().raw({0x21, 0xFF, 0xFF}).qbytes() + QByteArray(255, 'N') + QByteArray(1, '\0');
    QTest::newRow("only clear codes") << start()
                                             .descriptor(0, 0, 4, 4)
                                             .data(2, std::vector<uint8_t>(600, 0x24))
                                             .trailer()
                                             .qbytes();
    std::vector<uint8_t> odd(19 * 5);
    for (size_t i = 0; i < odd.size(); ++i) {
        odd[i] = uint8_t((i * 7 + i / 19) % 4);
    }
    QTest::newRow("transparent, odd width, interlaced, partly off the screen")
        << start()
               .gce(0x01, 0, 2)
               .descriptor(3, 6, 19, 5, 0x40)
               .pixels(2, 19, 5, odd, true)
               .trailer()
               .qbytes();
    QTest::newRow("interlaced, too little data")
        << start().descriptor(0, 0, 3, 9, 0x40).raw({2, 1, 0x0C, 0}).trailer().qbytes();
}

void tst_GifRobustness::generated() {
    QFETCH(QByteArray, bytes);
    exercise(toVector(bytes));
}

void tst_GifRobustness::randomDamage() {
    // A valid animation with every kind of block, damaged at random places: single
    // bytes changed, runs cut out, the tail dropped.
    std::vector<uint8_t> px(24 * 16);
    for (size_t i = 0; i < px.size(); ++i) {
        px[i] = uint8_t((i * 5 + i / 24) % 16);
    }
    const std::vector<uint8_t> good = GifBuilder()
                                          .screen(24, 16, 0xF3)
                                          .table(16)
                                          .netscape(0)
                                          .raw({0x21, 0xFE, 2, 'h', 'i', 0})
                                          .gce(0x05, 10, 3)
                                          .frame(0, 0, 24, 16, px, 4)
                                          .gce(0x08, 10, 0)
                                          .descriptor(4, 4, 24, 16, 0xC3)
                                          .table(16)
                                          .pixels(4, 24, 16, px, true)
                                          .trailer()
                                          .bytes();
    QRandomGenerator rng(20240611);
    for (int round = 0; round < 600; ++round) {
        std::vector<uint8_t> bad = good;
        const int edits = 1 + int(rng.bounded(4));
        for (int e = 0; e < edits && bad.size() > 8; ++e) {
            const size_t at = 6 + rng.bounded(uint32_t(bad.size() - 6));
            switch (rng.bounded(3)) {
            case 0:
                bad[at] = uint8_t(rng.bounded(256));
                break;
            case 1:
                bad.erase(bad.begin() + qsizetype(at),
                          bad.begin() + qsizetype(std::min(bad.size(), at + 1 + rng.bounded(20))));
                break;
            default:
                bad.resize(at);
                break;
            }
        }
        exercise(bad);
        if (QTest::currentTestFailed()) {
            QFAIL(qPrintable(QString("round %1 failed").arg(round)));
        }
    }
}

QTEST_APPLESS_MAIN(tst_GifRobustness)
#include "tst_GifRobustness.moc"
