// ucGIFViewer as a real widget: files that fail to load, every corpus file
// played through, frames decoded in the background against the whole file
// composed at once, and a huge screen around a tiny frame. Playback on screen
// is in the walkthrough; frame timing is tabled in tst_cGIFRender.

#include "GifMaker.h"
#include "controls/ucGIFViewer.h"
#include "gif/cGIFComposer.h"
#include "platform/PictureConvert.h"

#include <QDirIterator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace giftest;

namespace {

constexpr platform::ColorRef kBackRef = platform::RGBRef(0x20, 0x40, 0x60);
constexpr QRgb kBack = 0xFF204060;

struct Fixture {
    QTemporaryDir dir;
    std::unique_ptr<ucGIFViewer> viewer = std::make_unique<ucGIFViewer>();
    explicit Fixture(QSize size = QSize(40, 40)) {
        viewer->setBackColor(kBackRef);
        viewer->resize(size);
        viewer->show();
    }
    QString make(int w, int h, const std::vector<FrameSpec>& frames) {
        const QString path = dir.filePath(QStringLiteral("t%1.gif").arg(++files));
        return MakeGif(path, w, h, frames) ? path : QString();
    }
    QRgb pixel(int x, int y) const { return viewer->grab().toImage().pixel(x, y); }
    int files = 0;
};

// Two full-screen frames, red then green.
std::vector<FrameSpec> TwoFrames(std::int16_t delay = 2) {
    return {{0, 0, 40, 40, Red, delay, 1}, {0, 0, 40, 40, Green, delay, 1}};
}

} // namespace

class tst_ucGIFViewer : public QObject {
    Q_OBJECT
private slots:
    void failedLoads_data();
    void failedLoads();
    void corpusPlaysWithoutFault_data();
    void corpusPlaysWithoutFault();
    void backgroundDecodeMatchesWholeLoad_data();
    void backgroundDecodeMatchesWholeLoad();
    void hugeScreenTinyFrame_data();
    void hugeScreenTinyFrame();
};

void tst_ucGIFViewer::failedLoads_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("not a GIF") << QByteArray("PNG garbage");
    QTest::newRow("screen, no frames") << QByteArray("GIF89a\x01\x00\x01\x00\x00\x00\x00;", 14);
}

void tst_ucGIFViewer::failedLoads() {
    QFETCH(QByteArray, content);
    Fixture f;
    f.viewer->setAutoPlay(true);
    QVERIFY(f.viewer->LoadFromFile(f.make(40, 40, TwoFrames())));
    f.viewer->Pause();
    const QRgb shown = f.pixel(20, 20);
    const QString bad = f.dir.filePath(QStringLiteral("bad.gif"));
    if (!content.isNull()) {
        QFile file(bad);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QVERIFY(!f.viewer->LoadFromFile(bad));
    QVERIFY(!f.viewer->GIFLoaded());
    QCOMPARE(f.viewer->GIFFrames(), 0);
    QVERIFY(!f.viewer->GIFIsPlaying());
    f.viewer->NextFrame(); // nothing to step through
    f.viewer->Play();
    QVERIFY(!f.viewer->GIFIsPlaying());
    // The last picture stays on screen.
    QCOMPARE(f.pixel(20, 20), shown);
}

void tst_ucGIFViewer::corpusPlaysWithoutFault_data() {
    QTest::addColumn<QString>("path");
    QDirIterator it(QStringLiteral(VISTREL_CORPUS_DIR "/gif"), {QStringLiteral("*.gif")},
                    QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QTest::newRow(qPrintable(path.mid(int(qstrlen(VISTREL_CORPUS_DIR))))) << path;
    }
    if (!QDir(QStringLiteral(VISTREL_CORPUS_DIR)).exists()) {
        QTest::newRow("corpus absent") << QString();
    }
}

// Real, damaged and hostile files: every frame is composed and painted, and
// the frame counter wraps, without a fault (the sanitizer build checks memory).
void tst_ucGIFViewer::corpusPlaysWithoutFault() {
    QFETCH(QString, path);
    if (path.isEmpty()) {
        QSKIP("The GIF corpus (" VISTREL_CORPUS_DIR ") is absent");
    }
    ucGIFViewer viewer;
    viewer.resize(120, 90);
    viewer.show();
    if (!viewer.LoadFromFile(path)) {
        QVERIFY(!viewer.GIFLoaded());
        return;
    }
    const int frames = std::min<int>(viewer.GIFFrames(), 24);
    for (int n = 0; n < frames; ++n) {
        viewer.NextFrame();
        viewer.grab();
    }
    QVERIFY(viewer.GIFCurrentFrame() >= 1 && viewer.GIFCurrentFrame() <= viewer.GIFFrames());
    QVERIFY(viewer.Interval() >= 50);
}

void tst_ucGIFViewer::backgroundDecodeMatchesWholeLoad_data() {
    QTest::addColumn<bool>("big");
    QTest::newRow("small file: counted before frame 1 shows") << false;
    QTest::newRow("big file, frame 1 covers the screen: counted later") << true;
}

// Frames decoded on the worker and appended while the first is shown compose to
// what the whole file, loaded at once, composes to (cropped to the frames' area,
// the rest of the screen painted as background). A big file is read past frame 1
// and counted on the worker: the count arrives once, whole, through the signal.
void tst_ucGIFViewer::backgroundDecodeMatchesWholeLoad() {
    QFETCH(bool, big);
    Fixture f(QSize(64, 48));
    std::vector<FrameSpec> specs;
    for (int i = 0; i < 40; ++i) {
        specs.push_back({4 + (i * 7) % 36, 3 + (i * 5) % 26, 10 + i % 20, 8 + i % 16,
                         std::uint8_t(1 + i % 5), 2, i % 4, i % 2 == 0});
    }
    if (big) {
        specs[0] = {0, 0, 64, 48, Yellow, 2, 1};
    }
    QString path = f.make(64, 48, specs);
    if (big) {
        // A comment after frame 1 (the one-frame file's bytes, but its trailer, are
        // the start of the whole one) puts the later frames past the first read.
        QFile one(f.make(64, 48, {specs[0]}));
        QFile all(path);
        QVERIFY(one.open(QIODevice::ReadOnly) && all.open(QIODevice::ReadWrite));
        const QByteArray head = one.readAll().chopped(1);
        QByteArray bytes = all.readAll();
        QVERIFY(bytes.startsWith(head));
        QByteArray comment("\x21\xFE");
        for (int i = 0; i < 1000; ++i) {
            comment += QByteArray(1, char(255)) + QByteArray(255, char(i));
        }
        bytes.insert(head.size(), comment + '\0');
        QVERIFY(all.seek(0) && all.write(bytes) == bytes.size());
    }
    QSignalSpy counted(f.viewer.get(), &ucGIFViewer::GIFFramesChanged);
    QVERIFY(f.viewer->LoadFromFile(path));
    QCOMPARE(f.viewer->GIFFrames(), big ? 1 : 40);
    QTRY_COMPARE(f.viewer->GIFFrames(), 40);
    QCOMPARE(counted.count(), big ? 1 : 0);

    cGIF whole;
    QVERIFY(whole.LoadFromFile(QFile::encodeName(path).toStdString()));
    cGIFComposer reference;
    QVERIFY(reference.Setup(whole, kBackRef));
    const auto a = cGIFComposer::CoveredArea(whole);
    const QRect area(a.x, a.y, a.width, a.height);
    for (std::int16_t n = 1; n <= 40; ++n) {
        if (n > 1) {
            f.viewer->NextFrame();
        }
        QVERIFY(reference.DrawFrame(whole, n));
        const QImage want = platform::ImageFromPicture(reference.FrameBuffer().Image());
        QCOMPARE(f.viewer->GIFCurrentFrameImage(), want.copy(area));
    }
    QCOMPARE(f.viewer->GIFFramesDecoded(), 40);
    if (!big) {
        QVERIFY(area.left() >= 4 && area.top() >= 3);
        QCOMPARE(f.pixel(1, 1), kBack);
    }
}

QTEST_MAIN(tst_ucGIFViewer)
void tst_ucGIFViewer::hugeScreenTinyFrame_data() {
    QTest::addColumn<int>("side");
    QTest::newRow("65535 (surfaces of that size cannot be made)") << 65535;
    QTest::newRow("16000 (surfaces of that size could be made: 3 GB)") << 16000;
}

// The declared screen is reported as it is, but only the frames' area is composed.
void tst_ucGIFViewer::hugeScreenTinyFrame() {
    QFETCH(int, side);
    Fixture f;
    f.viewer->setAutoPlay(true);
    QSignalSpy rendered(f.viewer.get(), &ucGIFViewer::GIFFrameRendered);
    QVERIFY(f.viewer->LoadFromFile(
        f.make(side, side, {{5, 7, 1, 1, Red, 2, 1}, {5, 7, 1, 1, Green, 2, 1}})));
    QCOMPARE(int(quint16(f.viewer->GIFWidth())), side);
    QCOMPARE(int(quint16(f.viewer->GIFHeight())), side);
    QCOMPARE(f.viewer->GIFFrames(), 2);
    QTRY_VERIFY(rendered.count() >= 3); // it plays
    QVERIFY(f.viewer->SurfaceBytes() < (std::int64_t{16} << 20));
    const QImage shown = f.viewer->GIFCurrentFrameImage();
    QCOMPARE(shown.size(), QSize(1, 1));
    QVERIFY(shown.pixel(0, 0) == kIndexRgb[Red] || shown.pixel(0, 0) == kIndexRgb[Green]);
}

#include "tst_ucGIFViewer.moc"
