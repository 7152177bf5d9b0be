#include "platform/PictureBox.h"

#include <QApplication>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

using namespace platform;

class PictureBoxTest : public QObject {
    Q_OBJECT
private slots:
    // Cls fills with the back colour (system colours through the palette); a
    // resize keeps what still fits and fills the new part with the background.
    void clsAndResize() {
        PictureBox box;
        box.resize(10, 10);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        box.Paint([](QPainter& p) { p.fillRect(0, 0, 10, 10, Qt::black); });
        box.setBackColor(vbButtonFace);
        QCOMPARE(box.Image().pixel(3, 3), qRgb(0, 0, 0)); // the colour alone clears nothing
        box.Cls();
        QCOMPARE(box.Image().pixel(9, 9), QApplication::palette().color(QPalette::Button).rgb());
        box.setBackColor(0xFFFFFF);
        box.Cls();
        box.Paint([](QPainter& p) {
            p.fillRect(2, 3, 1, 1, QColor(255, 0, 0));
            p.fillRect(8, 8, 1, 1, QColor(0, 255, 0));
        });
        QSignalSpy resized(&box, &PictureBox::Resize);
        box.resize(20, 15);
        QTRY_COMPARE(resized.count(), 1);
        QCOMPARE(box.Image().pixel(8, 8), qRgb(0, 255, 0));
        QCOMPARE(box.Image().pixel(15, 12), qRgb(255, 255, 255));
        box.resize(5, 5);
        box.resize(20, 15);
        QCOMPARE(box.Image().pixel(2, 3), qRgb(255, 0, 0));
        QCOMPARE(box.Image().pixel(8, 8), qRgb(255, 255, 255)); // cut off while small
    }

    // A box that is never shown (the load box) still has an image of its size.
    void hiddenBoxFollowsItsSize() {
        QWidget host;
        PictureBox box(&host);
        box.setScaleMode(ScaleMode::Twips);
        box.resize(33, 17);
        QCOMPARE(box.Image().size(), QSize(33, 17));
        QCOMPARE(box.ScaleWidth(), 495.0);
        QCOMPARE(box.ScaleHeight(), 255.0);
        box.resize(0, 17);
        QVERIFY(box.Image().isNull());
        box.Cls(); // no area: nothing to fill, nothing to fail
    }

    void setImage_data() {
        QTest::addColumn<bool>("autoSize");
        QTest::addColumn<QSize>("expectedSize");
        QTest::newRow("auto size") << true << QSize(30, 20);
        QTest::newRow("fixed, larger box") << false << QSize(40, 40);
    }

    void setImage() {
        QFETCH(bool, autoSize);
        QFETCH(QSize, expectedSize);
        QImage picture(30, 20, QImage::Format_ARGB32);
        picture.fill(qRgb(10, 20, 30));
        PictureBox box;
        box.setBackColor(0x0000FF);
        box.setAutoSize(autoSize);
        box.resize(40, 40);
        box.setImage(picture);
        const QImage image = box.Image();
        QCOMPARE(image.size(), expectedSize);
        QCOMPARE(image.format(), QImage::Format_RGB32);
        QCOMPARE(image.pixel(29, 19), qRgb(10, 20, 30));
        QCOMPARE(image.pixel(expectedSize.width() - 1, 0),
                 expectedSize.width() > 30 ? qRgb(255, 0, 0) : qRgb(10, 20, 30));
        box.setImage(QImage());
        QCOMPARE(box.Image().pixel(0, 0), qRgb(255, 0, 0));
    }

    void keyPress_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("keyAscii"); // 0: no KeyPress
        QTest::newRow("enter") << int(Qt::Key_Return) << "\r" << 13;
        QTest::newRow("beyond Latin-1") << int(Qt::Key_unknown) << QString(QChar(0x20AC)) << 0;
    }

    void keyPress() {
        QFETCH(int, key);
        QFETCH(QString, text);
        QFETCH(int, keyAscii);
        PictureBox box;
        QSignalSpy press(&box, &PictureBox::KeyPress);
        QSignalSpy down(&box, &PictureBox::KeyDown);
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(&box, &event);
        QCOMPARE(down.count(), 1);
        QCOMPARE(press.count(), keyAscii != 0 ? 1 : 0);
        QVERIFY(keyAscii == 0 || press.at(0).at(0).toInt() == keyAscii);
    }

    // The context is the box's for life and must always be bound to the box's
    // own current pixels: after a resize, after a copy was handed out, after
    // the image was replaced through Surface(), and unbound when there is no area.
    void deviceContextFollowsImage() {
        PictureBox box;
        box.resize(10, 6);
        const gdi::HDC dc = box.hDC();
        QCOMPARE(gdi::FillRect(dc, gdi::Rect{1, 1, 3, 2}, 0x0000FF), 1);
        QCOMPARE(box.Image().pixel(2, 1), qRgb(255, 0, 0));
        box.resize(30, 20);
        QCOMPARE(box.hDC(), dc);
        QCOMPARE(gdi::FillRect(dc, gdi::Rect{25, 15, 30, 20}, 0x00FF00), 1);
        QCOMPARE(box.Image().pixel(29, 19), qRgb(0, 255, 0));
        QCOMPARE(box.Image().pixel(2, 1), qRgb(255, 0, 0));

        QImage shared = box.Surface();
        QCOMPARE(gdi::FillRect(box.hDC(), gdi::Rect{0, 0, 1, 1}, 0x0000FF), 1);
        QCOMPARE(box.Image().pixel(0, 0), qRgb(255, 0, 0));
        QVERIFY(shared.pixel(0, 0) != qRgb(255, 0, 0));
        QImage indexed(30, 20, QImage::Format_Indexed8);
        indexed.setColorTable({qRgb(9, 9, 9)});
        indexed.fill(0);
        box.Surface() = indexed;
        QCOMPARE(gdi::FillRect(box.hDC(), gdi::Rect{0, 0, 1, 1}, 0x00FF00), 1);
        QCOMPARE(box.Image().pixel(0, 0), qRgb(0, 255, 0));
        QCOMPARE(box.Image().pixel(1, 0), qRgb(9, 9, 9));

        box.resize(0, 0);
        QCOMPARE(box.hDC(), dc);
        QCOMPARE(gdi::FillRect(dc, gdi::Rect{0, 0, 5, 5}, 0), 0);
    }
};

QTEST_MAIN(PictureBoxTest)
#include "PictureBoxTest.moc"
