#include "platform/PictureConvert.h"

#include <QTest>

using namespace platform;

namespace {

// A 3 x 2 picture whose pixels are palette entry 1 (at 32 bpp: R,G,B 0x10,0x20,0x30),
// except pixel (0, 0), which is 0. Depth conversion itself belongs to the blit
// layer; this checks the hand-over.
StdPicture sample(int bpp) {
    StdPicture p = StdPicture::Make(3, 2, bpp);
    const std::uint8_t bgr[] = {0x30, 0x20, 0x10};
    if (bpp <= 8)
        std::copy(bgr, bgr + 3, p.palette.begin() + 4);
    for (int i = 1; i < 6; ++i) {
        std::uint8_t* row = p.bits.data() + (i / 3) * p.stride;
        const int x = i % 3;
        if (bpp == 4)
            row[x / 2] |= static_cast<std::uint8_t>(x % 2 == 0 ? 0x10 : 0x01);
        else if (bpp == 8)
            row[x] = 1;
        else
            std::copy(bgr, bgr + 3, row + 4 * x);
    }
    return p;
}

} // namespace

class PictureConvertTest : public QObject {
    Q_OBJECT
private slots:
    void pictureToImage_data() {
        QTest::addColumn<int>("bpp");
        QTest::addColumn<int>("damage");
        QTest::addColumn<QRgb>("entry1"); // 0: a null image
        const QRgb c = qRgb(0x10, 0x20, 0x30);
        QTest::newRow("4 bpp") << 4 << 0 << c;
        QTest::newRow("8 bpp") << 8 << 0 << c;
        QTest::newRow("32 bpp") << 32 << 0 << c;
        QTest::newRow("entries the palette lacks read black") << 8 << 1 << qRgb(0, 0, 0);
        QTest::newRow("empty picture") << 8 << 2 << QRgb(0);
        QTest::newRow("bits too short") << 8 << 3 << QRgb(0);
        QTest::newRow("stride too small") << 8 << 4 << QRgb(0);
        QTest::newRow("unsupported depth") << 8 << 5 << QRgb(0);
    }

    void pictureToImage() {
        QFETCH(int, bpp);
        QFETCH(int, damage);
        QFETCH(QRgb, entry1);
        StdPicture p = sample(bpp);
        if (damage == 1)
            p.palette.clear();
        else if (damage == 2)
            p = StdPicture();
        else if (damage == 3)
            p.bits.resize(p.bits.size() - 1);
        else if (damage == 4)
            p.stride = 2;
        else if (damage == 5)
            p.bpp = 7;
        const QImage image = ImageFromPicture(p);
        if (entry1 == 0) {
            QVERIFY(image.isNull());
            return;
        }
        QCOMPARE(image.size(), QSize(3, 2));
        QCOMPARE(image.pixel(0, 0), qRgb(0, 0, 0));
        QCOMPARE(image.pixel(1, 0), entry1);
        QCOMPARE(image.pixel(2, 1), entry1);
    }
};

QTEST_APPLESS_MAIN(PictureConvertTest)
#include "PictureConvertTest.moc"
