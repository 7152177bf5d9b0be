#include "platform/Twips.h"

#include <QTest>
#include <limits>

using namespace platform;

class TwipsTest : public QObject {
    Q_OBJECT
private slots:
    void roundHalfEven_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<qlonglong>("expected");
        QTest::newRow("half down to even") << 2.5 << 2LL;
        QTest::newRow("half up to even") << 3.5 << 4LL;
        QTest::newRow("negative half") << -2.5 << -2LL;
        QTest::newRow("above half") << 2.51 << 3LL;
        QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << 0LL;
        QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << 0LL;
        QTest::newRow("huge") << -1e300 << 0LL;
    }

    void roundHalfEven() {
        QFETCH(double, value);
        QFETCH(qlonglong, expected);
        QCOMPARE(RoundHalfEven(value), expected);
    }

    void twipsToPixels_data() {
        QTest::addColumn<double>("twips");
        QTest::addColumn<int>("pixels");
        QTest::newRow("default width") << 9045.0 << 603;
        QTest::newRow("22.5 px rounds to even") << 337.5 << 22;
        QTest::newRow("negative") << -30.0 << -2;
        QTest::newRow("beyond int") << 1e12 << std::numeric_limits<int>::max();
        QTest::newRow("below int") << -1e12 << std::numeric_limits<int>::min();
    }

    void twipsToPixels() {
        QFETCH(double, twips);
        QFETCH(int, pixels);
        QCOMPARE(TwipsToPixels(twips), pixels);
    }
};

QTEST_APPLESS_MAIN(TwipsTest)
#include "TwipsTest.moc"
