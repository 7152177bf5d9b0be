// cDIB where the GIF tests do not reach it: refused sizes, short palettes,
// fitting arithmetic, the empty surface and the picture it hands out.

#include "PixelAccess.h"
#include "imaging/cDIB.h"

#include <QTest>
#include <climits>

using testpx::Dc;

class tst_cDIB : public QObject {
    Q_OBJECT
private slots:

    void refusals_data() {
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::addColumn<int>("bpp");
        QTest::newRow("zero width") << 0 << 5 << 8;
        QTest::newRow("negative height") << 5 << -5 << 8;
        QTest::newRow("depth 2") << 5 << 5 << 2;
        QTest::newRow("just over 1 GiB") << 16384 << 16385 << 32;
        QTest::newRow("int max square") << INT_MAX << INT_MAX << 32;
        QTest::newRow("int max wide 1 bpp") << INT_MAX << 5 << 1;
    }

    // A refused creation leaves an empty surface with every property 0, even
    // after a successful one.
    void refusals() {
        QFETCH(int, w);
        QFETCH(int, h);
        QFETCH(int, bpp);
        cDIB d;
        QVERIFY(d.Create(4, 4, 8));
        QVERIFY(!d.Create(w, h, bpp));
        QCOMPARE(d.hDIB(), std::uintptr_t{0});
        QVERIFY(d.hDC() == nullptr && d.lpBits() == nullptr);
        QCOMPARE(d.Width() + d.Height() + d.bpp() + d.BytesPerScanline() + d.size(), 0);
    }

    void palettes_data() {
        QTest::addColumn<int>("bpp");
        QTest::addColumn<int>("given"); // bytes handed to SetPalette
        QTest::addColumn<int>("entriesSet");
        QTest::newRow("11 bytes: whole entries only") << 8 << 11 << 2;
        QTest::newRow("1024 bytes on 4 bpp") << 4 << 1024 << 16;
        QTest::newRow("24 bpp ignores it") << 24 << 1024 << 0;
    }

    void palettes() {
        QFETCH(int, bpp);
        QFETCH(int, given);
        QFETCH(int, entriesSet);
        cDIB d;
        QVERIFY(d.Create(2, 2, bpp));
        std::vector<std::uint8_t> in(static_cast<std::size_t>(given));
        for (std::size_t i = 0; i < in.size(); ++i)
            in[i] = static_cast<std::uint8_t>(i % 4 == 3 ? 0 : 1 + i % 251);
        d.SetPalette(in);
        std::vector<std::uint8_t> out{9};
        d.GetPalette(out);
        if (bpp > 8) {
            QCOMPARE(out, std::vector<std::uint8_t>{9});
            return;
        }
        QCOMPARE(int(out.size()), 4 << bpp);
        for (int i = 0; i < (4 << bpp); ++i)
            QCOMPARE(out[i], i < 4 * entriesSet ? in[i] : std::uint8_t{0});
    }

    void bestFit_data() {
        QTest::addColumn<QList<int>>("in");  // surface w, h, box w, h, stretch
        QTest::addColumn<QList<int>>("out"); // bfx, bfy, bfW, bfH
        QTest::newRow("wide into square")
            << QList<int>{300, 100, 150, 150, 0} << QList<int>{0, 50, 150, 50};
        QTest::newRow("fits: stretched")
            << QList<int>{100, 50, 200, 200, 1} << QList<int>{0, 50, 200, 100};
        QTest::newRow("not enlarged")
            << QList<int>{400, 300, 800, 600, 0} << QList<int>{200, 150, 400, 300};
        QTest::newRow("half to even") << QList<int>{4, 5, 2, 5, 0} << QList<int>{0, 1, 2, 2};
        QTest::newRow("3.5 to even") << QList<int>{4, 7, 2, 100, 0} << QList<int>{0, 48, 2, 4};
        // 1/6 in single precision is a hair above it: 3 x ry rounds up to 1.
        QTest::newRow("single precision ry") << QList<int>{3, 6, 1, 1, 0} << QList<int>{0, 0, 1, 1};
        QTest::newRow("odd margin truncates")
            << QList<int>{10, 10, 15, 15, 0} << QList<int>{2, 2, 10, 10};
        QTest::newRow("huge box saturates") << QList<int>{1, 100, INT_MAX, INT_MAX, 1}
                                            << QList<int>{1063004405, 0, 21474836, INT_MAX};
        QTest::newRow("negative box") << QList<int>{10, 10, -4, 10, 0} << QList<int>{0, 7, -4, -4};
    }

    void bestFit() {
        QFETCH(QList<int>, in);
        QFETCH(QList<int>, out);
        cDIB d;
        QVERIFY(d.Create(in[0], in[1], 1));
        int x = -7, y = -7, w = -7, h = -7;
        d.GetBestFitInfo(in[2], in[3], x, y, w, h, in[4] != 0);
        QCOMPARE((QList<int>{x, y, w, h}), out);
    }

    void emptySurfaceDoesNothing() {
        cDIB d;
        d.Destroy();
        d.Destroy();
        testpx::Buffer b(2, 2, 32);
        Dc dc(gdi::CreateBufferDC(b.view()));
        QCOMPARE(d.LoadBlt(dc), 0);
        QCOMPARE(d.Stretch(dc, 0, 0, 2, 2), 0);
        d.Cls(0xFFFFFF);
        std::vector<std::uint8_t> pal{7};
        d.SetPalette(pal);
        d.GetPalette(pal);
        QCOMPARE(pal, std::vector<std::uint8_t>{7});
        int x = 5, y = 5, w = 5, h = 5;
        d.GetBestFitInfo(10, 10, x, y, w, h, true);
        QCOMPARE((QList<int>{x, y, w, h}), (QList<int>{5, 5, 5, 5}));
        const StdPicture p = d.Image();
        QCOMPARE((QList<int>{p.width, p.height, p.bpp}), (QList<int>{1, 1, 32}));
        QCOMPARE(p.bits[0] + p.bits[1] + p.bits[2], 0);
    }

    // Image takes the palette of the moment and does not follow later changes.
    void imageIsAnIndependentCopy() {
        cDIB d;
        QVERIFY(d.Create(2, 1, 8));
        d.lpBits()[1] = 1;
        d.SetPalette({0x10, 0x20, 0x30, 0, 0x40, 0x50, 0x60, 0});
        const StdPicture p = d.Image();
        d.SetPalette({0, 0, 0, 0, 0, 0, 0, 0});
        QCOMPARE(p.bpp, 32);
        QVERIFY(p.isValid());
        QCOMPARE(std::vector<std::uint8_t>(p.bits.begin(), p.bits.begin() + 8),
                 (std::vector<std::uint8_t>{0x10, 0x20, 0x30, 0xFF, 0x40, 0x50, 0x60, 0xFF}));
    }
};

QTEST_APPLESS_MAIN(tst_cDIB)
#include "tst_cDIB.moc"
