// The splash: when it reports ReadyToClose, its title and its closing when it
// loses the focus.

#include "windows/fSplash.h"

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
        QCOMPARE(fSplash().lblprogramname()->text(), QStringLiteral("Vistrel"));
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
