// Writing GIF files: models the format cannot hold and the protection of an
// existing file. Corpus files are saved and read back by giflib (fields,
// interlace order, indices) in the conformance test, and damaged ones (indices
// beyond their table, no colour table) saved and reloaded in the robustness test.

#include "FramePixels.h"
#include "gif/cGIF.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

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

} // namespace

class tst_cGIFWriter : public QObject {
    Q_OBJECT

private slots:
    void refusals_data();
    void refusals();
    void saveReplacesOnlyWhenComplete();
};

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
