// The main window's display paths: still files hiding every GIF
// view, Enter and the double-clicks opening the full view, and the GIF being
// released when the folder changes or the program exits.

#include "RealDecoder.h"
#include "SettingsSandbox.h"
#include "app/fMain.h"
#include "app/mDirTreeview.h"
#include "controls/GifMaker.h"
#include "controls/ImageAceX.h"
#include "controls/ucGIFViewer.h"
#include "imaging/PictureLoader.h"
#include "platform/ListView.h"
#include "platform/MessageBox.h"
#include "platform/PictureBox.h"
#include "windows/fFullview.h"

#include <QAbstractItemView>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

class tst_fMainDisplay : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void stillHidesEveryGifView();
    void enterOpensTheFullView_data();
    void enterOpensTheFullView();
    void escInTheFullViewClosesOnlyIt();
    void folderChangeAndExitReleaseTheGif_data();
    void folderChangeAndExitReleaseTheGif();

private:
    void select(const QString& name);
    fFullview* fullView() const { return w_->Fullview(); }

    std::unique_ptr<SettingsSandbox> sandbox_;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<fMain> w_;
};

void tst_fMainDisplay::init() {
    sandbox_ = std::make_unique<SettingsSandbox>();
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    QVERIFY(giftest::MakeGif(
        dir_->filePath("anim.gif"), 20, 10,
        {{0, 0, 20, 10, giftest::Green, 5, 1}, {0, 0, 20, 10, giftest::Blue, 5, 1}}));
    QFile damaged(dir_->filePath("damaged.gif"));
    QVERIFY(damaged.open(QIODevice::WriteOnly) && damaged.write("GIF90a no such version") > 0);
    damaged.close();
    QImage still(30, 20, QImage::Format_RGB32);
    still.fill(Qt::red);
    QVERIFY(still.save(dir_->filePath("still.png")));
    w_ = std::make_unique<fMain>(nullptr, RealDecoder());
    w_->SetQuitAction([] {});
    w_->show();
    QVERIFY(QTest::qWaitForWindowExposed(w_.get()));
    w_->ChooseFolder(dir_->path());
    QCOMPARE(w_->lvFiles()->count(), 3);
}

void tst_fMainDisplay::cleanup() {
    platform::ScopedMessageBoxResponder yes(platform::MsgResult::Yes);
    w_.reset();
    dir_.reset();
    sandbox_.reset();
}

// Selects the row of `name` as a click does and runs the item-click handler.
void tst_fMainDisplay::select(const QString& name) {
    platform::ListView* lv = w_->lvFiles();
    for (int row = 0; row < lv->count(); ++row) {
        if (lv->item(row).text == name) {
            lv->selectRow(row);
            w_->lvFiles_ItemClick();
            QCOMPARE(w_->SelectedName(), name);
            return;
        }
    }
    QFAIL(qPrintable(name));
}

void tst_fMainDisplay::stillHidesEveryGifView() {
    select("still.png");
    QVERIFY(fullView() == nullptr); // made only when first opened
    QVERIFY(!w_->ucGIF1()->isVisible());

    select("anim.gif");
    QVERIFY(w_->ucGIF1()->GIFIsPlaying());
    QCOMPARE(w_->StatusPanel(3)->text(), QStringLiteral("2 Frames"));
    QTest::mouseDClick(w_->ucGIF1(), Qt::LeftButton, {}, w_->ucGIF1()->rect().center());
    QTRY_VERIFY(fullView()->isVisible());
    ucGIFViewer* big = fullView()->ucGIFView();
    QVERIFY(big->isVisible());
    QVERIFY(big->GIFIsPlaying());
    QCOMPARE(big->GIFFrames(), 2);
    QCOMPARE(big->geometry(), fullView()->rect());

    select("still.png");
    QVERIFY(!w_->ucGIF1()->isVisible());
    QVERIFY(!fullView()->ucGIFView()->isVisible());
    QTRY_COMPARE(w_->StatusPanel(3)->text(), QString()); // when the picture is decoded
}

void tst_fMainDisplay::enterOpensTheFullView_data() {
    QTest::addColumn<QString>("name"); // empty: Enter before any click
    QTest::addColumn<bool>("gifShown");
    QTest::addColumn<QSize>("still");
    QTest::newRow("still") << "still.png" << false << QSize(30, 20);
    QTest::newRow("GIF") << "anim.gif" << true << QSize();
    QTest::newRow("damaged GIF: the still view") << "damaged.gif" << false << QSize();
    QTest::newRow("before any click") << "" << false << QSize();
}

void tst_fMainDisplay::enterOpensTheFullView() {
    QFETCH(QString, name);
    QFETCH(bool, gifShown);
    QFETCH(QSize, still);
    if (!name.isEmpty()) {
        select(name);
    }
    QAbstractItemView* view = w_->lvFiles()->currentView();
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Return);
    QVERIFY(fullView() != nullptr);
    QTRY_VERIFY(fullView()->isVisible());
    QVERIFY(fullView()->windowState() & Qt::WindowFullScreen);
    QCOMPARE(fullView()->parentWidget(), w_.get());
    QCOMPARE(fullView()->ucGIFView()->isVisible(), gifShown);
    QCOMPARE(fullView()->ucGIFView()->GIFLoaded(), gifShown);
    if (still.isValid()) {
        // The full-size picture replaces the enlarged preview when decoded.
        QTRY_COMPARE(fullView()->imView()->Picture().size(), still);
        QCOMPARE(fullView()->imView()->Picture().pixel(5, 5), qRgb(255, 0, 0));
    } else if (!gifShown) {
        // Nothing to show (a damaged GIF is no still picture either): cleared.
        QTRY_VERIFY(!w_->PicLoad().FullSizePending());
        QVERIFY(fullView()->imView()->Picture().isNull());
    }
    QVERIFY(w_->isVisible());
}

void tst_fMainDisplay::escInTheFullViewClosesOnlyIt() {
    platform::ScopedMessageBoxResponder answers(platform::MsgResult::No);
    select("still.png");
    w_->picPreview_DblClick();
    QTRY_VERIFY(fullView()->isVisible());
    QPointer<fFullview> full = fullView();
    // The main window may still be the active one: its own Esc must not win.
    full->imView()->setFocus();
    QTest::keyClick(full->imView(), Qt::Key_Escape);
    QTRY_VERIFY(full.isNull());
    QVERIFY(w_->isVisible());
    QVERIFY(answers.requests().empty()); // no "quit?" question for the main window
}

void tst_fMainDisplay::folderChangeAndExitReleaseTheGif_data() {
    QTest::addColumn<bool>("exit");
    QTest::newRow("folder change") << false;
    QTest::newRow("confirmed exit") << true;
}

void tst_fMainDisplay::folderChangeAndExitReleaseTheGif() {
    QFETCH(bool, exit);
    select("anim.gif");
    QVERIFY(w_->ucGIF1()->GIFLoaded());
    if (exit) {
        platform::ScopedMessageBoxResponder yes(platform::MsgResult::Yes);
        w_->close();
    } else {
        QTemporaryDir other;
        w_->ChooseFolder(other.path());
    }
    QVERIFY(!w_->ucGIF1()->GIFLoaded());
    QVERIFY(!w_->ucGIF1()->GIFIsPlaying());
    QCOMPARE(w_->ucGIF1()->GIFFrames(), 0);
}

QTEST_MAIN(tst_fMainDisplay)
#include "tst_fMainDisplay.moc"
