// The main window's folder, filter, list and preview behaviour, driven through
// its real widgets.

#include "RealDecoder.h"
#include "SettingsSandbox.h"
#include "app/FilterTable.h"
#include "app/fMain.h"
#include "app/mDirTreeview.h"
#include "controls/ucGIFViewer.h"
#include "filelist/FileListBox.h"
#include "filelist/cFileView.h"
#include "platform/ListView.h"
#include "platform/MessageBox.h"
#include "platform/PictureBox.h"
#include "platform/Util.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <memory>
#include <set>

namespace {

// A 1 x 1 GIF89a picture, red.
const QByteArray kGif = QByteArray::fromHex("47494638396101000100800000ff000000000021f904000000"
                                            "00002c00000000010001000002024401003b");

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

bool writeImage(const QString& path, int w, int h, QRgb colour) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(colour);
    return img.save(path, "PNG");
}

QString view(std::string_view s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

QStringList rows(const platform::ListView& lv) {
    QStringList out;
    for (int i = 0; i < lv.count(); ++i)
        out << lv.item(i).text;
    return out;
}

} // namespace

class tst_fMainBehaviour : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void filterHandler_data();
    void filterHandler();
    void noFilterSelectionKeepsPattern();
    void listingStoresLastPathAndCount();
    void itemClick_data();
    void itemClick();
    void previewFollowsItsPane();
    void refreshAndEditor();
    void viewTwiceReturnsToReport();
    void escapeInTheListAsksToQuit();

private:
    void browse(const QString& folder);
    void click(const QString& name);

    std::unique_ptr<SettingsSandbox> sandbox_;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<fMain> w_;
};

void tst_fMainBehaviour::init() {
    sandbox_ = std::make_unique<SettingsSandbox>();
    settings::Setup.StartInThumbnailView = 0; // clicks go through the report view
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    CurrentFolder.clear();
    w_ = std::make_unique<fMain>(nullptr, RealDecoder());
    w_->SetQuitAction([] {});
    w_->show();
    QVERIFY(QTest::qWaitForWindowExposed(w_.get()));
}

void tst_fMainBehaviour::cleanup() {
    platform::ScopedMessageBoxResponder yes(platform::MsgResult::Yes);
    w_.reset();
    dir_.reset();
    sandbox_.reset();
}

void tst_fMainBehaviour::browse(const QString& folder) {
    CurrentFolder = FolderBuffer(folder);
    w_->nPathchange();
}

/// Clicks the row of `name` in the file list with the mouse.
void tst_fMainBehaviour::click(const QString& name) {
    platform::ListView* lv = w_->lvFiles();
    const int row = int(rows(*lv).indexOf(name));
    QVERIFY2(row >= 0, qPrintable(name));
    lv->ensureVisible(row);
    QTreeView* tv = lv->reportView();
    const QModelIndex index = tv->model()->index(row, 0);
    QTRY_VERIFY(tv->viewport()->rect().contains(tv->visualRect(index).center()));
    QTest::mouseClick(tv->viewport(), Qt::LeftButton, {}, tv->visualRect(index).center());
}

void tst_fMainBehaviour::filterHandler_data() {
    QTest::addColumn<int>("index");
    for (int i = 0; i < int(FilterTable.size()); ++i)
        QTest::newRow(qPrintable(view(FilterTable[std::size_t(i)].caption))) << i;
}

void tst_fMainBehaviour::filterHandler() {
    QFETCH(int, index);
    // One file in lower and one in upper case for every extension any entry
    // names, and two files no entry but "All Files" matches.
    std::set<QString> extensions;
    for (const FilterEntry& e : FilterTable)
        for (const QString& spec : view(e.pattern).split(u';'))
            if (spec != "*.*")
                extensions.insert(spec.mid(2));
    for (const QString& ext : extensions) {
        QVERIFY(writeBytes(dir_->filePath("a." + ext), "x"));
        QVERIFY(writeBytes(dir_->filePath("B." + ext.toUpper()), "x"));
    }
    QVERIFY(writeBytes(dir_->filePath("c.txt"), "x"));
    QVERIFY(writeBytes(dir_->filePath("noext"), "x"));
    browse(dir_->path());

    w_->ComboFilter()->setCurrentIndex(index); // runs the filter handler
    if (index == 0) // selecting the entry already selected: run the handler again
        w_->tbrMain_ButtonClick(3);
    const QString pattern = view(FilterTable[std::size_t(index)].pattern);
    QCOMPARE(FilterPattern, pattern);
    QCOMPARE(w_->FileView().Pattern(), pattern);
    QCOMPARE(w_->Flfiles().Pattern(), pattern);

    std::set<QString> expected;
    for (const QString& spec : pattern.split(u';')) {
        if (spec == "*.*") {
            for (const QString& ext : extensions) {
                expected.insert("a." + ext);
                expected.insert("B." + ext.toUpper());
            }
            expected.insert("c.txt");
            expected.insert("noext");
        } else {
            expected.insert("a." + spec.mid(2));
            expected.insert("B." + spec.mid(2).toUpper());
        }
    }
    const QStringList listed = rows(*w_->lvFiles());
    QCOMPARE(std::set<QString>(listed.begin(), listed.end()), expected);
    QCOMPARE(w_->lblCount()->text(), QStringLiteral("%1 Image Files").arg(expected.size()));
}

void tst_fMainBehaviour::noFilterSelectionKeepsPattern() {
    w_->ComboFilter()->setCurrentIndex(17); // PNG
    w_->ComboFilter()->setCurrentIndex(-1); // no entry selected
    QCOMPARE(FilterPattern, QStringLiteral("*.png"));
}

void tst_fMainBehaviour::listingStoresLastPathAndCount() {
    QVERIFY(writeImage(dir_->filePath("a.png"), 4, 4, 0xFF00FF00));
    QVERIFY(writeImage(dir_->filePath("b.png"), 4, 4, 0xFF00FF00));
    QVERIFY(writeBytes(dir_->filePath("notes.txt"), "x"));
    browse(dir_->path());
    QCOMPARE(settings::Setup.LastPath, FolderBuffer(dir_->path()));
    QCOMPARE(settings::Setup.LastPath.size(), std::size_t(260));
    QCOMPARE(w_->lblCount()->text(), QStringLiteral("2 Image Files"));
    QCOMPARE(w_->FolderPath(), dir_->path() + QDir::separator());
    QCOMPARE(rows(*w_->lvFiles()), (QStringList{"a.png", "b.png"}));
    QCOMPARE(w_->lvFiles()->selectedRow(), 0);
    // The first row is selected, but no preview is made until a click.
    QCOMPARE(w_->StatusPanel(1)->text(), QString());
}

void tst_fMainBehaviour::itemClick_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content"); // null: the file goes before the click
    QTest::addColumn<QString>("panel1");     // "-": unchanged
    QTest::addColumn<QString>("panel2");
    QTest::addColumn<bool>("gifSignature");
    QTest::newRow("still image") << "other.png" << QByteArray() << "other.png"
                                 << "30x20" << false;
    QTest::newRow("GIF under a .png name") << "fake.png" << kGif << "fake.png"
                                           << "1x1" << true;
    QTest::newRow("damaged GIF still goes to the GIF viewer")
        << "broken.gif" << QByteArray("GIF90a unknown version") << "broken.gif"
        << "0x0" << true;
    // Still files that cannot be shown say so under their own name.
    const QString cannot = QStringLiteral("Cannot display this file");
    QTest::newRow("lower-case gif is no GIF")
        << "lower.gif" << QByteArray("gif89a not really") << "lower.gif" << cannot << false;
    QTest::newRow("two bytes") << "short.bmp" << QByteArray("GI") << "short.bmp" << cannot << false;
    QTest::newRow("empty file") << "empty.png" << QByteArray("") << "empty.png" << cannot << false;
    QTest::newRow("removed after listing") << "gone.png" << QByteArray("x") << "-"
                                           << "40x30" << false;
}

void tst_fMainBehaviour::itemClick() {
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, panel1);
    QFETCH(QString, panel2);
    QFETCH(bool, gifSignature);
    QVERIFY(writeImage(dir_->filePath("first.png"), 40, 30, 0xFF0000FF));
    if (content.isNull())
        QVERIFY(writeImage(dir_->filePath(name), 30, 20, 0xFF00FF00));
    else
        QVERIFY(writeBytes(dir_->filePath(name), content));
    w_->ComboFilter()->setCurrentIndex(28); // All Files
    browse(dir_->path());

    click("first.png");
    QTRY_COMPARE(w_->StatusPanel(1)->text(), QStringLiteral("first.png"));
    QCOMPARE(w_->StatusPanel(2)->text(), QStringLiteral("40x30"));
    if (name == "gone.png")
        QVERIFY(QFile::remove(dir_->filePath(name)));

    click(name);
    QTRY_COMPARE(w_->SelectedName(), name);
    QCOMPARE(w_->SelectedFolder(), dir_->path() + QDir::separator());
    QTRY_COMPARE(w_->StatusPanel(2)->text(), panel2);
    QCOMPARE(w_->StatusPanel(1)->text(), panel1 == "-" ? QStringLiteral("first.png") : panel1);
    QCOMPARE(w_->StatusPanel(3)->text(),
             gifSignature ? QStringLiteral("%1 Frames").arg(panel2 == "1x1" ? 1 : 0) : QString());
    QCOMPARE(w_->ucGIF1()->isVisible(), gifSignature);
    if (name != "gone.png")
        QCOMPARE(w_->SelectedSignature().size(), 10);
    QCOMPARE(w_->SelectedSignature().startsWith("GIF"), gifSignature);
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

void tst_fMainBehaviour::previewFollowsItsPane() {
    QVERIFY(writeImage(dir_->filePath("wide.png"), 400, 200, 0xFF00FF00));
    browse(dir_->path());
    click("wide.png");
    platform::PictureBox* pane = w_->picPreview();
    QTRY_COMPARE(w_->StatusPanel(2)->text(), QStringLiteral("400x200"));
    const QPoint centre(pane->width() / 2, pane->height() / 2);
    QCOMPARE(pane->Image().pixel(centre) | 0xFF000000u, 0xFF00FF00u);

    // The pane scales again from the loaded picture: the file is no longer needed.
    QVERIFY(QFile::remove(dir_->filePath("wide.png")));
    pane->resize(120, 300);
    QTRY_COMPARE(pane->Image().size(), QSize(120, 300));
    QCOMPARE(pane->Image().pixel(60, 150) | 0xFF000000u, 0xFF00FF00u); // 120 x 60 at (0, 120)
    QVERIFY(pane->Image().pixel(60, 110) != pane->Image().pixel(60, 150));
    QCOMPARE(w_->ucGIF1()->geometry(), QRect(0, 0, 120, 300));

    // A new folder clears the preview but keeps the panels.
    QTemporaryDir other;
    browse(other.path());
    QVERIFY(pane->Image().pixel(60, 150) != 0xFF00FF00u);
    QCOMPARE(w_->StatusPanel(1)->text(), QStringLiteral("wide.png"));
}

void tst_fMainBehaviour::refreshAndEditor() {
    QVERIFY(writeImage(dir_->filePath("a.png"), 4, 4, 0xFF00FF00));
    browse(dir_->path());
    QList<QUrl> opened;
    platform::ScopedShellOpenObserver observer([&opened](const QUrl& url) {
        opened << url;
        return true;
    });
    w_->ToolbarButton(2)->trigger(); // Edit before any click: nothing
    QVERIFY(opened.isEmpty());

    QVERIFY(writeImage(dir_->filePath("b.png"), 4, 4, 0xFF00FF00));
    w_->ToolbarButton(3)->trigger(); // Refresh
    QCOMPARE(rows(*w_->lvFiles()), (QStringList{"a.png", "b.png"}));
    QCOMPARE(w_->lblCount()->text(), QStringLiteral("2 Image Files"));

    click("b.png");
    QTRY_COMPARE(w_->SelectedName(), QStringLiteral("b.png"));
    w_->ToolbarButton(2)->trigger();
    QCOMPARE(opened.size(), 1);
    QCOMPARE(opened.first().toLocalFile(), dir_->filePath("b.png"));
}

void tst_fMainBehaviour::viewTwiceReturnsToReport() {
    platform::ListView* lv = w_->lvFiles();
    w_->ToolbarButton(7)->trigger();
    QCOMPARE(lv->View(), int(platform::ListView::LargeIcon));
    w_->ToolbarButton(7)->trigger();
    QCOMPARE(lv->View(), int(platform::ListView::Report));
}

void tst_fMainBehaviour::escapeInTheListAsksToQuit() {
    QVERIFY(writeImage(dir_->filePath("a.png"), 4, 4, 0xFF00FF00));
    browse(dir_->path());
    platform::ScopedMessageBoxResponder no(platform::MsgResult::No);
    w_->lvFiles()->reportView()->setFocus();
    QTest::keyClick(w_->lvFiles()->reportView(), Qt::Key_Escape);
    QTRY_COMPARE(no.requests().size(), std::size_t(1));
    QCOMPARE(no.requests().front().text, QStringLiteral("Are you sure you want to quit?"));
    QVERIFY(w_->isVisible());
    // Enter is taken by the list: no second question, nothing else happens.
    QTest::keyClick(w_->lvFiles()->reportView(), Qt::Key_Return);
    QCOMPARE(no.requests().size(), std::size_t(1));
}

QTEST_MAIN(tst_fMainBehaviour)
#include "tst_fMainBehaviour.moc"
