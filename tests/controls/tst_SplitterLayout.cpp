// The splitter's arithmetic against worked examples: where the panes go, how a
// drag turns into a fraction and how that fraction reads back as a percentage.

#include "controls/SplitterLayout.h"

#include <QTest>
#include <limits>

using splitter::TwipRect;

Q_DECLARE_METATYPE(TwipRect)

namespace {

bool Near(float a, float b) {
    return std::abs(a - b) < 0.01F;
}

bool Near(const TwipRect& a, const TwipRect& b) {
    return Near(a.left, b.left) && Near(a.top, b.top) && Near(a.width, b.width) &&
           Near(a.height, b.height);
}

QByteArray Describe(const TwipRect& r) {
    return QByteArray::number(r.left) + "," + QByteArray::number(r.top) + " " +
           QByteArray::number(r.width) + "x" + QByteArray::number(r.height);
}

} // namespace

class tst_SplitterLayout : public QObject {
    Q_OBJECT
private slots:
    void layout_data();
    void layout();
    void pixels_data();
    void pixels();
    void drag_data();
    void drag();
    void percent_data();
    void percent();
};

void tst_SplitterLayout::layout_data() {
    QTest::addColumn<float>("w");
    QTest::addColumn<float>("h");
    QTest::addColumn<float>("s");
    QTest::addColumn<bool>("stacked");
    QTest::addColumn<float>("fraction");
    QTest::addColumn<TwipRect>("child1");
    QTest::addColumn<TwipRect>("child2");
    QTest::addColumn<TwipRect>("bar");

    QTest::newRow("worked example, side by side")
        << 6000.0F << 3000.0F << 90.0F << false << 0.42F << TwipRect{0, 0, 2482.2F, 3000}
        << TwipRect{2572.2F, 0, 3427.8F, 3000} << TwipRect{2482.2F, 0, 90, 3000};
    QTest::newRow("worked example, stacked")
        << 6000.0F << 3000.0F << 90.0F << true << 0.42F << TwipRect{0, 0, 6000, 1222.2F}
        << TwipRect{0, 1312.2F, 6000, 1687.8F} << TwipRect{0, 1222.2F, 6000, 90};
    QTest::newRow("0 %: first pane empty, bar at the start")
        << 6000.0F << 3000.0F << 90.0F << false << 0.0F << TwipRect{0, 0, 0, 3000}
        << TwipRect{90, 0, 5910, 3000} << TwipRect{0, 0, 90, 3000};
    QTest::newRow("100 %: bar at the far end, second pane empty")
        << 6000.0F << 3000.0F << 90.0F << false << 1.0F << TwipRect{0, 0, 5910, 3000}
        << TwipRect{6000, 0, 0, 3000} << TwipRect{5910, 0, 90, 3000};
    QTest::newRow("above 100 % is not clamped")
        << 6000.0F << 3000.0F << 90.0F << true << 1.5F << TwipRect{0, 0, 6000, 4365}
        << TwipRect{0, 4455, 6000, -1455} << TwipRect{0, 4365, 6000, 90};
    QTest::newRow("thinner than the bar")
        << 60.0F << 3000.0F << 90.0F << false << 0.5F << TwipRect{0, 0, -15, 3000}
        << TwipRect{75, 0, -15, 3000} << TwipRect{-15, 0, 90, 3000};
}

void tst_SplitterLayout::layout() {
    QFETCH(float, w);
    QFETCH(float, h);
    QFETCH(float, s);
    QFETCH(bool, stacked);
    QFETCH(float, fraction);
    QFETCH(TwipRect, child1);
    QFETCH(TwipRect, child2);
    QFETCH(TwipRect, bar);

    const splitter::Layout got = splitter::ComputeLayout(w, h, s, stacked, fraction);
    QVERIFY2(Near(got.child1, child1), Describe(got.child1));
    QVERIFY2(Near(got.child2, child2), Describe(got.child2));
    QVERIFY2(Near(got.bar, bar), Describe(got.bar));
}

void tst_SplitterLayout::pixels_data() {
    QTest::addColumn<TwipRect>("twips");
    QTest::addColumn<QRect>("expected");

    QTest::newRow("first pane of the example")
        << TwipRect{0, 0, 2482.2F, 3000} << QRect(0, 0, 165, 200);
    QTest::newRow("bar of the example") << TwipRect{2482.2F, 0, 90, 3000} << QRect(165, 0, 6, 200);
    QTest::newRow("second pane ends on the right edge")
        << TwipRect{2572.2F, 0, 3427.8F, 3000} << QRect(171, 0, 229, 200);
    QTest::newRow("half pixel rounds to even")
        << TwipRect{22.5F, 37.5F, 15, 15} << QRect(2, 2, 0, 2);
    QTest::newRow("negative size stays negative") << TwipRect{75, 0, -15, 30} << QRect(5, 0, -1, 2);
}

void tst_SplitterLayout::pixels() {
    QFETCH(TwipRect, twips);
    QFETCH(QRect, expected);
    const splitter::PixelRect px = splitter::ToPixels(twips);
    QCOMPARE(QRect(px.left, px.top, px.width, px.height), expected);
}

void tst_SplitterLayout::drag_data() {
    QTest::addColumn<float>("barPos");
    QTest::addColumn<float>("pointer");
    QTest::addColumn<float>("length");
    QTest::addColumn<float>("fraction");
    QTest::addColumn<int>("percent");

    // The bar is 90 twips thick in every row.
    QTest::newRow("ordinary drag") << 2955.0F << 900.0F << 6000.0F << 0.6275F << 63;
    QTest::newRow("fine position persists as a whole percent")
        << 2000.0F << 632.2F << 6000.0F << 0.4237F << 42;
    QTest::newRow("left of the control clamps low")
        << 2955.0F << -4000.0F << 6000.0F << 0.001F << 0;
    QTest::newRow("exactly at the start clamps low") << 0.0F << 90.0F << 6000.0F << 0.001F << 0;
    QTest::newRow("right of the control clamps high")
        << 2955.0F << 9000.0F << 6000.0F << 0.999F << 100;
    QTest::newRow("zero length, zero offset (NaN)") << 0.0F << 90.0F << 0.0F << 0.001F << 0;
    QTest::newRow("zero length, positive offset") << 100.0F << 90.0F << 0.0F << 0.999F << 100;
    QTest::newRow("zero length, negative offset") << 0.0F << 0.0F << 0.0F << 0.001F << 0;
}

void tst_SplitterLayout::drag() {
    QFETCH(float, barPos);
    QFETCH(float, pointer);
    QFETCH(float, length);
    QFETCH(float, fraction);
    QFETCH(int, percent);

    const float got = splitter::DragFraction(barPos, pointer, 90.0F, length);
    QVERIFY2(std::abs(got - fraction) < 1e-5F, QByteArray::number(got));
    QCOMPARE(splitter::FractionToPercent(got), percent);
}

void tst_SplitterLayout::percent_data() {
    QTest::addColumn<float>("fraction");
    QTest::addColumn<int>("percent");

    QTest::newRow("exact") << 0.42F << 42;
    QTest::newRow("half rounds down to even") << 0.125F << 12;
    QTest::newRow("half rounds up to even") << 0.375F << 38;
    QTest::newRow("largest byte") << 2.55F << 255;
    QTest::newRow("beyond a byte is held") << 3.0F << 255;
    QTest::newRow("negative is held at 0") << -0.5F << 0;
    QTest::newRow("NaN reads as 0") << std::numeric_limits<float>::quiet_NaN() << 0;
}

void tst_SplitterLayout::percent() {
    QFETCH(float, fraction);
    QFETCH(int, percent);
    QCOMPARE(splitter::FractionToPercent(fraction), percent);
}

QTEST_APPLESS_MAIN(tst_SplitterLayout)
#include "tst_SplitterLayout.moc"
