// The LZW decoder on hand-made code streams: the cases real files seldom hold
// (damage, extreme code sizes, a full table, the longest string, short
// interlaced frames). Ordinary decoding is checked against giflib on the corpus.

#include "LzwStreams.h"
#include "gif/mGIFLZWDec.h"

#include <QTest>
#include <memory>

using namespace lzwtest;
using mGIFLZWDec::DecodeStatus;

Q_DECLARE_METATYPE(DecodeStatus)

namespace {

// Writes codes after a clear code with the widths the standard rule gives them.
class CodeWriter {
public:
    explicit CodeWriter(int codeSize) : m_clear(1 << codeSize), m_width(codeSize + 1) {
        m_next = m_clear + 2;
        codes.append({m_clear, m_width});
    }
    void put(int code) {
        codes.append({code, m_width});
        if (!m_first && m_next < 4096) {
            ++m_next;
        }
        m_first = false;
        if (m_next > (1 << m_width) - 1 && m_width < 12) {
            ++m_width;
        }
    }
    void end() { codes.append({m_clear + 1, m_width}); }
    int next() const { return m_next; }

    Codes codes;

private:
    int m_clear;
    int m_width;
    int m_next;
    bool m_first = true;
};

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
    void fullTableKeepsEntries();
    void neverReadsPastData();
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

void tst_mGIFLZWDec::fullTableKeepsEntries() {
    // Literals 0 1 0 1 ... until codes 258..4095 are all defined; with the table full
    // further codes must neither add entries nor disturb 258 ("0 1") and 4095.
    CodeWriter w(8);
    QByteArray expected;
    for (int i = 0; w.next() < 4096; ++i) {
        w.put(i % 2);
        expected.append(char(i % 2));
    }
    // 4095 is the literal before the last plus the last one.
    const QByteArray last = expected.right(2);
    for (int code : {7, 258, 4095, 258}) {
        w.put(code);
    }
    w.end();
    expected += QByteArray("\7\0\1", 3) + last + QByteArray("\0\1", 2);

    const Decoded d = run(int(expected.size()), 1, false, 8, w.codes);
    QCOMPARE(d.status, DecodeStatus::EndCode);
    QCOMPARE(d.image, expected);
}

void tst_mGIFLZWDec::neverReadsPastData() {
    // The data sit at the very end of a heap block, so that ASan sees any read past
    // them (the bit reader loads whole words); every cut must end cleanly.
    const std::vector<uint8_t> full =
        pack({{256, 9}, {1, 9}, {2, 9}, {258, 9}, {260, 9}, {3, 9}, {257, 9}});
    for (size_t cut = 0; cut <= full.size(); ++cut) {
        auto data = std::make_unique<uint8_t[]>(cut);
        std::copy(full.begin(), full.begin() + std::ptrdiff_t(cut), data.get());
        std::vector<uint8_t> surface(64 * 3);
        const auto r =
            mGIFLZWDec::DecodeFrame({surface.data(), 64, 3, 64}, false, 8, data.get(), cut);
        QVERIFY(r.pixels <= 10);
        QCOMPARE(r.status, cut == full.size() ? DecodeStatus::EndCode : DecodeStatus::DataEnded);
    }
}

QTEST_APPLESS_MAIN(tst_mGIFLZWDec)
#include "tst_mGIFLZWDec.moc"
