#include "imaging/FreeImageLoader.h"
#include "imaging/mScaleImage.h"

#include <FreeImage.h>
#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using imaging::FreeImageLoader;
using imaging::PreviewPlacement;

namespace {

constexpr QRgb kRed = 0xFFFF0000;

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

/// A 3 x 2 picture whose every pixel differs, to catch flipped rows and
/// swapped channels.
QImage patterned() {
    QImage img(3, 2, QImage::Format_RGB32);
    const QRgb px[6] = {0xFF102030, 0xFF405060, 0xFF708090, 0xFFA0B0C0, 0xFFD0E0F0, 0xFF0A0B0C};
    for (int i = 0; i < 6; ++i)
        img.setPixel(i % 3, i / 3, px[i]);
    return img;
}

/// Saves a FreeImage bitmap made by `fill` to `path`; false when FreeImage
/// cannot write that kind of image.
template <class Fill>
bool saveWithFreeImage(const QString& path, FREE_IMAGE_FORMAT fif, FIBITMAP* dib, int flags,
                       Fill fill) {
    if (!dib)
        return false;
    fill(dib);
    const bool ok = FreeImage_Save(fif, dib, QFile::encodeName(path).constData(), flags);
    FreeImage_Unload(dib);
    return ok;
}

} // namespace

class TestScaleImage : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void loadsExactPixelsTopDown_data();
    void loadsExactPixelsTopDown();
    void convertsEveryKind_data();
    void convertsEveryKind();

private:
    QString path(const QString& name) const { return tmp_.filePath(name); }
    QTemporaryDir tmp_;
};

void TestScaleImage::initTestCase() {
    QVERIFY(tmp_.isValid());
    // FreeImage registers its formats when the library loads; nothing calls
    // FreeImage_Initialise.
    QVERIFY(FreeImage_GetFIFCount() > 20);
}

void TestScaleImage::loadsExactPixelsTopDown_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("PNG") << "exact.png" << encoded(patterned(), "PNG");
    QTest::newRow("BMP") << "exact.bmp" << encoded(patterned(), "BMP");
}

void TestScaleImage::loadsExactPixelsTopDown() {
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QVERIFY(writeBytes(path(name), content));
    const QImage loaded = FreeImageLoader::Load(path(name), 0xFFFFFFFF);
    QCOMPARE(loaded.format(), QImage::Format_RGB32);
    QCOMPARE(loaded, patterned());
}

void TestScaleImage::convertsEveryKind_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRgb>("expected"); // pixel (0, 0) over a red background
    QTest::addColumn<int>("tolerance");

    auto write = [this](const QString& name, const QImage& img, const char* format) {
        return writeBytes(path(name), encoded(img, format));
    };
    QImage half(2, 2, QImage::Format_ARGB32);
    half.fill(qRgba(0, 255, 0, 128));
    QVERIFY(write("half.png", half, "PNG"));
    QTest::newRow("alpha composed over background") << "half.png" << qRgb(127, 128, 0) << 1;

    QImage indexed(2, 2, QImage::Format_Indexed8);
    indexed.setColorTable({qRgba(0, 0, 0, 0), qRgb(0, 0, 255)});
    indexed.fill(0);
    QVERIFY(write("indexed.png", indexed, "PNG"));
    QTest::newRow("palette with transparency") << "indexed.png" << kRed << 0;

    QImage deep(2, 2, QImage::Format_RGBA64);
    deep.fill(QColor::fromRgba64(0x8080, 0x4040, 0x2020, 0xFFFF));
    QVERIFY(write("deep.png", deep, "PNG"));
    QTest::newRow("16 bits per channel") << "deep.png" << qRgb(0x80, 0x40, 0x20) << 1;

    QImage grey16(2, 2, QImage::Format_Grayscale16);
    grey16.fill(QColor::fromRgba64(0x9090, 0x9090, 0x9090));
    QVERIFY(write("grey16.png", grey16, "PNG"));
    QTest::newRow("16-bit greyscale") << "grey16.png" << qRgb(0x90, 0x90, 0x90) << 1;

    const bool bmp32 = saveWithFreeImage(path("zeroalpha.bmp"), FIF_BMP,
                                         FreeImage_Allocate(2, 2, 32), 0, [](FIBITMAP* dib) {
                                             for (unsigned y = 0; y < 2; ++y) {
                                                 BYTE* row = FreeImage_GetScanLine(dib, int(y));
                                                 for (int x = 0; x < 2; ++x, row += 4) {
                                                     row[FI_RGBA_RED] = 0x11;
                                                     row[FI_RGBA_GREEN] = 0x22;
                                                     row[FI_RGBA_BLUE] = 0x33;
                                                     row[FI_RGBA_ALPHA] = 0;
                                                 }
                                             }
                                         });
    QVERIFY(bmp32);
    QTest::newRow("32-bit BMP with unused zero alpha")
        << "zeroalpha.bmp" << qRgb(0x11, 0x22, 0x33) << 0;

    const bool cmyk = saveWithFreeImage(path("cmyk.tif"), FIF_TIFF, FreeImage_Allocate(2, 2, 32),
                                        TIFF_CMYK, [](FIBITMAP* dib) {
                                            for (unsigned y = 0; y < 2; ++y) {
                                                BYTE* row = FreeImage_GetScanLine(dib, int(y));
                                                for (int x = 0; x < 2; ++x, row += 4) {
                                                    row[0] = 0; // C, M, Y, K: pure red
                                                    row[1] = 255;
                                                    row[2] = 255;
                                                    row[3] = 0;
                                                }
                                            }
                                        });
    QVERIFY(cmyk);
    QTest::newRow("CMYK TIFF") << "cmyk.tif" << kRed << 2;

    const bool pfm = saveWithFreeImage(
        path("float.pfm"), FIF_PFM, FreeImage_AllocateT(FIT_RGBF, 2, 2), 0, [](FIBITMAP* dib) {
            for (unsigned y = 0; y < 2; ++y) {
                auto* px = reinterpret_cast<FIRGBF*>(FreeImage_GetScanLine(dib, int(y)));
                for (int x = 0; x < 2; ++x)
                    px[x] = {1.0f, 1.0f, 1.0f};
            }
        });
    QVERIFY(pfm);
    QTest::newRow("floating point, tone-mapped") << "float.pfm" << qRgb(255, 255, 255) << 8;
}

void TestScaleImage::convertsEveryKind() {
    QFETCH(QString, name);
    QFETCH(QRgb, expected);
    QFETCH(int, tolerance);
    const QImage loaded = FreeImageLoader::Load(path(name), kRed);
    QCOMPARE(loaded.size(), QSize(2, 2));
    const QRgb got = loaded.pixel(0, 0);
    const int diff =
        std::max({std::abs(qRed(got) - qRed(expected)), std::abs(qGreen(got) - qGreen(expected)),
                  std::abs(qBlue(got) - qBlue(expected))});
    QVERIFY2(diff <= tolerance, qPrintable(QString::number(got, 16)));
}

QTEST_MAIN(TestScaleImage)
#include "tst_mScaleImage.moc"
