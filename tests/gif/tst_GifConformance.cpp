// Conformance with giflib and with the expected outputs of the public corpus:
// every corpus GIF that giflib decodes must give the same frames here, survive a
// save and reload unchanged, and be decoded by giflib the same way once we saved
// it; wuffs' index dumps and gif-test-suite's composed frames must match.

#include "FramePixels.h"
#include "GiflibPeer.h"
#include "gif/cGIF.h"
#include "gif/cGIFComposer.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QTest>

namespace {

const QString kCorpus = QStringLiteral(VISTREL_CORPUS_DIR "/gif");

void requireCorpus() {
    if (!QDir(kCorpus).exists()) {
        QSKIP(qPrintable("GIF corpus not found at " + kCorpus +
                         " (set VISTREL_CORPUS_DIR); corpus tests skipped"));
    }
}

std::vector<uint8_t> readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray a = f.readAll();
    return std::vector<uint8_t>(a.begin(), a.end());
}

QByteArray bytesOf(const std::vector<uint8_t>& v) {
    return QByteArray(reinterpret_cast<const char*>(v.data()), qsizetype(v.size()));
}

// Our model against giflib's reading of the same file.
void compareWithGiflib(const cGIF& ours, const giflibpeer::File& ref) {
    QCOMPARE(int(ours.FramesCount()), int(ref.frames.size()));
    QCOMPARE(int(uint16_t(ours.ScreenWidth())), ref.screenWidth);
    QCOMPARE(int(uint16_t(ours.ScreenHeight())), ref.screenHeight);
    for (int16_t n = 1; n <= ours.FramesCount(); ++n) {
        const giflibpeer::Frame& f = ref.frames[size_t(n) - 1];
        const QByteArray where = "frame " + QByteArray::number(n);
        QVERIFY2(int(uint16_t(ours.FrameLeft(n))) == f.left, where);
        QVERIFY2(int(uint16_t(ours.FrameTop(n))) == f.top, where);
        QVERIFY2(ours.FrameInterlaced(n) == f.interlaced, where);
        QVERIFY2(int(uint16_t(ours.FrameDelay(n))) == f.delay, where);
        QVERIFY2(ours.FrameDisposalMethod(n) == f.disposal, where);
        QVERIFY2(ours.FrameUserInput(n) == f.userInput, where);
        QVERIFY2(ours.FrameUseTransparentColor(n) == (f.transparent >= 0), where);
        if (f.transparent >= 0) {
            QVERIFY2(int(ours.FrameTransparentColorIndex(n)) == f.transparent, where);
        }
        const auto image = ours.FrameDIBXOR(n);
        QVERIFY2((image ? image->Width() : 0) == (f.indices.empty() ? 0 : f.width), where);
        QVERIFY2((image ? image->Height() : 0) == (f.indices.empty() ? 0 : f.height), where);
        QVERIFY2(giftest::FrameIndices(ours, n) == bytesOf(f.indices), where + " indices");
    }
}

} // namespace

class tst_GifConformance : public QObject {
    Q_OBJECT

private slots:
    void corpus_data();
    void corpus();
    void wuffsIndexes_data();
    void wuffsIndexes();
    void composedFrames_data();
    void composedFrames();
};

void tst_GifConformance::corpus_data() {
    requireCorpus();
    QTest::addColumn<QString>("path");
    QDirIterator it(kCorpus, {"*.gif"}, QDir::Files, QDirIterator::Subdirectories);
    QStringList files;
    while (it.hasNext()) {
        files << it.next();
    }
    files.sort();
    for (const QString& path : files) {
        QTest::newRow(qPrintable(QDir(kCorpus).relativeFilePath(path))) << path;
    }
}

void tst_GifConformance::corpus() {
    QFETCH(QString, path);
    const std::vector<uint8_t> bytes = readFile(path);
    cGIF ours;
    const bool loaded = ours.LoadFromStream(bytes);
    const giflibpeer::File ref = giflibpeer::decode(bytes);
    if (!ref.ok) {
        return; // giflib rejects it: loading it here must merely be safe
    }
    QVERIFY(loaded);
    compareWithGiflib(ours, ref);

    // Save, then read the result with giflib and with ourselves.
    std::vector<uint8_t> saved;
    QVERIFY(ours.SaveToStream(saved));
    const giflibpeer::File refOfSaved = giflibpeer::decode(saved);
    QVERIFY2(refOfSaved.ok, "giflib cannot read what we saved");
    compareWithGiflib(ours, refOfSaved);
    cGIF again;
    QVERIFY(again.LoadFromStream(saved));
    QCOMPARE(again.AnimationLoops(), ours.AnimationLoops());
    QCOMPARE(again.GlobalPaletteExists(), ours.GlobalPaletteExists());
    compareWithGiflib(again, ref);
}

void tst_GifConformance::wuffsIndexes_data() {
    requireCorpus();
    QTest::addColumn<QString>("gif");
    QTest::addColumn<int>("frame");
    QTest::addColumn<QString>("indexes");

    const QString dir = kCorpus + "/wuffs/test/data/";
    for (const char* name : {"bricks-dither", "bricks-gray", "bricks-nodither"}) {
        QTest::newRow(name) << dir + name + ".gif" << 1 << dir + name + ".indexes";
    }
    for (int k = 0; k < 15; ++k) {
        const QString file = QString("muybridge-frame-%1.indexes").arg(k, 3, 10, QChar('0'));
        QTest::newRow(qPrintable(file)) << dir + "muybridge.gif" << k + 1 << dir + file;
    }
}

void tst_GifConformance::wuffsIndexes() {
    QFETCH(QString, gif);
    QFETCH(int, frame);
    QFETCH(QString, indexes);
    cGIF ours;
    QVERIFY(ours.LoadFromStream(readFile(gif)));
    const std::vector<uint8_t> expected = readFile(indexes);
    QVERIFY(!expected.empty());
    QCOMPARE(giftest::FrameIndices(ours, int16_t(frame)), bytesOf(expected));
}

void tst_GifConformance::composedFrames_data() {
    requireCorpus();
    QTest::addColumn<QString>("gif");
    QTest::addColumn<QString>("framesDir");
    const QString dir = kCorpus + "/gif-test-suite/gifs";
    for (const QString& name : QDir(dir).entryList({"*.gif"}, QDir::Files, QDir::Name)) {
        QTest::newRow(qPrintable(name)) << dir + "/" + name << dir + "/frames";
    }
}

// The reference frames were composed by a program that clears to transparent where
// a frame is restored to the background and never paints the untouched screen; our
// background colour stands there instead, so only the reference's opaque pixels
// are compared (exactly, RGB).
void tst_GifConformance::composedFrames() {
    QFETCH(QString, gif);
    QFETCH(QString, framesDir);
    cGIF ours;
    QVERIFY(ours.LoadFromStream(readFile(gif)));
    cGIFComposer composer;
    QVERIFY(composer.Setup(ours, gdi::MakeRGB(255, 0, 255)));
    const QString base = QFileInfo(gif).completeBaseName();
    int compared = 0;
    for (int16_t n = 1; n <= ours.FramesCount(); ++n) {
        QVERIFY(composer.DrawFrame(ours, n));
        QString file = framesDir + QString("/%1-%2.png").arg(base).arg(n - 1);
        if (!QFile::exists(file) && ours.FramesCount() == 1) {
            file = framesDir + "/" + base + ".png"; // still images have one unnumbered frame
        }
        const QImage ref = QImage(file).convertToFormat(QImage::Format_ARGB32);
        if (ref.isNull()) {
            continue;
        }
        const cDIB& fb = composer.FrameBuffer();
        QCOMPARE(ref.width(), fb.Width());
        QCOMPARE(ref.height(), fb.Height());
        for (int y = 0; y < ref.height(); ++y) {
            for (int x = 0; x < ref.width(); ++x) {
                const QRgb want = ref.pixel(x, y);
                if (qAlpha(want) != 255) {
                    continue;
                }
                const uint8_t* p = fb.lpBits() + y * fb.BytesPerScanline() + x * 4;
                const QRgb got = qRgb(p[2], p[1], p[0]);
                if (got != (want | 0xFF000000u)) {
                    QFAIL(qPrintable(QString("frame %1 pixel (%2, %3): %4 instead of %5")
                                         .arg(n)
                                         .arg(x)
                                         .arg(y)
                                         .arg(got, 8, 16)
                                         .arg(want, 8, 16)));
                }
                ++compared;
            }
        }
    }
    QVERIFY(compared > 0);
}

QTEST_GUILESS_MAIN(tst_GifConformance)
#include "tst_GifConformance.moc"
