// cFileView and FileListBox: the same folder reading, the texts of a row, and
// what the list shows when a folder cannot be read.

#include "filelist/FileListBox.h"
#include "filelist/cFileView.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <filesystem>
#include <memory>

using platform::ListView;

namespace {

const QLocale kUs(QLocale::English, QLocale::UnitedStates);

bool touch(const QString& path, qint64 size = 0) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && (size == 0 || f.resize(size));
}

QStringList names(const ListView& lv) {
    QStringList out;
    for (int i = 0; i < lv.count(); ++i)
        out << lv.item(i).text;
    return out;
}

/// A list with the main window's four columns and a file view bound to it.
struct Fixture {
    Fixture() {
        lv->addColumn(QStringLiteral("Name"), 2200);
        lv->addColumn(QStringLiteral("Size"), -1, Qt::AlignRight);
        lv->addColumn(QStringLiteral("Type"), 1500);
        lv->addColumn(QStringLiteral("Date Modified"));
        fv.setListView(lv.get());
    }
    std::unique_ptr<ListView> lv = std::make_unique<ListView>();
    cFileView fv;
};

} // namespace

class TestFileView : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(kUs); }
    void formatSize_data();
    void formatSize();
    void formatDate_data();
    void formatDate();
    void stripNulls_data();
    void stripNulls();
    void listsOnlyMatchingFiles();
    void cellsOfARow();
    void unreadableFoldersChangeNothing_data();
    void unreadableFoldersChangeNothing();
    void boxEmptiesWhenTheFolderGoes();
    void firstRowSelectedWithoutClick();
    void nonUtf8Names();
    void twentyThousandFilesInOneBatch();
    void withoutListView();
    void autoSizeHeaders();
};

void TestFileView::formatSize_data() {
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << qint64(0) << kUs << "0 KB";
    QTest::newRow("one byte") << qint64(1) << kUs << "1 KB";
    QTest::newRow("1535 rounds down") << qint64(1535) << kUs << "1 KB";
    QTest::newRow("2560 half away from zero") << qint64(2560) << kUs << "3 KB";
    QTest::newRow("German separator") << qint64(10000000) << QLocale(QLocale::German) << "9.766 KB";
    QTest::newRow("C locale still groups") << qint64(10000000) << QLocale::c() << "9,766 KB";
    QTest::newRow("5 TiB") << (qint64(5) << 40) << kUs << "5,368,709,120 KB";
    QTest::newRow("negative") << qint64(-5) << kUs << "0 KB";
}

void TestFileView::formatSize() {
    QFETCH(qint64, bytes);
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QCOMPARE(cFileView::FormatSize(bytes, locale), text);
}

void TestFileView::formatDate_data() {
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    const QLocale uk(QLocale::English, QLocale::UnitedKingdom);
    QTest::newRow("afternoon, seconds dropped") << QTime(15, 4, 59) << kUs << "1/2/24 3:04 PM";
    QTest::newRow("just after midnight") << QTime(0, 5) << kUs << "1/2/24 12:05 AM";
    QTest::newRow("noon") << QTime(12, 0) << kUs << "1/2/24 12:00 PM";
    QTest::newRow("British date") << QTime(15, 4) << uk << "02/01/2024 3:04 pm";
}

void TestFileView::formatDate() {
    QFETCH(QTime, time);
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QCOMPARE(cFileView::FormatDate(QDateTime(QDate(2024, 1, 2), time), locale), text);
}

void TestFileView::stripNulls_data() {
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("out");
    QTest::newRow("no NUL") << "abc" << QStringLiteral("abc");
    QTest::newRow("leading NUL") << QString(QChar(0)) + "abc" << QString();
    QTest::newRow("cut at the first NUL") << QString("c:/x") + QChar(0) + " " + QChar(0) << "c:/x";
}

void TestFileView::stripNulls() {
    QFETCH(QString, in);
    QFETCH(QString, out);
    QCOMPARE(cFileView::StripNulls(in), out);
    QCOMPARE(in, out); // the caller's variable is cut too
}

void TestFileView::listsOnlyMatchingFiles() {
    QTemporaryDir dir;
    const QString p = dir.path() + u'/';
    for (const char* name : {"b.jpg", "A.JPG", ".hidden.jpg", "img10.png", "img2.png", "x.txt"})
        QVERIFY(touch(p + name));
    QVERIFY(QDir(p).mkdir("old.jpg"));
    QVERIFY(QFile::link(p + "b.jpg", p + "link.jpg"));
    QVERIFY(QFile::link(p + "gone.jpg", p + "dangling.jpg"));
    QVERIFY(QFile::link(p + "loop1.jpg", p + "loop2.jpg")); // a loop of links
    QVERIFY(QFile::link(p + "loop2.jpg", p + "loop1.jpg"));
    QVERIFY(QFile::link(p, p + "self.jpg")); // a link to the folder itself
    // A named pipe is no file to list; made only where mkfifo exists.
    QProcess::execute("mkfifo", {p + "pipe.jpg"});

    Fixture f;
    f.fv.setPattern("*.jpg;*.png");
    QVERIFY(f.fv.ListFiles(dir.path(), true));
    const QStringList expected{".hidden.jpg", "A.JPG",     "b.jpg",
                               "img2.png",    "img10.png", "link.jpg"};
    QCOMPARE(names(*f.lv), expected);
    QVERIFY(QApplication::overrideCursor() == nullptr);

    // The hidden counter holds the same files; a new pattern reads again.
    FileListBox box;
    QVERIFY(box.setPath(p));
    QCOMPARE(box.Path(), dir.path()); // kept without its trailing separator
    box.setPattern(f.fv.Pattern());
    QCOMPARE(box.ListCount(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(box.List(i), expected.at(i));
    QCOMPARE(box.List(expected.size()), QString());

    f.fv.setPattern("*.tiff"); // nothing matches: the list empties
    QVERIFY(f.fv.ListFiles(dir.path(), true));
    QCOMPARE(f.lv->count(), 0);
    QCOMPARE(f.lv->selectedRow(), -1);
}

void TestFileView::cellsOfARow() {
    QTemporaryDir dir;
    QFile file(dir.path() + "/photo.png");
    if (!file.open(QIODevice::WriteOnly) || !file.resize((qint64(3) << 30) + 512)) // sparse
        QSKIP("This file system cannot hold a sparse 3 GiB file.");
    QVERIFY(file.setFileTime(QDateTime(QDate(2023, 11, 5), QTime(14, 7, 33)),
                             QFileDevice::FileModificationTime));
    file.close();
    Fixture f;
    QVERIFY(f.fv.ListFiles(dir.path(), true));
    QCOMPARE(f.lv->count(), 1);
    const platform::ListItem& row = f.lv->item(0);
    QCOMPARE(row.text, QStringLiteral("photo.png"));
    QCOMPARE(row.subItems, (QStringList{"3,145,729 KB", "PNG image", "11/5/23 2:07 PM"}));
    QVERIFY(!row.icon.isNull());
    QVERIFY(f.fv.ListFiles(dir.path(), false)); // sizes left out
    QCOMPARE(f.lv->item(0).subItems, (QStringList{"", "PNG image", "11/5/23 2:07 PM"}));
    QCOMPARE(cFileView::TypeName("x.qqqzzz"), QStringLiteral("N/A"));
}

void TestFileView::unreadableFoldersChangeNothing_data() {
    QTest::addColumn<QString>("relative");
    QTest::newRow("missing folder") << "no/such/folder";
    QTest::newRow("a file, not a folder") << "listed/a.png";
    QTest::newRow("empty path") << "";
}

void TestFileView::unreadableFoldersChangeNothing() {
    QFETCH(QString, relative);
    QTemporaryDir dir;
    const QString listed = dir.filePath("listed");
    QVERIFY(QDir(dir.path()).mkdir("listed"));
    QVERIFY(touch(listed + "/a.png") && touch(listed + "/b.png"));
    const QString bad = relative.isEmpty() ? QString() : dir.filePath(relative);
    Fixture f;
    QVERIFY(f.fv.ListFiles(listed, true));
    f.lv->selectRow(1);
    QVERIFY(!f.fv.ListFiles(bad, true));
    QCOMPARE(names(*f.lv), (QStringList{"a.png", "b.png"}));
    QCOMPARE(f.lv->selectedRow(), 1);
    QVERIFY(QApplication::overrideCursor() == nullptr);

    FileListBox box;
    QVERIFY(box.setPath(listed));
    QVERIFY(!box.setPath(bad));
    QCOMPARE(box.Path(), listed);
    QCOMPARE(box.ListCount(), 2);
}

void TestFileView::boxEmptiesWhenTheFolderGoes() {
    auto dir = std::make_unique<QTemporaryDir>();
    QVERIFY(touch(dir->filePath("a.png")));
    FileListBox box;
    QVERIFY(box.setPath(dir->path()));
    dir.reset();
    box.Refresh();
    QCOMPARE(box.ListCount(), 0);
}

void TestFileView::firstRowSelectedWithoutClick() {
    QTemporaryDir dir;
    for (int i = 0; i < 300; ++i)
        QVERIFY(touch(dir.path() + QStringLiteral("/f%1.png").arg(i)));
    Fixture f;
    f.lv->resize(300, 150);
    f.lv->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.lv.get()));
    QTreeView* tv = f.lv->reportView();
    tv->scrollToBottom();
    QSignalSpy clicks(f.lv.get(), &ListView::itemClick);
    QVERIFY(f.fv.ListFiles(dir.path(), true));
    QCOMPARE(f.lv->selectedText(), QStringLiteral("f0.png"));
    QTRY_VERIFY(tv->viewport()->rect().contains(tv->visualRect(tv->model()->index(0, 0))));
    QCOMPARE(clicks.count(), 0);
}

void TestFileView::nonUtf8Names() {
    QTemporaryDir dir;
    namespace fs = std::filesystem;
    const fs::path base(QFile::encodeName(dir.path()).toStdString() + "/sub");
    fs::create_directory(base);
    // Qt cannot name these files to delete them, so the test removes them.
    const auto cleanup = qScopeGuard([&base] {
        std::error_code ec;
        fs::remove_all(base, ec);
    });
    for (const char* raw : {"bad\xff\xfe.png", "ok.png", "lat\xe9.png"}) {
        FILE* out = std::fopen((base / raw).c_str(), "wb");
        if (!out)
            QSKIP("This file system refuses names that are not valid UTF-8.");
        std::fclose(out);
    }
    Fixture f;
    QVERIFY(f.fv.ListFiles(QFile::decodeName(base.c_str()), true));
    QCOMPARE(f.lv->count(), 3);
    QVERIFY(names(*f.lv).contains("ok.png"));
}

// A big folder must arrive in one model reset (a row-by-row fill against a live
// view takes minutes) and still in natural order.
void TestFileView::twentyThousandFilesInOneBatch() {
    QTemporaryDir dir;
    for (int i = 0; i < 20000; ++i)
        QVERIFY(touch(dir.path() + QStringLiteral("/img%1.png").arg(i)));
    Fixture f;
    QSignalSpy resets(f.lv->reportView()->model(), &QAbstractItemModel::modelReset);
    QVERIFY(f.fv.ListFiles(dir.path(), true));
    QCOMPARE(f.lv->count(), 20000);
    QCOMPARE(resets.count(), 1);
    QCOMPARE(f.lv->item(2).text, QStringLiteral("img2.png"));
    QCOMPARE(f.lv->item(19999).text, QStringLiteral("img19999.png"));
}

void TestFileView::withoutListView() {
    QTemporaryDir dir;
    cFileView fv;
    QVERIFY(!fv.ListFiles(dir.path(), true));
    QVERIFY(!fv.AssignSysIL());
    QVERIFY(!fv.AutoSizeListViewHeaders());
    {
        ListView lv;
        fv.setListView(&lv);
        QVERIFY(fv.AssignSysIL());
    }
    QVERIFY(fv.ListView() == nullptr); // the bound list was destroyed
    QVERIFY(!fv.ListFiles(dir.path(), true));
}

void TestFileView::autoSizeHeaders() {
    QTemporaryDir dir;
    QVERIFY(touch(dir.path() + u'/' + QString(120, u'x') + ".png"));
    Fixture f;
    QVERIFY(f.fv.ListFiles(dir.path(), true));
    const int lastBefore = f.lv->columnWidth(3);
    QVERIFY(f.fv.AutoSizeListViewHeaders());
    QVERIFY(f.lv->columnWidth(0) > 147); // wider than its 2200 twips
    QCOMPARE(f.lv->columnWidth(3), lastBefore);
}

QTEST_MAIN(TestFileView)
#include "tst_cFileView.moc"
