// The main window's display paths: still files hiding every GIF view, and the
// GIF being released when the folder changes or the program exits. Enter
// opening the full view is in the walkthrough.

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
