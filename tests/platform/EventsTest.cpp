#include "platform/Events.h"

#include "platform/WaitCursor.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

using namespace platform;

class EventsTest : public QObject {
    Q_OBJECT
private slots:
    void doEventsRunsPendingWork();
    void waitForEventsEndsOnTimer();
    void waitCursorNestsAndRestores();
};

void EventsTest::doEventsRunsPendingWork() {
    int runs = 0;
    QMetaObject::invokeMethod(
        this, [&] { ++runs; }, Qt::QueuedConnection);
    QCOMPARE(runs, 0);
    DoEvents();
    QCOMPARE(runs, 1);
}

void EventsTest::waitForEventsEndsOnTimer() {
    bool ready = false;
    QTimer::singleShot(20, this, [&] { ready = true; });
    int passes = 0;
    while (!ready) {
        WaitForEvents();
        ++passes;
    }
    // A blocking wait needs only a few passes; a spinning one would need thousands.
    QVERIFY2(passes < 50, qPrintable(QString::number(passes)));
}

void EventsTest::waitCursorNestsAndRestores() {
    QVERIFY(QApplication::overrideCursor() == nullptr);
    {
        WaitCursor outer;
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        {
            WaitCursor inner;
            QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        }
        QVERIFY(QApplication::overrideCursor() != nullptr);
    }
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

QTEST_MAIN(EventsTest)
#include "EventsTest.moc"
