// ImageAceX as a real widget: the two display modes seen in the child widgets'
// places and in the painted pixels, scrolling to the far edge of very large
// pictures, the border styles, the events of every part and the property bag.

#include "controls/ImageAceX.h"
#include "platform/EdgePainter.h"
#include "platform/PropertyBag.h"
#include "platform/SysColors.h"

#include <QApplication>
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

QRgb PaletteRgb(QPalette::ColorRole role) {
    return QApplication::palette().color(QPalette::Active, role).rgb();
}

} // namespace

class tst_ImageAceX : public QObject {
    Q_OBJECT
private slots:
    void actualSize_data();
    void actualSize();
    void scrollsToTheFarEdge_data();
    void scrollsToTheFarEdge();
    void fitMode();
    void newPictureShowsAtOnce();
    void borderStyles_data();
    void borderStyles();
    void eventsOfEveryPart_data();
    void eventsOfEveryPart();
    void propertyBag();
};

void tst_ImageAceX::actualSize_data() {
    QTest::addColumn<QSize>("control");
    QTest::addColumn<int>("style");
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QRect>("viewport");
    QTest::addColumn<QPoint>("imagePos");
    QTest::addColumn<bool>("hBar");
    QTest::addColumn<bool>("vBar");
    QTest::newRow("fits") << QSize(400, 300) << 0 << QSize(100, 80) << QRect(0, 0, 400, 300)
                          << QPoint(150, 110) << false << false;
    QTest::newRow("wider") << QSize(400, 300) << 0 << QSize(1000, 200) << QRect(0, 0, 400, 300)
                           << QPoint(0, 0) << true << false;
    QTest::newRow("bordered") << QSize(404, 304) << 6 << QSize(100, 80) << QRect(2, 2, 400, 300)
                              << QPoint(150, 110) << false << false;
    QTest::newRow("no picture") << QSize(400, 300) << 0 << QSize() << QRect(0, 0, 400, 300)
                                << QPoint(200, 150) << false << false;
}

void tst_ImageAceX::actualSize() {
    QFETCH(QSize, control);
    QFETCH(int, style);
    QFETCH(QSize, picture);
    Fixture f(control, style);
    f.view->setPicture(picture.isValid() ? Picture(picture.width(), picture.height()) : QImage());
    QTEST(f.view->picScl()->geometry(), "viewport");
    QTEST(f.view->picDst()->pos(), "imagePos");
    QTEST(f.view->hSB()->isVisible(), "hBar");
    QTEST(f.view->vSB()->isVisible(), "vBar");
    QCOMPARE(f.view->cmdCorner()->isVisible(),
             f.view->hSB()->isVisible() || f.view->vSB()->isVisible());
    if (picture.isValid()) {
        // Mode 0 shows the picture pixel for pixel.
        const QImage shown = f.grab();
        const QPoint at = f.view->picScl()->pos() + f.view->picDst()->pos();
        QCOMPARE(QColor(shown.pixel(at + QPoint(2, 2))), QColor(Qt::red));
    }
    if (f.view->hSB()->isVisible()) {
        QCOMPARE(f.view->hSB()->maximum(), 600);
        QCOMPARE(f.view->hSB()->pageStep(), 200);
        QCOMPARE(f.view->hSB()->value(), 0);
    }
}

void tst_ImageAceX::scrollsToTheFarEdge_data() {
    QTest::addColumn<QSize>("picture");
    QTest::newRow("41000 pixels tall") << QSize(60, 41000);
    QTest::newRow("41000 pixels wide") << QSize(41000, 60);
}

void tst_ImageAceX::scrollsToTheFarEdge() {
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

void tst_ImageAceX::fitMode() {
    Fixture f(QSize(404, 304));
    f.view->setPicture(Picture(2000, 1000));
    f.view->setDisplaymode(1);
    QCOMPARE(f.view->picScl()->geometry(), QRect(2, 2, 400, 300));
    QVERIFY(!f.view->picDst()->isVisible());
    QVERIFY(!f.view->hSB()->isVisible() && !f.view->vSB()->isVisible());
    // Drawn 398 x 199 at (1, 50) of the viewport: red left half, green right
    // half (averaged at the seam), background around it.
    const QImage shown = f.view->picScl()->grab().toImage();
    QCOMPARE(QColor(shown.pixel(0, 100)), QColor(kBack));
    QCOMPARE(QColor(shown.pixel(200, 49)), QColor(kBack));
    QCOMPARE(QColor(shown.pixel(1, 50)), QColor(Qt::red));
    QCOMPARE(QColor(shown.pixel(396, 60)), QColor(Qt::green));
    QCOMPARE(QColor(shown.pixel(399, 100)), QColor(kBack));
    QCOMPARE(QColor(shown.pixel(200, 249)), QColor(kBack));
    // Back to mode 0: the picture at its own size again.
    f.view->setDisplaymode(0);
    QVERIFY(f.view->picDst()->isVisible());
    QCOMPARE(f.view->picDst()->size(), QSize(2000, 1000));
}

// A window that is already showing gets a new picture of another size: the
// new picture, laid out for its own size, shows at once.
void tst_ImageAceX::newPictureShowsAtOnce() {
    Fixture f(QSize(400, 300));
    f.view->setPicture(Picture(1000, 200));
    QImage second(50, 40, QImage::Format_RGB32);
    second.fill(Qt::magenta);
    f.view->setPicture(second);
    QCOMPARE(f.view->picDst()->geometry(), QRect(175, 130, 50, 40));
    QVERIFY(!f.view->hSB()->isVisible());
    QCOMPARE(QColor(f.grab().pixel(200, 150)), QColor(Qt::magenta));
    QCOMPARE(f.view->Picture().size(), QSize(50, 40));
}

void tst_ImageAceX::borderStyles_data() {
    QTest::addColumn<int>("style");
    QTest::addColumn<QRgb>("outerTopLeft");
    QTest::addColumn<QRgb>("outerBottomRight");
    QTest::addColumn<QRgb>("innerTopLeft");
    QTest::addColumn<QRgb>("innerBottomRight");
    const QRgb mid = PaletteRgb(QPalette::Midlight);
    const QRgb light = PaletteRgb(QPalette::Light);
    const QRgb dark = PaletteRgb(QPalette::Dark);
    const QRgb shadow = PaletteRgb(QPalette::Shadow);
    QTest::newRow("0 none") << 0 << kBack << kBack << kBack << kBack;
    QTest::newRow("1 raised outer") << 1 << mid << shadow << kBack << kBack;
    QTest::newRow("2 raised inner") << 2 << light << dark << kBack << kBack;
    QTest::newRow("3 sunken outer") << 3 << dark << light << kBack << kBack;
    QTest::newRow("4 sunken inner") << 4 << shadow << mid << kBack << kBack;
    QTest::newRow("5 raised") << 5 << mid << shadow << light << dark;
    QTest::newRow("6 sunken") << 6 << dark << light << shadow << mid;
    QTest::newRow("7 etched") << 7 << dark << light << light << dark;
    QTest::newRow("8 bump") << 8 << mid << shadow << shadow << mid;
    QTest::newRow("9 unknown") << 9 << kBack << kBack << kBack << kBack;
    QTest::newRow("-1 unknown") << -1 << kBack << kBack << kBack << kBack;
}

void tst_ImageAceX::borderStyles() {
    QFETCH(int, style);
    // Built with another style first, so the change must clear the old edge.
    Fixture f(QSize(100, 80), style == 5 ? 6 : 5);
    f.view->setBorderStyle(style);
    const QImage shown = f.grab();
    QTEST(shown.pixel(0, 10), "outerTopLeft");
    QTEST(shown.pixel(10, 0), "outerTopLeft");
    QTEST(shown.pixel(99, 79), "outerBottomRight");
    QTEST(shown.pixel(1, 10), "innerTopLeft");
    QTEST(shown.pixel(98, 10), "innerBottomRight");
}

void tst_ImageAceX::eventsOfEveryPart_data() {
    QTest::addColumn<QString>("part");
    QTest::newRow("control") << QString();
    QTest::newRow("viewport") << QStringLiteral("picScl");
    QTest::newRow("image surface") << QStringLiteral("picDst");
}

void tst_ImageAceX::eventsOfEveryPart() {
    QFETCH(QString, part);
    Fixture f(QSize(400, 300), 1);
    f.view->setPicture(Picture(100, 80));
    QWidget* target =
        part.isEmpty() ? static_cast<QWidget*>(f.view.get()) : f.view->findChild<QWidget*>(part);
    QVERIFY(target);
    QSignalSpy clicks(f.view.get(), &ImageAceX::Click);
    QSignalSpy doubles(f.view.get(), &ImageAceX::DblClick);
    QSignalSpy keys(f.view.get(), &ImageAceX::KeyPress);
    QSignalSpy downs(f.view.get(), &ImageAceX::MouseDown);
    QSignalSpy ups(f.view.get(), &ImageAceX::MouseUp);
    // (1, 1) lies on the control's own surface in its border frame.
    QTest::mouseClick(target, Qt::LeftButton, Qt::ShiftModifier, QPoint(1, 1));
    QTRY_COMPARE(clicks.count(), 1);
    QCOMPARE(downs.count(), 1);
    QCOMPARE(ups.count(), 1);
    // Coordinates are those of the part that was clicked.
    QCOMPARE(downs.at(0).at(0).toInt(), platform::vbLeftButton);
    QCOMPARE(downs.at(0).at(1).toInt(), platform::vbShiftMask);
    QCOMPARE(downs.at(0).at(2).toDouble(), 1.0);
    QCOMPARE(downs.at(0).at(3).toDouble(), 1.0);
    QTest::mouseDClick(target, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
    QTRY_COMPARE(doubles.count(), 1);
    target->setFocus();
    QTest::keyClick(target, Qt::Key_Escape);
    QTRY_COMPARE(keys.count(), 1);
    QCOMPARE(keys.at(0).at(0).toInt(), 27);
}

void tst_ImageAceX::propertyBag() {
    // A new control writes nothing: every value is its default.
    ImageAceX fresh;
    platform::PropertyBag empty;
    fresh.WriteProperties(empty);
    QCOMPARE(empty.Count(), 0);
    QCOMPARE(fresh.BackColor(), platform::vbButtonFace);
    QCOMPARE(fresh.Displaymode(), 0);
    QCOMPARE(fresh.BorderStyle(), 0);

    Fixture f(QSize(300, 200));
    QSignalSpy changed(f.view.get(), &ImageAceX::PropertyChanged);
    f.view->setDisplaymode(1);
    f.view->setBorderStyle(7);
    f.view->setPicture(Picture(30, 20));
    QCOMPARE(changed.count(), 3);
    platform::PropertyBag bag;
    f.view->WriteProperties(bag);
    QCOMPARE(bag.Keys(), QStringList({"BackColor", "BorderStyle", "Displaymode", "Picture"}));

    ImageAceX copy;
    copy.resize(300, 200);
    copy.ReadProperties(bag);
    QCOMPARE(copy.Displaymode(), 1);
    QCOMPARE(copy.BorderStyle(), 7);
    QCOMPARE(copy.BackColor(), kBackRef);
    QCOMPARE(copy.picScl()->BackColor(), kBackRef);
    QCOMPARE(copy.picDst()->BackColor(), kBackRef);
    QCOMPARE(copy.Picture(), f.view->Picture());
}

QTEST_MAIN(tst_ImageAceX)
#include "tst_ImageAceX.moc"
