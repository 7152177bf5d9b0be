// The still preview at the screen's own resolution (also run with
// QT_SCALE_FACTOR=2): the picture the decoder made for the pane reaches the
// screen pixel for pixel, so at a ratio of 2 it covers twice the pixels of
// the pane's logical size in each direction instead of being blown up.

#include "RealDecoder.h"
#include "SettingsSandbox.h"
#include "app/fMain.h"
#include "app/mDirTreeview.h"
#include "imaging/PictureLoader.h"
#include "imaging/mScaleImage.h"
#include "platform/ListView.h"
#include "platform/MessageBox.h"
#include "platform/PictureBox.h"
#include "windows/fFullview.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

class tst_PreviewHiDpi : public QObject {
    Q_OBJECT
private slots:
    void drawnAtDevicePixels_data();
    void drawnAtDevicePixels();
};

void tst_PreviewHiDpi::drawnAtDevicePixels_data() {
    QTest::addColumn<QSize>("size");
    // Single-pixel detail: any enlargement or resampling on the way to the
    // screen changes it.
    QTest::newRow("smaller than the pane") << QSize(41, 29);
    QTest::newRow("shrunk by the decoder") << QSize(2400, 1500);
}

void tst_PreviewHiDpi::drawnAtDevicePixels() {
    QFETCH(QSize, size);
    SettingsSandbox sandbox;
    settings::Setup.StartInThumbnailView = 0;
    QTemporaryDir dir;
    QImage picture(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            picture.setPixel(x, y, (x + y) % 2 ? qRgb(255, x * 7, 0) : qRgb(0, y * 5, 255));
    QVERIFY(picture.save(dir.filePath(QStringLiteral("a.png")), "PNG"));

    fMain w(nullptr, RealDecoder());
    w.SetQuitAction([] {});
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.ChooseFolder(dir.path());
    w.lvFiles()->selectRow(0);
    w.lvFiles_ItemClick();
    const QString expectedSize = QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
    QTRY_COMPARE_WITH_TIMEOUT(w.StatusPanel(2)->text(), expectedSize, 30000);

    platform::PictureBox* pane = w.picPreview();
    const qreal dpr = pane->devicePixelRatioF();
    const QSize devicePane = (QSizeF(pane->size()) * dpr).toSize();
    const QImage shown = w.PicLoad().Current().image.convertToFormat(QImage::Format_RGB32);
    QCOMPARE(w.PicLoad().Current().box, devicePane);
    QImage screen = pane->grab().toImage().convertToFormat(QImage::Format_RGB32);
    screen.setDevicePixelRatio(1.0); // compared pixel for pixel
    QCOMPARE(screen.size(), devicePane);
    const imaging::PreviewPlacement at = imaging::FitPreview(
        shown.width(), shown.height(), devicePane.width(), devicePane.height(), 0, true);
    QCOMPARE(QSize(at.width, at.height), shown.size());
    QCOMPARE(screen.copy(at.x, at.y, at.width, at.height), shown);

    platform::ScopedMessageBoxResponder yes(platform::MsgResult::Yes);
}

QTEST_MAIN(tst_PreviewHiDpi)
#include "tst_PreviewHiDpi.moc"
