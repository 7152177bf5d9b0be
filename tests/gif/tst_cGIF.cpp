// The GIF model and reader on what real files seldom hold: bad headers, damaged
// and odd blocks, extension corner cases, limits and refusals of bad frame
// numbers. Ordinary files are compared with giflib in the conformance test.

#include "FramePixels.h"
#include "GifBuilder.h"
#include "gif/cGIF.h"

#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <limits>
#include <thread>

using giftest::GifBuilder;
using giftest::toVector;

namespace {

const std::vector<uint8_t> kPixels2x2{1, 0, 2, 3};
const QByteArray kRows2x2("\1\0\2\3", 4);

// Two 2 x 2 frames over a 4-entry global table, the second with a local table,
// looping 9 times.
std::vector<uint8_t> twoFrames() {
    return GifBuilder()
        .screen(4, 4, 0x81)
        .table(4)
        .netscape(9)
        .gce(0x09, 7, 3)
        .frame(0, 0, 2, 2, kPixels2x2)
        .gce(0x04, 12, 0)
        .descriptor(2, 2, 2, 2, 0x81)
        .table(4)
        .pixels(2, 2, 2, {3, 3, 0, 1})
        .trailer()
        .bytes();
}

} // namespace

class tst_cGIF : public QObject {
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void frameFields_data();
    void frameFields();
    void unmakeableFrames_data();
    void unmakeableFrames();
    void surfaceBudget();
    void frameLimit();
    void outOfRangeIsRefused();
};

void tst_cGIF::parse_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("loads");
    QTest::addColumn<int>("frames");
    QTest::addColumn<int>("screenWidth");
    QTest::addColumn<int>("loops");
    QTest::addColumn<QByteArray>("pixels"); // of frame 1

    QTest::newRow("screen cut short")
        << GifBuilder().raw({9, 0, 1}).qbytes() << true << 0 << 9 << 0 << QByteArray();
    QTest::newRow("header alone") << GifBuilder().qbytes() << true << 0 << 0 << 0 << QByteArray();
    for (const char* header : {"GIF88a", "GIX89a"}) {
        QTest::newRow(header) << GifBuilder(header).screen(1, 1).trailer().qbytes() << false << 0
                              << 0 << 0 << QByteArray();
    }
    QTest::newRow("five bytes") << QByteArray("GIF89") << false << 0 << 0 << 0 << QByteArray();

    const auto start = [] { return GifBuilder().screen(2, 2, 0x81).table(4); };
    QTest::newRow("NETSCAPE with two data bytes leaves the count")
        << start()
               .netscape(5)
               .raw({0x21, 0xFF, 0x0B})
               .str("NETSCAPE2.0")
               .raw({0x02, 0x01, 0x09, 0x00})
               .qbytes()
        << true << 0 << 2 << 5 << QByteArray();
    QTest::newRow("other application")
        << start().raw({0x21, 0xFF, 0x0B}).str("XMP DataXMP").raw({3, 1, 7, 0, 0}).qbytes() << true
        << 0 << 2 << 0 << QByteArray();

    // Sub-blocks holding bytes that look like block introducers must be skipped whole.
    QTest::newRow("comment of several sub-blocks")
        << start()
               .raw({0x21, 0xFE, 3, 'a', 0x2C, 0, 2, 0x3B, 0x21, 1, 0, 0})
               .frame(0, 0, 2, 2, kPixels2x2)
               .qbytes()
        << true << 1 << 2 << 0 << kRows2x2;
    QTest::newRow("stray bytes between blocks")
        << start().raw({0x00, 0x11, 0xFF}).frame(0, 0, 2, 2, kPixels2x2).raw({0x00}).qbytes()
        << true << 1 << 2 << 0 << kRows2x2;

    // Damaged image data: the frame counts, with what was decoded before the damage
    // (0x8C: clear, then 1, in 3-bit codes).
    const auto image = [&start] { return start().descriptor(0, 0, 2, 2); };
    QTest::newRow("no code size byte")
        << image().qbytes() << true << 1 << 2 << 0 << QByteArray(4, '\0');
    QTest::newRow("sub-block longer than the file")
        << image().raw({2, 200, 0x8C}).qbytes() << true << 1 << 2 << 0 << QByteArray("\1\0\0\0", 4);
}

void tst_cGIF::parse() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, loads);
    QFETCH(int, frames);
    QFETCH(int, screenWidth);
    QFETCH(int, loops);
    QFETCH(QByteArray, pixels);

    // Loaded over another file: nothing of it may remain.
    cGIF gif;
    QVERIFY(gif.LoadFromStream(twoFrames()));
    QCOMPARE(gif.LoadFromStream(toVector(bytes)), loads);
    QCOMPARE(int(gif.FramesCount()), frames);
    QCOMPARE(int(gif.ScreenWidth()), screenWidth);
    QCOMPARE(int(gif.AnimationLoops()), loops);
    QCOMPARE(giftest::FrameIndices(gif, 1), pixels);
    if (!loads) {
        QVERIFY(!gif.GlobalPaletteExists());
    }
}

void tst_cGIF::frameFields_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("delay");
    QTest::addColumn<int>("disposal");
    QTest::addColumn<bool>("userInput");
    QTest::addColumn<bool>("transparent");
    QTest::addColumn<int>("transparentIndex");

    const auto start = [] { return GifBuilder().screen(2, 2, 0x81).table(4); };
    const auto one = [&start](int packed, int delay, int index) {
        return start().gce(packed, delay, index).frame(0, 0, 2, 2, kPixels2x2);
    };
    QTest::newRow("all flags") << one(0x1F, 250, 3).qbytes() << 250 << 7 << true << true << 3;
    QTest::newRow("index without the flag is not kept")
        << one(0x08, 1, 3).qbytes() << 1 << 2 << false << false << 0;
    QTest::newRow("second extension wins")
        << start().gce(0x01, 5, 2).gce(0x0C, 9, 0).frame(0, 0, 2, 2, kPixels2x2).qbytes() << 9 << 3
        << false << false << 2;
    QTest::newRow("extension after the last image")
        << one(0x05, 4, 1).gce(0x08, 99, 0).qbytes() << 4 << 1 << false << true << 1;
    // A sub-block longer than 4 bytes: the fields come from its start, the rest is
    // skipped as data, not parsed as blocks.
    QTest::newRow("long extension block")
        << start()
               .raw({0x21, 0xF9, 0x06, 0x01, 0x11, 0x00, 0x02, 0x2C, 0x3B, 0x00})
               .frame(0, 0, 2, 2, kPixels2x2)
               .qbytes()
        << 17 << 0 << false << true << 2;
}

void tst_cGIF::frameFields() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, delay);
    QFETCH(int, disposal);
    QFETCH(bool, userInput);
    QFETCH(bool, transparent);
    QFETCH(int, transparentIndex);

    cGIF gif;
    QVERIFY(gif.LoadFromStream(toVector(bytes)));
    QCOMPARE(gif.FramesCount(), 1);
    QCOMPARE(int(gif.FrameDelay(1)), delay);
    QCOMPARE(gif.FrameDisposalMethod(1), disposal);
    QCOMPARE(gif.FrameUserInput(1), userInput);
    QCOMPARE(gif.FrameUseTransparentColor(1), transparent);
    QCOMPARE(int(gif.FrameTransparentColorIndex(1)), transparentIndex);
    QCOMPARE(giftest::FrameIndices(gif, 1), kRows2x2);
}

void tst_cGIF::unmakeableFrames_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("zero width") << 0 << 5;
    QTest::newRow("zero height") << 5 << 0;
    QTest::newRow("over the surface limit") << 65535 << 65535;
}

void tst_cGIF::unmakeableFrames() {
    QFETCH(int, width);
    QFETCH(int, height);
    const auto bytes = GifBuilder()
                           .screen(4, 4, 0x81)
                           .table(4)
                           .descriptor(0, 0, width, height)
                           .raw({2, 2, 0x8C, 0x01, 0})
                           .frame(1, 1, 2, 2, kPixels2x2)
                           .bytes();
    cGIF gif;
    QVERIFY(gif.LoadFromStream(bytes));
    QCOMPARE(gif.FramesCount(), 2);
    QVERIFY(!gif.FrameDIBXOR(1));
    QVERIFY(!gif.FrameDIBAND(1));
    QCOMPARE(giftest::FrameIndices(gif, 2), kRows2x2);
    cDIB target;
    QVERIFY(target.Create(4, 4, 32));
    gif.FrameDraw(target.hDC(), 1, 0, 0, 1.0f, false); // draws nothing, no crash
    gif.FrameMask(1, 0);
}

void tst_cGIF::surfaceBudget() {
    // Each 100 x 100 frame takes 10000 + 1600 bytes of surfaces.
    GifBuilder b;
    b.screen(100, 100, 0x80).table(2);
    for (int i = 0; i < 5; ++i) {
        b.frame(0, 0, 100, 100, std::vector<uint8_t>(10000, uint8_t(i & 1)));
    }
    cGIF gif;
    gif.setSurfaceBudget(3 * 11600 + 100);
    QVERIFY(gif.LoadFromStream(b.bytes()));
    QCOMPARE(gif.FramesCount(), 3);
    QVERIFY(gif.FrameDIBXOR(3));
}

void tst_cGIF::frameLimit() {
    GifBuilder b;
    b.screen(1, 1, 0x80).table(2);
    for (int i = 0; i < 32768; ++i) {
        b.raw({0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 0x01, 0});
    }
    cGIF gif;
    QVERIFY(gif.LoadFromStream(b.bytes()));
    QCOMPARE(gif.FramesCount(), cGIF::MaxFrames);
    gif.FrameInsert(1, 1, 1);
    QCOMPARE(gif.FramesCount(), cGIF::MaxFrames);
}

void tst_cGIF::outOfRangeIsRefused() {
    cGIF gif;
    QVERIFY(gif.LoadFromStream(twoFrames()));
    for (int16_t bad : {int16_t(0), int16_t(-1), int16_t(3), std::numeric_limits<int16_t>::min()}) {
        QCOMPARE(gif.FrameDelay(bad), 0);
        QVERIFY(!gif.FrameDIBXOR(bad));
        QVERIFY(!gif.lpLocalPalette(bad));
        QCOMPARE(gif.LocalPaletteRGBEntry(bad, 1), 0u);
        gif.setFrameDelay(bad, 5);
        gif.FrameMask(bad, 0);
        gif.FrameRemove(bad);
        gif.FrameMoveUp(bad);
        gif.FrameMoveDown(bad);
        gif.FrameDraw(nullptr, bad, 0, 0, 1.0f, false);
    }
    gif.FrameMoveUp(1);   // no frame 0 to swap with
    gif.FrameMoveDown(2); // no frame 3
    QCOMPARE(gif.FramesCount(), 2);
    QCOMPARE(gif.FrameDelay(1), 7);
    QCOMPARE(gif.FrameDelay(2), 12);
}

QTEST_APPLESS_MAIN(tst_cGIF)
#include "tst_cGIF.moc"
