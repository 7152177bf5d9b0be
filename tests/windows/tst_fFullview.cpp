// The full view window: a GIF view that hides the still image only while it
// holds a GIF, and the ways to close it (each leaving no instance behind).

#include "controls/GifMaker.h"
#include "controls/ImageAceX.h"
#include "controls/ucGIFViewer.h"
#include "windows/fFullview.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

QImage Still(QColor colour) {
    QImage img(60, 40, QImage::Format_RGB32);
    img.fill(colour);
    return img;
}

struct Fixture {
    std::unique_ptr<QWidget> owner = std::make_unique<QWidget>();
    QTemporaryDir dir;
    Fixture() {
        owner->resize(300, 200);
        owner->show();
    }
    ~Fixture() { owner.reset(); }
    QString gif() {
        const QString path = dir.filePath(QStringLiteral("g.gif"));
        giftest::MakeGif(
            path, 20, 20,
            {{0, 0, 20, 20, giftest::Green, 50, 1}, {0, 0, 20, 20, giftest::Blue, 50, 1}});
        return path;
    }
    QRgb centre(fFullview* f) const {
        const QImage shot = f->grab().toImage();
        return shot.pixel(shot.width() / 2, shot.height() / 2);
    }
};

} // namespace

class tst_fFullview : public QObject {
    Q_OBJECT
private slots:
    void freshWindowShowsTheStill();
    void resizeBringsTheGifBack();
    void closes_data();
    void closes();
};

void tst_fFullview::freshWindowShowsTheStill() {
    Fixture fx;
    fFullview* f = new fFullview(fx.owner.get());
    f->imView()->setPicture(Still(Qt::red));
    f->ShowModeless();
    QTRY_VERIFY(f->isVisible());
    QVERIFY(!f->ucGIFView()->isVisible());
    QCOMPARE(f->imView()->geometry(), f->rect());
    QCOMPARE(fx.centre(f), qRgb(255, 0, 0));
}

void tst_fFullview::resizeBringsTheGifBack() {
    Fixture fx;
    fFullview* f = new fFullview(fx.owner.get());
    QVERIFY(f->ucGIFView()->LoadFromFile(fx.gif()));
    f->ucGIFView()->Pause();
    f->ucGIFView()->NextFrame(); // green
    f->ShowModeless();
    f->ucGIFView()->hide();
    f->imView()->setPicture(Still(Qt::magenta));
    f->showNormal();
    f->resize(200, 150);
    QTRY_VERIFY(f->ucGIFView()->isVisible());
    QCOMPARE(f->ucGIFView()->geometry(), QRect(0, 0, 200, 150));
    QCOMPARE(fx.centre(f), qRgb(0, 255, 0));
}

void tst_fFullview::closes_data() {
    QTest::addColumn<QString>("view");
    QTest::addColumn<bool>("doubleClick");
    QTest::newRow("Esc in the still view") << "imView" << false;
    QTest::newRow("Esc in the GIF view") << "ucGIFView" << false;
    QTest::newRow("double-click on the still") << "zoomSurface" << true;
    QTest::newRow("double-click on the still's frame") << "imView" << true;
    QTest::newRow("double-click on the GIF") << "ucGIFView" << true;
}

void tst_fFullview::closes() {
    QFETCH(QString, view);
    QFETCH(bool, doubleClick);
    Fixture fx;
    fFullview* f = new fFullview(fx.owner.get());
    f->imView()->setPicture(Still(Qt::red));
    if (view == QLatin1String("ucGIFView")) {
        QVERIFY(f->ucGIFView()->LoadFromFile(fx.gif()));
        f->ucGIFView()->show();
    }
    f->ShowModeless();
    QWidget* target = f->findChild<QWidget*>(view);
    QVERIFY(target && target->isVisible());
    QSignalSpy destroyed(f, &QObject::destroyed);
    if (doubleClick) {
        QTest::mouseDClick(target, Qt::LeftButton, Qt::NoModifier, target->rect().center());
    } else {
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Escape);
    }
    QTRY_COMPARE(destroyed.count(), 1);
    QVERIFY(fx.owner->isVisible());
}

QTEST_MAIN(tst_fFullview)
#include "tst_fFullview.moc"
