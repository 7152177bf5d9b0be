#include "platform/Events.h"

#include "platform/WaitCursor.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

using namespace platform;

// DoEvents itself is checked through the progress bar, which calls it on every Value.
class EventsTest : public QObject {
    Q_OBJECT
private slots:
    void waitForEventsBlocks() {
        bool ready = false;
        QTimer::singleShot(20, this, [&] { ready = true; });
        int passes = 0;
        for (; !ready; ++passes)
            WaitForEvents();
        // A blocking wait needs only a few passes; a spinning one would need thousands.
        QVERIFY2(passes < 50, qPrintable(QString::number(passes)));
    }

    void waitCursorNestsAndRestores() {
        {
            WaitCursor outer;
            {
                WaitCursor inner;
                QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
            }
            QVERIFY(QApplication::overrideCursor() != nullptr);
        }
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }
};

QTEST_MAIN(EventsTest)
#include "EventsTest.moc"
