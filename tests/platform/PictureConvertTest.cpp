#include "platform/PictureConvert.h"

#include <QTest>

using namespace platform;

// The program hands over 32-bpp pictures only (cDIB::Image); depth conversion
// itself belongs to the blit layer and its reference test. This checks the
// hand-over and the refusal of damaged pictures.
class PictureConvertTest : public QObject {
    Q_OBJECT
private slots:
    void pictureToImage_data() {
        QTest::addColumn<int>("damage");
        QTest::newRow("whole picture") << 0;
        QTest::newRow("empty picture") << 1;
        QTest::newRow("bits too short") << 2;
        QTest::newRow("stride too small") << 3;
        QTest::newRow("unsupported depth") << 4;
    }

    void pictureToImage() {
        QFETCH(int, damage);
        // 3 x 2, B,G,R,X bytes; pixel (2, 1) is R,G,B 0x10,0x20,0x30, the rest black.
        StdPicture p = StdPicture::Make(3, 2, 32);
        const std::uint8_t bgr[] = {0x30, 0x20, 0x10};
        std::copy(bgr, bgr + 3, p.bits.data() + p.stride + 8);
        if (damage == 1)
            p = StdPicture();
        else if (damage == 2)
            p.bits.resize(p.bits.size() - 1);
        else if (damage == 3)
            p.stride = 8;
        else if (damage == 4)
            p.bpp = 7;
        const QImage image = ImageFromPicture(p);
        QCOMPARE(image.isNull(), damage != 0);
        if (damage == 0) {
            QCOMPARE(image.size(), QSize(3, 2));
            QCOMPARE(image.pixel(2, 0), qRgb(0, 0, 0));
            QCOMPARE(image.pixel(2, 1), qRgb(0x10, 0x20, 0x30));
        }
    }
};

QTEST_APPLESS_MAIN(PictureConvertTest)
#include "PictureConvertTest.moc"
