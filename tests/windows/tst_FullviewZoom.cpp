// The full view as a viewer, driven through its real widgets: the keys and the
// wheel that step through the list, zoom and its limits, fit and actual size,
// the pan, the sizing kept across pictures and windows, shrinking without
// nearest neighbour, one picture pixel per device pixel at 100% (also run with
// QT_SCALE_FACTOR=2), the on-screen line and a GIF's pause and step.

#include "controls/GifMaker.h"
#include "controls/ImageAceX.h"
#include "controls/ZoomSurface.h"
#include "controls/ucGIFViewer.h"
#include "platform/ProgramFolder.h"
#include "settings/Preferences.h"
#include "windows/fFullview.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

Q_DECLARE_METATYPE(fFullview::Step)

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

void SendMouse(QWidget* at, QEvent::Type type, QPointF pos, Qt::MouseButtons held) {
    QMouseEvent event(type, pos, at->mapToGlobal(pos),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held,
                      Qt::NoModifier);
    QApplication::sendEvent(at, &event);
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
    void stepKeys_data();
    void stepKeys();
    void zoomKeys_data();
    void zoomKeys();
    void ctrlWheelKeepsThePointUnderThePointer();
    void dragPansWithinThePicture();
    void sizingKeptAcrossPicturesAndWindows();
    void fitShrinksByAveraging();
    void actualSizeIsOnePixelPerDevicePixel();
    void onScreenLine();
    void gifPauseAndStep();
};

void tst_FullviewZoom::stepKeys_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("wheel"); // with key 0: a wheel turn of this many eighths of a degree
    QTest::addColumn<int>("steps"); // StepRequested signals expected
    QTest::addColumn<fFullview::Step>("step");
    using S = fFullview::Step;
    for (auto [key, name] : {std::pair{Qt::Key_Right, "Right"},
                             {Qt::Key_Down, "Down"},
                             {Qt::Key_PageDown, "Page Down"},
                             {Qt::Key_Space, "Space"}})
        QTest::newRow(name) << int(key) << 0 << 1 << S::Next;
    for (auto [key, name] : {std::pair{Qt::Key_Left, "Left"},
                             {Qt::Key_Up, "Up"},
                             {Qt::Key_PageUp, "Page Up"},
                             {Qt::Key_Backspace, "Backspace"}})
        QTest::newRow(name) << int(key) << 0 << 1 << S::Previous;
    QTest::newRow("Home") << int(Qt::Key_Home) << 0 << 1 << S::First;
    QTest::newRow("End") << int(Qt::Key_End) << 0 << 1 << S::Last;
    QTest::newRow("wheel down") << 0 << -120 << 1 << S::Next;
    QTest::newRow("wheel up two notches") << 0 << 240 << 2 << S::Previous;
    QTest::newRow("half a notch: nothing yet") << 0 << -60 << 0 << S::Next;
}

void tst_FullviewZoom::stepKeys() {
    QFETCH(int, key);
    QFETCH(int, wheel);
    QFETCH(int, steps);
    QFETCH(fFullview::Step, step);
    Fixture fx;
    QSignalSpy spy(fx.f, &fFullview::StepRequested);
    const double zoomBefore = fx.view()->Zoom();
    if (key != 0)
        fx.key(Qt::Key(key));
    else
        SendWheel(fx.view()->zoomSurface(), QPointF(10, 10), wheel, Qt::NoModifier);
    QCOMPARE(spy.count(), steps);
    for (const auto& args : spy)
        QCOMPARE(args.at(0).value<fFullview::Step>(), step);
    QCOMPARE(fx.view()->Zoom(), zoomBefore);
    QVERIFY(fx.f->isVisible());
}

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

void tst_FullviewZoom::dragPansWithinThePicture() {
    Fixture fx;
    ZoomSurface* surface = fx.view()->zoomSurface();
    const auto drag = [&](QPointF by) {
        const QPointF from(surface->width() / 2.0, surface->height() / 2.0);
        SendMouse(surface, QEvent::MouseButtonPress, from, Qt::LeftButton);
        SendMouse(surface, QEvent::MouseMove, from + by, Qt::LeftButton);
        SendMouse(surface, QEvent::MouseButtonRelease, from + by, Qt::NoButton);
    };
    const QPointF centred = fx.view()->PictureOrigin();
    drag({-50, -40}); // fitted: nothing to pan
    QCOMPARE(fx.view()->PictureOrigin(), centred);
    fx.key(Qt::Key_1);
    QCOMPARE(fx.view()->PictureOrigin(), QPointF(0, 0));
    drag({-50, -40});
    QCOMPARE(fx.view()->PictureOrigin(), QPointF(-50, -40));
    QCOMPARE(fx.view()->hSB()->value(), 50);
    QCOMPARE(fx.view()->vSB()->value(), 40);
    drag({-100000, -100000}); // stops at the far corner, the bars at their ends
    QCOMPARE(fx.view()->hSB()->value(), fx.view()->hSB()->maximum());
    QCOMPARE(fx.view()->vSB()->value(), fx.view()->vSB()->maximum());
    const double dpr = surface->devicePixelRatioF();
    QCOMPARE(fx.view()->PictureOrigin().x() + 2000 / dpr, double(surface->width()));
    drag({100000, 100000});
    QCOMPARE(fx.view()->PictureOrigin(), QPointF(0, 0));
}

void tst_FullviewZoom::sizingKeptAcrossPicturesAndWindows() {
    Fixture fx;
    QCOMPARE(int(fx.view()->sizing()), int(ImageAceX::Sizing::Fit)); // nothing stored yet
    fx.key(Qt::Key_1);
    fx.key(Qt::Key_Plus); // a zoom step is not a sizing to keep
    fx.view()->setPicture(Checkered(3000, 900));
    QCOMPARE(fx.view()->Zoom(), 1.0);
    QPointer<fFullview> closed = fx.f;
    fx.f->close();
    QTRY_VERIFY(closed.isNull());
    QCOMPARE(settings::Preferences::Sizing(), settings::FullviewSizing::Actual);
    fx.open();
    QCOMPARE(int(fx.view()->sizing()), int(ImageAceX::Sizing::Actual));
    QCOMPARE(fx.view()->Zoom(), 1.0);
    fx.key(Qt::Key_F);
    QCOMPARE(settings::Preferences::Sizing(), settings::FullviewSizing::Fit);
}

void tst_FullviewZoom::fitShrinksByAveraging() {
    // Black and white single-pixel stripes shrunk to 40%: every pixel is a
    // mix of both; nearest neighbour would pick pure black or white.
    Fixture fx;
    QImage stripes(2000, 1000, QImage::Format_RGB32);
    for (int x = 0; x < stripes.width(); ++x)
        for (int y = 0; y < stripes.height(); ++y)
            stripes.setPixel(x, y, x % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    fx.view()->setPicture(stripes);
    ZoomSurface* surface = fx.view()->zoomSurface();
    const QImage shot = surface->grab().toImage();
    const double dpr = shot.devicePixelRatio();
    const QPoint inside = ((fx.view()->PictureOrigin() + QPointF(40, 40)) * dpr).toPoint();
    for (int dx = 0; dx < 20; ++dx) {
        const int grey = qGray(shot.pixel(inside.x() + dx, inside.y()));
        QVERIFY2(grey > 60 && grey < 195, qPrintable(QString::number(grey)));
    }
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

void tst_FullviewZoom::onScreenLine() {
    Fixture fx;
    fx.f->setPosition(QStringLiteral("/some/folder/wide.png"), 3, 18);
    QLabel* line = fx.f->lblInfo();
    QVERIFY(line->isVisible());
    QCOMPARE(line->text(),
             QStringLiteral("wide.png    3 / 18    2000x1000    %1%").arg(qRound(fx.fit() * 100)));
    fx.key(Qt::Key_1);
    QCOMPARE(line->text(), QStringLiteral("wide.png    3 / 18    2000x1000    100%"));
    QTRY_VERIFY_WITH_TIMEOUT(!line->isVisible(), 5000);
    fx.key(Qt::Key_Plus);
    QVERIFY(line->isVisible());
    QVERIFY(line->text().endsWith(QStringLiteral("150%")));
}

void tst_FullviewZoom::gifPauseAndStep() {
    Fixture fx;
    const QString gif = fx.dir.filePath(QStringLiteral("g.gif"));
    QVERIFY(giftest::MakeGif(gif, 20, 20,
                             {{0, 0, 20, 20, giftest::Green, 50, 1},
                              {0, 0, 20, 20, giftest::Blue, 50, 1},
                              {0, 0, 20, 20, giftest::Red, 50, 1}}));
    ucGIFViewer* g = fx.f->ucGIFView();
    QVERIFY(g->LoadFromFile(gif));
    g->show();
    fx.f->ShowModeless();
    fx.f->setPosition(QStringLiteral("g.gif"), 1, 2);
    QCOMPARE(fx.f->lblInfo()->text(),
             QStringLiteral("g.gif    1 / 2    20x20    100%    3 Frames"));
    QVERIFY(g->GIFIsPlaying());
    const double zoom = fx.view()->Zoom();
    QTest::keyClick(g, Qt::Key_Plus); // zoom keys leave a GIF alone
    QCOMPARE(fx.view()->Zoom(), zoom);
    QTest::keyClick(g, Qt::Key_P);
    QVERIFY(!g->GIFIsPlaying());
    QSignalSpy rendered(g, &ucGIFViewer::GIFFrameRendered);
    QTest::keyClick(g, Qt::Key_Period);
    QCOMPARE(rendered.count(), 1);
    const int next = rendered.at(0).at(0).toInt();
    QTest::keyClick(g, Qt::Key_Period);
    QCOMPARE(rendered.count(), 2);
    QCOMPARE(rendered.at(1).at(0).toInt(), (next + 1) % 3);
    QTest::keyClick(g, Qt::Key_P);
    QVERIFY(g->GIFIsPlaying());
}

QTEST_MAIN(tst_FullviewZoom)
#include "tst_FullviewZoom.moc"
