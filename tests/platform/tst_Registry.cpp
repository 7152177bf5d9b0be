// GetKeyValue over a fake registry, and the built-in table that stands in for
// the registry on this platform.

#include "platform/Registry.h"

#include <QtTest>

using namespace platform;

namespace {
const QString kKey = QStringLiteral("SOFTWARE\\Vendor\\Tool");
const QString kMsInfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kLocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
} // namespace

class TestRegistry : public QObject {
    Q_OBJECT
private slots:
    void getKeyValue_data();
    void getKeyValue();
    void builtInTable_data();
    void builtInTable();
};

void TestRegistry::getKeyValue_data() {
    QTest::addColumn<uint>("root");
    QTest::addColumn<QString>("keyName");
    QTest::addColumn<QString>("valueName");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("text"); // KeyVal afterwards; it held "old" before

    const uint hklm = HKEY_LOCAL_MACHINE;
    QTest::newRow("text with its NUL") << hklm << kKey << "WithNul" << true << "/usr/bin/tool";
    QTest::newRow("text without NUL keeps every character")
        << hklm << kKey << "NoNul" << true << "/usr/bin/tool";
    QTest::newRow("only the last NUL goes")
        << hklm << kKey << "TwoNuls" << true << QString::fromLatin1("ab\0", 3);
    QTest::newRow("number above 2^31 is unsigned") << hklm << kKey << "Big" << true << "4294967295";
    QTest::newRow("short number, little-endian") << hklm << kKey << "Short" << true << "258";
    QTest::newRow("other type keeps the old text") << hklm << kKey << "Binary" << true << "old";
    QTest::newRow("names ignore case")
        << hklm << kKey.toUpper() << "withnul" << true << "/usr/bin/tool";
    QTest::newRow("text filling the buffer")
        << hklm << kKey << "Full" << true << QString(1023, 'x');
    QTest::newRow("text beyond the buffer") << hklm << kKey << "TooLong" << false << "";
    QTest::newRow("missing value") << hklm << kKey << "Nothing" << false << "";
    QTest::newRow("same path, other root")
        << uint(HKEY_CURRENT_USER) << kKey << "WithNul" << false << "";
}

void TestRegistry::getKeyValue() {
    QFETCH(uint, root);
    QFETCH(QString, keyName);
    QFETCH(QString, valueName);
    QFETCH(bool, result);
    QFETCH(QString, text);

    TableRegistry table;
    const auto set = [&table](const char* name, std::uint32_t type, const QByteArray& bytes) {
        table.SetValue(HKEY_LOCAL_MACHINE, kKey, name, {type, bytes});
    };
    set("WithNul", REG_SZ, QByteArray("/usr/bin/tool\0", 14));
    set("NoNul", REG_SZ, "/usr/bin/tool");
    set("TwoNuls", REG_SZ, QByteArray("ab\0\0", 4));
    set("Big", REG_DWORD, QByteArray(4, '\xff'));
    set("Short", REG_DWORD, "\x02\x01");
    set("Binary", 3, "\x01\x02");
    set("Full", REG_SZ, QByteArray(1023, 'x') + '\0');
    set("TooLong", REG_SZ, QByteArray(1024, 'x') + '\0');
    ScopedRegistry scope(table);

    QString value = QStringLiteral("old");
    QCOMPARE(GetKeyValue(root, keyName, valueName, value), result);
    QCOMPARE(value, text);
}

void TestRegistry::builtInTable_data() {
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<QString>("path"); // empty: neither value is there
    QTest::newRow("first found wins")
        << QStringList{"hardinfo", "kinfocenter"} << "/opt/bin/kinfocenter";
    QTest::newRow("no tool") << QStringList{} << "";
}

void TestRegistry::builtInTable() {
    QFETCH(QStringList, installed);
    QFETCH(QString, path);
    const auto table = BuiltInRegistry([&](const QString& name) {
        return installed.contains(name) ? "/opt/bin/" + name : QString();
    });
    ScopedRegistry scope(*table);
    QString value;
    QCOMPARE(GetKeyValue(HKEY_LOCAL_MACHINE, kMsInfoKey, "PATH", value), !path.isEmpty());
    QCOMPARE(value, path);
    QCOMPARE(GetKeyValue(HKEY_LOCAL_MACHINE, kLocationKey, "MSINFO", value), !path.isEmpty());
    QCOMPARE(value, path.isEmpty() ? QString() : QStringLiteral("/opt/bin"));
}

QTEST_GUILESS_MAIN(TestRegistry)
#include "tst_Registry.moc"
