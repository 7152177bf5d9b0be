// The splash: when it reports ReadyToClose, its title and its closing when it
// loses the focus.

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

    void readyOnlyAfterDelay() {
        QCOMPARE(fSplash().tmrDelay()->interval(), 2000); // the default delay
        QVERIFY(fSplash(0ms).ReadyToClose());
        fSplash splash(200ms);
        QSignalSpy ready(&splash, &fSplash::Ready);
        splash.show();
        // Events processed before the delay ends do not make it ready.
        QCoreApplication::processEvents();
        QVERIFY(!splash.ReadyToClose());
        QTRY_VERIFY_WITH_TIMEOUT(splash.ReadyToClose(), 5000);
        QCOMPARE(ready.count(), 1);
        QVERIFY(splash.isVisible()); // it does not close itself when ready
    }

    void titleFont() {
        // Verdana where installed, else the system font's family (not a substitute).
        const fSplash splash;
        const QString family = QFontDatabase::hasFamily(QStringLiteral("Verdana"))
                                   ? QStringLiteral("Verdana")
                                   : QGuiApplication::font().family();
        QCOMPARE(splash.lblprogramname()->text(), QStringLiteral("Vistrel"));
        QCOMPARE(splash.lblprogramname()->font().family(), family);
    }

    void closesWhenItLosesFocus() {
        QPointer<fSplash> splash = new fSplash;
        splash->show();
        splash->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(splash.data()));
        QWidget other;
        other.show();
        other.activateWindow();
        QTRY_VERIFY(splash.isNull());
    }
};

QTEST_MAIN(tst_fSplash)
#include "tst_fSplash.moc"
