#include "platform/mFileFound.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace platform;

class mFileFoundTest : public QObject {
    Q_OBJECT
private slots:
    void fileExists_data() {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<bool>("expected");
        QTest::newRow("file") << "a.txt" << true;
        QTest::newRow("folder with separator") << "sub/" << true;
        QTest::newRow("file with separator") << "a.txt/" << false;
        QTest::newRow("missing file") << "b.txt" << false;
        QTest::newRow("dangling link is an entry") << "dangling" << true;
        QTest::newRow("case differs") << "A.TXT" << false;
        QTest::newRow("wildcard sees hidden files") << ".h*" << true;
        QTest::newRow("wildcard in folder part") << "s*/deeper" << false;
        QTest::newRow("empty folder has no entries") << "empty/*" << false;
    }

    void fileExists() {
        QFETCH(QString, relative);
        QFETCH(bool, expected);
        QTemporaryDir dir;
        const QDir root(dir.path());
        for (const char* name : {"a.txt", "README", ".hidden", "img10.png"})
            QVERIFY(QFile(root.filePath(name)).open(QIODevice::WriteOnly));
        QVERIFY(root.mkpath("sub/deeper") && root.mkpath("empty"));
        QVERIFY(QFile::link(root.filePath("gone"), root.filePath("dangling")));
        QCOMPARE(FileExists(dir.path() + "/" + relative), expected);
        QVERIFY(!FileExists(QString()));
    }
};

QTEST_APPLESS_MAIN(mFileFoundTest)
#include "mFileFoundTest.moc"
