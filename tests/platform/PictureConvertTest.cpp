#include "platform/PictureConvert.h"

#include <QTest>

using namespace platform;

namespace {

// A 3 x 2 picture of the given depth whose pixels are palette entry 1 (or the
// 32-bit encoding of 0x102030 as R,G,B), except pixel (0, 0) which is 0. Depth
// conversion itself belongs to the blit layer; this checks the hand-over.
StdPicture sample(int bpp) {
    StdPicture p = StdPicture::Make(3, 2, bpp);
    if (bpp <= 8) {
        p.palette[4 * 1 + 0] = 0x30; // blue
        p.palette[4 * 1 + 1] = 0x20; // green
        p.palette[4 * 1 + 2] = 0x10; // red
    }
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            if (x == 0 && y == 0) {
                continue;
            }
            std::uint8_t* row = p.bits.data() + y * p.stride;
            switch (bpp) {
            case 4:
                row[x / 2] |= static_cast<std::uint8_t>(x % 2 == 0 ? 0x10 : 0x01);
                break;
            case 8:
                row[x] = 1;
                break;
            case 32:
                row[4 * x] = 0x30;
                row[4 * x + 1] = 0x20;
                row[4 * x + 2] = 0x10;
                break;
            }
        }
    }
    return p;
}

} // namespace

class PictureConvertTest : public QObject {
    Q_OBJECT
private slots:
    void pictureToImage_data();
    void pictureToImage();
    void badPictureGivesNullImage_data();
    void badPictureGivesNullImage();
    void imageRoundTrip();
    void alphaIsDropped();
};

void PictureConvertTest::pictureToImage_data() {
    QTest::addColumn<int>("bpp");
    for (int bpp : {4, 8, 32}) {
        QTest::addRow("%d bpp", bpp) << bpp;
    }
}

void PictureConvertTest::pictureToImage() {
    QFETCH(int, bpp);
    const QImage image = ImageFromPicture(sample(bpp));
    QCOMPARE(image.size(), QSize(3, 2));
    QCOMPARE(image.format(), QImage::Format_RGB32);
    QCOMPARE(image.pixel(0, 0), qRgb(0, 0, 0));
    QCOMPARE(image.pixel(1, 0), qRgb(0x10, 0x20, 0x30));
    QCOMPARE(image.pixel(2, 1), qRgb(0x10, 0x20, 0x30));
}

void PictureConvertTest::badPictureGivesNullImage_data() {
    QTest::addColumn<int>("damage");
    QTest::newRow("empty picture") << 0;
    QTest::newRow("bits too short") << 1;
    QTest::newRow("stride too small") << 2;
    QTest::newRow("unsupported depth") << 3;
    QTest::newRow("no palette on 8 bpp reads black") << 4;
}

void PictureConvertTest::badPictureGivesNullImage() {
    QFETCH(int, damage);
    StdPicture p = sample(8);
    switch (damage) {
    case 0:
        p = StdPicture();
        break;
    case 1:
        p.bits.resize(p.bits.size() - 1);
        break;
    case 2:
        p.stride = 2;
        break;
    case 3:
        p.bpp = 7;
        break;
    case 4:
        p.palette.clear();
        QCOMPARE(ImageFromPicture(p).pixel(1, 0), qRgb(0, 0, 0));
        return;
    }
    QVERIFY(ImageFromPicture(p).isNull());
}

void PictureConvertTest::imageRoundTrip() {
    QImage image(5, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            image.setPixel(x, y, qRgb(x * 40, y * 80, 7));
        }
    }
    const StdPicture picture = PictureFromImage(image);
    QVERIFY(picture.isValid());
    QCOMPARE(picture.bpp, 32);
    QCOMPARE(picture.stride, 20);
    QCOMPARE(picture.bits[4 * 4 + 2], std::uint8_t(160)); // (4, 0): red byte third
    QCOMPARE(ImageFromPicture(picture), image);
    QVERIFY(PictureFromImage(QImage()).empty());
}

void PictureConvertTest::alphaIsDropped() {
    QImage image(2, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(200, 100, 50, 0));
    image.setPixel(1, 0, qRgba(1, 2, 3, 255));
    const QImage back = ImageFromPicture(PictureFromImage(image));
    QCOMPARE(back.pixel(0, 0), qRgb(200, 100, 50));
    QCOMPARE(back.pixel(1, 0), qRgb(1, 2, 3));
}

QTEST_APPLESS_MAIN(PictureConvertTest)
#include "PictureConvertTest.moc"
