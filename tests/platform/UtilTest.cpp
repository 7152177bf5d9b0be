#include "platform/Util.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

using namespace platform;

class UtilTest : public QObject {
    Q_OBJECT
private slots:
    void shellOpenUrl_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QUrl>("url");
        QTest::newRow("web address")
            << "https://corvantis.example/" << QUrl("https://corvantis.example/");
        QTest::newRow("file with hash") << "/tmp/a#b.png" << QUrl::fromLocalFile("/tmp/a#b.png");
        QTest::newRow("drive letter is a file")
            << "c:\\pic.gif" << QUrl::fromLocalFile("c:\\pic.gif");
        QTest::newRow("empty") << "" << QUrl();
        QTest::newRow("existing file that looks like an address")
            << "existing:name.png" << QUrl::fromLocalFile("existing:name.png");
    }

    void shellOpenUrl() {
        QFETCH(QString, target);
        QFETCH(QUrl, url);
        QTemporaryDir dir;
        const QString previous = QDir::currentPath();
        const auto restore = qScopeGuard([&] { QDir::setCurrent(previous); });
        QVERIFY(QDir::setCurrent(dir.path()));
        QVERIFY(QFile("existing:name.png").open(QIODevice::WriteOnly));
        QCOMPARE(ShellOpenUrl(target), url);
    }

    void observerSeesRequestInsteadOfDesktop() {
        QList<QUrl> seen;
        ScopedShellOpenObserver observer([&](const QUrl& url) {
            seen.append(url);
            return false;
        });
        QVERIFY(!ShellOpen("/tmp/pic.png")); // failures come back quietly
        QVERIFY(!ShellOpen(QString()));      // nothing to open: not even asked
        QCOMPARE(seen, QList<QUrl>({QUrl::fromLocalFile("/tmp/pic.png")}));
    }
};

QTEST_GUILESS_MAIN(UtilTest)
#include "UtilTest.moc"
