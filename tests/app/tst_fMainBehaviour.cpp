// The main window's folder, filter, list and preview behaviour, driven through
// its real widgets: the filter's own words, clicks on every kind of file, a
// folder that cannot be read, odd file names, the folder changing while shown,
// the order kept for the next start and a file named on the command line.

#include "RealDecoder.h"
#include "SettingsSandbox.h"
#include "app/fMain.h"
#include "app/mDirTreeview.h"
#include "app/mStartup.h"
#include "controls/ImageAceX.h"
#include "controls/ucGIFViewer.h"
#include "filelist/FileListBox.h"
#include "filelist/FolderWatch.h"
#include "filelist/cFileView.h"
#include "platform/ListView.h"
#include "platform/MessageBox.h"
#include "platform/PictureBox.h"
#include "platform/Util.h"
#include "settings/Preferences.h"
#include "windows/fFullview.h"
#include "windows/fSplash.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <filesystem>
#include <memory>

namespace {

// A 1 x 1 GIF89a picture, red.
const QByteArray kGif = QByteArray::fromHex("47494638396101000100800000ff000000000021f904000000"
                                            "00002c00000000010001000002024401003b");

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

bool writeImage(const QString& path, int w, int h, QRgb colour = 0xFF00FF00) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(colour);
    return img.save(path, "PNG");
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
    void filterCaptionsAndPatterns();
    void filterListsMatchingFiles();
    void itemClick_data();
    void itemClick();
    void refreshAndEditor();
    void escapeInTheListAsksToQuit();
    void unreadableFolder_data();
    void unreadableFolder();
    void nonUtf8NameOpensOnClick();
    void listFollowsTheFolder();
    void fullViewStepsThroughTheListAsItIsNow();
    void deletedFolderMovesTheTreeUp();
    void orderKeptForTheNextStart();
    void commandLineFileShown();

private:
    void browse(const QString& folder);
    void click(const QString& name);
    std::unique_ptr<fMain> newWindow();

    std::unique_ptr<SettingsSandbox> sandbox_;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<fMain> w_;
};

void tst_fMainBehaviour::init() {
    sandbox_ = std::make_unique<SettingsSandbox>();
    settings::Setup.StartInThumbnailView = 0; // clicks go through the report view
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    w_ = newWindow();
    QVERIFY(QTest::qWaitForWindowExposed(w_.get()));
}

std::unique_ptr<fMain> tst_fMainBehaviour::newWindow() {
    auto w = std::make_unique<fMain>(nullptr, RealDecoder());
    w->SetQuitAction([] {});
    w->show();
    return w;
}

void tst_fMainBehaviour::cleanup() {
    platform::ScopedMessageBoxResponder yes(platform::MsgResult::Yes);
    DetachTree();
    SetTreeHost(nullptr);
    w_.reset();
    dir_.reset();
    sandbox_.reset();
}

void tst_fMainBehaviour::browse(const QString& folder) {
    w_->ChooseFolder(folder);
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

// The program's own words: every caption of the filter box and the patterns
// it lists with, typed out here rather than taken from the table.
void tst_fMainBehaviour::filterCaptionsAndPatterns() {
    const QStringList expected = {
        "All Supported Formats|*.bmp;*.cur;*.dib;*.dds;*.emf;*.gif;*.ico;*.iff;*.jif;*.jng;"
        "*.jpg;*.koala;*.lbm;*.mng;*.pbm;*.pcd;*.pcx;*.pgm;*.png;*.ppm;*.psd;*.ras;*.rle;*.tga;"
        "*.tiff;*.wbmp;*.wmf;*.xbm;*.xpm",
        "Windows or OS2 BMP(*.bmp)|*.bmp",
        "Cursors(*.cur)|*.cur",
        "Windows DIB(*.dib)|*.dib",
        "Microsoft DirectDraw Surface(*.dds)|*.dds",
        "Windows Enhanced Metafile(*.emf)|*.emf",
        "Compuserve GIF(*.gif)|*.gif",
        "Icon Files(*.ico)|*.ico",
        "JPEG Network Graphics(*.jng)|*.jng",
        "JPEG - JFIF Compliant(*.jpg,*.jpeg,*.jif,*.jfif)|*.jpg;*.jpeg;*.jif;*.jfif",
        "KOALA Files(*.koala,*.gg)|*.koala;*.gg",
        "Deluxe Paint(*.lbm)|*.lbm",
        "Multiple Network Graphics(*.mng)|*.mng",
        "Portable Bitmap(*.pbm)|*.pbm",
        "Kodak PhotoCD(*.pcd)|*.pcd",
        "Zsoft Paintbrush(*.pcx)|*.pcx",
        "Portable Greymap(*.pgm)|*.pgm",
        "Portable Network Graphics(*.png)|*.png",
        "Portable Pixmap(*.ppm)|*.ppm",
        "Adobe Photoshop Document(*.psd)|*.psd",
        "Sun Raster File(*.ras)|*.ras",
        "Run-Length encoded Bitmap(*.rle)|*.rle",
        "Truevision Targa(*.tga)|*.tga",
        "Tagged Image File Format(*.tif,*.tiff)|*.tif;*.tiff",
        "Wireless Bitmap(*.wbmp)|*.wbmp",
        "Windows Meta File(*.wmf)|*.wmf",
        "X11 Bitmap Format(*.xbm)|*.xbm",
        "X PIxMap Format definition(*.xpm)|*.xpm",
        "All Files(*.*)|*.*"};
    QComboBox* combo = w_->ComboFilter();
    QCOMPARE(combo->count(), expected.size());
    for (int i = expected.size() - 1; i >= 0; --i) {
        combo->setCurrentIndex(i);
        QCOMPARE(combo->itemText(i) + '|' + w_->FilterPattern(), expected[i]);
    }
}

// A pattern matches regardless of case, and only "All Files" lists the rest.
void tst_fMainBehaviour::filterListsMatchingFiles() {
    for (const char* name : {"a.png", "B.PNG", "c.tif", "d.txt", "noext"})
        QVERIFY(writeBytes(dir_->filePath(name), "x"));
    browse(dir_->path());
    w_->ComboFilter()->setCurrentIndex(17); // PNG
    QCOMPARE(rows(*w_->lvFiles()), (QStringList{"a.png", "B.PNG"}));
    QCOMPARE(w_->FileView().Pattern(), QStringLiteral("*.png"));
    QCOMPARE(w_->lblCount()->text(), QStringLiteral("2 Image Files"));
    w_->ComboFilter()->setCurrentIndex(-1); // no entry selected: the pattern stays
    QCOMPARE(w_->FilterPattern(), QStringLiteral("*.png"));
    w_->ComboFilter()->setCurrentIndex(28);
    QCOMPARE(w_->lblCount()->text(), QStringLiteral("5 Image Files"));
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

    // Options, Help and About open one window each, however often clicked.
    for (int i = 0; i < 2; ++i) {
        w_->ToolbarButton(8)->trigger();
        w_->ToolbarButton(9)->trigger();
        w_->cmdAbout()->click();
    }
    QCOMPARE(w_->findChildren<QDialog*>().size(), qsizetype(3));
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

void tst_fMainBehaviour::unreadableFolder_data() {
    QTest::addColumn<bool>("deleteListed"); // else: select a folder that never existed
    QTest::newRow("missing folder selected") << false;
    QTest::newRow("listed folder deleted, then refreshed") << true;
}

// The previous folder's files never show under a folder that cannot be read.
void tst_fMainBehaviour::unreadableFolder() {
    QFETCH(bool, deleteListed);
    auto listed = std::make_unique<QTemporaryDir>();
    QVERIFY(writeImage(listed->filePath("a.png"), 4, 4));
    browse(listed->path());
    QCOMPARE(rows(*w_->lvFiles()), QStringList{"a.png"});
    const std::string lastPath = settings::Setup.LastPath;
    if (deleteListed) {
        w_->Watch().setDelay(60000); // Refresh, not the watch, finds it gone
        listed.reset();
        w_->ToolbarButton(3)->trigger(); // Refresh
    } else {
        browse(dir_->filePath("no/such/folder"));
    }
    QCOMPARE(w_->lvFiles()->count(), 0);
    QCOMPARE(w_->lblCount()->text(), QStringLiteral("0 Image Files"));
    QCOMPARE(w_->StatusPanel(1)->text(), QStringLiteral("Cannot read this folder"));
    QCOMPARE(settings::Setup.LastPath, lastPath);
}

void tst_fMainBehaviour::nonUtf8NameOpensOnClick() {
    namespace fs = std::filesystem;
    const QByteArray raw = QFile::encodeName(dir_->path()) + "/odd\xff\xfe.png";
    if (!writeImage(dir_->filePath("x.png"), 30, 20) ||
        !fs::copy_file(QFile::encodeName(dir_->filePath("x.png")).toStdString(), raw.toStdString()))
        QSKIP("This file system refuses names that are not valid UTF-8.");
    QVERIFY(QFile::remove(dir_->filePath("x.png")));
    const auto cleanup = qScopeGuard([&raw] { fs::remove(raw.toStdString()); });
    browse(dir_->path());
    platform::ListView* lv = w_->lvFiles();
    QCOMPARE(lv->count(), 1);
    QTreeView* tv = lv->reportView();
    const QRect cell = tv->visualRect(tv->model()->index(0, 0));
    QTest::mouseClick(tv->viewport(), Qt::LeftButton, {}, cell.center());
    QTRY_COMPARE(w_->StatusPanel(2)->text(), QStringLiteral("30x20"));
    QCOMPARE(w_->StatusPanel(1)->text(), lv->item(0).text);
}

// Files created, renamed and deleted show without Refresh; the selected file
// stays selected and the count follows.
void tst_fMainBehaviour::listFollowsTheFolder() {
    for (const char* name : {"b.png", "d.png"})
        QVERIFY(writeImage(dir_->filePath(name), 4, 4));
    browse(dir_->path());
    platform::ListView* lv = w_->lvFiles();
    lv->selectRow(1); // d.png
    QSignalSpy clicks(lv, &platform::ListView::itemClick);

    QVERIFY(writeImage(dir_->filePath("a.png"), 4, 4));
    QTRY_COMPARE_WITH_TIMEOUT(rows(*lv), (QStringList{"a.png", "b.png", "d.png"}), 5000);
    QCOMPARE(lv->selectedText(), QStringLiteral("d.png"));
    QCOMPARE(w_->lblCount()->text(), QStringLiteral("3 Image Files"));

    QVERIFY(QFile::rename(dir_->filePath("b.png"), dir_->filePath("e.png")));
    QTRY_COMPARE_WITH_TIMEOUT(rows(*lv), (QStringList{"a.png", "d.png", "e.png"}), 5000);
    QCOMPARE(lv->selectedText(), QStringLiteral("d.png"));

    QVERIFY(QFile::remove(dir_->filePath("a.png")));
    QTRY_COMPARE_WITH_TIMEOUT(rows(*lv), (QStringList{"d.png", "e.png"}), 5000);
    QCOMPARE(lv->selectedText(), QStringLiteral("d.png"));
    QCOMPARE(w_->lblCount()->text(), QStringLiteral("2 Image Files"));
    QCOMPARE(clicks.count(), 0); // following the folder previews nothing
}

// The file the full view shows is deleted: the list shrinks under it, and its
// steps and its "n / count" follow the list as it is now.
void tst_fMainBehaviour::fullViewStepsThroughTheListAsItIsNow() {
    for (const char* name : {"a.png", "b.png", "c.png"})
        QVERIFY(writeImage(dir_->filePath(name), 4, 4));
    browse(dir_->path());
    click("c.png");
    QTest::mouseDClick(w_->picPreview(), Qt::LeftButton, {}, w_->picPreview()->rect().center());
    QTRY_VERIFY(w_->Fullview() && w_->Fullview()->isVisible());
    const auto info = [this] { return w_->Fullview()->lblInfo()->text(); };
    QTRY_VERIFY2(info().startsWith("c.png    3 / 3"), qPrintable(info()));

    QVERIFY(QFile::remove(dir_->filePath("c.png")));
    QTRY_COMPARE_WITH_TIMEOUT(rows(*w_->lvFiles()), (QStringList{"a.png", "b.png"}), 5000);
    QTest::keyClick(w_->Fullview()->imView(), Qt::Key_End);
    QTRY_VERIFY2(info().startsWith("b.png    2 / 2"), qPrintable(info()));
    QTest::keyClick(w_->Fullview()->imView(), Qt::Key_Right); // the last stays
    QTest::keyClick(w_->Fullview()->imView(), Qt::Key_Left);
    QTRY_VERIFY2(info().startsWith("a.png    1 / 2"), qPrintable(info()));
    QCOMPARE(w_->lvFiles()->selectedText(), QStringLiteral("a.png"));
}

void tst_fMainBehaviour::deletedFolderMovesTheTreeUp() {
    const QString parent = dir_->filePath("parent");
    const QString shown = parent + "/shown";
    QVERIFY(QDir().mkpath(shown) && QDir().mkpath(parent + "/sibling"));
    QVERIFY(writeImage(parent + "/up.png", 4, 4) && writeImage(shown + "/in.png", 4, 4));
    SetTreeHost(w_->pictreeview());
    std::string start = QFile::encodeName(shown).toStdString();
    ShowFolderTree(start);
    QTRY_COMPARE(w_->Flfiles().Path(), shown);
    QVERIFY(QDir(shown).removeRecursively());
    QTRY_COMPARE_WITH_TIMEOUT(w_->Flfiles().Path(), parent, 5000);
    QTRY_COMPARE(rows(*w_->lvFiles()), QStringList{"up.png"});
    const auto* model = static_cast<const QFileSystemModel*>(FolderTree()->model());
    QCOMPARE(model->filePath(FolderTree()->currentIndex()), parent);
}

void tst_fMainBehaviour::orderKeptForTheNextStart() {
    QCOMPARE(w_->lvFiles()->sortColumn(), 0); // first start: by name, ascending
    QCOMPARE(w_->lvFiles()->sortOrder(), Qt::AscendingOrder);
    const QByteArray setupBefore = [] {
        QFile f(settings::SetupFilePath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    QHeaderView* header = w_->lvFiles()->reportView()->header();
    const QPoint onDate(header->sectionViewportPosition(3) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, onDate);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, onDate);
    QCOMPARE(settings::Preferences::SortColumn(), 3);
    QVERIFY(settings::Preferences::SortDescending());
    QVERIFY(settings::Preferences::FilePath().startsWith(platform::UserConfigFolder()));

    w_.reset();
    w_ = newWindow();
    QCOMPARE(w_->lvFiles()->sortColumn(), 3);
    QCOMPARE(w_->lvFiles()->sortOrder(), Qt::DescendingOrder);
    QFile setup(settings::SetupFilePath());
    QCOMPARE(setup.open(QIODevice::ReadOnly) ? setup.readAll() : QByteArray(), setupBefore);
}

// `vistrel FILE`: the file's folder is listed and the file selected and shown.
void tst_fMainBehaviour::commandLineFileShown() {
    w_.reset();
    for (int i = 0; i < 200; ++i)
        QVERIFY(writeImage(dir_->filePath(QStringLiteral("pic%1.png").arg(i)), 4, 4));
    QVERIFY(writeImage(dir_->filePath("pic150.png"), 24, 12));
    StartupServices services;
    services.makeDecoder = RealDecoder;
    services.makeSplash = [] { return std::make_unique<fSplash>(std::chrono::milliseconds(0)); };
    services.loadSetup = [] {};
    w_ = StartUp(services, QFile::encodeName(dir_->path()).toStdString(),
                 QStringLiteral("pic150.png"));
    w_->SetQuitAction([] {});
    platform::ListView* lv = w_->lvFiles();
    QCOMPARE(lv->selectedText(), QStringLiteral("pic150.png"));
    QCOMPARE(w_->SelectedName(), QStringLiteral("pic150.png"));
    // Shown once the decoder answers.
    QTRY_COMPARE(w_->StatusPanel(2)->text(), QStringLiteral("24x12"));
    QTreeView* tv = lv->reportView();
    QTRY_VERIFY(
        tv->viewport()->rect().contains(tv->visualRect(tv->model()->index(lv->selectedRow(), 0))));
}

QTEST_MAIN(tst_fMainBehaviour)
#include "tst_fMainBehaviour.moc"
