// The LZW decoder on hand-made code streams: string table, code widths, clear and
// end codes, interlace, and every way a damaged stream can end.

#include "LzwStreams.h"
#include "gif/mGIFLZWDec.h"

#include <QTest>
#include <memory>
#include <vector>

using namespace lzwtest;
using mGIFLZWDec::DecodeStatus;

Q_DECLARE_METATYPE(DecodeStatus)

namespace {

// Codes 0,1,0,1,... at code size 8 until the string table is full (codes 258..4095
// defined), each written with the width the standard rule gives it.
Codes fillTable(int& next, int& width) {
    Codes codes{{256, 9}};
    next = 258;
    width = 9;
    bool first = true;
    for (int i = 0; next < 4096; ++i) {
        codes.append({i % 2, width});
        if (!first) {
            ++next;
        }
        first = false;
        if (next > (1 << width) - 1 && width < 12) {
            ++width;
        }
    }
    return codes;
}

QByteArray run(int width, int height, int stride, bool interlaced, int codeSize,
               const std::vector<uint8_t>& data, DecodeStatus* status, size_t* pixels) {
    std::vector<uint8_t> surface(size_t(stride) * size_t(height), 0xEE);
    const mGIFLZWDec::PixelView view{surface.data(), width, height, stride};
    const auto r =
        mGIFLZWDec::DecodeFrame(view, interlaced, uint8_t(codeSize), data.data(), data.size());
    *status = r.status;
    *pixels = r.pixels;
    return QByteArray(reinterpret_cast<const char*>(surface.data()), qsizetype(surface.size()));
}

} // namespace

class tst_mGIFLZWDec : public QObject {
    Q_OBJECT

private slots:
    void decode_data();
    void decode();
    void rowPadding();
    void fullTableKeepsEntries();
    void longestString();
    void neverReadsPastData();
    void interlacedRowOrder_data();
    void interlacedRowOrder();
};

void tst_mGIFLZWDec::decode_data() {
    QTest::addColumn<int>("codeSize");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("interlaced");
    QTest::addColumn<Codes>("codes");
    QTest::addColumn<QByteArray>("expected"); // the rows, top first
    QTest::addColumn<DecodeStatus>("status");

    QTest::newRow("1x1 clear, 5, end") << 8 << 1 << 1 << false << Codes{{256, 9}, {5, 9}, {257, 9}}
                                       << QByteArray("\x05", 1) << DecodeStatus::EndCode;
    // 1, then 6 and 7 each name the string being defined (KwKwK): 1 11 111. Code 7
    // completes the 3-bit codes, so the end code is read with 4 bits.
    QTest::newRow("KwKwK") << 2 << 6 << 1 << false << Codes{{4, 3}, {1, 3}, {6, 3}, {7, 3}, {5, 4}}
                           << QByteArray("\1\1\1\1\1\1", 6) << DecodeStatus::EndCode;
    QTest::newRow("width 3 to 4 after code 7")
        << 2 << 4 << 1 << false << Codes{{4, 3}, {0, 3}, {1, 3}, {2, 3}, {3, 4}, {5, 4}}
        << QByteArray("\0\1\2\3", 4) << DecodeStatus::EndCode;
    // After the clear code the width is back to 3 bits, the next code is a literal and
    // code 6 is defined anew ("3 0" instead of "1 2").
    QTest::newRow("clear in mid-stream")
        << 2 << 8 << 1 << false
        << Codes{{4, 3}, {1, 3}, {2, 3}, {6, 3}, {4, 4}, {3, 3}, {0, 3}, {6, 3}, {5, 4}}
        << QByteArray("\1\2\1\2\3\0\3\0", 8) << DecodeStatus::EndCode;
    QTest::newRow("consecutive clears")
        << 2 << 2 << 1 << false << Codes{{4, 3}, {4, 3}, {4, 3}, {2, 3}, {3, 3}, {5, 3}}
        << QByteArray("\2\3", 2) << DecodeStatus::EndCode;
    QTest::newRow("no leading clear code") << 2 << 2 << 1 << false << Codes{{2, 3}, {3, 3}, {5, 3}}
                                           << QByteArray("\2\3", 2) << DecodeStatus::EndCode;
    QTest::newRow("data ends early") << 8 << 4 << 1 << false << Codes{{256, 9}, {7, 9}}
                                     << QByteArray("\7\0\0\0", 4) << DecodeStatus::DataEnded;
    QTest::newRow("no data at all")
        << 8 << 2 << 1 << false << Codes{} << QByteArray("\0\0", 2) << DecodeStatus::DataEnded;
    QTest::newRow("code above next free code")
        << 2 << 4 << 1 << false << Codes{{4, 3}, {1, 3}, {7, 3}, {1, 3}, {5, 3}}
        << QByteArray("\1\0\0\0", 4) << DecodeStatus::BadCode;
    QTest::newRow("string code right after clear")
        << 2 << 2 << 1 << false << Codes{{4, 3}, {6, 3}, {1, 3}, {5, 3}} << QByteArray("\0\0", 2)
        << DecodeStatus::BadCode;
    QTest::newRow("pixels beyond the frame are dropped")
        << 2 << 2 << 1 << false << Codes{{4, 3}, {1, 3}, {2, 3}, {3, 3}, {5, 4}}
        << QByteArray("\1\2", 2) << DecodeStatus::Filled;
    QTest::newRow("string cut at the frame's end")
        << 2 << 3 << 1 << false << Codes{{4, 3}, {1, 3}, {2, 3}, {6, 3}, {5, 4}}
        << QByteArray("\1\2\1", 3) << DecodeStatus::Filled;
    QTest::newRow("several rows") << 4 << 2 << 3 << false
                                  << Codes{{16, 5}, {1, 5}, {2, 5}, {3, 5}, {18, 5}, {17, 5}}
                                  << QByteArray("\1\2\3\1\2\0", 6) << DecodeStatus::EndCode;
    // Clear 2, end 3, first free code 4: already the first code after a clear
    // overflows two bits, so the width is 3 from the second code on.
    QTest::newRow("code size 1") << 1 << 4 << 1 << false
                                 << Codes{{2, 2}, {1, 2}, {0, 3}, {4, 3}, {3, 3}}
                                 << QByteArray("\1\0\1\0", 4) << DecodeStatus::EndCode;
    QTest::newRow("code size 11 keeps the low byte")
        << 11 << 1 << 1 << false << Codes{{2048, 12}, {1000, 12}, {2049, 12}}
        << QByteArray("\xE8", 1) << DecodeStatus::EndCode;
    QTest::newRow("code size 0") << 0 << 2 << 1 << false << Codes{{1, 1}, {0, 1}, {2, 2}}
                                 << QByteArray("\0\0", 2) << DecodeStatus::BadCodeSize;
    QTest::newRow("code size 12") << 12 << 1 << 1 << false << Codes{{4096, 13}, {1, 13}}
                                  << QByteArray("\0", 1) << DecodeStatus::BadCodeSize;
    QTest::newRow("interlaced, 2 rows")
        << 4 << 1 << 2 << true << Codes{{16, 5}, {1, 5}, {2, 5}, {17, 5}} << QByteArray("\1\2", 2)
        << DecodeStatus::EndCode;
    QTest::newRow("interlaced, truncated")
        << 4 << 1 << 5 << true << Codes{{16, 5}, {1, 5}, {2, 5}} << QByteArray("\1\0\0\0\2", 5)
        << DecodeStatus::DataEnded;
}

void tst_mGIFLZWDec::decode() {
    QFETCH(int, codeSize);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(bool, interlaced);
    QFETCH(Codes, codes);
    QFETCH(QByteArray, expected);
    QFETCH(DecodeStatus, status);

    DecodeStatus got;
    size_t pixels;
    const QByteArray image =
        run(width, height, width, interlaced, codeSize, pack(codes), &got, &pixels);
    QCOMPARE(image, expected);
    QCOMPARE(got, status);
    QVERIFY(pixels <= size_t(width) * size_t(height));
}

void tst_mGIFLZWDec::rowPadding() {
    // Rows of 3 pixels in a stride of 4: the padding byte is cleared, never a pixel.
    DecodeStatus status;
    size_t pixels;
    const Codes codes{{16, 5}, {1, 5}, {2, 5}, {3, 5}, {4, 5}, {5, 5}, {6, 5}, {17, 5}};
    for (bool interlaced : {false, true}) {
        const QByteArray image = run(3, 2, 4, interlaced, 4, pack(codes), &status, &pixels);
        QCOMPARE(image, QByteArray("\1\2\3\0\4\5\6\0", 8));
    }
}

void tst_mGIFLZWDec::fullTableKeepsEntries() {
    int next;
    int width;
    Codes codes = fillTable(next, width);
    QCOMPARE(width, 12);
    // Code 258 is "0 1" and 4095 the last string defined; with the table full, a
    // further code must neither add entries nor disturb these two.
    codes += Codes{{7, 12}, {258, 12}, {4095, 12}, {258, 12}, {257, 12}};
    // The strings of the fill phase: each code i (from the second) is 1 pixel; the
    // reference output is rebuilt from the literals 0,1,0,1...
    const int literals = int(codes.size()) - 6;
    QByteArray expected;
    for (int i = 0; i < literals; ++i) {
        expected.append(char(i % 2));
    }
    // Entry 4095 was defined by the last fill code: previous literal plus first of the
    // last one, "x y" with x = (literals-2)%2, y = (literals-1)%2.
    const QByteArray last{QByteArray(1, char((literals - 2) % 2)) + char((literals - 1) % 2)};
    expected += QByteArray("\7", 1) + QByteArray("\0\1", 2) + last + QByteArray("\0\1", 2);

    DecodeStatus status;
    size_t pixels;
    const int w = int(expected.size());
    const QByteArray image = run(w, 1, w, false, 8, pack(codes), &status, &pixels);
    QCOMPARE(status, DecodeStatus::EndCode);
    QCOMPARE(image, expected);
}

void tst_mGIFLZWDec::longestString() {
    // Code size 2: code 6 = "0 0", 7 = "0 0 0", ... every code one pixel longer than
    // the one before, up to code 4095 of 4091 pixels: the longest string there is.
    Codes codes{{4, 3}, {0, 3}};
    int next = 6;
    int width = 3;
    qsizetype total = 1;
    for (int code = 6; code < 4096; ++code) {
        codes.append({code, width});
        total += code - 4;
        ++next;
        if (next > (1 << width) - 1 && width < 12) {
            ++width;
        }
    }
    codes.append({5, width});
    QCOMPARE(codes[codes.size() - 2].first, 4095);

    DecodeStatus status;
    size_t pixels;
    const QByteArray image =
        run(int(total), 1, int(total), false, 2, pack(codes), &status, &pixels);
    QCOMPARE(status, DecodeStatus::EndCode);
    QCOMPARE(qsizetype(pixels), total);
    QCOMPARE(image, QByteArray(total, '\0'));
}

void tst_mGIFLZWDec::neverReadsPastData() {
    // The data sit at the very end of a heap block, so that ASan sees any read past
    // them; every cut of a valid stream must end cleanly.
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

void tst_mGIFLZWDec::interlacedRowOrder_data() {
    QTest::addColumn<int>("height");
    QTest::addColumn<QList<int>>("rows"); // the frame row of each decoded row, in data order

    QTest::newRow("10 rows") << 10 << QList<int>{0, 8, 4, 2, 6, 1, 3, 5, 7, 9};
    QTest::newRow("4 rows") << 4 << QList<int>{0, 2, 1, 3};
    QTest::newRow("3 rows") << 3 << QList<int>{0, 2, 1};
    QTest::newRow("1 row") << 1 << QList<int>{0};
    QTest::newRow("5 rows") << 5 << QList<int>{0, 4, 2, 1, 3};
}

void tst_mGIFLZWDec::interlacedRowOrder() {
    QFETCH(int, height);
    QFETCH(QList<int>, rows);

    // One literal per row (code size 4, all codes 5 bits for up to 10 rows).
    Codes codes{{16, 5}};
    for (int i = 0; i < height; ++i) {
        codes.append({i, 5});
    }
    codes.append({17, 5});
    DecodeStatus status;
    size_t pixels;
    const QByteArray image = run(1, height, 1, true, 4, pack(codes), &status, &pixels);
    QCOMPARE(status, DecodeStatus::EndCode);
    for (int i = 0; i < height; ++i) {
        QCOMPARE(int(image[rows[i]]), i);
        QCOMPARE(mGIFLZWDec::InterlacedRow(i, height), rows[i]);
    }
}

QTEST_APPLESS_MAIN(tst_mGIFLZWDec)
#include "tst_mGIFLZWDec.moc"
