// The splitter's arithmetic where the widget tests cannot reach it: edge
// rounding, drag clamping (also for a splitter of no length) and the percentage
// read back.

#include "controls/SplitterLayout.h"

#include <QTest>
#include <limits>

using splitter::TwipRect;

Q_DECLARE_METATYPE(TwipRect)

class tst_SplitterLayout : public QObject {
    Q_OBJECT
private slots:

    void pixels_data() {
        QTest::addColumn<TwipRect>("twips");
        QTest::addColumn<QRect>("expected");

        // Edges are rounded, not sizes: 1.5 and 2.5 pixels both round to 2.
        QTest::newRow("edges round half to even")
            << TwipRect{22.5F, 37.5F, 15, 15} << QRect(2, 2, 0, 2);
        QTest::newRow("negative size stays negative")
            << TwipRect{75, 0, -15, 30} << QRect(5, 0, -1, 2);
    }

    void pixels() {
        QFETCH(TwipRect, twips);
        QFETCH(QRect, expected);
        const splitter::PixelRect px = splitter::ToPixels(twips);
        QCOMPARE(QRect(px.left, px.top, px.width, px.height), expected);
    }

    void drag_data() {
        QTest::addColumn<float>("barPos");
        QTest::addColumn<float>("pointer");
        QTest::addColumn<float>("length");
        QTest::addColumn<float>("fraction");

        // The bar is 90 twips thick in every row.
        QTest::newRow("ordinary drag") << 2955.0F << 900.0F << 6000.0F << 0.6275F;
        QTest::newRow("exactly at the start clamps low") << 0.0F << 90.0F << 6000.0F << 0.001F;
        QTest::newRow("right of the control clamps high")
            << 2955.0F << 9000.0F << 6000.0F << 0.999F;
        QTest::newRow("zero length, zero offset (NaN)") << 0.0F << 90.0F << 0.0F << 0.001F;
        QTest::newRow("zero length, positive offset") << 100.0F << 90.0F << 0.0F << 0.999F;
    }

    void drag() {
        QFETCH(float, barPos);
        QFETCH(float, pointer);
        QFETCH(float, length);
        QFETCH(float, fraction);
        const float got = splitter::DragFraction(barPos, pointer, 90.0F, length);
        QVERIFY2(std::abs(got - fraction) < 1e-5F, QByteArray::number(got));
    }

    void percent_data() {
        QTest::addColumn<float>("fraction");
        QTest::addColumn<int>("percent");

        QTest::newRow("half rounds down to even") << 0.125F << 12;
        QTest::newRow("half rounds up to even") << 0.375F << 38;
        QTest::newRow("beyond a byte is held") << 3.0F << 255;
        QTest::newRow("negative is held at 0") << -0.5F << 0;
        QTest::newRow("NaN reads as 0") << std::numeric_limits<float>::quiet_NaN() << 0;
    }

    void percent() {
        QFETCH(float, fraction);
        QFETCH(int, percent);
        QCOMPARE(splitter::FractionToPercent(fraction), percent);
    }
};

QTEST_APPLESS_MAIN(tst_SplitterLayout)
#include "tst_SplitterLayout.moc"
