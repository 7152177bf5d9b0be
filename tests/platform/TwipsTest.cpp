#include "platform/Twips.h"

#include <QTest>
#include <limits>

using namespace platform;

class TwipsTest : public QObject {
    Q_OBJECT
private slots:
    void roundHalfEven_data();
    void roundHalfEven();
    void twipsToPixels_data();
    void twipsToPixels();
};

void TwipsTest::roundHalfEven_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<qlonglong>("expected");
    QTest::newRow("half down to even") << 2.5 << 2LL;
    QTest::newRow("half up to even") << 3.5 << 4LL;
    QTest::newRow("negative half") << -2.5 << -2LL;
    QTest::newRow("negative odd half") << -3.5 << -4LL;
    QTest::newRow("below half") << 2.49 << 2LL;
    QTest::newRow("above half") << 2.51 << 3LL;
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << 0LL;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << 0LL;
    QTest::newRow("huge") << 1e300 << 0LL;
}

void TwipsTest::roundHalfEven() {
    QFETCH(double, value);
    QFETCH(qlonglong, expected);
    QCOMPARE(RoundHalfEven(value), expected);
}

void TwipsTest::twipsToPixels_data() {
    QTest::addColumn<double>("twips");
    QTest::addColumn<int>("pixels");
    QTest::newRow("default width") << 9045.0 << 603;
    QTest::newRow("minimum width") << 7485.0 << 499;
    QTest::newRow("22.5 px rounds to even") << 337.5 << 22;
    QTest::newRow("23.5 px rounds to even") << 352.5 << 24;
    QTest::newRow("just under a pixel") << 7.0 << 0;
    QTest::newRow("just over half") << 8.0 << 1;
    QTest::newRow("negative") << -30.0 << -2;
    QTest::newRow("beyond int") << 1e12 << std::numeric_limits<int>::max();
    QTest::newRow("below int") << -1e12 << std::numeric_limits<int>::min();
}

void TwipsTest::twipsToPixels() {
    QFETCH(double, twips);
    QFETCH(int, pixels);
    QCOMPARE(TwipsToPixels(twips), pixels);
    if (pixels > -100000 && pixels < 100000) {
        QCOMPARE(PixelsToTwips(pixels) / TwipsPerPixel, pixels);
    }
}

QTEST_APPLESS_MAIN(TwipsTest)
#include "TwipsTest.moc"
