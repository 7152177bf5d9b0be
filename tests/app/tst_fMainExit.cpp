// The confirmed exit: every way of closing asks first; No changes nothing; Yes
// stores the window's size, state and splits in the settings file and quits.

#include "SettingsSandbox.h"
#include "app/fMain.h"
#include "controls/Splitter.h"
#include "platform/MessageBox.h"
#include "platform/Util.h"

#include <QAction>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <memory>

namespace {

enum class Closer { CloseBox, Esc, ToolbarExit };

// A shown main window whose quit action only counts.
struct Window {
    fMain window;
    int quits = 0;

    Window() {
        window.SetQuitAction([this] { ++quits; });
        window.resize(600, 450);
        window.show();
    }

    void Close(Closer how) {
        switch (how) {
        case Closer::CloseBox:
            window.close();
            break;
        case Closer::Esc:
            QTest::keyClick(&window, Qt::Key_Escape);
            break;
        case Closer::ToolbarExit:
            window.ToolbarButton(5)->trigger();
            break;
        }
    }
};

} // namespace

Q_DECLARE_METATYPE(Closer)

class tst_fMainExit : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void answer_data();
    void answer();
    void exitStoresState_data();
    void exitStoresState();

private:
    std::unique_ptr<SettingsSandbox> sandbox_;
};

void tst_fMainExit::init() {
    sandbox_ = std::make_unique<SettingsSandbox>();
}

void tst_fMainExit::cleanup() {
    sandbox_.reset();
}

void tst_fMainExit::answer_data() {
    QTest::addColumn<Closer>("closer");
    QTest::addColumn<bool>("yes");
    QTest::newRow("close box, No") << Closer::CloseBox << false;
    QTest::newRow("Esc, No") << Closer::Esc << false;
    QTest::newRow("toolbar Exit, No") << Closer::ToolbarExit << false;
    QTest::newRow("close box, Yes") << Closer::CloseBox << true;
    QTest::newRow("toolbar Exit, Yes") << Closer::ToolbarExit << true;
}

// No changes nothing, not even the settings file; Yes stores the splits.
void tst_fMainExit::answer() {
    QFETCH(Closer, closer);
    QFETCH(bool, yes);
    Window w;
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    const settings::SetupRecord before = settings::Setup;
    w.window.hSplit()->SetSplitPercent(20);
    w.window.vSplit()->SetSplitPercent(65);

    platform::ScopedMessageBoxResponder answer(yes ? platform::MsgResult::Yes
                                                   : platform::MsgResult::No);
    w.Close(closer);
    QCOMPARE(answer.requests().size(), std::size_t(1));
    const platform::MsgRequest& asked = answer.requests().front();
    QCOMPARE(asked.text, QStringLiteral("Are you sure you want to quit?"));
    QCOMPARE(asked.title, QStringLiteral("Confirm Exit"));
    QCOMPARE(asked.buttons, platform::MsgButtons::YesNo);
    QCOMPARE(asked.icon, platform::MsgIcon::Question);
    QCOMPARE(w.window.isVisible(), !yes);
    QCOMPARE(w.quits, yes ? 1 : 0);
    if (!yes) {
        QVERIFY(settings::Setup == before);
        QVERIFY(!sandbox_->FileExists());
        return;
    }
    const settings::SetupRecord stored = sandbox_->ReadBack();
    QCOMPARE(int(stored.PaneSplitPercent), 20);
    QCOMPARE(int(stored.MainSplitPercent), 65);
    QVERIFY(stored == settings::Setup);
}

void tst_fMainExit::exitStoresState_data() {
    QTest::addColumn<int>("priorState");
    QTest::addColumn<Qt::WindowState>("state");
    QTest::addColumn<QSize>("client");
    QTest::addColumn<int>("storedState");
    QTest::addColumn<QSize>("storedTwips");

    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    // An empty size stands for the window's outer size (frame included) at close.
    QTest::newRow("normal after maximized stores 0")
        << 2 << Qt::WindowNoState << QSize(700, 500) << 0 << QSize();
    QTest::newRow("maximized stores 2 and the maximized size")
        << 0 << Qt::WindowMaximized << QSize(700, 500) << 2 << screen * 15;
    QTest::newRow("minimized keeps the stored state")
        << 2 << Qt::WindowMinimized << QSize(700, 500) << 2 << QSize();
    // 16-bit twips hold at most 2184 pixels; a wider window stores the largest
    // value rather than a wrapped-around negative one.
    QTest::newRow("too wide for 16 bits")
        << 0 << Qt::WindowNoState << QSize(2400, 2200) << 0 << QSize(32767, 32767);
}

void tst_fMainExit::exitStoresState() {
    QFETCH(int, priorState);
    QFETCH(Qt::WindowState, state);
    QFETCH(QSize, client);
    QFETCH(int, storedState);
    QFETCH(QSize, storedTwips);

    fMain window;
    settings::Setup.WindowState = static_cast<std::int16_t>(priorState);
    int quits = 0;
    window.SetQuitAction([&quits] { ++quits; });
    window.resize(client);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.setWindowState(state);
    if (state == Qt::WindowMaximized) {
        QTRY_COMPARE(window.frameGeometry().size() * 15, storedTwips);
    }

    if (storedTwips.isEmpty()) {
        storedTwips = window.frameGeometry().size() * 15;
        QVERIFY(storedTwips.width() > client.width() * 15 - 1);
    }

    platform::ScopedMessageBoxResponder answer(platform::MsgResult::Yes);
    window.close();
    QCOMPARE(quits, 1);
    const settings::SetupRecord stored = sandbox_->ReadBack();
    QCOMPARE(int(stored.WindowState), storedState);
    QCOMPARE(QSize(stored.WindowWidth, stored.WindowHeight), storedTwips);
}

QTEST_MAIN(tst_fMainExit)
#include "tst_fMainExit.moc"
