// The LZW encoder: what it writes is read back by our decoder unchanged, in
// sub-blocks of at most 254 bytes, with the clear code where the table fills.

#include "LzwStreams.h"
#include "gif/mGIFLZWDec.h"
#include "gif/mGIFLZWEnc.h"

#include <QRandomGenerator>
#include <QTest>
#include <vector>

using namespace lzwtest;

namespace {

std::vector<uint8_t> makeImage(const QString& pattern, int width, int height, int stride,
                               int colours) {
    std::vector<uint8_t> px(size_t(stride) * size_t(height), 0xCD); // padding is not data
    QRandomGenerator rng(uint(width * 7919 + height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            int v = 0;
            if (pattern == "random") {
                v = int(rng.bounded(colours));
            } else if (pattern == "stripes") {
                v = (x / 3 + y) % colours;
            } else if (pattern == "noisy runs") {
                v = rng.bounded(8) == 0 ? int(rng.bounded(colours)) : (y / 4) % colours;
            } else if (pattern == "constant") {
                v = colours - 1;
            }
            px[size_t(y) * size_t(stride) + size_t(x)] = uint8_t(v);
        }
    }
    return px;
}

std::vector<uint8_t> encode(const std::vector<uint8_t>& px, int width, int height, int stride,
                            int codeSize, bool interlaced) {
    std::vector<uint8_t> out;
    mGIFLZWEnc::EncodeFrame({px.data(), width, height, stride}, uint8_t(codeSize), interlaced, out);
    return out;
}

} // namespace

class tst_mGIFLZWEnc : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void subBlocks();
    void clearWhenTableIsFull();
};

void tst_mGIFLZWEnc::roundTrip_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("codeSize");
    QTest::addColumn<bool>("interlaced");

    QTest::newRow("random 256 colours") << "random" << 301 << 203 << 8 << false;
    QTest::newRow("random 4 colours") << "random" << 97 << 61 << 2 << false;
    QTest::newRow("random 2 colours, interlaced") << "random" << 64 << 77 << 2 << true;
    QTest::newRow("stripes, 16 colours") << "stripes" << 640 << 48 << 4 << false;
    QTest::newRow("noisy runs, interlaced") << "noisy runs" << 333 << 129 << 8 << true;
    QTest::newRow("constant (longest strings)") << "constant" << 1000 << 700 << 2 << false;
    QTest::newRow("one column") << "random" << 1 << 300 << 8 << false;
    QTest::newRow("one row") << "stripes" << 5000 << 1 << 5 << false;
    QTest::newRow("4 rows interlaced") << "random" << 9 << 4 << 3 << true;
    QTest::newRow("3 rows interlaced") << "random" << 9 << 3 << 3 << true;
}

void tst_mGIFLZWEnc::roundTrip() {
    QFETCH(QString, pattern);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, codeSize);
    QFETCH(bool, interlaced);

    const int stride = (width + 3) & ~3;
    const auto px = makeImage(pattern, width, height, stride, 1 << codeSize);
    const auto blocks = encode(px, width, height, stride, codeSize, interlaced);
    const auto data = joinSubBlocks(blocks);

    std::vector<uint8_t> back(px.size());
    const auto r = mGIFLZWDec::DecodeFrame({back.data(), width, height, stride}, interlaced,
                                           uint8_t(codeSize), data.data(), data.size());
    QCOMPARE(r.status, mGIFLZWDec::DecodeStatus::EndCode);
    for (int y = 0; y < height; ++y) {
        const size_t at = size_t(y) * size_t(stride);
        QVERIFY2(std::equal(px.begin() + qsizetype(at), px.begin() + qsizetype(at) + width,
                            back.begin() + qsizetype(at)),
                 qPrintable(QString("row %1 differs").arg(y)));
    }
}

void tst_mGIFLZWEnc::subBlocks() {
    const auto px = makeImage("random", 200, 100, 200, 256);
    const auto blocks = encode(px, 200, 100, 200, 8, false);
    size_t at = 0;
    size_t count = 0;
    while (at < blocks.size()) {
        const size_t n = blocks[at];
        QVERIFY(n > 0);
        const bool last = at + n + 1 == blocks.size();
        if (!last) {
            QCOMPARE(n, mGIFLZWEnc::kSubBlockSize);
        }
        at += n + 1;
        ++count;
    }
    QCOMPARE(at, blocks.size());
    QVERIFY(count > 10);
}

void tst_mGIFLZWEnc::clearWhenTableIsFull() {
    // Random pixels barely match: the first 3838 codes after the clear each define a
    // new string (258..4095); the next one finds the table full and a clear follows.
    const auto px = makeImage("random", 300, 100, 300, 256);
    const auto codes = unpack(joinSubBlocks(encode(px, 300, 100, 300, 8, false)), 8);
    QCOMPARE(codes.first(), 256);
    QCOMPARE(codes.indexOf(256, 1), 3840);
    QVERIFY(codes.at(3841) < 256); // read back at 9 bits: a literal
    QCOMPARE(codes.last(), 257);
}

QTEST_APPLESS_MAIN(tst_mGIFLZWEnc)
#include "tst_mGIFLZWEnc.moc"
