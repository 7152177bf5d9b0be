// cFileView and FileListBox: sorting by each column and a very large folder
// read in one batch. Matching, unreadable folders and odd names are driven
// through the main window in tst_fMainBehaviour.

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
    void twentyThousandFilesInOneBatch();
    void sortByEachColumn_data();
    void sortByEachColumn();
};

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
