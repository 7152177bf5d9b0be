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
    if (bpp <= 8) {
        std::copy(bgr, bgr + 3, p.palette.begin() + 4);
    }
    for (int i = 1; i < 6; ++i) {
        std::uint8_t* row = p.bits.data() + (i / 3) * p.stride;
        const int x = i % 3;
        if (bpp == 4) {
            row[x / 2] |= static_cast<std::uint8_t>(x % 2 == 0 ? 0x10 : 0x01);
        } else if (bpp == 8) {
            row[x] = 1;
        } else {
            std::copy(bgr, bgr + 3, row + 4 * x);
        }
    }
    return p;
}

} // namespace

class PictureConvertTest : public QObject {
    Q_OBJECT
private slots:
    void pictureToImage_data() {
        QTest::addColumn<int>("bpp");
        for (int bpp : {4, 8, 32}) {
            QTest::addRow("%d bpp", bpp) << bpp;
        }
    }

    void pictureToImage() {
        QFETCH(int, bpp);
        const QImage image = ImageFromPicture(sample(bpp));
        QCOMPARE(image.size(), QSize(3, 2));
        QCOMPARE(image.pixel(0, 0), qRgb(0, 0, 0));
        QCOMPARE(image.pixel(1, 0), qRgb(0x10, 0x20, 0x30));
        QCOMPARE(image.pixel(2, 1), qRgb(0x10, 0x20, 0x30));
    }

    void badPictureGivesNullImage_data() {
        QTest::addColumn<int>("damage");
        QTest::newRow("empty picture") << 0;
        QTest::newRow("bits too short") << 1;
        QTest::newRow("stride too small") << 2;
        QTest::newRow("unsupported depth") << 3;
    }

    void badPictureGivesNullImage() {
        QFETCH(int, damage);
        StdPicture p = sample(8);
        if (damage == 0) {
            p = StdPicture();
        } else if (damage == 1) {
            p.bits.resize(p.bits.size() - 1);
        } else if (damage == 2) {
            p.stride = 2;
        } else {
            p.bpp = 7;
        }
        QVERIFY(ImageFromPicture(p).isNull());
        p = sample(8);
        p.palette.clear(); // entries the palette lacks read black
        QCOMPARE(ImageFromPicture(p).pixel(1, 0), qRgb(0, 0, 0));
    }

    void imageRoundTripDropsAlpha() {
        QImage image(5, 3, QImage::Format_ARGB32);
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 5; ++x) {
                image.setPixel(x, y, qRgba(x * 40, y * 80, 7, x * 60));
            }
        }
        const StdPicture picture = PictureFromImage(image);
        QCOMPARE(picture.stride, 20);
        QCOMPARE(picture.bits[4 * 4 + 2], std::uint8_t(160)); // (4, 0): red byte third
        const QImage back = ImageFromPicture(picture);
        QCOMPARE(back.pixel(0, 2), qRgb(0, 160, 7)); // alpha 0: colour kept
        QCOMPARE(back.pixel(4, 1), qRgb(160, 80, 7));
        QVERIFY(PictureFromImage(QImage()).empty());
    }
};

QTEST_APPLESS_MAIN(PictureConvertTest)
#include "PictureConvertTest.moc"
