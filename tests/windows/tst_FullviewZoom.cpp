// The full view's zoom, driven through its real widgets: the keys and their
// limits, fit and actual size, Ctrl+wheel around the pointer, and one picture
// pixel per device pixel at 100% (also run with QT_SCALE_FACTOR=2). Stepping
// through the list from the full view is in the walkthrough.

#include "controls/ImageAceX.h"
#include "controls/ZoomSurface.h"
#include "platform/ProgramFolder.h"
#include "windows/fFullview.h"

#include <QApplication>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

/// Every pixel different from its neighbours, so a shifted, doubled or
/// nearest-neighbour copy never matches.
QImage Checkered(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(x % 256, 0, y % 256));
    return img;
}

void SendWheel(QWidget* at, QPointF pos, int dy, Qt::KeyboardModifiers mods) {
    QWheelEvent wheel(pos, at->mapToGlobal(pos), QPoint(), QPoint(0, dy), Qt::NoButton, mods,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(at, &wheel);
}

struct Fixture {
    QTemporaryDir dir;
    std::unique_ptr<QWidget> owner = std::make_unique<QWidget>();
    fFullview* f = nullptr;
    Fixture() {
        platform::SetUserConfigFolderOverride(dir.filePath(QStringLiteral("user")));
        owner->resize(300, 200);
        owner->show();
        open();
    }
    ~Fixture() {
        owner.reset();
        platform::SetUserConfigFolderOverride({});
    }
    void open() {
        f = new fFullview(owner.get());
        f->imView()->setPicture(Checkered(2000, 1000));
        f->ShowModeless();
        QVERIFY(QTest::qWaitForWindowExposed(f));
    }
    ImageAceX* view() const { return f->imView(); }
    void key(Qt::Key k) const { QTest::keyClick(view(), k); }
    double fit() const {
        const QSizeF screen = QSizeF(view()->size()) * view()->devicePixelRatioF();
        return std::min(screen.width() / 2000.0, screen.height() / 1000.0);
    }
};

} // namespace

class tst_FullviewZoom : public QObject {
    Q_OBJECT
private slots:
    void zoomKeys_data();
    void zoomKeys();
    void ctrlWheelKeepsThePointUnderThePointer();
    void actualSizeIsOnePixelPerDevicePixel();
};

void tst_FullviewZoom::zoomKeys_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<double>("expected"); // 0: the fitted zoom
    QTest::addColumn<int>("sizing");
    using Z = ImageAceX::Sizing;
    QTest::newRow("F fits") << "F" << 0.0 << int(Z::Fit);
    QTest::newRow("0 fits") << "10" << 0.0 << int(Z::Fit);
    QTest::newRow("1: actual size") << "1" << 1.0 << int(Z::Actual);
    QTest::newRow("1 +") << "1+" << 1.5 << int(Z::Zoomed);
    QTest::newRow("1 = (unshifted +)") << "1=" << 1.5 << int(Z::Zoomed);
    QTest::newRow("1 -") << "1-" << 2.0 / 3.0 << int(Z::Zoomed);
    QTest::newRow("- from fit stays fitted") << "F-" << 0.0 << int(Z::Fit);
    QTest::newRow("40 x + stops at 3200%") << "1" + QString(40, '+') << 32.0 << int(Z::Zoomed);
    QTest::newRow("40 x - stops at the fit") << "1" + QString(40, '-') << 0.0 << int(Z::Zoomed);
}

void tst_FullviewZoom::zoomKeys() {
    QFETCH(QString, keys);
    QFETCH(double, expected);
    QFETCH(int, sizing);
    Fixture fx;
    for (QChar c : keys) {
        const Qt::Key k = c == '+'   ? Qt::Key_Plus
                          : c == '=' ? Qt::Key_Equal
                          : c == '-' ? Qt::Key_Minus
                                     : Qt::Key(c.unicode());
        fx.key(k);
    }
    QCOMPARE(fx.view()->Zoom(), expected == 0.0 ? fx.fit() : expected);
    QCOMPARE(int(fx.view()->sizing()), sizing);
    // The bars come exactly when the picture is larger than the view.
    const bool larger = fx.view()->Zoom() > fx.fit() + 1e-9;
    QCOMPARE(fx.view()->hSB()->isVisible() || fx.view()->vSB()->isVisible(), larger);
}

void tst_FullviewZoom::ctrlWheelKeepsThePointUnderThePointer() {
    Fixture fx;
    fx.key(Qt::Key_1);
    ZoomSurface* surface = fx.view()->zoomSurface();
    const QPointF pointer(surface->width() * 0.7, surface->height() * 0.3);
    const double dpr = surface->devicePixelRatioF();
    const auto underPointer = [&] {
        return (pointer - fx.view()->PictureOrigin()) / (fx.view()->Zoom() / dpr);
    };
    const QPointF before = underPointer();
    SendWheel(surface, pointer, 120, Qt::ControlModifier);
    QCOMPARE(fx.view()->Zoom(), 1.5);
    const QPointF after = underPointer();
    // Within the half device pixel the origin is snapped to.
    QVERIFY(std::abs(after.x() - before.x()) <= 1.0 && std::abs(after.y() - before.y()) <= 1.0);
    SendWheel(surface, pointer, -120, Qt::ControlModifier);
    QCOMPARE(fx.view()->Zoom(), 1.0);
}

void tst_FullviewZoom::actualSizeIsOnePixelPerDevicePixel() {
    Fixture fx;
    const QImage picture = Checkered(64, 48);
    fx.view()->setPicture(picture);
    fx.key(Qt::Key_1);
    ZoomSurface* surface = fx.view()->zoomSurface();
    const double dpr = qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
                           ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
                           : 1.0;
    QCOMPARE(surface->devicePixelRatioF(), dpr);
    const QImage shot = surface->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shot.size(), surface->size() * dpr);
    const QPoint at = (fx.view()->PictureOrigin() * dpr).toPoint();
    QImage shown = shot.copy(QRect(at, picture.size()));
    shown.setDevicePixelRatio(1.0);
    QCOMPARE(shown, picture);
}

QTEST_MAIN(tst_FullviewZoom)
#include "tst_FullviewZoom.moc"
