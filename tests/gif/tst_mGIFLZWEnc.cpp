// The LZW encoder: what it writes is read back by our decoder unchanged, across a
// full table, the longest strings and the interlace passes, in sub-blocks of
// exactly 254 bytes but the last. giflib reads its output in the conformance test.

#include "LzwStreams.h"
#include "gif/mGIFLZWDec.h"
#include "gif/mGIFLZWEnc.h"

#include <QRandomGenerator>
#include <QTest>

class tst_mGIFLZWEnc : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
};

void tst_mGIFLZWEnc::roundTrip_data() {
    QTest::addColumn<bool>("random"); // else one colour: the longest strings
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("codeSize");
    QTest::addColumn<bool>("interlaced");

    QTest::newRow("random 256 colours, table fills") << true << 301 << 203 << 8 << false;
    QTest::newRow("random 4 colours, interlaced") << true << 64 << 77 << 2 << true;
    QTest::newRow("one colour") << false << 1000 << 700 << 2 << false;
    QTest::newRow("one column") << true << 1 << 300 << 8 << false;
    QTest::newRow("one row") << true << 5000 << 1 << 5 << false;
    QTest::newRow("3 rows interlaced") << true << 9 << 3 << 3 << true;
}

void tst_mGIFLZWEnc::roundTrip() {
    QFETCH(bool, random);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, codeSize);
    QFETCH(bool, interlaced);

    // Rows padded to 4 bytes with a value that must not be encoded.
    const int stride = (width + 3) & ~3;
    std::vector<uint8_t> px(size_t(stride) * size_t(height), 0xCD);
    QRandomGenerator rng(uint(width * 7919 + height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            px[size_t(y * stride + x)] = uint8_t(random ? rng.bounded(1 << codeSize) : 1);
        }
    }
    std::vector<uint8_t> blocks;
    mGIFLZWEnc::EncodeFrame({px.data(), width, height, stride}, uint8_t(codeSize), interlaced,
                            blocks);
    for (size_t at = 0; at < blocks.size(); at += blocks[at] + 1) {
        const bool last = at + blocks[at] + 1 == blocks.size();
        QVERIFY(last ? blocks[at] > 0 : blocks[at] == 254);
    }

    const std::vector<uint8_t> data = lzwtest::joinSubBlocks(blocks);
    std::vector<uint8_t> back(px.size(), 0xCD);
    const auto r = mGIFLZWDec::DecodeFrame({back.data(), width, height, stride}, interlaced,
                                           uint8_t(codeSize), data.data(), data.size());
    QCOMPARE(r.status, mGIFLZWDec::DecodeStatus::EndCode);
    for (int y = 0; y < height; ++y) {
        const auto row = px.begin() + y * stride;
        QVERIFY2(std::equal(row, row + width, back.begin() + y * stride),
                 qPrintable(QString("row %1 differs").arg(y)));
    }
}

QTEST_APPLESS_MAIN(tst_mGIFLZWEnc)
#include "tst_mGIFLZWEnc.moc"
