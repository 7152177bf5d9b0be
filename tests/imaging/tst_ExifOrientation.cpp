// Exif orientation: each of the eight values, written into real JPEGs, turns
// the decoded pixels exactly as the Exif table says (where the stored first
// row and first column end up) and exactly as Qt's own JPEG reader does with
// its automatic transform; damaged or out-of-range blocks read as Normal.

#include "ExifTestFiles.h"
#include "imaging/ExifOrientation.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QTest>

using exiftest::App1;
using exiftest::Segment;
using exiftest::Tiff;
using exiftest::TiffHeader;
using imaging::Orientation;

namespace {

/// Stripes and blocks, so that every turn and mirror gives a different picture.
QImage Asymmetric() {
    QImage img(48, 32, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qRgb(x * 5, y * 7, (x < 16 && y < 8) ? 255 : 0));
    return img;
}

QByteArray PlainJpeg() {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(95);
    writer.write(Asymmetric());
    return buffer.data();
}

/// `segments` put right after the start-of-image marker.
QByteArray JpegWith(const QByteArray& segments) {
    return exiftest::SpliceAfterSoi(PlainJpeg(), segments);
}

QImage Decode(const QByteArray& bytes, bool autoTransform) {
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer, "jpeg");
    reader.setAutoTransform(autoTransform);
    return reader.read().convertToFormat(QImage::Format_RGB32);
}

/// The Exif table itself: for each value, the side the stored first row lies
/// on (top, bottom, left, right) and the side of the stored first column.
QImage TableModel(const QImage& s, int value) {
    static const char* const rowCol[9] = {"", "tl", "tr", "br", "bl", "lt", "rt", "rb", "lb"};
    const char row = rowCol[value][0];
    const char col = rowCol[value][1];
    const bool quarter = row == 'l' || row == 'r';
    const int w = s.width();
    const int h = s.height();
    QImage out(quarter ? h : w, quarter ? w : h, QImage::Format_RGB32);
    for (int r = 0; r < h; ++r) {
        for (int c = 0; c < w; ++c) {
            int x = 0;
            int y = 0;
            if (quarter) {
                x = row == 'l' ? r : h - 1 - r;
                y = col == 't' ? c : w - 1 - c;
            } else {
                x = col == 'l' ? c : w - 1 - c;
                y = row == 't' ? r : h - 1 - r;
            }
            out.setPixel(x, y, s.pixel(c, r));
        }
    }
    return out;
}

} // namespace

class tst_ExifOrientation : public QObject {
    Q_OBJECT
private slots:
    void eightValues_data();
    void eightValues();
    void ignored_data();
    void ignored();
    void everyPrefixIsSafe();
};

void tst_ExifOrientation::eightValues_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("bigEndian");
    for (int v = 1; v <= 8; ++v)
        for (bool big : {false, true})
            QTest::addRow("%d %s", v, big ? "MM" : "II") << v << big;
}

void tst_ExifOrientation::eightValues() {
    QFETCH(int, value);
    QFETCH(bool, bigEndian);
    Tiff t;
    t.big = bigEndian;
    t.value = quint16(value);
    t.entries = 2;
    const QByteArray jpeg = JpegWith(App1(t));
    const Orientation read = imaging::ReadOrientation(QByteArrayView(jpeg));
    QCOMPARE(int(read), value);
    const QImage stored = Decode(jpeg, false);
    const QImage upright = imaging::ApplyOrientation(stored, read);
    QCOMPARE(upright, TableModel(stored, value));
    QCOMPARE(upright, Decode(jpeg, true));
    QCOMPARE(imaging::OrientedSize(stored.size(), read), upright.size());
    QBuffer device;
    device.setData(jpeg);
    device.open(QIODevice::ReadOnly);
    QCOMPARE(imaging::ReadOrientation(device), read);
}

void tst_ExifOrientation::ignored_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("expected");
    const auto jpeg = [](Tiff t) { return JpegWith(App1(t)); };
    QTest::newRow("value 0") << jpeg({.value = 0}) << 1;
    QTest::newRow("value 9") << jpeg({.value = 9}) << 1;
    QTest::newRow("value 65535") << jpeg({.big = true, .value = 0xFFFF}) << 1;
    QTest::newRow("type LONG") << jpeg({.value = 6, .type = 4}) << 1;
    QTest::newRow("count 2") << jpeg({.value = 6, .count = 2}) << 1;
    QTest::newRow("IFD past the block") << jpeg({.value = 6, .ifdOffset = 4000}) << 1;
    QTest::newRow("IFD offset wraps") << jpeg({.value = 6, .ifdOffset = 0xFFFFFFF0u}) << 1;
    // The entries that are there still count.
    QTest::newRow("entry count past the block") << jpeg({.value = 6, .entries = 60000}) << 6;
    QTest::newRow("only the first entry counted") << jpeg({.value = 6, .entries = 1}) << 1;
    QByteArray badMagic = App1({.value = 6});
    badMagic[12] = 43;
    QTest::newRow("TIFF magic 43") << JpegWith(badMagic) << 1;
    QByteArray badOrder = App1({.value = 6});
    badOrder[10] = 'M';
    QTest::newRow("byte order IM") << JpegWith(badOrder) << 1;
    QByteArray longer = App1({.value = 6, .entries = 2});
    longer[2] = char(0x7F);
    QTest::newRow("APP1 longer than the file") << JpegWith(longer) << 6;
    QByteArray zero = App1({.value = 6});
    zero[2] = zero[3] = 0;
    QTest::newRow("segment length 0") << JpegWith(zero) << 1;
    QByteArray afterScan = PlainJpeg();
    afterScan.insert(afterScan.indexOf("\xFF\xDA") + 2, App1({.value = 6, .entries = 2}));
    QTest::newRow("after the scan") << afterScan << 1;
    QTest::newRow("XMP before Exif")
        << JpegWith(Segment(0xE1, "http://ns.adobe.com/xap/1.0/\0<x/>") +
                    App1({.value = 5, .entries = 2}))
        << 5;
    QTest::newRow("TIFF file") << TiffHeader({.big = true, .value = 8, .entries = 2}) << 8;
    QTest::newRow("garbage") << QByteArray("\xFF\xD8\x00\x01garbage", 11) << 1;
    QTest::newRow("empty") << QByteArray() << 1;
}

void tst_ExifOrientation::ignored() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, expected);
    QCOMPARE(int(imaging::ReadOrientation(QByteArrayView(bytes))), expected);
}

void tst_ExifOrientation::everyPrefixIsSafe() {
    // A file cut anywhere reads as Normal or as its value, never past its end
    // (the sanitizer build watches the reads).
    const QByteArray full = JpegWith(App1({.big = true, .value = 7, .entries = 2}));
    for (qsizetype n = 0; n <= 200; ++n) {
        const QByteArray cut(full.constData(), n); // a copy the size of the prefix
        const int v = int(imaging::ReadOrientation(QByteArrayView(cut)));
        QVERIFY2(v == 1 || v == 7, qPrintable(QString::number(n)));
    }
}

QTEST_GUILESS_MAIN(tst_ExifOrientation)
#include "tst_ExifOrientation.moc"
