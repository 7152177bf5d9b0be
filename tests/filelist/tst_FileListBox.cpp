#include "filelist/FileListBox.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

bool touch(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly);
}

} // namespace

class TestFileListBox : public QObject {
    Q_OBJECT

private slots:
    void counts_data();
    void counts();
    void refusedPathKeepsPreviousFolder_data();
    void refusedPathKeepsPreviousFolder();
    void refreshAfterTheFolderWent();
};

void TestFileListBox::counts_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("all formats pattern, hidden counted")
        << "*.bmp;*.gif;*.jpg;*.png" << QStringList{".h.png", "a.JPG", "b2.gif", "b10.gif"};
    QTest::newRow("all files") << "*.*"
                               << QStringList{".h.png", "a.JPG", "b2.gif", "b10.gif", "c.txt"};
    QTest::newRow("no match") << "*.tga" << QStringList{};
}

void TestFileListBox::counts() {
    QFETCH(QString, pattern);
    QFETCH(QStringList, names);
    QTemporaryDir dir;
    for (const char* n : {"a.JPG", "b10.gif", "b2.gif", ".h.png", "c.txt"})
        QVERIFY(touch(dir.filePath(n)));
    QVERIFY(QDir(dir.path()).mkdir("folder.png"));
    FileListBox box;
    QCOMPARE(box.Pattern(), QStringLiteral("*.*"));
    box.setPattern(pattern);
    QVERIFY(box.setPath(dir.path() + u'/'));
    QCOMPARE(box.Path(), dir.path()); // kept without its trailing separator
    QCOMPARE(box.ListCount(), names.size());
    for (int i = 0; i < names.size(); ++i)
        QCOMPARE(box.List(i), names.at(i));
    QCOMPARE(box.List(names.size()), QString());
}

void TestFileListBox::refusedPathKeepsPreviousFolder_data() {
    QTest::addColumn<QString>("bad");
    QTest::newRow("missing") << "/no/such/folder/anywhere";
    QTest::newRow("empty") << "";
    QTest::newRow("blank buffer") << QString(260, u' ');
}

void TestFileListBox::refusedPathKeepsPreviousFolder() {
    QFETCH(QString, bad);
    QTemporaryDir dir;
    QVERIFY(touch(dir.filePath("a.png")));
    FileListBox box;
    QVERIFY(box.setPath(dir.path()));
    QVERIFY(!box.setPath(bad));
    QCOMPARE(box.Path(), dir.path());
    QCOMPARE(box.ListCount(), 1);
}

void TestFileListBox::refreshAfterTheFolderWent() {
    auto dir = std::make_unique<QTemporaryDir>();
    QVERIFY(touch(dir->filePath("a.png")));
    FileListBox box;
    QVERIFY(box.setPath(dir->path()));
    dir.reset();
    box.Refresh();
    QCOMPARE(box.ListCount(), 0);
    box.setPattern("*.png"); // reads again: still nothing, no crash
    QCOMPARE(box.ListCount(), 0);
}

QTEST_APPLESS_MAIN(TestFileListBox)
#include "tst_FileListBox.moc"
