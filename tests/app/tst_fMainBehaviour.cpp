// The main window's folder, filter, list and preview behaviour, driven through
// its real widgets.

#include "RealDecoder.h"
#include "SettingsSandbox.h"
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
#include <QDialog>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <memory>

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
    void listingStoresLastPathAndCount();
    void itemClick_data();
    void itemClick();
    void refreshAndEditor();
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

void tst_fMainBehaviour::listingStoresLastPathAndCount() {
    QVERIFY(writeImage(dir_->filePath("a.png"), 4, 4, 0xFF00FF00));
    QVERIFY(writeImage(dir_->filePath("b.png"), 4, 4, 0xFF00FF00));
    QVERIFY(writeBytes(dir_->filePath("notes.txt"), "x"));
    browse(dir_->path());
    QCOMPARE(settings::Setup.LastPath, settings::StoredFolder(dir_->path()));
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

QTEST_MAIN(tst_fMainBehaviour)
#include "tst_fMainBehaviour.moc"
