// ImageAceX as a real widget: the picture at its own size in the painted
// pixels, scrolling to the far edge of very large pictures and the events of
// every part. Where each part goes, and where the fitted mode (which the
// program does not use) draws, is tabled in tst_ScrollViewLayout.

#include "controls/ImageAceX.h"
#include "platform/SysColors.h"

#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <memory>

namespace {

constexpr QRgb kBack = 0xFF102030;
constexpr platform::ColorRef kBackRef = platform::RGBRef(0x10, 0x20, 0x30);

// A picture whose four quadrants have different colours, with its last row
// and last column in their own colours so that the far edges can be seen.
QImage Picture(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::red);
    QPainter p(&img);
    p.fillRect(w / 2, 0, w - w / 2, h, Qt::green);
    p.fillRect(0, h - 1, w, 1, Qt::blue);
    p.fillRect(w - 1, 0, 1, h, Qt::yellow);
    return img;
}

struct Fixture {
    std::unique_ptr<ImageAceX> view = std::make_unique<ImageAceX>();
    Fixture(QSize size, int style = 0) {
        view->setBackColor(kBackRef);
        view->setBorderStyle(style);
        view->resize(size);
        view->show();
    }
    QImage grab() const { return view->grab().toImage().convertToFormat(QImage::Format_RGB32); }
};

} // namespace

class tst_ImageAceX : public QObject {
    Q_OBJECT
private slots:

    void scrollsToTheFarEdge_data() {
        QTest::addColumn<QSize>("picture");
        QTest::newRow("41000 pixels tall") << QSize(60, 41000);
        QTest::newRow("41000 pixels wide") << QSize(41000, 60);
    }

    void scrollsToTheFarEdge() {
        QFETCH(QSize, picture);
        Fixture f(QSize(400, 300));
        f.view->setPicture(Picture(picture.width(), picture.height()));
        const bool tall = picture.height() > picture.width();
        QScrollBar* bar = tall ? f.view->vSB() : f.view->hSB();
        QVERIFY(bar->isVisible());
        bar->setValue(bar->maximum());
        QCOMPARE(bar->value(), bar->maximum());
        const QRect image = f.view->picDst()->geometry();
        if (tall) {
            QCOMPARE(image.bottom(), f.view->picScl()->height() - 1);
            // The blue last row shows at the viewport's bottom.
            QCOMPARE(QColor(f.grab().pixel(10, 299)), QColor(Qt::blue));
        } else {
            QCOMPARE(image.right(), f.view->picScl()->width() - 1);
            QCOMPARE(QColor(f.grab().pixel(399, 10)), QColor(Qt::yellow));
        }
    }

    // A window that is already showing gets a new picture of another size: the
    // new picture, laid out for its own size, shows at once; no picture shows the
    // background.
    void newPictureShowsAtOnce() {
        Fixture f(QSize(400, 300));
        f.view->setPicture(Picture(1000, 200));
        QVERIFY(f.view->hSB()->isVisible() && !f.view->vSB()->isVisible());
        QVERIFY(f.view->cmdCorner()->isVisible());
        QImage second(50, 40, QImage::Format_RGB32);
        second.fill(Qt::magenta);
        f.view->setPicture(second);
        QCOMPARE(f.view->picDst()->geometry(), QRect(175, 130, 50, 40));
        QVERIFY(!f.view->hSB()->isVisible() && !f.view->cmdCorner()->isVisible());
        QCOMPARE(QColor(f.grab().pixel(200, 150)), QColor(Qt::magenta));
        f.view->setPicture(QImage());
        QCOMPARE(QColor(f.grab().pixel(200, 150)), QColor(kBack));
    }

    void eventsOfEveryPart_data() {
        QTest::addColumn<QString>("part");
        QTest::newRow("control") << QString();
        QTest::newRow("viewport") << QStringLiteral("picScl");
        QTest::newRow("image surface") << QStringLiteral("picDst");
    }

    void eventsOfEveryPart() {
        QFETCH(QString, part);
        Fixture f(QSize(400, 300), 1);
        f.view->setPicture(Picture(100, 80));
        QWidget* target = part.isEmpty() ? static_cast<QWidget*>(f.view.get())
                                         : f.view->findChild<QWidget*>(part);
        QVERIFY(target);
        // The full-size window closes on a double-click and reads keys, wherever they land.
        QSignalSpy doubles(f.view.get(), &ImageAceX::DblClick);
        QSignalSpy keys(f.view.get(), &ImageAceX::KeyPress);
        QTest::mouseDClick(target, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
        QTRY_COMPARE(doubles.count(), 1);
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Escape);
        QTRY_COMPARE(keys.count(), 1);
        QCOMPARE(keys.at(0).at(0).toInt(), 27);
    }
};

QTEST_MAIN(tst_ImageAceX)
#include "tst_ImageAceX.moc"
