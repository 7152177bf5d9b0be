#include "platform/mFileFound.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace platform;

class mFileFoundTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void fileExists_data();
    void fileExists();
    void emptyFolderHasNoEntries();

private:
    QTemporaryDir dir_;
};

void mFileFoundTest::initTestCase() {
    QVERIFY(dir_.isValid());
    const QDir root(dir_.path());
    for (const char* name : {"a.txt", "README", "Pic.GIF", ".hidden", "img10.png"}) {
        QFile file(root.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QVERIFY(root.mkpath("sub/deeper"));
    QVERIFY(root.mkpath("empty"));
    QVERIFY(QFile::link(root.filePath("gone"), root.filePath("dangling")));
}

void mFileFoundTest::fileExists_data() {
    QTest::addColumn<QString>("relative");
    QTest::addColumn<bool>("expected");
    QTest::newRow("file") << "a.txt" << true;
    QTest::newRow("wildcard sees hidden files") << ".h*" << true;
    QTest::newRow("folder") << "sub" << true;
    QTest::newRow("folder with separator") << "sub/" << true;
    QTest::newRow("file with separator") << "a.txt/" << false;
    QTest::newRow("missing file") << "b.txt" << false;
    QTest::newRow("dangling link is an entry") << "dangling" << true;
    QTest::newRow("case differs") << "A.TXT" << false;
    QTest::newRow("star extension") << "*.txt" << true;
    QTest::newRow("question mark needs a character") << "a.txt?" << false;
    QTest::newRow("star dot star matches name without dot") << "READ*.*" << true;
    QTest::newRow("wildcard case-sensitive") << "*.gif" << false;
    QTest::newRow("backtracking star") << "i*g*0.p*g" << true;
    QTest::newRow("wildcard in folder part") << "s*/deeper" << false;
}

void mFileFoundTest::fileExists() {
    QFETCH(QString, relative);
    QFETCH(bool, expected);
    QCOMPARE(FileExists(dir_.path() + "/" + relative), expected);
}

void mFileFoundTest::emptyFolderHasNoEntries() {
    QVERIFY(!FileExists(dir_.path() + "/empty/*"));
    QVERIFY(!FileExists(QString()));
    QVERIFY(FileExists("/"));
}

QTEST_APPLESS_MAIN(mFileFoundTest)
#include "mFileFoundTest.moc"
