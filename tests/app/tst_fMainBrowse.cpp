// Browsing with the main window: a folder that cannot be read, the filter
// picked again, odd file names, the folder changing while shown, the order kept
// for the next start and a file named on the command line.

#include "RealDecoder.h"
#include "SettingsSandbox.h"
#include "app/fMain.h"
#include "app/mDirTreeview.h"
#include "app/mStartup.h"
#include "filelist/FileListBox.h"
#include "filelist/FolderWatch.h"
#include "platform/ListView.h"
#include "platform/MessageBox.h"
#include "platform/PictureBox.h"
#include "settings/Preferences.h"
#include "windows/fSplash.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <filesystem>
#include <memory>

namespace {

bool writeImage(const QString& path, int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(0xFF00FF00);
    return img.save(path, "PNG");
}

QStringList rows(const platform::ListView& lv) {
    QStringList out;
    for (int i = 0; i < lv.count(); ++i)
        out << lv.item(i).text;
    return out;
}

} // namespace

class tst_fMainBrowse : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void unreadableFolder_data();
    void unreadableFolder();
    void filterPickedAgainListsAgain();
    void nonUtf8NameOpensOnClick();
    void listFollowsTheFolder();
    void deletedFolderMovesTheTreeUp();
    void orderKeptForTheNextStart();
    void commandLineFileShown();

private:
    void browse(const QString& folder);
    std::unique_ptr<fMain> newWindow();

    std::unique_ptr<SettingsSandbox> sandbox_;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<fMain> w_;
};

std::unique_ptr<fMain> tst_fMainBrowse::newWindow() {
    auto w = std::make_unique<fMain>(nullptr, RealDecoder());
    w->SetQuitAction([] {});
    w->show();
    return w;
}

void tst_fMainBrowse::init() {
    sandbox_ = std::make_unique<SettingsSandbox>();
    settings::Setup.StartInThumbnailView = 0;
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    w_ = newWindow();
    QVERIFY(QTest::qWaitForWindowExposed(w_.get()));
}

void tst_fMainBrowse::cleanup() {
    platform::ScopedMessageBoxResponder yes(platform::MsgResult::Yes);
    DetachTree();
    SetTreeHost(nullptr);
    w_.reset();
    dir_.reset();
    sandbox_.reset();
}

void tst_fMainBrowse::browse(const QString& folder) {
    w_->ChooseFolder(folder);
}

void tst_fMainBrowse::unreadableFolder_data() {
    QTest::addColumn<bool>("deleteListed"); // else: select a folder that never existed
    QTest::newRow("missing folder selected") << false;
    QTest::newRow("listed folder deleted, then refreshed") << true;
}

// The previous folder's files never show under a folder that cannot be read.
void tst_fMainBrowse::unreadableFolder() {
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

void tst_fMainBrowse::filterPickedAgainListsAgain() {
    QVERIFY(writeImage(dir_->filePath("a.png"), 4, 4));
    browse(dir_->path());
    w_->Watch().setDelay(60000); // only the filter may list again
    QVERIFY(writeImage(dir_->filePath("b.png"), 4, 4));
    QComboBox* combo = w_->ComboFilter();
    const int shown = combo->currentIndex();
    combo->showPopup();
    QAbstractItemView* popup = combo->view();
    QTRY_VERIFY(popup->isVisible());
    const QRect entry = popup->visualRect(popup->model()->index(shown, 0));
    QTest::mouseClick(popup->viewport(), Qt::LeftButton, {}, entry.center());
    QTRY_COMPARE(rows(*w_->lvFiles()), (QStringList{"a.png", "b.png"}));
    QCOMPARE(w_->lblCount()->text(), QStringLiteral("2 Image Files"));
    QCOMPARE(combo->currentIndex(), shown);
}

void tst_fMainBrowse::nonUtf8NameOpensOnClick() {
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
void tst_fMainBrowse::listFollowsTheFolder() {
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

void tst_fMainBrowse::deletedFolderMovesTheTreeUp() {
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

void tst_fMainBrowse::orderKeptForTheNextStart() {
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
void tst_fMainBrowse::commandLineFileShown() {
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

QTEST_MAIN(tst_fMainBrowse)
#include "tst_fMainBrowse.moc"
