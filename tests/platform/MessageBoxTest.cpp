#include "platform/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace platform;

Q_DECLARE_METATYPE(platform::MsgButtons)
Q_DECLARE_METATYPE(platform::MsgIcon)
Q_DECLARE_METATYPE(platform::MsgResult)

class MessageBoxTest : public QObject {
    Q_OBJECT
private slots:
    // What the responder records is checked by the window tests that use it.
    void respondersNest() {
        ScopedMessageBoxResponder outer(MsgResult::Yes);
        {
            ScopedMessageBoxResponder inner(
                [](const MsgRequest& r) { return r.text == "q" ? MsgResult::No : MsgResult::OK; });
            QCOMPARE(MsgBox("q", MsgButtons::YesNo), MsgResult::No);
            QCOMPARE(inner.requests().size(), 1u);
        }
        QCOMPARE(MsgBox("q", MsgButtons::YesNo), MsgResult::Yes);
        QCOMPARE(outer.requests().size(), 1u);
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    // The real box, driven through its buttons on the offscreen platform: the
    // mapping of icon, title and buttons to the widget, and of the pressed button back.
    void realBoxShowsRequest_data() {
        QTest::addColumn<MsgButtons>("buttons");
        QTest::addColumn<MsgIcon>("icon");
        QTest::addColumn<int>("press"); // -1: Escape
        QTest::addColumn<int>("qtIcon");
        QTest::addColumn<MsgResult>("expected");
        QTest::newRow("OK exclamation")
            << MsgButtons::OK << MsgIcon::Exclamation << int(QMessageBox::Ok)
            << int(QMessageBox::Warning) << MsgResult::OK;
        QTest::newRow("No") << MsgButtons::YesNo << MsgIcon::Critical << int(QMessageBox::No)
                            << int(QMessageBox::Critical) << MsgResult::No;
        QTest::newRow("Retry") << MsgButtons::RetryCancel << MsgIcon::Information
                               << int(QMessageBox::Retry) << int(QMessageBox::Information)
                               << MsgResult::Retry;
        QTest::newRow("escape on Yes/No") << MsgButtons::YesNo << MsgIcon::None << -1
                                          << int(QMessageBox::NoIcon) << MsgResult::No;
    }

    void realBoxShowsRequest() {
        QFETCH(MsgButtons, buttons);
        QFETCH(MsgIcon, icon);
        QFETCH(int, press);
        QString seenTitle;
        int seenIcon = -2;
        // Polls for the modal box from inside its own event loop.
        QTimer poll;
        poll.setInterval(10);
        connect(&poll, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr || seenIcon != -2)
                return;
            seenTitle = box->windowTitle();
            seenIcon = box->icon();
            if (press < 0)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                box->button(static_cast<QMessageBox::StandardButton>(press))->click();
        });
        poll.start();
        QTEST(MsgBox("text", buttons, icon), "expected");
        QCOMPARE(seenTitle, QString("Vistrel"));
        QTEST(seenIcon, "qtIcon");
    }
};

QTEST_MAIN(MessageBoxTest)
#include "MessageBoxTest.moc"
