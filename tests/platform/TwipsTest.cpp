#include "platform/Twips.h"

#include "imaging/Units.h"

#include <QTest>
#include <cstdint>
#include <limits>

class TwipsTest : public QObject {
    Q_OBJECT
private slots:
    void roundHalfEven_data() {
        constexpr double nan = std::numeric_limits<double>::quiet_NaN();
        constexpr double inf = std::numeric_limits<double>::infinity();
        constexpr std::int32_t lo = std::numeric_limits<std::int32_t>::min();
        constexpr std::int32_t hi = std::numeric_limits<std::int32_t>::max();
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("half down to even") << 2.5 << 2;
        QTest::newRow("half up to even") << 3.5 << 4;
        QTest::newRow("negative half") << -2.5 << -2;
        QTest::newRow("above half") << 2.51 << 3;
        QTest::newRow("below half") << -2.49 << -2;
        QTest::newRow("float half, exact in double") << double(0.5F * 9.0F) << 4;
        QTest::newRow("NaN") << nan << 0;
        QTest::newRow("infinity") << inf << hi;
        QTest::newRow("huge negative") << -1e300 << lo;
        QTest::newRow("just beyond int32") << 2147483647.5 << hi;
    }

    void roundHalfEven() {
        QFETCH(double, value);
        QFETCH(int, expected);
        QCOMPARE(units::RoundHalfEvenTo<std::int32_t>(value), expected);
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
        QCOMPARE(platform::TwipsToPixels(twips), pixels);
    }
};

QTEST_APPLESS_MAIN(TwipsTest)
#include "TwipsTest.moc"
