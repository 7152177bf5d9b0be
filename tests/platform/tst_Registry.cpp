// GetKeyValue over a fake registry, and the built-in table that stands in for
// the registry on this platform.

#include "platform/Registry.h"

#include <QtTest>

using namespace platform;

namespace {
const QString kKey = QStringLiteral("SOFTWARE\\Vendor\\Tool");

// Counts open keys, so that a test sees every key closed again.
class CountingRegistry : public Registry {
public:
    explicit CountingRegistry(const Registry& inner) : inner_(inner) {}
    std::unique_ptr<RegistryKey> OpenKey(std::uint32_t root, const QString& path) const override {
        auto key = inner_.OpenKey(root, path);
        if (!key)
            return nullptr;
        ++open;
        return std::make_unique<Counted>(std::move(key), open);
    }
    mutable int open = 0;

private:
    class Counted : public RegistryKey {
    public:
        Counted(std::unique_ptr<RegistryKey> key, int& counter)
            : key_(std::move(key)), counter_(counter) {}
        ~Counted() override { --counter_; }
        std::optional<RegistryValue> QueryValue(const QString& name) const override {
            return key_->QueryValue(name);
        }

    private:
        std::unique_ptr<RegistryKey> key_;
        int& counter_;
    };
    const Registry& inner_;
};
} // namespace

class TestRegistry : public QObject {
    Q_OBJECT
private slots:
    void getKeyValue_data();
    void getKeyValue();
    void missingKeyClearsTheOldText();
    void otherTypeKeepsTheOldText();
    void builtInTableNamesTheFirstToolFound();
    void builtInTableWithoutAnyTool();
};

void TestRegistry::getKeyValue_data() {
    QTest::addColumn<QString>("keyName");
    QTest::addColumn<QString>("valueName");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("text");

    QTest::newRow("text with its NUL") << kKey << "WithNul" << true << "/usr/bin/tool";
    QTest::newRow("text without NUL keeps every character")
        << kKey << "NoNul" << true << "/usr/bin/tool";
    QTest::newRow("only the last NUL goes")
        << kKey << "TwoNuls" << true << QString::fromLatin1("ab\0", 3);
    QTest::newRow("empty text") << kKey << "Empty" << true << "";
    QTest::newRow("number") << kKey << "Number" << true << "305419896";
    QTest::newRow("number above 2^31 is unsigned") << kKey << "Big" << true << "4294967295";
    QTest::newRow("short number") << kKey << "Short" << true << "258";
    QTest::newRow("name ignores case") << kKey.toUpper() << "withnul" << true << "/usr/bin/tool";
    QTest::newRow("text filling the buffer") << kKey << "Full" << true << QString(1023, 'x');
    QTest::newRow("text beyond the buffer") << kKey << "TooLong" << false << "";
    QTest::newRow("missing value") << kKey << "Nothing" << false << "";
    QTest::newRow("missing key") << "SOFTWARE\\Nobody"
                                 << "WithNul" << false << "";
    QTest::newRow("empty key path") << ""
                                    << "WithNul" << false << "";
}

void TestRegistry::getKeyValue() {
    QFETCH(QString, keyName);
    QFETCH(QString, valueName);
    QFETCH(bool, result);
    QFETCH(QString, text);

    TableRegistry table;
    table.SetValue(HKEY_LOCAL_MACHINE, kKey, "WithNul",
                   {REG_SZ, QByteArray("/usr/bin/tool\0", 14)});
    table.SetValue(HKEY_LOCAL_MACHINE, kKey, "NoNul", {REG_SZ, QByteArray("/usr/bin/tool")});
    table.SetValue(HKEY_LOCAL_MACHINE, kKey, "TwoNuls", {REG_SZ, QByteArray("ab\0\0", 4)});
    table.SetValue(HKEY_LOCAL_MACHINE, kKey, "Empty", {REG_SZ, QByteArray("\0", 1)});
    table.SetValue(HKEY_LOCAL_MACHINE, kKey, "Number", {REG_DWORD, QByteArray("\x78\x56\x34\x12")});
    table.SetValue(HKEY_LOCAL_MACHINE, kKey, "Big", {REG_DWORD, QByteArray(4, '\xff')});
    table.SetValue(HKEY_LOCAL_MACHINE, kKey, "Short", {REG_DWORD, QByteArray("\x02\x01")});
    table.SetValue(HKEY_LOCAL_MACHINE, kKey, "Full", {REG_SZ, QByteArray(1023, 'x') + '\0'});
    table.SetValue(HKEY_LOCAL_MACHINE, kKey, "TooLong", {REG_SZ, QByteArray(1024, 'x') + '\0'});
    CountingRegistry counting(table);
    ScopedRegistry scope(counting);

    QString value = QStringLiteral("left over");
    QCOMPARE(GetKeyValue(HKEY_LOCAL_MACHINE, keyName, valueName, value), result);
    QCOMPARE(value, text);
    QCOMPARE(counting.open, 0);
}

void TestRegistry::missingKeyClearsTheOldText() {
    TableRegistry table;
    table.SetValue(HKEY_LOCAL_MACHINE, kKey, "PATH", {REG_SZ, "x"});
    ScopedRegistry scope(table);
    QString value = QStringLiteral("old");
    // The same path under another root is another key.
    QVERIFY(!GetKeyValue(HKEY_CURRENT_USER, kKey, "PATH", value));
    QVERIFY(value.isEmpty());
}

void TestRegistry::otherTypeKeepsTheOldText() {
    TableRegistry table;
    table.SetValue(HKEY_LOCAL_MACHINE, kKey, "Binary", {3, QByteArray("\x01\x02")});
    ScopedRegistry scope(table);
    QString value = QStringLiteral("old");
    QVERIFY(GetKeyValue(HKEY_LOCAL_MACHINE, kKey, "Binary", value));
    QCOMPARE(value, QStringLiteral("old"));
}

void TestRegistry::builtInTableNamesTheFirstToolFound() {
    QStringList asked;
    const auto table = BuiltInRegistry([&](const QString& name) {
        asked << name;
        return name == "kinfocenter" || name == "hardinfo" ? "/opt/bin/" + name : QString();
    });
    ScopedRegistry scope(*table);
    QString path;
    QVERIFY(
        GetKeyValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", path));
    QCOMPARE(path, QStringLiteral("/opt/bin/kinfocenter"));
    QVERIFY(GetKeyValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO",
                        path));
    QCOMPARE(path, QStringLiteral("/opt/bin"));
    QVERIFY(!asked.contains("hardinfo")); // the search stops at the first one found
}

void TestRegistry::builtInTableWithoutAnyTool() {
    const auto table = BuiltInRegistry([](const QString&) { return QString(); });
    ScopedRegistry scope(*table);
    QString path = QStringLiteral("old");
    QVERIFY(!GetKeyValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH",
                         path));
    QVERIFY(path.isEmpty());
    QVERIFY(!GetKeyValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO",
                         path));
}

QTEST_GUILESS_MAIN(TestRegistry)
#include "tst_Registry.moc"
