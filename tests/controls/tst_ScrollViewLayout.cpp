// ImageAceX's layout arithmetic against worked examples: where the viewport,
// the image surface and the bars go, and where a fitted picture is drawn.

#include "controls/ScrollViewLayout.h"

#include <QTest>

using namespace scrollview;

class tst_ScrollViewLayout : public QObject {
    Q_OBJECT
private slots:

    void arrange_data() {
        QTest::addColumn<QSize>("control");
        QTest::addColumn<QSize>("image");
        QTest::addColumn<int>("style");
        QTest::addColumn<QRect>("viewport");
        QTest::addColumn<QPointF>("imagePos");
        QTest::addColumn<bool>("hVisible");
        QTest::addColumn<bool>("vVisible");
        QTest::addColumn<int>("hMax");
        QTest::addColumn<int>("hLarge");
        QTest::addColumn<int>("vMax");
        QTest::addColumn<int>("vLarge");
        // Bars 16 pixels thick in every row.
        QTest::newRow("fits: centred, no bars")
            << QSize(400, 300) << QSize(100, 80) << 0 << QRect(0, 0, 400, 300) << QPointF(150, 110)
            << false << false << -300 << 200 << -220 << 150;
        QTest::newRow("wider only")
            << QSize(400, 300) << QSize(1000, 200) << 0 << QRect(0, 0, 400, 300) << QPointF(0, 0)
            << true << false << 600 << 200 << -84 << 150;
        QTest::newRow("taller only")
            << QSize(400, 300) << QSize(100, 900) << 0 << QRect(0, 0, 400, 300) << QPointF(0, 0)
            << false << true << -284 << 200 << 600 << 150;
        QTest::newRow("both ways")
            << QSize(400, 300) << QSize(1000, 1000) << 0 << QRect(0, 0, 400, 300) << QPointF(0, 0)
            << true << true << 616 << 200 << 716 << 150;
        QTest::newRow("border leaves a 2-pixel frame")
            << QSize(404, 304) << QSize(100, 80) << 1 << QRect(2, 2, 400, 300) << QPointF(150, 110)
            << false << false << -300 << 200 << -220 << 150;
        QTest::newRow("any style but 0 frames")
            << QSize(404, 304) << QSize(10, 10) << 9 << QRect(2, 2, 400, 300) << QPointF(195, 145)
            << false << false << -390 << 200 << -290 << 150;
        QTest::newRow("half pixel centre, halves to even page")
            << QSize(401, 303) << QSize(100, 80) << 0 << QRect(0, 0, 401, 303)
            << QPointF(150.5, 111.5) << false << false << -301 << 200 << -223 << 152;
        QTest::newRow("beyond 16 bits: tall")
            << QSize(400, 300) << QSize(50, 45000) << 0 << QRect(0, 0, 400, 300) << QPointF(0, 0)
            << false << true << -334 << 200 << 44700 << 150;
    }

    void arrange() {
        QFETCH(QSize, control);
        QFETCH(QSize, image);
        QFETCH(int, style);
        const ScrollLayout l = ArrangeScrollView(control.width(), control.height(), image.width(),
                                                 image.height(), style, 16, 16);
        QTEST(QRect(int(l.viewport.left), int(l.viewport.top), l.viewport.width, l.viewport.height),
              "viewport");
        QTEST(QPointF(l.image.left, l.image.top), "imagePos");
        QTEST(l.hBar.visible, "hVisible");
        QTEST(l.vBar.visible, "vVisible");
        QTEST(int(l.hBar.max), "hMax");
        QTEST(int(l.hBar.largeChange), "hLarge");
        QTEST(int(l.vBar.max), "vMax");
        QTEST(int(l.vBar.largeChange), "vLarge");
        QCOMPARE(l.cornerVisible, l.hBar.visible || l.vBar.visible);
        // The horizontal bar stops where the vertical one starts, and the corner
        // fills the square below the vertical bar.
        QCOMPARE(l.hBar.geometry.width, l.viewport.width - 16);
        QCOMPARE(l.corner.left, l.vBar.geometry.left);
        QCOMPARE(l.corner.top, float(l.viewport.height - 16));
    }

    void fit_data() {
        QTest::addColumn<QSize>("source");
        QTest::addColumn<QSize>("target");
        QTest::addColumn<bool>("centre");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("wide picture shrunk")
            << QSize(2000, 1000) << QSize(400, 300) << true << QRect(1, 50, 398, 199);
        QTest::newRow("tall picture shrunk")
            << QSize(100, 1000) << QSize(400, 300) << true << QRect(185, 1, 30, 298);
        QTest::newRow("small picture not enlarged")
            << QSize(100, 50) << QSize(400, 300) << true << QRect(150, 125, 100, 50);
        QTest::newRow("not centred: at the margin")
            << QSize(100, 50) << QSize(400, 300) << false << QRect(2, 2, 100, 50);
        QTest::newRow("target smaller than the margin")
            << QSize(100, 50) << QSize(1, 1) << true << QRect(0, 0, 0, 0);
        QTest::newRow("empty source")
            << QSize(0, 0) << QSize(400, 300) << true << QRect(200, 150, 0, 0);
    }

    void fit() {
        QFETCH(QSize, source);
        QFETCH(QSize, target);
        QFETCH(bool, centre);
        const Box b =
            FitPicture(source.width(), source.height(), target.width(), target.height(), 2, centre);
        QTEST(QRect(int(b.left), int(b.top), b.width, b.height), "expected");
    }
};

QTEST_APPLESS_MAIN(tst_ScrollViewLayout)
#include "tst_ScrollViewLayout.moc"
