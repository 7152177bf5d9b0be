// cFileView and FileListBox: the same folder reading, the texts of a row, and
// what the list shows when a folder cannot be read.

#include "filelist/FileListBox.h"
#include "filelist/cFileView.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QListView>
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
    void oddNamesOpen_data();
    void oddNamesOpen();
    void twentyThousandFilesInOneBatch();
    void sortByEachColumn_data();
    void sortByEachColumn();
};

void TestFileView::formatSize_data() {
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << qint64(0) << kUs << "0 KB";
    QTest::newRow("one byte") << qint64(1) << kUs << "1 KB";
    QTest::newRow("1535 rounds down") << qint64(1535) << kUs << "1 KB";
    QTest::newRow("2560 half away from zero") << qint64(2560) << kUs << "3 KB";
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
    QTest::newRow("afternoon, seconds dropped") << QTime(15, 4, 59) << kUs << "1/2/24 3:04 PM";
    QTest::newRow("just after midnight") << QTime(0, 5) << kUs << "1/2/24 12:05 AM";
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

void TestFileView::oddNamesOpen_data() {
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<QString>("shown");
    QTest::newRow("not UTF-8") << QByteArray("bad\xff\xfe.png")
                               << QStringLiteral("bad\ufffd\ufffd.png");
    QTest::newRow("Latin-1") << QByteArray("lat\xe9.png") << QStringLiteral("lat\ufffd.png");
    QTest::newRow("newline and controls")
        << QByteArray("two\nlines\x01\x7f.png") << QStringLiteral("two\u240alines\u2401\u2421.png");
    QTest::newRow("255 bytes") << QByteArray(251, 'x') + ".png" << QString(251, u'x') + ".png";
    QTest::newRow("differs only in case") << QByteArray("CASE.png") << QStringLiteral("CASE.png");
}

// Every name lists visibly and its row opens the very file, whatever bytes the
// name holds.
void TestFileView::oddNamesOpen() {
    QFETCH(QByteArray, raw);
    QFETCH(QString, shown);
    QTemporaryDir dir;
    namespace fs = std::filesystem;
    const fs::path base(QFile::encodeName(dir.path()).toStdString() + "/sub");
    fs::create_directory(base);
    // Qt cannot name some of these files to delete them, so the test does.
    const auto cleanup = qScopeGuard([&base] {
        std::error_code ec;
        fs::remove_all(base, ec);
    });
    for (const QByteArray& name : {raw, QByteArray("case.png")}) {
        FILE* out = std::fopen((base / name.toStdString()).c_str(), "wb");
        if (!out)
            QSKIP("This file system refuses such a name.");
        std::fputs(name.constData(), out);
        std::fclose(out);
    }
    Fixture f;
    QVERIFY(f.fv.ListFiles(QFile::decodeName(base.c_str()), true));
    QCOMPARE(f.lv->count(), 2);
    const int row = f.fv.FindRow(raw);
    QVERIFY(row >= 0);
    QCOMPARE(f.lv->item(row).text, shown);
    QFile file(f.fv.FilePath(row));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    QCOMPARE(file.readAll(), raw);
}

namespace {
const QStringList kSortFiles{"img10.png", "img2.png",  "Beta.jpg",
                             "beta.jpg",  "alpha.gif", "zeta.txt"};
} // namespace

void TestFileView::sortByEachColumn_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QStringList>("ascending");
    QTest::newRow("name, natural") << 0 << QStringList{"alpha.gif", "Beta.jpg",  "beta.jpg",
                                                       "img2.png",  "img10.png", "zeta.txt"};
    // 10 and 1000 bytes both read "1 KB"; "293 KB" comes before "5 KB" as text.
    QTest::newRow("size, by bytes") << 1 << QStringList{"zeta.txt", "Beta.jpg",  "beta.jpg",
                                                        "img2.png", "img10.png", "alpha.gif"};
    QTest::newRow("type, by its text") << 2 << QStringList{"alpha.gif", "Beta.jpg", "beta.jpg",
                                                           "zeta.txt",  "img2.png", "img10.png"};
    // Beta and beta share their minute; img2 and img10 their second.
    QTest::newRow("date, by time") << 3 << QStringList{"zeta.txt", "Beta.jpg",  "beta.jpg",
                                                       "img2.png", "img10.png", "alpha.gif"};
}

// Header clicks sort; a second click reverses; the selection stays on its file
// and the icon view shows the same order.
void TestFileView::sortByEachColumn() {
    QFETCH(int, column);
    QFETCH(QStringList, ascending);
    QTemporaryDir dir;
    const QList<qint64> sizes{5000, 5000, 10, 1000, 300000, 0};
    const QList<int> seconds{100, 100, 50, 55, 400, 5};
    const QDateTime base(QDate(2024, 3, 1), QTime(10, 0));
    for (int i = 0; i < kSortFiles.size(); ++i) {
        QFile file(dir.filePath(kSortFiles[i]));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(sizes[i]));
        QVERIFY(file.setFileTime(base.addSecs(seconds[i]), QFileDevice::FileModificationTime));
    }
    Fixture f;
    f.lv->resize(800, 300);
    f.lv->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.lv.get()));
    QVERIFY(f.fv.ListFiles(dir.path(), true));
    f.lv->selectRow(int(names(*f.lv).indexOf("beta.jpg")));
    QStringList descending = ascending;
    std::reverse(descending.begin(), descending.end());

    QHeaderView* header = f.lv->reportView()->header();
    const auto clickHeader = [&] {
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    };
    QSignalSpy chosen(f.lv.get(), &ListView::sortChanged);
    clickHeader();
    // The list starts sorted by name, so a click on Name reverses it.
    const bool firstDown = column == 0;
    QCOMPARE(names(*f.lv), firstDown ? descending : ascending);
    QCOMPARE(header->sortIndicatorSection(), column);
    clickHeader();
    QCOMPARE(names(*f.lv), firstDown ? ascending : descending);
    QCOMPARE(chosen.count(), 2);
    QCOMPARE(f.lv->selectedText(), QStringLiteral("beta.jpg"));

    // A listing keeps the order chosen.
    QVERIFY(f.fv.ListFiles(dir.path(), true));
    QCOMPARE(names(*f.lv), firstDown ? ascending : descending);

    f.lv->setView(ListView::LargeIcon);
    QListView* icons = f.lv->iconView();
    const auto before = [icons](int a, int b) {
        const QRect ra = icons->visualRect(icons->model()->index(a, 0));
        const QRect rb = icons->visualRect(icons->model()->index(b, 0));
        return ra.isValid() &&
               (ra.top() < rb.top() || (ra.top() == rb.top() && ra.left() < rb.left()));
    };
    for (int i = 0; i + 1 < f.lv->count(); ++i)
        QTRY_VERIFY(before(i, i + 1));
}

QTEST_MAIN(TestFileView)
#include "tst_cFileView.moc"
