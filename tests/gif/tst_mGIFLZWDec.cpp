// The LZW decoder on hand-made code streams: the cases real files seldom hold
// (damage, extreme code sizes, short interlaced frames). Ordinary decoding,
// full tables included, is checked against giflib on the corpus; reads past
// the data by the sanitizer build of the robustness test.

#include "LzwStreams.h"
#include "gif/mGIFLZWDec.h"

#include <QTest>
#include <memory>

using namespace lzwtest;
using mGIFLZWDec::DecodeStatus;

Q_DECLARE_METATYPE(DecodeStatus)

namespace {

struct Decoded {
    QByteArray image; // the rows, top first
    DecodeStatus status;
    size_t pixels;
};

Decoded run(int width, int height, bool interlaced, int codeSize, const Codes& codes) {
    std::vector<uint8_t> surface(size_t(width) * size_t(height), 0xEE);
    const std::vector<uint8_t> data = pack(codes);
    const auto r = mGIFLZWDec::DecodeFrame({surface.data(), width, height, width}, interlaced,
                                           uint8_t(codeSize), data.data(), data.size());
    return {QByteArray(reinterpret_cast<const char*>(surface.data()), qsizetype(surface.size())),
            r.status, r.pixels};
}

} // namespace

class tst_mGIFLZWDec : public QObject {
    Q_OBJECT

private slots:
    void decode_data();
    void decode();
};

void tst_mGIFLZWDec::decode_data() {
    QTest::addColumn<int>("codeSize");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("interlaced");
    QTest::addColumn<Codes>("codes");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<DecodeStatus>("status");

    // Clear 2, end 3, first free code 4: the width is 3 from the second code on.
    QTest::newRow("code size 1") << 1 << 4 << 1 << false
                                 << Codes{{2, 2}, {1, 2}, {0, 3}, {4, 3}, {3, 3}}
                                 << QByteArray("\1\0\1\0", 4) << DecodeStatus::EndCode;
    QTest::newRow("code size 11 keeps the low byte")
        << 11 << 1 << 1 << false << Codes{{2048, 12}, {1000, 12}, {2049, 12}}
        << QByteArray("\xE8", 1) << DecodeStatus::EndCode;
    QTest::newRow("pixels beyond the frame are dropped")
        << 2 << 2 << 1 << false << Codes{{4, 3}, {1, 3}, {2, 3}, {3, 3}, {5, 4}}
        << QByteArray("\1\2", 2) << DecodeStatus::Filled;
    QTest::newRow("string cut at the frame's end")
        << 2 << 3 << 1 << false << Codes{{4, 3}, {1, 3}, {2, 3}, {6, 3}, {5, 4}}
        << QByteArray("\1\2\1", 3) << DecodeStatus::Filled;
    QTest::newRow("data ends early") << 8 << 4 << 1 << false << Codes{{256, 9}, {7, 9}}
                                     << QByteArray("\7\0\0\0", 4) << DecodeStatus::DataEnded;
    QTest::newRow("code above next free code")
        << 2 << 4 << 1 << false << Codes{{4, 3}, {1, 3}, {7, 3}, {1, 3}, {5, 3}}
        << QByteArray("\1\0\0\0", 4) << DecodeStatus::BadCode;
    QTest::newRow("string code right after clear")
        << 2 << 2 << 1 << false << Codes{{4, 3}, {6, 3}, {1, 3}, {5, 3}} << QByteArray("\0\0", 2)
        << DecodeStatus::BadCode;
    QTest::newRow("code size 0") << 0 << 2 << 1 << false << Codes{{1, 1}, {0, 1}, {2, 2}}
                                 << QByteArray("\0\0", 2) << DecodeStatus::BadCodeSize;
    QTest::newRow("code size 12") << 12 << 1 << 1 << false << Codes{{4096, 13}, {1, 13}}
                                  << QByteArray("\0", 1) << DecodeStatus::BadCodeSize;
    // Literals 0 1 2 3 in data order; short frames keep the four-pass order.
    QTest::newRow("interlaced, 4 rows")
        << 4 << 1 << 4 << true << Codes{{16, 5}, {0, 5}, {1, 5}, {2, 5}, {3, 5}, {17, 5}}
        << QByteArray("\0\2\1\3", 4) << DecodeStatus::EndCode;
}

void tst_mGIFLZWDec::decode() {
    QFETCH(int, codeSize);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(bool, interlaced);
    QFETCH(Codes, codes);
    QFETCH(QByteArray, expected);
    QFETCH(DecodeStatus, status);

    const Decoded d = run(width, height, interlaced, codeSize, codes);
    QCOMPARE(d.image, expected);
    QCOMPARE(d.status, status);
    QVERIFY(d.pixels <= size_t(width) * size_t(height));
}

QTEST_APPLESS_MAIN(tst_mGIFLZWDec)
#include "tst_mGIFLZWDec.moc"
