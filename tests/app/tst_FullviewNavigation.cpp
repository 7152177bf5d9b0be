// Stepping through a folder from inside the full view (which key is which
// step: tst_FullviewZoom): the steps move the main window's list, its preview and status panels
// follow, the full view shows the new file (stills and GIFs mixed), and the ends stay.

#include "RealDecoder.h"
#include "SettingsSandbox.h"
#include "app/fMain.h"
#include "app/mDirTreeview.h"
#include "controls/GifMaker.h"
#include "controls/ImageAceX.h"
#include "controls/ucGIFViewer.h"
#include "platform/ListView.h"
#include "platform/MessageBox.h"
#include "platform/Util.h"
#include "windows/fFullview.h"

#include <QApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

/// The folder: stills of different widths and two GIFs, in list order.
const QStringList Names = {"01.png", "02.gif", "03.png", "04.gif", "05.png"};

int WidthOf(const QString& name) {
    return 40 + 10 * int(Names.indexOf(name));
}

} // namespace

class tst_FullviewNavigation : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void steps_data();
    void steps();
    void listShrinksWhileOpen();
    void fileDeletedWhileOpen();

private:
    void press(const QString& key);
    void verifyShown(int row, int count = int(Names.size()));

    std::unique_ptr<SettingsSandbox> sandbox_;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<fMain> w_;
};

void tst_FullviewNavigation::init() {
    sandbox_ = std::make_unique<SettingsSandbox>();
    settings::Setup.StartInThumbnailView = 0;
    dir_ = std::make_unique<QTemporaryDir>();
    for (const QString& name : Names) {
        const QString path = dir_->filePath(name);
        if (name.endsWith(QLatin1String(".gif"))) {
            QVERIFY(giftest::MakeGif(
                path, WidthOf(name), 20,
                {{0, 0, 8, 8, giftest::Green, 10, 1}, {0, 0, 8, 8, giftest::Blue, 10, 1}}));
        } else {
            QImage still(WidthOf(name), 30, QImage::Format_RGB32);
            still.fill(Qt::red);
            QVERIFY(still.save(path, "PNG"));
        }
    }
    w_ = std::make_unique<fMain>(nullptr, RealDecoder());
    w_->SetQuitAction([] {});
    w_->show();
    QVERIFY(QTest::qWaitForWindowExposed(w_.get()));
    w_->ChooseFolder(dir_->path());
    QCOMPARE(w_->lvFiles()->count(), int(Names.size()));
    w_->lvFiles()->selectRow(0);
    w_->lvFiles_ItemClick();
    w_->lvFiles_KeyPress(platform::KeyAsciiReturn); // Enter opens the full view
    QVERIFY(w_->Fullview() != nullptr);
    QTRY_VERIFY(w_->Fullview()->isVisible());
}

void tst_FullviewNavigation::cleanup() {
    platform::ScopedMessageBoxResponder yes(platform::MsgResult::Yes);
    w_.reset();
    dir_.reset();
    sandbox_.reset();
}

/// A key by name, or "wheel+" / "wheel-" for one notch up or down, given to
/// the part of the full view in front.
void tst_FullviewNavigation::press(const QString& key) {
    fFullview* full = w_->Fullview();
    QWidget* front =
        full->ucGIFView()->isVisible() ? static_cast<QWidget*>(full->ucGIFView()) : full->imView();
    if (key.startsWith(QLatin1String("wheel"))) {
        const QPointF at(10, 10);
        QWheelEvent wheel(at, front->mapToGlobal(at), QPoint(),
                          QPoint(0, key.endsWith('+') ? 120 : -120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(front, &wheel);
        return;
    }
    static const QHash<QString, Qt::Key> keys = {
        {"Right", Qt::Key_Right}, {"Down", Qt::Key_Down}, {"Left", Qt::Key_Left},
        {"Home", Qt::Key_Home},   {"End", Qt::Key_End},   {"Backspace", Qt::Key_Backspace}};
    QVERIFY2(keys.contains(key), qPrintable(key));
    QTest::keyClick(front, keys.value(key));
}

void tst_FullviewNavigation::verifyShown(int row, int count) {
    const QString name = Names.at(row);
    fFullview* full = w_->Fullview();
    QVERIFY(full && full->isVisible());
    QCOMPARE(w_->lvFiles()->selectedRow(), row);
    // The panels describe the pixels on screen, so they follow the decode.
    QTRY_COMPARE(w_->StatusPanel(1)->text(), name);
    const bool gif = name.endsWith(QLatin1String(".gif"));
    QCOMPARE(full->ucGIFView()->isVisible(), gif);
    if (gif) {
        QCOMPARE(int(full->ucGIFView()->GIFWidth()), WidthOf(name));
        QCOMPARE(w_->StatusPanel(3)->text(), QStringLiteral("2 Frames"));
    } else {
        QTRY_COMPARE(full->imView()->OriginalSize(), QSize(WidthOf(name), 30));
        QTRY_COMPARE(w_->StatusPanel(2)->text(), QStringLiteral("%1x30").arg(WidthOf(name)));
    }
    QVERIFY(full->lblInfo()->isVisible());
    QVERIFY2(full->lblInfo()->text().startsWith(
                 QStringLiteral("%1    %2 / %3").arg(name).arg(row + 1).arg(count)),
             qPrintable(full->lblInfo()->text()));
}

void tst_FullviewNavigation::steps_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("row");
    QTest::newRow("Right: a GIF after a still") << "Right" << 1;
    QTest::newRow("Right Down: a still after a GIF") << "Right Down" << 2;
    QTest::newRow("wheel down twice") << "wheel- wheel-" << 2;
    QTest::newRow("End Right: the last stays") << "End Right" << 4;
    QTest::newRow("End Backspace wheel up") << "End Backspace wheel+" << 2;
    QTest::newRow("Left at the first stays") << "Left" << 0;
    QTest::newRow("End Home") << "End Home" << 0;
}

void tst_FullviewNavigation::steps() {
    QFETCH(QString, keys);
    QFETCH(int, row);
    for (const QString& key : keys.split(' ')) {
        press(key);
        if (QTest::currentTestFailed())
            return;
    }
    verifyShown(row);
}

void tst_FullviewNavigation::listShrinksWhileOpen() {
    press("End");
    verifyShown(4);
    QVERIFY(QFile::remove(dir_->filePath(Names.last())));
    w_->nPathchange(); // the list is read again; the selection starts over
    press("End");
    verifyShown(3, 4);
}

void tst_FullviewNavigation::fileDeletedWhileOpen() {
    QVERIFY(QFile::remove(dir_->filePath(QStringLiteral("03.png"))));
    press("Right");
    press("Right");
    fFullview* full = w_->Fullview();
    QCOMPARE(w_->lvFiles()->selectedRow(), 2);
    QVERIFY(!full->ucGIFView()->isVisible());
    QVERIFY(full->imView()->Picture().isNull());
    QCOMPARE(full->lblInfo()->text(), QStringLiteral("03.png    3 / 5"));
    press("Right"); // and on past it
    verifyShown(3);
}

QTEST_MAIN(tst_FullviewNavigation)
#include "tst_FullviewNavigation.moc"
