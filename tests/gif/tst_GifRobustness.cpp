// Hostile input: the malformed files of the corpus and generated ones must load,
// compose, save and reload without crash, hang or leak (the sanitizer build runs
// this too), and the saved model must come back with the same frames.

#include "GifBuilder.h"
#include "gif/cGIF.h"
#include "gif/cGIFComposer.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>

using giftest::GifBuilder;
using giftest::toVector;

namespace {

const QString kCorpus = QStringLiteral(VISTREL_CORPUS_DIR "/gif");

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
    if (int64_t(w) * h <= (int64_t{1} << 22) && composer.Setup(gif, 0x00123456)) {
        for (int16_t n = 1; n <= gif.FramesCount(); ++n) {
            QVERIFY(composer.DrawFrame(gif, n));
        }
    }
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
