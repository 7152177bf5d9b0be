#include "platform/PictureBox.h"

#include <QApplication>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

using namespace platform;

Q_DECLARE_METATYPE(platform::ScaleMode)

class PictureBoxTest : public QObject {
    Q_OBJECT
private slots:
    void clsFillsWithBackColor_data();
    void clsFillsWithBackColor();
    void scaleSize_data();
    void scaleSize();
    void resizeKeepsRemainingContent();
    void hiddenBoxFollowsItsSize();
    void setImage_data();
    void setImage();
    void paintShowsImage();
    void mouseEvents_data();
    void mouseEvents();
    void doubleClickIsNoSecondClick();
    void keyPress_data();
    void keyPress();
    void holdsChildren();
    void deviceContextFollowsImage();
    void deviceContextBlitsBothWays();
};

void PictureBoxTest::clsFillsWithBackColor_data() {
    QTest::addColumn<uint>("backColor");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("plain red") << 0x0000FFu << QColor(255, 0, 0);
    QTest::newRow("plain blue-green") << 0x806000u << QColor(0, 0x60, 0x80);
    QTest::newRow("button face") << vbButtonFace << QApplication::palette().color(QPalette::Button);
    QTest::newRow("window") << vbWindowBackground << QApplication::palette().color(QPalette::Base);
}

void PictureBoxTest::clsFillsWithBackColor() {
    QFETCH(uint, backColor);
    QFETCH(QColor, expected);
    PictureBox box;
    box.resize(8, 5);
    box.Paint([](QPainter& p) { p.fillRect(0, 0, 8, 5, Qt::black); });
    box.setBackColor(backColor);
    QCOMPARE(box.BackColor(), backColor);
    QCOMPARE(box.Image().pixel(3, 3), qRgb(0, 0, 0)); // the colour alone clears nothing
    box.Cls();
    const QImage image = box.Image();
    QCOMPARE(image.size(), QSize(8, 5));
    QCOMPARE(image.format(), QImage::Format_RGB32);
    QCOMPARE(image.pixel(0, 0), expected.rgb());
    QCOMPARE(image.pixel(7, 4), expected.rgb());
}

void PictureBoxTest::scaleSize_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<ScaleMode>("mode");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::newRow("pixels") << QSize(120, 80) << ScaleMode::Pixels << 120.0 << 80.0;
    QTest::newRow("twips") << QSize(120, 80) << ScaleMode::Twips << 1800.0 << 1200.0;
    QTest::newRow("empty twips") << QSize(0, 0) << ScaleMode::Twips << 0.0 << 0.0;
    QTest::newRow("one pixel twips") << QSize(1, 1) << ScaleMode::Twips << 15.0 << 15.0;
}

void PictureBoxTest::scaleSize() {
    QFETCH(QSize, size);
    QFETCH(ScaleMode, mode);
    QFETCH(double, width);
    QFETCH(double, height);
    PictureBox box;
    box.setScaleMode(mode);
    box.resize(size);
    QCOMPARE(box.ScaleWidth(), width);
    QCOMPARE(box.ScaleHeight(), height);
}

void PictureBoxTest::resizeKeepsRemainingContent() {
    PictureBox box;
    box.setBackColor(0xFFFFFF);
    box.resize(10, 10);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    box.Cls();
    box.Paint([](QPainter& p) {
        p.fillRect(2, 3, 1, 1, QColor(255, 0, 0));
        p.fillRect(8, 8, 1, 1, QColor(0, 255, 0));
    });
    QSignalSpy resized(&box, &PictureBox::Resize);
    box.resize(20, 15);
    QTRY_COMPARE(resized.count(), 1);
    QImage image = box.Image();
    QCOMPARE(image.size(), QSize(20, 15));
    QCOMPARE(image.pixel(2, 3), qRgb(255, 0, 0));
    QCOMPARE(image.pixel(8, 8), qRgb(0, 255, 0));
    QCOMPARE(image.pixel(15, 12), qRgb(255, 255, 255)); // new part: background
    box.resize(5, 5);
    box.resize(20, 15);
    image = box.Image();
    QCOMPARE(image.pixel(2, 3), qRgb(255, 0, 0));
    QCOMPARE(image.pixel(8, 8), qRgb(255, 255, 255)); // cut off while small
}

void PictureBoxTest::hiddenBoxFollowsItsSize() {
    // A box that is never shown (the load box) still has an image of its size.
    QWidget host;
    PictureBox box(&host);
    box.hide();
    box.resize(33, 17);
    QCOMPARE(box.Image().size(), QSize(33, 17));
    box.resize(0, 17);
    QVERIFY(box.Image().isNull());
    QCOMPARE(box.ScaleWidth(), 0.0);
    box.Cls(); // no area: nothing to fill, nothing to fail
}

void PictureBoxTest::setImage_data() {
    QTest::addColumn<bool>("autoSize");
    QTest::addColumn<QSize>("boxSize");
    QTest::addColumn<QSize>("expectedSize");
    QTest::newRow("auto size") << true << QSize(10, 10) << QSize(30, 20);
    QTest::newRow("fixed, larger box") << false << QSize(40, 40) << QSize(40, 40);
    QTest::newRow("fixed, smaller box") << false << QSize(10, 10) << QSize(10, 10);
}

void PictureBoxTest::setImage() {
    QFETCH(bool, autoSize);
    QFETCH(QSize, boxSize);
    QFETCH(QSize, expectedSize);
    QImage picture(30, 20, QImage::Format_ARGB32);
    picture.fill(qRgb(10, 20, 30));
    picture.setPixel(0, 0, qRgb(200, 100, 50));
    PictureBox box;
    box.setBackColor(0x0000FF);
    box.setAutoSize(autoSize);
    box.resize(boxSize);
    box.setImage(picture);
    const QImage image = box.Image();
    QCOMPARE(image.size(), expectedSize);
    QCOMPARE(image.format(), QImage::Format_RGB32);
    QCOMPARE(image.pixel(0, 0), qRgb(200, 100, 50));
    QCOMPARE(image.pixel(5, 5), qRgb(10, 20, 30));
    if (expectedSize.width() > 30) {
        QCOMPARE(image.pixel(35, 35), qRgb(255, 0, 0));
    }
    box.setImage(QImage());
    QCOMPARE(box.Image().pixel(0, 0), qRgb(255, 0, 0));
}

void PictureBoxTest::paintShowsImage() {
    PictureBox box;
    box.resize(12, 12);
    box.setBackColor(0x00FF00);
    box.Cls();
    box.Paint([](QPainter& p) { p.fillRect(4, 4, 1, 1, QColor(1, 2, 3)); });
    const QImage shown = box.grab().toImage();
    QCOMPARE(shown.pixel(4, 4), qRgb(1, 2, 3));
    QCOMPARE(shown.pixel(0, 0), qRgb(0, 255, 0));
}

void PictureBoxTest::mouseEvents_data() {
    QTest::addColumn<ScaleMode>("mode");
    QTest::addColumn<int>("qtButton");
    QTest::addColumn<int>("button");
    QTest::addColumn<double>("x");
    QTest::addColumn<int>("clicks");
    QTest::newRow("left, pixels") << ScaleMode::Pixels << int(Qt::LeftButton) << vbLeftButton << 7.0
                                  << 1;
    QTest::newRow("left, twips") << ScaleMode::Twips << int(Qt::LeftButton) << vbLeftButton << 105.0
                                 << 1;
    QTest::newRow("right: no click")
        << ScaleMode::Pixels << int(Qt::RightButton) << vbRightButton << 7.0 << 0;
    QTest::newRow("middle: no click")
        << ScaleMode::Pixels << int(Qt::MiddleButton) << vbMiddleButton << 7.0 << 0;
}

void PictureBoxTest::mouseEvents() {
    QFETCH(ScaleMode, mode);
    QFETCH(int, qtButton);
    QFETCH(int, button);
    QFETCH(double, x);
    QFETCH(int, clicks);
    PictureBox box;
    box.setScaleMode(mode);
    box.resize(40, 40);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QSignalSpy down(&box, &PictureBox::MouseDown);
    QSignalSpy up(&box, &PictureBox::MouseUp);
    QSignalSpy click(&box, &PictureBox::Click);
    QTest::mouseClick(&box, static_cast<Qt::MouseButton>(qtButton), Qt::ShiftModifier,
                      QPoint(7, 9));
    QTRY_COMPARE(up.count(), 1);
    QCOMPARE(down.count(), 1);
    QCOMPARE(down.at(0).at(0).toInt(), button);
    QCOMPARE(down.at(0).at(1).toInt(), vbShiftMask);
    QCOMPARE(down.at(0).at(2).toDouble(), x);
    QCOMPARE(up.at(0).at(0).toInt(), button);
    QCOMPARE(click.count(), clicks);
}

void PictureBoxTest::doubleClickIsNoSecondClick() {
    PictureBox box;
    box.resize(40, 40);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QSignalSpy click(&box, &PictureBox::Click);
    QSignalSpy dblClick(&box, &PictureBox::DblClick);
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseDClick(&box, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(&box, Qt::LeftButton, {}, QPoint(5, 5));
    QTRY_COMPARE(dblClick.count(), 1);
    QCOMPARE(click.count(), 1);
}

void PictureBoxTest::keyPress_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("keyAscii"); // 0: no KeyPress
    QTest::newRow("letter") << int(Qt::Key_A) << "a" << int('a');
    QTest::newRow("enter") << int(Qt::Key_Return) << "\r" << 13;
    QTest::newRow("escape") << int(Qt::Key_Escape) << "\x1b" << 27;
    QTest::newRow("backspace") << int(Qt::Key_Backspace) << "\b" << 8;
    QTest::newRow("arrow") << int(Qt::Key_Left) << "" << 0;
    QTest::newRow("beyond Latin-1") << int(Qt::Key_unknown) << QString(QChar(0x20AC)) << 0;
}

void PictureBoxTest::keyPress() {
    QFETCH(int, key);
    QFETCH(QString, text);
    QFETCH(int, keyAscii);
    PictureBox box;
    box.resize(20, 20);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QSignalSpy press(&box, &PictureBox::KeyPress);
    QSignalSpy down(&box, &PictureBox::KeyDown);
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(&box, &event);
    QCOMPARE(down.count(), 1);
    QCOMPARE(press.count(), keyAscii != 0 ? 1 : 0);
    if (keyAscii != 0) {
        QCOMPARE(press.at(0).at(0).toInt(), keyAscii);
    }
}

void PictureBoxTest::holdsChildren() {
    PictureBox pane;
    pane.resize(100, 60);
    PictureBox child(&pane);
    child.Move(10.4, 4.5, 50.5, 20.0); // rounds halves to even
    pane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane));
    QCOMPARE(child.geometry(), QRect(10, 4, 50, 20));
    QVERIFY(child.isVisible());
    pane.resize(200, 120);
    QCOMPARE(child.parentWidget(), &pane);
    QCOMPARE(child.geometry(), QRect(10, 4, 50, 20));
    child.Move(0, 0, -5, 3); // a negative size is refused as empty
    QCOMPARE(child.size(), QSize(0, 3));
}

void PictureBoxTest::deviceContextFollowsImage() {
    PictureBox box;
    box.resize(10, 6);
    const gdi::HDC dc = box.hDC();
    QVERIFY(dc != nullptr);
    QCOMPARE(gdi::FillRect(dc, gdi::Rect{1, 1, 3, 2}, 0x0000FF), 1);
    QCOMPARE(box.Image().pixel(2, 1), qRgb(255, 0, 0));
    QCOMPARE(box.Image().pixel(3, 1), box.Image().pixel(0, 0));

    box.resize(30, 20); // same handle, bound to the new image
    QCOMPARE(box.hDC(), dc);
    QCOMPARE(gdi::GetBuffer(dc).width, 30);
    QCOMPARE(gdi::GetBuffer(dc).height, 20);
    QCOMPARE(gdi::FillRect(dc, gdi::Rect{25, 15, 30, 20}, 0x00FF00), 1);
    QCOMPARE(box.Image().pixel(29, 19), qRgb(0, 255, 0));
    QCOMPARE(box.Image().pixel(2, 1), qRgb(255, 0, 0)); // kept across the resize

    // A copy handed out earlier does not change when the box is drawn on.
    const QImage before = box.Image();
    gdi::FillRect(dc, gdi::Rect{0, 0, 30, 20}, 0xFFFFFF);
    QCOMPARE(before.pixel(29, 19), qRgb(0, 255, 0));

    // A copy taken through Surface() and an image replaced through it: the
    // context follows the box's own pixels.
    QImage shared = box.Surface();
    QCOMPARE(gdi::FillRect(box.hDC(), gdi::Rect{0, 0, 1, 1}, 0x0000FF), 1);
    QCOMPARE(box.Image().pixel(0, 0), qRgb(255, 0, 0));
    QCOMPARE(shared.pixel(0, 0), qRgb(255, 255, 255));
    shared = QImage();
    QImage indexed(30, 20, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(9, 9, 9)});
    indexed.fill(0);
    box.Surface() = indexed;
    QCOMPARE(box.Surface().format(), QImage::Format_RGB32);
    QCOMPARE(gdi::FillRect(box.hDC(), gdi::Rect{0, 0, 1, 1}, 0x00FF00), 1);
    QCOMPARE(box.Image().pixel(0, 0), qRgb(0, 255, 0));
    QCOMPARE(box.Image().pixel(1, 0), qRgb(9, 9, 9));

    box.resize(0, 0); // no area: unbound, blits refuse
    QCOMPARE(box.hDC(), dc);
    QVERIFY(gdi::GetBuffer(dc).bits == nullptr);
    QCOMPARE(gdi::FillRect(dc, gdi::Rect{0, 0, 5, 5}, 0), 0);
}

void PictureBoxTest::deviceContextBlitsBothWays() {
    PictureBox source;
    source.resize(8, 8);
    source.setBackColor(0x00FFFF); // yellow
    source.Cls();
    source.Paint([](QPainter& p) { p.fillRect(0, 0, 4, 4, QColor(0, 0, 255)); });
    PictureBox target;
    target.resize(16, 16);
    target.setBackColor(0x000000);
    target.Cls();
    QCOMPARE(gdi::StretchBlt(target.hDC(), 0, 0, 16, 16, source.hDC(), 0, 0, 8, 8, gdi::SRCCOPY),
             1);
    const QImage image = target.Image();
    QCOMPARE(image.pixel(7, 7), qRgb(0, 0, 255));
    QCOMPARE(image.pixel(8, 8), qRgb(255, 255, 0));
    QCOMPARE(image.pixel(15, 0), qRgb(255, 255, 0));
}

QTEST_MAIN(PictureBoxTest)
#include "PictureBoxTest.moc"
