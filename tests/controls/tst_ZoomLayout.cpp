// The full view's zoom and pan arithmetic against worked examples, and zooming
// around a point against QTransform's own mapping.

#include "controls/ZoomLayout.h"

#include <QRandomGenerator>
#include <QTest>
#include <QTransform>
#include <cmath>
#include <limits>

class tst_ZoomLayout : public QObject {
    Q_OBJECT
private slots:
    void steps_data();
    void steps();
    void walkVisitsEveryStopOnce();
    void fit_data();
    void fit();
    void clampOrigin_data();
    void clampOrigin();
    void zoomAroundKeepsThePoint();
};

void tst_ZoomLayout::steps_data() {
    QTest::addColumn<double>("current");
    QTest::addColumn<double>("fit");
    QTest::addColumn<bool>("in");
    QTest::addColumn<double>("expected");
    QTest::newRow("100% in") << 1.0 << 0.25 << true << 1.5;
    QTest::newRow("100% out") << 1.0 << 0.25 << false << 2.0 / 3.0;
    QTest::newRow("between stops in") << 0.7 << 0.25 << true << 1.0;
    QTest::newRow("between stops out") << 0.7 << 0.25 << false << 2.0 / 3.0;
    QTest::newRow("a hair above a stop, in") << 1.0000000001 << 0.25 << true << 1.5;
    QTest::newRow("a hair below a stop, out") << 0.9999999999 << 0.25 << false << 2.0 / 3.0;
    QTest::newRow("out stops at the fitted size") << 0.15 << 0.117 << false << 0.117;
    QTest::newRow("out at the fitted size stays") << 0.117 << 0.117 << false << 0.117;
    QTest::newRow("in from the fitted size") << 0.117 << 0.117 << true << 0.15;
    QTest::newRow("small picture: out stays at 100%") << 1.0 << 1.0 << false << 1.0;
    QTest::newRow("in at 3200% stays") << 32.0 << 1.0 << true << 32.0;
    QTest::newRow("in past 3200% comes back") << 50.0 << 1.0 << true << 32.0;
    QTest::newRow("huge picture: out stops at 1%") << 0.02 << 0.001 << false << 0.01;
    QTest::newRow("out at 1% stays") << 0.01 << 0.001 << false << 0.01;
    QTest::newRow("NaN goes to the lower limit")
        << std::numeric_limits<double>::quiet_NaN() << 0.5 << true << 0.5;
}

void tst_ZoomLayout::steps() {
    QFETCH(double, current);
    QFETCH(double, fit);
    QFETCH(bool, in);
    QFETCH(double, expected);
    const zoom::Limits limits = zoom::LimitsFor(fit);
    const double got = in ? zoom::StepIn(current, limits) : zoom::StepOut(current, limits);
    QCOMPARE(got, expected);
}

void tst_ZoomLayout::walkVisitsEveryStopOnce() {
    const zoom::Limits limits = zoom::LimitsFor(zoom::MinZoom);
    const auto ladder = zoom::Ladder();
    double z = zoom::MinZoom;
    for (std::size_t i = 1; i < ladder.size(); ++i) {
        z = zoom::StepIn(z, limits);
        QCOMPARE(z, ladder[i]);
    }
    QCOMPARE(zoom::StepIn(z, limits), zoom::MaxZoom);
    for (std::size_t i = ladder.size() - 1; i-- > 0;) {
        z = zoom::StepOut(z, limits);
        QCOMPARE(z, ladder[i]);
    }
}

void tst_ZoomLayout::fit_data() {
    QTest::addColumn<QSizeF>("picture");
    QTest::addColumn<QSizeF>("view");
    QTest::addColumn<double>("expected");
    QTest::newRow("wide photo on a screen") << QSizeF(5120, 2880) << QSizeF(1920, 1080) << 0.375;
    QTest::newRow("tall photo: the height decides")
        << QSizeF(3000, 4000) << QSizeF(1920, 1080) << 0.27;
    QTest::newRow("smaller than the view: never enlarged")
        << QSizeF(64, 48) << QSizeF(800, 600) << 1.0;
    QTest::newRow("exactly the view") << QSizeF(800, 600) << QSizeF(800, 600) << 1.0;
    QTest::newRow("a line 1,000,000 long: 1%") << QSizeF(1e6, 1) << QSizeF(800, 600) << 0.01;
    QTest::newRow("no picture") << QSizeF(0, 0) << QSizeF(800, 600) << 1.0;
    QTest::newRow("no view") << QSizeF(64, 48) << QSizeF(0, 600) << 1.0;
}

void tst_ZoomLayout::fit() {
    QFETCH(QSizeF, picture);
    QFETCH(QSizeF, view);
    QFETCH(double, expected);
    QCOMPARE(zoom::FitZoom(picture, view), expected);
}

void tst_ZoomLayout::clampOrigin_data() {
    QTest::addColumn<QPointF>("origin");
    QTest::addColumn<QSizeF>("shown");
    QTest::addColumn<QPointF>("expected");
    // The view is 400 x 300.
    QTest::newRow("smaller: centred whatever the origin")
        << QPointF(-500, 900) << QSizeF(100, 50) << QPointF(150, 125);
    QTest::newRow("larger: inside the range stays")
        << QPointF(-100, -50) << QSizeF(800, 600) << QPointF(-100, -50);
    QTest::newRow("larger: a gap at the left closes")
        << QPointF(30, -10) << QSizeF(800, 600) << QPointF(0, -10);
    QTest::newRow("larger: past the far edge stops at it")
        << QPointF(-1000, -1000) << QSizeF(800, 600) << QPointF(-400, -300);
    QTest::newRow("wide only: x pans, y centres")
        << QPointF(-50, -50) << QSizeF(800, 100) << QPointF(-50, 100);
    QTest::newRow("half a pixel over centres by halves")
        << QPointF(7, 7) << QSizeF(401, 299) << QPointF(0, 0.5);
}

void tst_ZoomLayout::clampOrigin() {
    QFETCH(QPointF, origin);
    QFETCH(QSizeF, shown);
    QFETCH(QPointF, expected);
    QCOMPARE(zoom::ClampOrigin(origin, shown, QSizeF(400, 300)), expected);
}

void tst_ZoomLayout::zoomAroundKeepsThePoint() {
    // The picture point under the pointer, found through QTransform's inverse
    // before the zoom, maps back onto the pointer after it.
    QRandomGenerator rng(13);
    for (int i = 0; i < 200; ++i) {
        const QPointF origin(rng.bounded(-2000.0) + 500, rng.bounded(-2000.0) + 500);
        const double oldScale = 0.01 + rng.bounded(32.0);
        const double newScale = 0.01 + rng.bounded(32.0);
        const QPointF anchor(rng.bounded(1920.0), rng.bounded(1080.0));
        const QTransform before =
            QTransform::fromTranslate(origin.x(), origin.y()).scale(oldScale, oldScale);
        const QPointF underPointer = before.inverted().map(anchor);
        const QPointF moved = zoom::ZoomAround(origin, oldScale, newScale, anchor);
        const QTransform after =
            QTransform::fromTranslate(moved.x(), moved.y()).scale(newScale, newScale);
        const QPointF back = after.map(underPointer);
        QVERIFY2(std::abs(back.x() - anchor.x()) < 1e-6 && std::abs(back.y() - anchor.y()) < 1e-6,
                 qPrintable(QString::number(i)));
    }
}

QTEST_GUILESS_MAIN(tst_ZoomLayout)
#include "tst_ZoomLayout.moc"
