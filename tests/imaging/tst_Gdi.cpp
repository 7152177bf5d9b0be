// The blit layer where the randomized reference does not reach: halftone
// clipping of absurd numbers, fills and their colours, refused handles. Depth
// conversion, raster operations and stretching are checked by tst_GdiReference;
// the transparency-mask trick by the GIF render tests.

#include "PixelAccess.h"
#include "imaging/Gdi.h"

#include <QTest>
#include <climits>

using testpx::Buffer;
using testpx::Dc;

class tst_Gdi : public QObject {
    Q_OBJECT
private slots:

    void clipping_data() {
        QTest::addColumn<QList<int>>("args"); // x y w h xs ys ws hs
        QTest::addColumn<int>("changed");     // pixels written in the 6x5 target
        QTest::newRow("inside") << QList<int>{1, 1, 2, 2, 0, 0, 2, 2} << 4;
        QTest::newRow("left edge") << QList<int>{-2, 0, 4, 1, 0, 0, 4, 1} << 2;
        QTest::newRow("source left of its buffer") << QList<int>{0, 0, 4, 1, -3, 0, 4, 1} << 1;
        QTest::newRow("int max size")
            << QList<int>{0, 0, INT_MAX, INT_MAX, 0, 0, INT_MAX, INT_MAX} << 16;
        QTest::newRow("int min origin")
            << QList<int>{INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 0, 4, 4} << 0;
        QTest::newRow("far away source") << QList<int>{0, 0, 4, 4, INT_MAX, INT_MAX, 4, 4} << 0;
        QTest::newRow("overflowing end") << QList<int>{INT_MAX - 1, 0, INT_MAX, 1, 0, 0, 4, 1} << 0;
        QTest::newRow("scaled huge source")
            << QList<int>{0, 0, 6, 5, INT_MIN, INT_MIN, INT_MAX, INT_MAX} << 0;
        QTest::newRow("scaled tiny target") << QList<int>{2, 2, 1, 1, 0, 0, INT_MAX, INT_MAX} << 0;
        QTest::newRow("scaled up 2x at corner") << QList<int>{-1, -1, 8, 8, 0, 0, 4, 4} << 30;
    }

    // Every blit touches only pixels inside both buffers, whatever the numbers;
    // the guard bytes around both buffers stay intact.
    void clipping() {
        QFETCH(QList<int>, args);
        QFETCH(int, changed);
        Buffer src(4, 4, 32, 8), dst(6, 5, 32, 4);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                testpx::setRaw(src.view(), x, y, 0xFFFFFFFFu);
        Dc s(gdi::CreateBufferDC(src.view())), d(gdi::CreateBufferDC(dst.view()));
        for (int mode : {gdi::COLORONCOLOR, gdi::HALFTONE}) {
            std::fill(dst.bits(), dst.bits() + dst.stride * dst.height, 0);
            gdi::SetStretchBltMode(d, mode);
            QCOMPARE(gdi::StretchBlt(d, args[0], args[1], args[2], args[3], s, args[4], args[5],
                                     args[6], args[7], gdi::SRCCOPY),
                     1);
            int written = 0;
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 6; ++x)
                    written += testpx::raw(dst.view(), x, y) != 0;
            QCOMPARE(written, changed);
            for (int y = 0; y < 5; ++y) // row padding untouched
                for (int k = 24; k < dst.stride; ++k)
                    QCOMPARE(dst.bits()[y * dst.stride + k], 0);
            QVERIFY(src.guardsIntact());
            QVERIFY(dst.guardsIntact());
        }
    }

    void fillRect_data() {
        QTest::addColumn<int>("bpp");
        QTest::addColumn<uint>("colour");
        QTest::addColumn<uint>("expectedRaw");
        QTest::newRow("32 plain") << 32 << 0x00336699u << 0xFF996633u;
        QTest::newRow("32 button face") << 32 << 0x8000000Fu << 0xFFF0F0F0u;
        QTest::newRow("16 white") << 16 << 0x00FFFFFFu << 0x7FFFu;
        QTest::newRow("8 nearest entry") << 8 << 0x00F0E0D0u << 7u; // entry 7 = 0xE0E0E0
        QTest::newRow("1 nearest entry") << 1 << 0x00303030u << 1u; // entry 1 = 0x202020
    }

    void fillRect() {
        QFETCH(int, bpp);
        QFETCH(uint, colour);
        QFETCH(uint, expectedRaw);
        Buffer b(7, 3, bpp, 4);
        if (bpp <= 8)
            for (int i = 0; i < (1 << bpp); ++i)
                b.setEntry(i, 0x202020u * static_cast<std::uint32_t>(i % 8));
        Dc dc(gdi::CreateBufferDC(b.view()));
        QCOMPARE(gdi::FillRect(dc, {-5, 1, 5, 100}, colour), 1);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 7; ++x)
                QCOMPARE(testpx::raw(b.view(), x, y), (y >= 1 && x < 5) ? expectedRaw : 0u);
        QVERIFY(b.guardsIntact());
    }

    void refusedHandlesAndSizes() {
        Buffer a(4, 4, 32), bad(4, 4, 32);
        Dc d(gdi::CreateBufferDC(a.view())), unbound(gdi::CreateCompatibleDC());
        gdi::HDC gone = gdi::CreateCompatibleDC();
        QVERIFY(gdi::DeleteDC(gone));
        QVERIFY(!gdi::DeleteDC(gone));
        QVERIFY(!gdi::DeleteDC(nullptr));
        for (gdi::HDC h : {gdi::HDC(nullptr), gone, unbound.h}) {
            QCOMPARE(gdi::BitBlt(d, 0, 0, 1, 1, h, 0, 0, gdi::SRCCOPY), 0);
            QCOMPARE(gdi::BitBlt(h, 0, 0, 1, 1, d, 0, 0, gdi::SRCCOPY), 0);
            QCOMPARE(gdi::FillRect(h, {0, 0, 1, 1}, 0), 0);
        }
        QCOMPARE(gdi::GetStretchBltMode(gone), 0);
        QCOMPARE(gdi::SetStretchBltMode(d, 9), 0);
        QCOMPARE(gdi::GetStretchBltMode(d), gdi::BLACKONWHITE);
        QCOMPARE(gdi::BitBlt(d, 0, 0, -1, 1, d, 0, 0, gdi::SRCCOPY), 0);
        QCOMPARE(gdi::BitBlt(d, 0, 0, 1, 1, d, 0, 0, 0x00660046u), 0); // unknown rop
        QCOMPARE(gdi::StretchBlt(d, 0, 0, 2, 2, d, 0, 0, -2, 2, gdi::SRCCOPY), 0);
        QCOMPARE(gdi::StretchBlt(d, 0, 0, 2, 2, d, 0, 0, 0, 2, gdi::SRCCOPY), 0);
        QCOMPARE(gdi::StretchBlt(d, 0, 0, 0, 2, d, 0, 0, 2, 2, gdi::SRCCOPY), 1);
        gdi::PixelBuffer v = bad.view();
        v.stride = 12; // below the rule's 16
        QVERIFY(gdi::CreateBufferDC(v) == nullptr);
        QVERIFY(!gdi::SelectBuffer(d, v));
        v.stride = 16;
        v.bpp = 12;
        QVERIFY(!gdi::SelectBuffer(d, v));
        QCOMPARE(gdi::GetBuffer(d).bits, a.bits());
    }
};

QTEST_APPLESS_MAIN(tst_Gdi)
#include "tst_Gdi.moc"
