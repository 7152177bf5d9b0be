// GetKeyValue over a fake registry, and the built-in table that stands in for
// the registry on this platform.

#include "platform/Registry.h"

#include <QtTest>

using namespace platform;

namespace {
const QString kKey = QStringLiteral("SOFTWARE\\Vendor\\Tool");
} // namespace

class TestRegistry : public QObject {
    Q_OBJECT
private slots:
    void getKeyValue_data() {
        QTest::addColumn<uint>("root");
        QTest::addColumn<QString>("valueName");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QString>("text"); // KeyVal afterwards; it held "old" before
        const uint hklm = HKEY_LOCAL_MACHINE;
        QTest::newRow("text without NUL keeps every character")
            << hklm << "NoNul" << true << "/usr/bin/tool";
        QTest::newRow("only the last NUL goes")
            << hklm << "TwoNuls" << true << QString::fromLatin1("ab\0", 3);
        QTest::newRow("number above 2^31 is unsigned") << hklm << "Big" << true << "4294967295";
        QTest::newRow("short number, little-endian") << hklm << "Short" << true << "258";
        QTest::newRow("other type keeps the old text") << hklm << "Binary" << true << "old";
        QTest::newRow("names ignore case") << hklm << "nonul" << true << "/usr/bin/tool";
        QTest::newRow("text filling the buffer") << hklm << "Full" << true << QString(1023, 'x');
        QTest::newRow("text beyond the buffer") << hklm << "TooLong" << false << "";
        QTest::newRow("missing value") << hklm << "Nothing" << false << "";
        QTest::newRow("same path, other root") << uint(HKEY_CURRENT_USER) << "NoNul" << false << "";
    }

    void getKeyValue() {
        QFETCH(uint, root);
        QFETCH(QString, valueName);
        TableRegistry table;
        const auto set = [&table](const char* name, std::uint32_t type, const QByteArray& bytes) {
            table.SetValue(HKEY_LOCAL_MACHINE, kKey, name, {type, bytes});
        };
        set("NoNul", REG_SZ, "/usr/bin/tool");
        set("TwoNuls", REG_SZ, QByteArray("ab\0\0", 4));
        set("Big", REG_DWORD, QByteArray(4, '\xff'));
        set("Short", REG_DWORD, "\x02\x01");
        set("Binary", 3, "\x01\x02");
        set("Full", REG_SZ, QByteArray(1023, 'x') + '\0');
        set("TooLong", REG_SZ, QByteArray(1024, 'x') + '\0');
        ScopedRegistry scope(table);
        QString value = QStringLiteral("old");
        QTEST(GetKeyValue(root, kKey.toUpper(), valueName, value), "result");
        QTEST(value, "text");
    }

    void builtInTable() {
        const QString msInfo = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
        const QString location = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
        for (const QString& path : {QStringLiteral("/opt/bin/kinfocenter"), QString()}) {
            const auto table = BuiltInRegistry([&](const QString& name) {
                // Two tools installed: the one listed first wins.
                const bool installed = name == "hardinfo" || name == "kinfocenter";
                return !path.isEmpty() && installed ? "/opt/bin/" + name : QString();
            });
            ScopedRegistry scope(*table);
            QString value;
            QCOMPARE(GetKeyValue(HKEY_LOCAL_MACHINE, msInfo, "PATH", value), !path.isEmpty());
            QCOMPARE(value, path);
            QCOMPARE(GetKeyValue(HKEY_LOCAL_MACHINE, location, "MSINFO", value), !path.isEmpty());
            QCOMPARE(value, path.isEmpty() ? QString() : QStringLiteral("/opt/bin"));
        }
    }
};

QTEST_GUILESS_MAIN(TestRegistry)
#include "tst_Registry.moc"
