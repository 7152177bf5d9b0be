// The splash: when it reports ReadyToClose, how it lays its labels out, the
// etched separator it paints and its closing when it loses the focus.

#include "windows/fSplash.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <chrono>

using namespace std::chrono_literals;

class tst_fSplash : public QObject {
    Q_OBJECT
private slots:
    void readyOnlyAfterDelay();
    void readyAtOnceWithoutDelay();
    void titleFont();
    void layout_data();
    void layout();
    void separator_data();
    void separator();
    void closesWhenItLosesFocus();
};

void tst_fSplash::readyOnlyAfterDelay() {
    QCOMPARE(fSplash().tmrDelay()->interval(), 2000); // the default delay
    fSplash splash(200ms);
    QSignalSpy ready(&splash, &fSplash::Ready);
    splash.show();
    // Events processed before the delay ends do not make it ready.
    QCoreApplication::processEvents();
    QVERIFY(!splash.ReadyToClose());
    QTRY_VERIFY_WITH_TIMEOUT(splash.ReadyToClose(), 5000);
    QCOMPARE(ready.count(), 1);
    QVERIFY(!splash.tmrDelay()->isActive());
    QVERIFY(splash.isVisible()); // it does not close itself when ready
}

void tst_fSplash::readyAtOnceWithoutDelay() {
    fSplash splash(0ms);
    QVERIFY(splash.ReadyToClose());
    QVERIFY(!splash.tmrDelay()->isActive());
}

void tst_fSplash::titleFont() {
    // Verdana where installed, else the system font's family (not a substitute).
    const fSplash splash;
    const QString family = QFontDatabase::hasFamily(QStringLiteral("Verdana"))
                               ? QStringLiteral("Verdana")
                               : QGuiApplication::font().family();
    QCOMPARE(splash.lblprogramname()->text(), QStringLiteral("Vistrel"));
    QCOMPARE(splash.lblprogramname()->font().family(), family);
    QCOMPARE(splash.lblcompanyname()->font().family(), family);
}

void tst_fSplash::layout_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("titleLeft");
    QTest::addColumn<int>("legalLeft");

    QTest::newRow("designed width") << 400 << 36 << 14;
    QTest::newRow("odd width rounds halves to even") << 401 << 36 << 14;
    QTest::newRow("narrower than the labels") << 200 << -64 << -86;
}

void tst_fSplash::layout() {
    QFETCH(int, width);
    QFETCH(int, titleLeft);
    QFETCH(int, legalLeft);

    fSplash splash(0ms);
    splash.show();
    splash.resize(width, 250);
    QTRY_COMPARE(splash.lblprogramname()->x(), titleLeft);
    QCOMPARE(splash.lblprogramname()->geometry(), QRect(titleLeft, 18, 328, 51));
    // The maker line sits 5 pixels under the title, as wide as the title.
    QCOMPARE(splash.lblcompanyname()->geometry(), QRect(titleLeft, 74, 328, 103));
    QCOMPARE(splash.lblLegal()->geometry(), QRect(legalLeft, 195, 373, 44));
}

void tst_fSplash::separator_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QColor>("colour");

    QTest::newRow("black line, left end") << 400 << QPoint(10, 186) << QColor(Qt::black);
    QTest::newRow("white line follows the width") << 600 << QPoint(590, 187) << QColor(Qt::white);
}

void tst_fSplash::separator() {
    QFETCH(int, width);
    QFETCH(QPoint, point);
    QFETCH(QColor, colour);

    fSplash splash(0ms);
    splash.resize(width, 250);
    const QImage image = splash.grab().toImage();
    QCOMPARE(image.pixelColor(point), colour);
    // Nothing is drawn outside the line's ends.
    const QPoint outside(point.x() < width / 2 ? 9 : width - 9, point.y());
    QVERIFY(image.pixelColor(outside) != colour);
}

void tst_fSplash::closesWhenItLosesFocus() {
    QPointer<fSplash> splash = new fSplash;
    splash->show();
    splash->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(splash.data()));

    QWidget other;
    other.show();
    other.activateWindow();
    QTRY_VERIFY(splash.isNull());
}

QTEST_MAIN(tst_fSplash)
#include "tst_fSplash.moc"
