// The GIF model and reader: header checks, block parsing, extensions, palettes,
// damaged and oversized input, limits, the frame list and the properties.

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

// Two frames of 2 x 2 over a 4-entry global table, the second with a local table.
GifBuilder twoFrames() {
    GifBuilder b;
    b.screen(4, 4, 0x81).table(4);
    b.gce(0x09, 7, 3).frame(0, 0, 2, 2, kPixels2x2);
    b.gce(0x04, 12, 0).descriptor(2, 2, 2, 2, 0x81).table(4).pixels(2, 2, 2, {3, 3, 0, 1});
    return b;
}

QByteArray pixelsOf(const cGIF& gif, int16_t n) {
    const auto image = gif.FrameDIBXOR(n);
    QByteArray out;
    if (!image) {
        return out;
    }
    for (int32_t y = 0; y < image->Height(); ++y) {
        out.append(reinterpret_cast<const char*>(image->lpBits()) +
                       size_t(y) * size_t(image->BytesPerScanline()),
                   image->Width());
    }
    return out;
}

} // namespace

class tst_cGIF : public QObject {
    Q_OBJECT

private slots:
    void header_data();
    void header();
    void frameFields_data();
    void frameFields();
    void palettes_data();
    void palettes();
    void loops_data();
    void loops();
    void skippedBlocks_data();
    void skippedBlocks();
    void damagedImageData_data();
    void damagedImageData();
    void everyTruncationLoads();
    void unmakeableFrames_data();
    void unmakeableFrames();
    void surfaceBudget();
    void frameLimit();
    void outOfRangeIsRefused();
    void frameList();
    void aspectRatio_data();
    void aspectRatio();
    void loadFromFile();
    void concurrentLoads();
};

void tst_cGIF::header_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("loads");
    QTest::addColumn<int>("screenWidth");
    QTest::addColumn<int>("screenHeight");

    QTest::newRow("trailer only, 89a")
        << GifBuilder().screen(300, 200).trailer().qbytes() << true << 300 << 200;
    QTest::newRow("trailer only, 87a")
        << GifBuilder("GIF87a").screen(5, 6).trailer().qbytes() << true << 5 << 6;
    QTest::newRow("no trailer") << GifBuilder().screen(7, 8).qbytes() << true << 7 << 8;
    QTest::newRow("screen cut short") << GifBuilder().raw({9, 0, 1}).qbytes() << true << 9 << 1;
    QTest::newRow("header alone") << GifBuilder().qbytes() << true << 0 << 0;
    QTest::newRow("wide screen reads negative")
        << GifBuilder().screen(40000, 1).trailer().qbytes() << true << 40000 - 65536 << 1;
    QTest::newRow("version 88a") << GifBuilder("GIF88a").screen(1, 1).trailer().qbytes() << false
                                 << 0 << 0;
    QTest::newRow("signature GIX")
        << GifBuilder("GIX89a").screen(1, 1).trailer().qbytes() << false << 0 << 0;
    QTest::newRow("lower-case gif")
        << GifBuilder("gif89a").screen(1, 1).trailer().qbytes() << false << 0 << 0;
    QTest::newRow("five bytes") << QByteArray("GIF89") << false << 0 << 0;
    QTest::newRow("empty") << QByteArray() << false << 0 << 0;
}

void tst_cGIF::header() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, loads);
    QFETCH(int, screenWidth);
    QFETCH(int, screenHeight);

    cGIF gif;
    QVERIFY(gif.LoadFromStream(toVector(twoFrames().trailer().qbytes())));
    QCOMPARE(gif.FramesCount(), 2);
    QCOMPARE(gif.LoadFromStream(toVector(bytes)), loads);
    QCOMPARE(gif.FramesCount(), 0); // emptied whatever the outcome
    QCOMPARE(int(gif.ScreenWidth()), screenWidth);
    QCOMPARE(int(gif.ScreenHeight()), screenHeight);
    if (!loads) {
        QVERIFY(!gif.GlobalPaletteExists());
    }
}

void tst_cGIF::frameFields_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("frames");
    QTest::addColumn<int>("delay");
    QTest::addColumn<int>("disposal");
    QTest::addColumn<bool>("userInput");
    QTest::addColumn<bool>("transparent");
    QTest::addColumn<int>("transparentIndex");

    auto one = [](int packed, int delay, int index) {
        return GifBuilder()
            .screen(2, 2, 0x81)
            .table(4)
            .gce(packed, delay, index)
            .frame(0, 0, 2, 2, kPixels2x2);
    };
    QTest::newRow("delay 0x8000") << one(0, 0x8000, 0).trailer().qbytes() << 1 << -32768 << 0
                                  << false << false << 0;
    QTest::newRow("delay 0xFFFF") << one(0, 0xFFFF, 0).trailer().qbytes() << 1 << -1 << 0 << false
                                  << false << 0;
    QTest::newRow("all flags") << one(0x1F, 250, 3).trailer().qbytes() << 1 << 250 << 7 << true
                               << true << 3;
    QTest::newRow("index without the flag is not kept")
        << one(0x08, 1, 3).trailer().qbytes() << 1 << 1 << 2 << false << false << 0;
    QTest::newRow("second extension wins") << GifBuilder()
                                                  .screen(2, 2, 0x81)
                                                  .table(4)
                                                  .gce(0x01, 5, 2)
                                                  .gce(0x0C, 9, 0)
                                                  .frame(0, 0, 2, 2, kPixels2x2)
                                                  .trailer()
                                                  .qbytes()
                                           << 1 << 9 << 3 << false << false << 2;
    QTest::newRow("extension after the last image")
        << one(0x05, 4, 1).gce(0x08, 99, 0).trailer().qbytes() << 1 << 4 << 1 << false << true << 1;
    // A graphic control extension whose sub-block is longer than 4 bytes: the fields
    // come from its start and the rest is skipped as data, not parsed as blocks.
    QTest::newRow("long extension block")
        << GifBuilder()
               .screen(2, 2, 0x81)
               .table(4)
               .raw({0x21, 0xF9, 0x06, 0x01, 0x11, 0x00, 0x02, 0x2C, 0x3B, 0x00})
               .frame(0, 0, 2, 2, kPixels2x2)
               .trailer()
               .qbytes()
        << 1 << 17 << 0 << false << true << 2;
}

void tst_cGIF::frameFields() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, frames);
    QFETCH(int, delay);
    QFETCH(int, disposal);
    QFETCH(bool, userInput);
    QFETCH(bool, transparent);
    QFETCH(int, transparentIndex);

    cGIF gif;
    QVERIFY(gif.LoadFromStream(toVector(bytes)));
    QCOMPARE(int(gif.FramesCount()), frames);
    QCOMPARE(int(gif.FrameDelay(1)), delay);
    QCOMPARE(gif.FrameDisposalMethod(1), disposal);
    QCOMPARE(gif.FrameUserInput(1), userInput);
    QCOMPARE(gif.FrameUseTransparentColor(1), transparent);
    QCOMPARE(int(gif.FrameTransparentColorIndex(1)), transparentIndex);
    QCOMPARE(pixelsOf(gif, 1), QByteArray("\1\0\2\3", 4));
}

void tst_cGIF::palettes_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("global");
    QTest::addColumn<int>("globalEntries");
    QTest::addColumn<bool>("local");
    QTest::addColumn<int>("localEntries");
    QTest::addColumn<bool>("localSorted");

    QTest::newRow("local table, size field 1") << GifBuilder()
                                                      .screen(2, 2, 0x80)
                                                      .table(2)
                                                      .descriptor(0, 0, 2, 2, 0x81)
                                                      .table(4)
                                                      .pixels(2, 2, 2, kPixels2x2)
                                                      .trailer()
                                                      .qbytes()
                                               << true << 2 << true << 4 << false;
    QTest::newRow("sorted local table of 256") << GifBuilder()
                                                      .screen(2, 2)
                                                      .descriptor(0, 0, 2, 2, 0xA7)
                                                      .table(256)
                                                      .pixels(8, 2, 2, kPixels2x2)
                                                      .trailer()
                                                      .qbytes()
                                               << false << 0 << true << 256 << true;
    QTest::newRow("global table copied, sorted flag too") << GifBuilder()
                                                                 .screen(2, 2, 0x8A)
                                                                 .table(8)
                                                                 .frame(0, 0, 2, 2, kPixels2x2, 3)
                                                                 .trailer()
                                                                 .qbytes()
                                                          << true << 8 << false << 8 << true;
    QTest::newRow("no table at all")
        << GifBuilder().screen(2, 2).frame(0, 0, 2, 2, kPixels2x2).trailer().qbytes() << false << 0
        << false << 0 << false;
}

void tst_cGIF::palettes() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, global);
    QFETCH(int, globalEntries);
    QFETCH(bool, local);
    QFETCH(int, localEntries);
    QFETCH(bool, localSorted);

    cGIF gif;
    QVERIFY(gif.LoadFromStream(toVector(bytes)));
    QCOMPARE(gif.FramesCount(), 1);
    QCOMPARE(gif.GlobalPaletteExists(), global);
    QCOMPARE(int(gif.GlobalPaletteEntries()), globalEntries);
    QCOMPARE(gif.LocalPaletteUsed(1), local);
    QCOMPARE(int(gif.LocalPaletteEntries(1)), localEntries);
    QCOMPARE(gif.LocalPaletteSorted(1), localSorted);
    QCOMPARE(pixelsOf(gif, 1), QByteArray("\1\0\2\3", 4));

    // The builder's entry i is (i, 255 - i, 7i); past the table everything is black.
    const int entries = local ? localEntries : globalEntries;
    for (int i = 0; i < 256; ++i) {
        const uint32_t expected =
            i < entries ? uint32_t(i | ((255 - i) << 8) | (((i * 7) & 0xFF) << 16)) : 0;
        QCOMPARE(gif.LocalPaletteRGBEntry(1, uint8_t(i)), expected);
        QCOMPARE(gif.GlobalPaletteRGBEntry(uint8_t(i)),
                 global && i < globalEntries ? expected : 0u);
    }
    const uint8_t* bgr = gif.lpLocalPalette(1);
    QCOMPARE(int(bgr[4 * 1 + 0]), entries > 1 ? 7 : 0); // blue of entry 1
    QCOMPARE(int(bgr[4 * 1 + 2]), entries > 1 ? 1 : 0);
}

void tst_cGIF::loops_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("loops");

    const auto start = [] { return GifBuilder().screen(1, 1, 0x80).table(2); };
    QTest::newRow("loop count 10")
        << start().netscape(10).frame(0, 0, 1, 1, {0}).trailer().qbytes() << 10;
    QTest::newRow("no extension") << start().frame(0, 0, 1, 1, {0}).trailer().qbytes() << 0;
    QTest::newRow("65535 reads -1") << start().netscape(0xFFFF).trailer().qbytes() << -1;
    QTest::newRow("two data bytes leave the count") << start()
                                                           .netscape(5)
                                                           .raw({0x21, 0xFF, 0x0B})
                                                           .str("NETSCAPE2.0")
                                                           .raw({0x02, 0x01, 0x09, 0x00})
                                                           .trailer()
                                                           .qbytes()
                                                    << 5;
    QTest::newRow("other application") << start()
                                              .raw({0x21, 0xFF, 0x0B})
                                              .str("XMP DataXMP")
                                              .raw({0x03, 0x01, 0x07, 0x00, 0x00})
                                              .trailer()
                                              .qbytes()
                                       << 0;
    QTest::newRow("cut inside the extension")
        << start().raw({0x21, 0xFF, 0x0B}).str("NETSCAPE2.0").raw({0x03, 0x01}).qbytes() << 0;
}

void tst_cGIF::loops() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, loops);
    cGIF gif;
    QVERIFY(gif.LoadFromStream(toVector(bytes)));
    QCOMPARE(int(gif.AnimationLoops()), loops);
}

void tst_cGIF::skippedBlocks_data() {
    QTest::addColumn<QByteArray>("bytes");

    const auto start = [] { return GifBuilder().screen(2, 2, 0x81).table(4); };
    // Sub-blocks holding bytes that look like block introducers, and a sub-block
    // ending in a 0 data byte.
    QTest::newRow("comment of several sub-blocks")
        << start()
               .raw({0x21, 0xFE, 3, 'a', 0x2C, 0, 2, 0x3B, 0x21, 1, 0, 0})
               .frame(0, 0, 2, 2, kPixels2x2)
               .trailer()
               .qbytes();
    QTest::newRow("plain text extension")
        << start()
               .raw({0x21, 0x01, 12, 0, 0, 0, 0, 2, 0, 2, 0, 1, 1, 0, 1, 2, 'h', 'i', 0})
               .frame(0, 0, 2, 2, kPixels2x2)
               .trailer()
               .qbytes();
    QTest::newRow("unknown extension") << start()
                                              .raw({0x21, 0x77, 2, 0x2C, 0x2C, 0})
                                              .frame(0, 0, 2, 2, kPixels2x2)
                                              .trailer()
                                              .qbytes();
    QTest::newRow("stray bytes between blocks") << start()
                                                       .raw({0x00, 0x11, 0xFF})
                                                       .frame(0, 0, 2, 2, kPixels2x2)
                                                       .raw({0x00})
                                                       .trailer()
                                                       .qbytes();
}

void tst_cGIF::skippedBlocks() {
    QFETCH(QByteArray, bytes);
    cGIF gif;
    QVERIFY(gif.LoadFromStream(toVector(bytes)));
    QCOMPARE(gif.FramesCount(), 1);
    QCOMPARE(pixelsOf(gif, 1), QByteArray("\1\0\2\3", 4));
}

void tst_cGIF::damagedImageData_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("pixels");

    const auto start = [] {
        return GifBuilder().screen(2, 2, 0x81).table(4).descriptor(0, 0, 2, 2);
    };
    // 3-bit codes, least significant bit first. Clear, 1, then the data end.
    QTest::newRow("data end before the end code")
        << start().raw({2, 1, 0x0C}).qbytes() << QByteArray("\1\0\0\0", 4);
    // Clear, 1, then 7 while the next free code is 6.
    QTest::newRow("code above the next free code")
        << start().raw({2, 2, 0xCC, 0x01, 0}).trailer().qbytes() << QByteArray("\1\0\0\0", 4);
    QTest::newRow("code size 0") << start().raw({0, 1, 0xFF, 0}).trailer().qbytes()
                                 << QByteArray(4, '\0');
    QTest::newRow("code size 12") << start().raw({12, 1, 0xFF, 0}).trailer().qbytes()
                                  << QByteArray(4, '\0');
    QTest::newRow("no code size byte") << start().qbytes() << QByteArray(4, '\0');
    QTest::newRow("sub-block longer than the file")
        << start().raw({2, 200, 0x8C}).qbytes() << QByteArray("\1\0\0\0", 4);
}

void tst_cGIF::damagedImageData() {
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, pixels);
    cGIF gif;
    QVERIFY(gif.LoadFromStream(toVector(bytes)));
    QCOMPARE(gif.FramesCount(), 1);
    QCOMPARE(pixelsOf(gif, 1), pixels);
}

void tst_cGIF::everyTruncationLoads() {
    const std::vector<uint8_t> full = twoFrames().trailer().bytes();
    int previous = 0;
    for (size_t cut = 6; cut <= full.size(); ++cut) {
        cGIF gif;
        QVERIFY(
            gif.LoadFromStream(std::vector<uint8_t>(full.begin(), full.begin() + qsizetype(cut))));
        QVERIFY(gif.FramesCount() >= previous); // more data never loses a frame
        previous = gif.FramesCount();
        for (int16_t n = 1; n <= gif.FramesCount(); ++n) {
            QCOMPARE(pixelsOf(gif, n).size(), 4);
        }
    }
    QCOMPARE(previous, 2);
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
                           .trailer()
                           .bytes();
    cGIF gif;
    QVERIFY(gif.LoadFromStream(bytes));
    QCOMPARE(gif.FramesCount(), 2);
    QVERIFY(!gif.FrameDIBXOR(1));
    QVERIFY(!gif.FrameDIBAND(1));
    QCOMPARE(pixelsOf(gif, 2), QByteArray("\1\0\2\3", 4));
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
    QVERIFY(gif.LoadFromStream(b.trailer().bytes()));
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
    QVERIFY(gif.LoadFromStream(b.trailer().bytes()));
    QCOMPARE(gif.FramesCount(), cGIF::MaxFrames);
    gif.FrameInsert(1, 1, 1);
    QCOMPARE(gif.FramesCount(), cGIF::MaxFrames);
}

void tst_cGIF::outOfRangeIsRefused() {
    cGIF gif;
    QVERIFY(gif.LoadFromStream(twoFrames().trailer().bytes()));
    for (int16_t bad : {int16_t(0), int16_t(-1), int16_t(3), std::numeric_limits<int16_t>::min(),
                        std::numeric_limits<int16_t>::max()}) {
        QCOMPARE(gif.FrameDelay(bad), 0);
        QVERIFY(!gif.FrameDIBXOR(bad));
        QVERIFY(!gif.FrameDIBAND(bad));
        QVERIFY(!gif.lpLocalPalette(bad));
        QCOMPARE(gif.LocalPaletteRGBEntry(bad, 1), 0u);
        QCOMPARE(gif.FrameLeft(bad), 0);
        gif.setFrameDelay(bad, 5);
        gif.setFrameLeft(bad, 5);
        gif.setLocalPaletteEntries(bad, 5);
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

void tst_cGIF::frameList() {
    cGIF gif;
    gif.FrameInsert(1, 10, 20);
    QCOMPARE(gif.FramesCount(), 1);
    QCOMPARE(gif.ScreenWidth(), 10);
    QCOMPARE(gif.ScreenHeight(), 20);
    QCOMPARE(pixelsOf(gif, 1), QByteArray(200, '\0'));
    QCOMPARE(gif.FrameDIBAND(1)->bpp(), 1);

    // Mark frames by their delay: 1, 2, 3; insert a 5 x 5 frame second.
    gif.setFrameDelay(1, 1);
    gif.FrameInsert(2, 3, 3);
    gif.setFrameDelay(2, 2);
    gif.FrameInsert(9, 4, 4); // past the end: appended
    gif.setFrameDelay(3, 3);
    gif.FrameInsert(2, 5, 5);
    QCOMPARE(gif.FramesCount(), 4);
    QCOMPARE(gif.ScreenWidth(), 10); // only the first frame sets the screen
    QCOMPARE(gif.FrameDIBXOR(2)->Width(), 5);
    QCOMPARE(
        QList<int>({gif.FrameDelay(1), gif.FrameDelay(2), gif.FrameDelay(3), gif.FrameDelay(4)}),
        QList<int>({1, 0, 2, 3}));

    const auto third = gif.FrameDIBXOR(3);
    gif.FrameMoveUp(3);
    QCOMPARE(gif.FrameDIBXOR(2), third); // surfaces travel with their records
    QCOMPARE(gif.FrameDelay(2), 2);
    gif.FrameMoveDown(2);
    QCOMPARE(gif.FrameDelay(3), 2);

    gif.FrameRemove(1);
    QCOMPARE(gif.FramesCount(), 3);
    QCOMPARE(gif.FrameDelay(1), 0);
    gif.FrameRemove(3);
    gif.FrameRemove(1);
    gif.FrameRemove(1);
    QCOMPARE(gif.FramesCount(), 0);
    QVERIFY(third.use_count() == 1); // the model let go of it
}

void tst_cGIF::aspectRatio_data() {
    QTest::addColumn<float>("value");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("byte");

    QTest::newRow("1.0") << 1.0f << true << 49;
    QTest::newRow("smallest") << 0.234375f << true << 0;
    QTest::newRow("largest") << 4.21875f << true << 255;
    QTest::newRow("half rounds to even (2.5)") << 0.2734375f << true << 2;
    QTest::newRow("half rounds to even (3.5)") << 0.2890625f << true << 4;
    QTest::newRow("too large") << 4.25f << false << 49;
    QTest::newRow("negative") << -1.0f << false << 49;
    QTest::newRow("not a number") << std::numeric_limits<float>::quiet_NaN() << false << 49;
    QTest::newRow("infinity") << std::numeric_limits<float>::infinity() << false << 49;
}

void tst_cGIF::aspectRatio() {
    QFETCH(float, value);
    QFETCH(bool, accepted);
    QFETCH(int, byte);

    cGIF gif;
    QVERIFY(gif.LoadFromStream(GifBuilder().screen(1, 1, 0, 0, 49).trailer().bytes()));
    QCOMPARE(gif.ScreenPixelAspectRatio(), 1.0f);
    QCOMPARE(gif.setScreenPixelAspectRatio(value), accepted);
    QCOMPARE(gif.ScreenPixelAspectRatio(), (float(byte) + 15.0f) / 64.0f);
}

void tst_cGIF::loadFromFile() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    cGIF gif;
    QVERIFY(gif.LoadFromStream(twoFrames().trailer().bytes()));

    QVERIFY(!gif.LoadFromFile(dir.filePath("missing.gif").toStdString()));
    QCOMPARE(gif.FramesCount(), 2); // unreadable: model unchanged

    const std::string empty = dir.filePath("empty.gif").toStdString();
    std::ofstream(empty, std::ios::binary).close();
    QVERIFY(!gif.LoadFromFile(empty));
    QCOMPARE(gif.FramesCount(), 0);

    const std::string good = dir.filePath("good.gif").toStdString();
    const auto bytes = twoFrames().trailer().bytes();
    std::ofstream(good, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    QVERIFY(gif.LoadFromFile(good));
    QCOMPARE(gif.FramesCount(), 2);
    QCOMPARE(pixelsOf(gif, 2), QByteArray("\3\3\0\1", 4));
    QVERIFY(!gif.LoadFromFile(dir.path().toStdString())); // a folder is not a file
}

void tst_cGIF::concurrentLoads() {
    // The codec keeps no shared state: loads and saves on several threads at once
    // give what one alone gives.
    std::vector<uint8_t> px(200 * 150);
    for (size_t i = 0; i < px.size(); ++i) {
        px[i] = uint8_t((i % 200) / 3 + (i / 200) % 7 * 20);
    }
    GifBuilder b;
    b.screen(200, 150, 0xF7).table(256);
    for (int i = 0; i < 6; ++i) {
        b.descriptor(0, 0, 200, 150, i % 2 ? 0x40 : 0).pixels(8, 200, 150, px, i % 2);
    }
    const std::vector<uint8_t> bytes = b.trailer().bytes();
    cGIF reference;
    QVERIFY(reference.LoadFromStream(bytes));
    std::vector<uint8_t> expected;
    QVERIFY(reference.SaveToStream(expected));

    std::vector<std::vector<uint8_t>> results(4);
    std::vector<std::thread> threads;
    for (auto& result : results) {
        threads.emplace_back([&bytes, &result] {
            for (int round = 0; round < 5; ++round) {
                cGIF gif;
                gif.LoadFromStream(bytes);
                gif.SaveToStream(result);
            }
        });
    }
    for (auto& t : threads) {
        t.join();
    }
    for (const auto& result : results) {
        QVERIFY(result == expected);
    }
}

QTEST_APPLESS_MAIN(tst_cGIF)
#include "tst_cGIF.moc"
