// The preview must show exactly what FreeImage's own filter makes of the load
// box's current picture, whatever 24-bit copy the bridge kept from an earlier
// load or rescale.

#include "imaging/FreeImageLoader.h"
#include "imaging/mScaleImage.h"
#include "platform/PictureBox.h"

#include <FreeImage.h>
#include <QTemporaryDir>
#include <QTest>

using imaging::FreeImageLoader;

namespace {

constexpr int kPane = 30;

/// Every pixel differs from its neighbours and from its mirror images, so
/// that flipped rows, swapped channels or stale pixels change the result.
QImage picture(int w, int h, int seed) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y,
                         qRgb((x * 7 + y * 3 + seed) & 0xFF, (x * x + y * 5 + seed * 3) & 0xFF,
                              ((y * 11) ^ (x + seed)) & 0xFF));
    return img;
}

/// FreeImage's Lanczos3 of `img` taken as a 24-bit bitmap, pixel by pixel
/// through FreeImage's own accessors.
QImage freeImageLanczos(const QImage& img, int w, int h) {
    FIBITMAP* src = FreeImage_Allocate(img.width(), img.height(), 24);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb p = img.pixel(x, y);
            RGBQUAD q{BYTE(qBlue(p)), BYTE(qGreen(p)), BYTE(qRed(p)), 0};
            FreeImage_SetPixelColor(src, unsigned(x), unsigned(img.height() - 1 - y), &q);
        }
    FIBITMAP* small = FreeImage_Rescale(src, w, h, FILTER_LANCZOS3);
    QImage out(w, h, QImage::Format_RGB32);
    for (int y = 0; small && y < h; ++y)
        for (int x = 0; x < w; ++x) {
            RGBQUAD q{};
            FreeImage_GetPixelColor(small, unsigned(x), unsigned(h - 1 - y), &q);
            out.setPixel(x, y, qRgb(q.rgbRed, q.rgbGreen, q.rgbBlue));
        }
    FreeImage_Unload(small);
    FreeImage_Unload(src);
    return out;
}

/// Saves `img` as a 24-bit BMP through FreeImage, so that loading it leaves a
/// 24-bit decode behind.
bool save24(const QImage& img, const QString& path) {
    FIBITMAP* dib = FreeImage_Allocate(img.width(), img.height(), 24);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb p = img.pixel(x, y);
            RGBQUAD q{BYTE(qBlue(p)), BYTE(qGreen(p)), BYTE(qRed(p)), 0};
            FreeImage_SetPixelColor(dib, unsigned(x), unsigned(img.height() - 1 - y), &q);
        }
    const bool ok = FreeImage_Save(FIF_BMP, dib, QFile::encodeName(path).constData(), 0);
    FreeImage_Unload(dib);
    return ok;
}

/// Saves `img` as a PNG with an alpha channel: its decode is 32-bit.
bool saveWithAlpha(const QImage& img, const QString& path) {
    return img.convertToFormat(QImage::Format_ARGB32).save(path, "PNG");
}

/// What happens before the preview under test.
enum class Before {
    NothingKept,     // no copy kept
    LoadOfSame,      // a 24-bit load of the very picture
    LoadThenDrawn,   // a 24-bit load of another picture, then the box drawn over
    RescaleOfOther,  // a preview of another picture of the same size
    OtherSize,       // a preview of a picture of another size
    Load32ThenDrawn, // a 32-bit load (keeps nothing), then the box drawn over
    FailedLoad,      // a file that cannot be read, after a preview of another picture
};

} // namespace

Q_DECLARE_METATYPE(Before)

class TestScaleImagePreview : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(tmp_.isValid()); }
    void previewIsFreeImagesFilter_data();
    void previewIsFreeImagesFilter();
    void narrowPicturesRescale_data();
    void narrowPicturesRescale();

private:
    QString path(const QString& name) const { return tmp_.filePath(name); }
    void prepare(Before before, const QImage& shown, platform::PictureBox& load,
                 platform::PictureBox& pane);
    QTemporaryDir tmp_;
};

void TestScaleImagePreview::prepare(Before before, const QImage& shown, platform::PictureBox& load,
                                    platform::PictureBox& pane) {
    const QImage other = picture(shown.width(), shown.height(), 99);
    switch (before) {
    case Before::NothingKept:
        FreeImageLoader::ReleaseScratch();
        load.setAutoSize(true);
        load.setImage(shown);
        break;
    case Before::LoadOfSame:
        QVERIFY(save24(shown, path("same.bmp")));
        QVERIFY(imaging::LoadImageFile(path("same.bmp"), load));
        break;
    case Before::LoadThenDrawn:
        QVERIFY(save24(other, path("other.bmp")));
        QVERIFY(imaging::LoadImageFile(path("other.bmp"), load));
        load.setImage(shown);
        break;
    case Before::RescaleOfOther:
        load.setAutoSize(true);
        load.setImage(other);
        imaging::ScalePreview(load, pane, 0, true);
        load.setImage(shown);
        break;
    case Before::OtherSize:
        load.setAutoSize(true);
        load.setImage(picture(shown.width() + 7, shown.height() - 5, 5));
        imaging::ScalePreview(load, pane, 0, true);
        load.setImage(shown);
        break;
    case Before::Load32ThenDrawn:
        QVERIFY(saveWithAlpha(other, path("other.png")));
        QVERIFY(imaging::LoadImageFile(path("other.png"), load));
        load.setImage(shown);
        break;
    case Before::FailedLoad:
        load.setAutoSize(true);
        load.setImage(other);
        imaging::ScalePreview(load, pane, 0, true);
        load.setImage(shown);
        QVERIFY(save24(other, path("cut.bmp")));
        QVERIFY(QFile::resize(path("cut.bmp"), 40));
        QVERIFY(!imaging::LoadImageFile(path("cut.bmp"), load));
        break;
    }
}

void TestScaleImagePreview::previewIsFreeImagesFilter_data() {
    QTest::addColumn<Before>("before");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRect>("placed");
    const QSize wide(90, 60), tall(45, 75);
    const QRect inWide(0, 5, 30, 20), inTall(6, 0, 18, 30);
    QTest::newRow("nothing kept") << Before::NothingKept << wide << inWide;
    QTest::newRow("kept from a load of the same picture") << Before::LoadOfSame << wide << inWide;
    QTest::newRow("kept from a load, box drawn over since")
        << Before::LoadThenDrawn << wide << inWide;
    QTest::newRow("kept from a preview of another picture")
        << Before::RescaleOfOther << wide << inWide;
    QTest::newRow("kept from a picture of another size") << Before::OtherSize << wide << inWide;
    QTest::newRow("32-bit load, box drawn over since") << Before::Load32ThenDrawn << wide << inWide;
    QTest::newRow("failed load keeps the picture") << Before::FailedLoad << wide << inWide;
    QTest::newRow("portrait, kept from a load") << Before::LoadThenDrawn << tall << inTall;
    QTest::newRow("portrait, nothing kept") << Before::NothingKept << tall << inTall;
}

void TestScaleImagePreview::previewIsFreeImagesFilter() {
    QFETCH(Before, before);
    QFETCH(QSize, size);
    QFETCH(QRect, placed);
    const QImage shown = picture(size.width(), size.height(), 1);
    platform::PictureBox load, pane;
    pane.resize(kPane, kPane);
    prepare(before, shown, load, pane);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(load.size(), size);
    imaging::ScalePreview(load, pane, 0, true);
    const QImage expected = freeImageLanczos(shown, placed.width(), placed.height());
    QCOMPARE(pane.Image().copy(placed), expected);
    // A resize of the pane rescales the same picture again.
    pane.resize(kPane * 2, kPane * 2);
    imaging::ScalePreview(load, pane, 0, true);
    const QRect twice(placed.x() * 2, placed.y() * 2, placed.width() * 2, placed.height() * 2);
    QCOMPARE(pane.Image().copy(twice), freeImageLanczos(shown, twice.width(), twice.height()));
}

void TestScaleImagePreview::narrowPicturesRescale_data() {
    // Rows of 1 to 5 pixels: the row copies treat the last pixels apart, so
    // that no read or write strays past a row (the sanitizer build checks).
    QTest::addColumn<QSize>("size");
    for (int w = 1; w <= 5; ++w)
        QTest::addRow("%d pixels wide", w) << QSize(w, 9);
}

void TestScaleImagePreview::narrowPicturesRescale() {
    QFETCH(QSize, size);
    const QImage src = picture(size.width(), size.height(), 3);
    const QImage out = imaging::RescaleBitmap(src, size.width(), 3, 5);
    QCOMPARE(out, freeImageLanczos(src, size.width(), 3));
}

QTEST_MAIN(TestScaleImagePreview)
#include "tst_mScaleImagePreview.moc"
