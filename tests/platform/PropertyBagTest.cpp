#include "platform/PropertyBag.h"

#include <QTest>

using namespace platform;

class PropertyBagTest : public QObject {
    Q_OBJECT
private slots:
    void writeThenRead_data();
    void writeThenRead();
    void defaultRemovesStoredValue();
};

void PropertyBagTest::writeThenRead_data() {
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QVariant>("defaultValue");
    QTest::addColumn<bool>("stored");
    QTest::addColumn<QVariant>("readBack");
    QTest::newRow("differs from default") << QVariant(42) << QVariant(50) << true << QVariant(42);
    QTest::newRow("equals default") << QVariant(50) << QVariant(50) << false << QVariant(50);
    QTest::newRow("default as other number type")
        << QVariant(50) << QVariant(50u) << false << QVariant(50u);
    QTest::newRow("colour equal to system default")
        << QVariant(0x8000000Fu) << QVariant(0x8000000Fu) << false << QVariant(0x8000000Fu);
    QTest::newRow("zero against non-zero default")
        << QVariant(0) << QVariant(80) << true << QVariant(0);
    QTest::newRow("negative boolean") << QVariant(-1) << QVariant(0) << true << QVariant(-1);
    QTest::newRow("text") << QVariant("abc") << QVariant("") << true << QVariant("abc");
    QTest::newRow("null against null default") << QVariant() << QVariant() << false << QVariant();
}

void PropertyBagTest::writeThenRead() {
    QFETCH(QVariant, value);
    QFETCH(QVariant, defaultValue);
    QFETCH(bool, stored);
    QFETCH(QVariant, readBack);
    PropertyBag bag;
    bag.WriteProperty("Prop", value, defaultValue);
    QCOMPARE(bag.Contains("Prop"), stored);
    QCOMPARE(bag.Count(), stored ? 1 : 0);
    QCOMPARE(bag.ReadProperty("Prop", defaultValue), readBack);
    QCOMPARE(bag.ReadProperty("Missing", defaultValue), defaultValue);
}

void PropertyBagTest::defaultRemovesStoredValue() {
    PropertyBag bag;
    bag.WriteProperty("SplitPercent", 42, 50);
    bag.WriteProperty("Orientation", -1, 0);
    QCOMPARE(bag.Keys(), QStringList({"Orientation", "SplitPercent"}));
    bag.WriteProperty("SplitPercent", 50, 50);
    QVERIFY(!bag.Contains("SplitPercent"));
    QCOMPARE(bag.ReadProperty("SplitPercent", 50).toInt(), 50);
    QCOMPARE(bag.ReadProperty("Orientation", 0).toInt(), -1);
}

QTEST_APPLESS_MAIN(PropertyBagTest)
#include "PropertyBagTest.moc"
