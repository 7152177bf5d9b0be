#include "platform/PropertyBag.h"

#include <QTest>

using namespace platform;

class PropertyBagTest : public QObject {
    Q_OBJECT
private slots:
    void writeThenRead_data() {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QVariant>("defaultValue");
        QTest::addColumn<bool>("stored");
        QTest::newRow("differs from default") << QVariant(42) << QVariant(50) << true;
        QTest::newRow("equals default") << QVariant(50) << QVariant(50) << false;
        QTest::newRow("default as other number type") << QVariant(50) << QVariant(50u) << false;
        QTest::newRow("zero against non-zero default") << QVariant(0) << QVariant(80) << true;
        QTest::newRow("text") << QVariant("abc") << QVariant("") << true;
    }

    void writeThenRead() {
        QFETCH(QVariant, value);
        QFETCH(QVariant, defaultValue);
        QFETCH(bool, stored);
        PropertyBag bag;
        bag.WriteProperty("Prop", value, defaultValue);
        QCOMPARE(bag.Count(), stored ? 1 : 0);
        QCOMPARE(bag.ReadProperty("Prop", defaultValue), stored ? value : defaultValue);
        QCOMPARE(bag.ReadProperty("Missing", defaultValue), defaultValue);
    }

    void defaultRemovesStoredValue() {
        PropertyBag bag;
        bag.WriteProperty("SplitPercent", 42, 50);
        bag.WriteProperty("Orientation", -1, 0);
        bag.WriteProperty("SplitPercent", 50, 50);
        QCOMPARE(bag.Keys(), QStringList({"Orientation"}));
        QCOMPARE(bag.ReadProperty("SplitPercent", 50).toInt(), 50);
    }
};

QTEST_APPLESS_MAIN(PropertyBagTest)
#include "PropertyBagTest.moc"
