// What the composition of real files in the conformance test does not show:
// restored areas, odd disposal values, the start of a new pass, refusals and
// frame timing.

#include "GifBuilder.h"
#include "gif/cGIF.h"
#include "gif/cGIFComposer.h"

#include <QTest>

using giftest::GifBuilder;

namespace {

constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kBlue = 0x0000FF;
constexpr uint32_t kGrey = 0x808080;

uint32_t pixel(const cDIB& d, int x, int y) {
    const uint8_t* p = d.lpBits() + y * d.BytesPerScanline() + x * 4;
    return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}

} // namespace

class tst_cGIFRender : public QObject {
    Q_OBJECT

private slots:
    void disposal_data();
    void disposal();
    void firstFrameClearsCanvas();
    void composerRefuses();
    void frameInterval_data();
    void frameInterval();
};

void tst_cGIFRender::disposal_data() {
    QTest::addColumn<int>("method");
    QTest::addColumn<uint32_t>("canvasInside"); // canvas under frame 2 after composing it

    QTest::newRow("1 keep: frame stays") << 1 << kBlue;
    QTest::newRow("2 restore to background") << 2 << kGrey;
    QTest::newRow("5 treated as 3") << 5 << kGreen;
}

void tst_cGIFRender::disposal() {
    QFETCH(int, method);
    QFETCH(uint32_t, canvasInside);

    // Frame 1 paints the 6 x 4 screen green; frame 2 puts a blue 2 x 2 square at (2, 1).
    cGIF gif;
    QVERIFY(gif.LoadFromStream(GifBuilder()
                                   .screen(6, 4, 0x80)
                                   .colours({kGreen, kBlue})
                                   .frame(0, 0, 6, 4, std::vector<uint8_t>(24, 0))
                                   .gce(method << 2, 0, 0)
                                   .frame(2, 1, 2, 2, {1, 1, 1, 1})
                                   .trailer()
                                   .bytes()));
    cGIFComposer composer;
    QVERIFY(composer.Setup(gif, gdi::MakeRGB(0x80, 0x80, 0x80)));
    QVERIFY(composer.DrawFrame(gif, 1));
    QVERIFY(composer.DrawFrame(gif, 2));
    QCOMPARE(pixel(composer.FrameBuffer(), 2, 1), kBlue); // the frame is always shown
    QCOMPARE(pixel(composer.FrameBuffer(), 0, 0), kGreen);
    QCOMPARE(pixel(composer.Canvas(), 3, 2), canvasInside);
    QCOMPARE(pixel(composer.Canvas(), 5, 3), kGreen); // outside the frame: untouched
}

void tst_cGIFRender::firstFrameClearsCanvas() {
    // A transparent frame 1 over a canvas left dirty by the last frame: each pass of
    // the animation starts from the background.
    cGIF gif;
    QVERIFY(gif.LoadFromStream(GifBuilder()
                                   .screen(2, 1, 0x80)
                                   .colours({kBlue, kGreen})
                                   .gce(0x01, 0, 0)
                                   .frame(0, 0, 2, 1, {0, 0})
                                   .frame(0, 0, 2, 1, {1, 1})
                                   .trailer()
                                   .bytes()));
    cGIFComposer composer;
    QVERIFY(composer.Setup(gif, gdi::MakeRGB(255, 0, 0)));
    QVERIFY(composer.DrawFrame(gif, 1));
    QCOMPARE(pixel(composer.FrameBuffer(), 0, 0), kRed);
    QVERIFY(composer.DrawFrame(gif, 2));
    QCOMPARE(pixel(composer.FrameBuffer(), 0, 0), kGreen);
    QVERIFY(composer.DrawFrame(gif, 1));
    QCOMPARE(pixel(composer.FrameBuffer(), 1, 0), kRed);
}

void tst_cGIFRender::composerRefuses() {
    cGIF gif;
    cGIFComposer composer;
    QVERIFY(!composer.Setup(gif, 0)); // no screen, no frames
    QVERIFY(!composer.DrawFrame(gif, 1));

    QVERIFY(gif.LoadFromStream(
        GifBuilder().screen(3, 3, 0x80).table(2).frame(0, 0, 1, 1, {1}).bytes()));
    QVERIFY(composer.Setup(gif, 0));
    QVERIFY(!composer.DrawFrame(gif, 0));
    QVERIFY(!composer.DrawFrame(gif, 2));
    QVERIFY(composer.DrawFrame(gif, 1));

    QVERIFY(gif.LoadFromStream(GifBuilder().screen(65535, 65535).trailer().bytes()));
    QVERIFY(!composer.Setup(gif, 0)); // 16 GiB of surfaces are refused
    QVERIFY(!composer.FrameBuffer().hDIB());
}

void tst_cGIFRender::frameInterval_data() {
    QTest::addColumn<int>("delay");
    QTest::addColumn<int>("interval");
    QTest::newRow("negative") << -1 << 60000;
    QTest::newRow("0") << 0 << 100;
    QTest::newRow("1") << 1 << 50;
    QTest::newRow("4") << 4 << 50;
    QTest::newRow("6") << 6 << 60;
    QTest::newRow("3277, past 16 bits") << 3277 << 32770;
}

void tst_cGIFRender::frameInterval() {
    QFETCH(int, delay);
    QFETCH(int, interval);
    QCOMPARE(cGIFComposer::FrameInterval(int16_t(delay)), interval);
}

QTEST_APPLESS_MAIN(tst_cGIFRender)
#include "tst_cGIFRender.moc"
