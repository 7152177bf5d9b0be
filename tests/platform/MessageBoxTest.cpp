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
    void responderSeesRequest_data();
    void responderSeesRequest();
    void respondersNest();
    void realBoxShowsRequest_data();
    void realBoxShowsRequest();
};

void MessageBoxTest::responderSeesRequest_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<MsgButtons>("buttons");
    QTest::addColumn<MsgIcon>("icon");
    QTest::addColumn<MsgResult>("answer");
    QTest::addColumn<QString>("expectedTitle");
    QTest::newRow("default title")
        << QString() << MsgButtons::OK << MsgIcon::Exclamation << MsgResult::OK << "Vistrel";
    QTest::newRow("own title") << "Confirm Exit" << MsgButtons::YesNo << MsgIcon::Question
                               << MsgResult::No << "Confirm Exit";
}

void MessageBoxTest::responderSeesRequest() {
    QFETCH(QString, title);
    QFETCH(MsgButtons, buttons);
    QFETCH(MsgIcon, icon);
    QFETCH(MsgResult, answer);
    QFETCH(QString, expectedTitle);
    ScopedMessageBoxResponder responder(answer);
    QCOMPARE(MsgBox("Some text\r\nmore", buttons, icon, title), answer);
    QCOMPARE(responder.requests().size(), 1u);
    const MsgRequest& request = responder.requests().front();
    QCOMPARE(request.text, QString("Some text\r\nmore"));
    QCOMPARE(request.title, expectedTitle);
    QVERIFY(request.buttons == buttons && request.icon == icon);
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

void MessageBoxTest::respondersNest() {
    ScopedMessageBoxResponder outer(MsgResult::Yes);
    {
        ScopedMessageBoxResponder inner(
            [](const MsgRequest& r) { return r.text == "q" ? MsgResult::No : MsgResult::OK; });
        QCOMPARE(MsgBox("q", MsgButtons::YesNo), MsgResult::No);
        QCOMPARE(inner.requests().size(), 1u);
    }
    QCOMPARE(MsgBox("q", MsgButtons::YesNo), MsgResult::Yes);
    QCOMPARE(outer.requests().size(), 1u);
}

// The real box, driven through its buttons on the offscreen platform: checks the
// mapping of icon, title and buttons to the widget, and of the pressed button back.
void MessageBoxTest::realBoxShowsRequest_data() {
    QTest::addColumn<MsgButtons>("buttons");
    QTest::addColumn<MsgIcon>("icon");
    QTest::addColumn<int>("press");
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
    QTest::newRow("escape on Yes/No")
        << MsgButtons::YesNo << MsgIcon::None << -1 << int(QMessageBox::NoIcon) << MsgResult::No;
}

void MessageBoxTest::realBoxShowsRequest() {
    QFETCH(MsgButtons, buttons);
    QFETCH(MsgIcon, icon);
    QFETCH(int, press);
    QFETCH(int, qtIcon);
    QFETCH(MsgResult, expected);
    QString seenTitle;
    int seenIcon = -2;
    bool pressed = false;
    // Polls for the modal box from inside its own event loop.
    QTimer poll;
    poll.setInterval(10);
    connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || pressed) {
            return;
        }
        pressed = true;
        seenTitle = box->windowTitle();
        seenIcon = box->icon();
        if (press < 0) {
            QTest::keyClick(box, Qt::Key_Escape);
        } else {
            box->button(static_cast<QMessageBox::StandardButton>(press))->click();
        }
    });
    poll.start();
    const MsgResult result = MsgBox("text", buttons, icon);
    poll.stop();
    QVERIFY(pressed);
    QCOMPARE(result, expected);
    QCOMPARE(seenTitle, QString("Vistrel"));
    QCOMPARE(seenIcon, qtIcon);
}

QTEST_MAIN(MessageBoxTest)
#include "MessageBoxTest.moc"
