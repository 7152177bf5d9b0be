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
    if (!f.open(QIODevice::WriteOnly))
        return false;
    return size == 0 || f.resize(size);
}

QStringList names(const ListView& lv) {
    QStringList out;
    for (int i = 0; i < lv.count(); ++i)
        out << lv.item(i).text;
    return out;
}

/// A list with the main window's four columns and a file view bound to it.
struct Fixture {
    Fixture() : lv(std::make_unique<ListView>()) {
        lv->addColumn(QStringLiteral("Name"), 2200);
        lv->addColumn(QStringLiteral("Size"), -1, Qt::AlignRight);
        lv->addColumn(QStringLiteral("Type"), 1500);
        lv->addColumn(QStringLiteral("Date Modified"));
        fv.setListView(lv.get());
    }
    std::unique_ptr<ListView> lv;
    cFileView fv;
};

} // namespace

class TestFileView : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void formatSize_data();
    void formatSize();
    void formatDate_data();
    void formatDate();
    void stripNulls_data();
    void stripNulls();
    void typeName_data();
    void typeName();
    void listsMatchingFiles_data();
    void listsMatchingFiles();
    void cellsOfARow();
    void sizesCanBeLeftOut();
    void trailingSeparatorIsOptional();
    void unreadableFoldersChangeNothing_data();
    void unreadableFoldersChangeNothing();
    void permissionDenied();
    void emptyFolderClearsList();
    void firstRowSelectedWithoutClick();
    void folderDeletedAfterListing();
    void nonUtf8Names();
    void sizesOfTwoGibAndMore();
    void twentyThousandFiles();
    void withoutListView();
    void autoSizeHeaders();

private:
    QTemporaryDir tmp_;
};

void TestFileView::initTestCase() {
    QLocale::setDefault(kUs);
    QVERIFY(tmp_.isValid());
}

void TestFileView::formatSize_data() {
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << qint64(0) << kUs << "0 KB";
    QTest::newRow("one byte") << qint64(1) << kUs << "1 KB";
    QTest::newRow("1024") << qint64(1024) << kUs << "1 KB";
    QTest::newRow("1025") << qint64(1025) << kUs << "1 KB";
    QTest::newRow("1535 rounds down") << qint64(1535) << kUs << "1 KB";
    QTest::newRow("1536 half up") << qint64(1536) << kUs << "2 KB";
    QTest::newRow("2560 half away from zero") << qint64(2560) << kUs << "3 KB";
    QTest::newRow("10 MB grouped") << qint64(10000000) << kUs << "9,766 KB";
    QTest::newRow("German separator") << qint64(10000000) << QLocale(QLocale::German) << "9.766 KB";
    QTest::newRow("C locale still groups") << qint64(10000000) << QLocale::c() << "9,766 KB";
    QTest::newRow("2 GiB") << (qint64(2) << 30) << kUs << "2,097,152 KB";
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
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    const QDate d(2024, 1, 2);
    QTest::newRow("afternoon") << QDateTime(d, QTime(15, 4, 59)) << kUs << "1/2/24 3:04 PM";
    QTest::newRow("just after midnight") << QDateTime(d, QTime(0, 5)) << kUs << "1/2/24 12:05 AM";
    QTest::newRow("noon") << QDateTime(d, QTime(12, 0)) << kUs << "1/2/24 12:00 PM";
    QTest::newRow("morning") << QDateTime(d, QTime(9, 7, 1, 999)) << kUs << "1/2/24 9:07 AM";
    QTest::newRow("before midnight") << QDateTime(d, QTime(23, 59, 59)) << kUs << "1/2/24 11:59 PM";
    QTest::newRow("British date") << QDateTime(d, QTime(15, 4))
                                  << QLocale(QLocale::English, QLocale::UnitedKingdom)
                                  << "02/01/2024 3:04 pm";
}

void TestFileView::formatDate() {
    QFETCH(QDateTime, when);
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QCOMPARE(cFileView::FormatDate(when, locale), text);
}

void TestFileView::stripNulls_data() {
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("out");
    QTest::newRow("no NUL") << "abc"
                            << "abc";
    QTest::newRow("NUL then spaces") << QString("c:/x") + QChar(0) + QString(10, u' ') << "c:/x";
    QTest::newRow("leading NUL") << QString(QChar(0)) + "abc"
                                 << "";
    QTest::newRow("two NULs") << QString("a") + QChar(0) + "b" + QChar(0) << "a";
    QTest::newRow("empty") << ""
                           << "";
}

void TestFileView::stripNulls() {
    QFETCH(QString, in);
    QFETCH(QString, out);
    QString s = in;
    QCOMPARE(cFileView::StripNulls(s), out);
    QCOMPARE(s, out); // the caller's variable is cut too
}

void TestFileView::typeName_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("type");
    QTest::newRow("png") << "x.png"
                         << "PNG image";
    QTest::newRow("upper-case extension") << "X.PNG"
                                          << "PNG image";
    QTest::newRow("unknown extension") << "x.qqqzzz"
                                       << "N/A";
    QTest::newRow("no extension") << "qqnoextension"
                                  << "N/A";
    QTest::newRow("generic binary") << "x.bin"
                                    << "N/A";
}

void TestFileView::typeName() {
    QFETCH(QString, file);
    QFETCH(QString, type);
    QCOMPARE(cFileView::TypeName(file), type);
}

void TestFileView::listsMatchingFiles_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("jpg: hidden, case, link; no folder, no dangling link")
        << "*.jpg" << QStringList{".hidden.jpg", "A.JPG", "b.jpg", "link.jpg"};
    QTest::newRow("natural order") << "*.png" << QStringList{"img2.png", "img10.png"};
    QTest::newRow("two specs") << "*.txt; *.png"
                               << QStringList{"img2.png", "img10.png", "notes.txt"};
    QTest::newRow("every file") << "*.*"
                                << QStringList{".hidden.jpg", "A.JPG",    "b.jpg", "img2.png",
                                               "img10.png",   "link.jpg", "noext", "notes.txt"};
    QTest::newRow("nothing matches") << "*.tiff" << QStringList{};
}

void TestFileView::listsMatchingFiles() {
    QFETCH(QString, pattern);
    QFETCH(QStringList, expected);
    QTemporaryDir dir;
    const QString p = dir.path() + u'/';
    for (const char* name :
         {"b.jpg", "A.JPG", ".hidden.jpg", "img10.png", "img2.png", "notes.txt", "noext"})
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
    f.fv.setPattern(pattern);
    QVERIFY(f.fv.ListFiles(dir.path(), true));
    QCOMPARE(names(*f.lv), expected);
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

void TestFileView::cellsOfARow() {
    QTemporaryDir dir;
    const QString file = dir.path() + "/photo.png";
    QVERIFY(touch(file, 1536));
    const QDateTime when(QDate(2023, 11, 5), QTime(14, 7, 33));
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(when, QFileDevice::FileModificationTime));
    }
    Fixture f;
    QVERIFY(f.fv.ListFiles(dir.path(), true));
    QCOMPARE(f.lv->count(), 1);
    const platform::ListItem& row = f.lv->item(0);
    QCOMPARE(row.text, QStringLiteral("photo.png"));
    QCOMPARE(row.subItems,
             (QStringList{"2 KB", "PNG image", cFileView::FormatDate(when, QLocale())}));
    QCOMPARE(row.subItems.at(2), QStringLiteral("11/5/23 2:07 PM"));
    QVERIFY(!row.icon.isNull());
}

void TestFileView::sizesCanBeLeftOut() {
    QTemporaryDir dir;
    QVERIFY(touch(dir.path() + "/a.png", 5000));
    Fixture f;
    QVERIFY(f.fv.ListFiles(dir.path(), false));
    QCOMPARE(f.lv->item(0).subItems.at(0), QString());
    QCOMPARE(f.lv->item(0).subItems.at(1), QStringLiteral("PNG image"));
    QVERIFY(!f.lv->item(0).subItems.at(2).isEmpty());
}

void TestFileView::trailingSeparatorIsOptional() {
    QTemporaryDir dir;
    QVERIFY(touch(dir.path() + "/a.png"));
    QVERIFY(touch(dir.path() + "/b.png"));
    Fixture f;
    QVERIFY(f.fv.ListFiles(dir.path(), true));
    const QStringList without = names(*f.lv);
    QVERIFY(f.fv.ListFiles(dir.path() + u'/', true));
    QCOMPARE(names(*f.lv), without);
    QCOMPARE(without.size(), 2);
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
    QVERIFY(QDir(dir.path()).mkdir("listed"));
    QVERIFY(touch(dir.path() + "/listed/a.png"));
    QVERIFY(touch(dir.path() + "/listed/b.png"));
    Fixture f;
    QVERIFY(f.fv.ListFiles(dir.path() + "/listed", true));
    f.lv->selectRow(1);
    const QString path = relative.isEmpty() ? QString() : dir.path() + u'/' + relative;
    QVERIFY(!f.fv.ListFiles(path, true));
    QCOMPARE(names(*f.lv), (QStringList{"a.png", "b.png"}));
    QCOMPARE(f.lv->selectedRow(), 1);
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

void TestFileView::permissionDenied() {
    QTemporaryDir dir;
    const QString locked = dir.path() + "/locked";
    QVERIFY(QDir(dir.path()).mkdir("locked"));
    QVERIFY(touch(locked + "/a.png"));
    QVERIFY(QFile::setPermissions(locked, QFileDevice::Permissions()));
    const bool bypassed = !QDir(locked).entryList(QDir::Files).isEmpty();
    if (bypassed) {
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
        QSKIP("The tests run with rights that ignore folder permissions (root).");
    }
    Fixture f;
    QVERIFY(!f.fv.ListFiles(locked, true));
    QFile::setPermissions(locked,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

void TestFileView::emptyFolderClearsList() {
    QTemporaryDir full, empty;
    QVERIFY(touch(full.path() + "/a.png"));
    QVERIFY(touch(empty.path() + "/a.txt"));
    Fixture f;
    f.fv.setPattern("*.png");
    QVERIFY(f.fv.ListFiles(full.path(), true));
    QCOMPARE(f.lv->count(), 1);
    QVERIFY(f.fv.ListFiles(empty.path(), true));
    QCOMPARE(f.lv->count(), 0);
    QCOMPARE(f.lv->selectedRow(), -1);
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
    QCOMPARE(f.lv->selectedRow(), 0);
    QCOMPARE(f.lv->selectedText(), QStringLiteral("f0.png"));
    QTRY_VERIFY(tv->viewport()->rect().contains(tv->visualRect(tv->model()->index(0, 0))));
    QCOMPARE(clicks.count(), 0);
}

void TestFileView::folderDeletedAfterListing() {
    auto dir = std::make_unique<QTemporaryDir>();
    QVERIFY(touch(dir->path() + "/a.png"));
    const QString path = dir->path();
    Fixture f;
    QVERIFY(f.fv.ListFiles(path, true));
    dir.reset(); // removes the folder that is still listed and selected
    QVERIFY(!QDir(path).exists());
    QVERIFY(!f.fv.ListFiles(path, true));
    QCOMPARE(names(*f.lv), QStringList{"a.png"});
    QCOMPARE(f.lv->selectedText(), QStringLiteral("a.png"));
}

void TestFileView::nonUtf8Names() {
    QTemporaryDir dir;
    namespace fs = std::filesystem;
    const fs::path base(QFile::encodeName(dir.path()).toStdString());
    // Qt cannot name these files to delete them, so the test removes them.
    struct Cleanup {
        fs::path base;
        ~Cleanup() {
            std::error_code ec;
            for (const auto& e : fs::directory_iterator(base, ec))
                fs::remove(e.path(), ec);
        }
    } cleanup{base};
    for (const char* raw : {"bad\xff\xfe.png", "ok.png", "lat\xe9.png"}) {
        FILE* out = std::fopen((base / raw).c_str(), "wb");
        if (!out)
            QSKIP("This file system refuses names that are not valid UTF-8.");
        std::fclose(out);
    }
    Fixture f;
    QVERIFY(f.fv.ListFiles(dir.path(), true));
    QCOMPARE(f.lv->count(), 3);
    QVERIFY(names(*f.lv).contains("ok.png"));
}

void TestFileView::sizesOfTwoGibAndMore() {
    QTemporaryDir dir;
    const qint64 size = (qint64(3) << 30) + 512; // 3 GiB and a half KB, sparse
    if (!touch(dir.path() + "/big.png", size))
        QSKIP("This file system cannot hold a sparse 3 GiB file.");
    Fixture f;
    QVERIFY(f.fv.ListFiles(dir.path(), true));
    QCOMPARE(f.lv->item(0).subItems.at(0), QStringLiteral("3,145,729 KB"));
}

void TestFileView::twentyThousandFiles() {
    QTemporaryDir dir;
    for (int i = 0; i < 20000; ++i)
        QVERIFY(touch(dir.path() + QStringLiteral("/img%1.png").arg(i)));
    Fixture f;
    QSignalSpy resets(f.lv->reportView()->model(), &QAbstractItemModel::modelReset);
    QVERIFY(f.fv.ListFiles(dir.path(), true));
    QCOMPARE(f.lv->count(), 20000);
    QCOMPARE(resets.count(), 1);
    QCOMPARE(f.lv->item(0).text, QStringLiteral("img0.png"));
    QCOMPARE(f.lv->item(2).text, QStringLiteral("img2.png"));
    QCOMPARE(f.lv->item(19999).text, QStringLiteral("img19999.png"));
}

void TestFileView::withoutListView() {
    QTemporaryDir dir;
    cFileView fv;
    QCOMPARE(fv.Pattern(), QStringLiteral("*.*"));
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
    const QString longName = QString(120, u'x') + ".png";
    QVERIFY(touch(dir.path() + u'/' + longName));
    Fixture f;
    QVERIFY(f.fv.ListFiles(dir.path(), true));
    const int lastBefore = f.lv->columnWidth(3);
    QVERIFY(f.fv.AutoSizeListViewHeaders());
    QVERIFY(f.lv->columnWidth(0) > 147);
    QCOMPARE(f.lv->columnWidth(3), lastBefore);
}

QTEST_MAIN(TestFileView)
#include "tst_cFileView.moc"
