// Writing GIF files: the exact bytes of small models, models the format cannot
// hold or that need care, and the protection of an existing file. Corpus files are
// saved and read back by giflib (fields, interlace order, indices) in the
// conformance test.

#include "FramePixels.h"
#include "GifBuilder.h"
#include "gif/cGIF.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>

using giftest::toVector;

namespace {

QByteArray bytesOf(const std::vector<uint8_t>& v) {
    return QByteArray(reinterpret_cast<const char*>(v.data()), qsizetype(v.size()));
}

QByteArray save(cGIF& gif) {
    std::vector<uint8_t> out;
    return gif.SaveToStream(out) ? bytesOf(out) : QByteArray();
}

// A one-frame w x h model with pixels (x + y * w) mod 256 and a global table.
void fillModel(cGIF& gif, int w, int h, int globalEntries) {
    gif.FrameInsert(1, int16_t(w), int16_t(h));
    gif.setGlobalPaletteExists(true);
    gif.setGlobalPaletteEntries(int16_t(globalEntries));
    const auto image = gif.FrameDIBXOR(1);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            image->lpBits()[y * image->BytesPerScanline() + x] =
                uint8_t((x + y * w) % globalEntries);
        }
    }
}

const QByteArray kNetscape("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19);

} // namespace

class tst_cGIFWriter : public QObject {
    Q_OBJECT

private slots:
    void onePixelFile();
    void refusals_data();
    void refusals();
    void awkwardModels_data();
    void awkwardModels();
    void saveReplacesOnlyWhenComplete();
};

void tst_cGIFWriter::onePixelFile() {
    cGIF gif;
    fillModel(gif, 1, 1, 2);
    const QByteArray expected =
        QByteArray("GIF89a") + QByteArray("\1\0\1\0\x80\0\0", 7) + QByteArray(6, '\0') + kNetscape +
        QByteArray("\x21\xF9\x04\0\0\0\0\0", 8) + QByteArray("\x2C\0\0\0\0\1\0\1\0\0", 10) +
        QByteArray("\x02\x02\x44\x01\x00\x3B", 6);
    QCOMPARE(save(gif), expected);

    cGIF empty;
    QCOMPARE(save(empty), QByteArray("GIF87a\0\0\0\0\0\0\0;", 14));
}

void tst_cGIFWriter::refusals_data() {
    QTest::addColumn<QString>("change");
    QTest::newRow("global table of 257") << "global";
    QTest::newRow("local table of 300") << "local";
    QTest::newRow("disposal 8") << "disposal";
}

void tst_cGIFWriter::refusals() {
    QFETCH(QString, change);
    cGIF gif;
    fillModel(gif, 2, 2, 4);
    if (change == "global") {
        gif.setGlobalPaletteEntries(257);
    } else if (change == "local") {
        gif.setLocalPaletteUsed(1, true);
        gif.setLocalPaletteEntries(1, 300);
    } else {
        gif.setFrameDisposalMethod(1, 8);
    }
    std::vector<uint8_t> out{1, 2, 3};
    QVERIFY(!gif.SaveToStream(out));
    QVERIFY(out.empty());
}

void tst_cGIFWriter::awkwardModels_data() {
    QTest::addColumn<int>("globalEntries"); // 0: no colour table at all
    QTest::addColumn<QByteArray>("pixels");
    QTest::addColumn<int>("packed");

    QTest::newRow("no colour table") << 0 << QByteArray("\0\2\0\1", 4) << 0x00;
    // A damaged file can decode to these; they must not become codes of the
    // table's width.
    QTest::newRow("indices beyond a 4-entry table") << 4 << QByteArray("\0\xC8\4\xFF", 4) << 0x91;
}

void tst_cGIFWriter::awkwardModels() {
    QFETCH(int, globalEntries);
    QFETCH(QByteArray, pixels);
    QFETCH(int, packed);

    cGIF gif;
    gif.FrameInsert(1, 4, 1);
    gif.setGlobalPaletteExists(globalEntries > 0);
    gif.setGlobalPaletteEntries(int16_t(globalEntries));
    std::memcpy(gif.FrameDIBXOR(1)->lpBits(), pixels.constData(), 4);
    const QByteArray file = save(gif);
    QVERIFY(!file.isEmpty());
    QCOMPARE(int(uint8_t(file[10])), packed);
    cGIF back;
    QVERIFY(back.LoadFromStream(toVector(file)));
    QCOMPARE(giftest::FrameIndices(back, 1), pixels);
}

void tst_cGIFWriter::saveReplacesOnlyWhenComplete() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("picture.gif");
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("old contents");
    }
    cGIF gif;
    fillModel(gif, 5, 5, 4);
    QVERIFY(gif.Save(path.toStdString()));
    cGIF back;
    QVERIFY(back.LoadFromFile(path.toStdString()));
    QCOMPARE(giftest::FrameIndices(back, 1), giftest::FrameIndices(gif, 1));

    // A model that cannot be written leaves the file as it was.
    QFile before(path);
    QVERIFY(before.open(QIODevice::ReadOnly));
    const QByteArray saved = before.readAll();
    gif.setGlobalPaletteEntries(1000);
    QVERIFY(!gif.Save(path.toStdString()));
    QFile after(path);
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), saved);

    // Targets that cannot be written: a folder, a missing folder, no name.
    gif.setGlobalPaletteEntries(4);
    QVERIFY(QDir(dir.path()).mkdir("sub"));
    QVERIFY(!gif.Save(dir.filePath("sub").toStdString()));
    QVERIFY(QFileInfo(dir.filePath("sub")).isDir());
    QVERIFY(!gif.Save(dir.filePath("missing/x.gif").toStdString()));
    QVERIFY(!gif.Save(""));
    // No temporary file is left behind.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"picture.gif"});
}

QTEST_APPLESS_MAIN(tst_cGIFWriter)
#include "tst_cGIFWriter.moc"
