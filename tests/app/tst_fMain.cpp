// The main window's creation from the settings and its own words (its minimum
// size: tst_mStartup).

#include "SettingsSandbox.h"
#include "app/fMain.h"
#include "controls/Splitter.h"
#include "controls/ucGIFViewer.h"
#include "platform/ListView.h"
#include "platform/MessageBox.h"
#include "platform/PictureBox.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <memory>

class tst_fMain : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void creationAppliesSettings_data();
    void creationAppliesSettings();
    void creationBuildsControls();

private:
    std::unique_ptr<SettingsSandbox> sandbox_;
};

void tst_fMain::init() {
    sandbox_ = std::make_unique<SettingsSandbox>();
}

void tst_fMain::cleanup() {
    sandbox_.reset();
}

void tst_fMain::creationAppliesSettings_data() {
    QTest::addColumn<int>("paneOrientation");
    QTest::addColumn<int>("panePercent");
    QTest::addColumn<int>("mainOrientation");
    QTest::addColumn<int>("mainPercent");
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("readPaneOrientation");
    QTest::addColumn<bool>("maximized");

    QTest::newRow("side by side, maximized") << 0 << 30 << -1 << 70 << 2 << 0 << true;
    QTest::newRow("damaged orientation counts as stacked")
        << 7 << 255 << 0 << 0 << 0 << -1 << false;
    QTest::newRow("minimized is never applied") << -1 << 50 << 0 << 50 << 1 << -1 << false;
}

void tst_fMain::creationAppliesSettings() {
    QFETCH(int, paneOrientation);
    QFETCH(int, panePercent);
    QFETCH(int, mainOrientation);
    QFETCH(int, mainPercent);
    QFETCH(int, state);
    QFETCH(int, readPaneOrientation);
    QFETCH(bool, maximized);

    settings::Setup.PaneSplitOrientation = static_cast<std::int16_t>(paneOrientation);
    settings::Setup.PaneSplitPercent = static_cast<std::uint8_t>(panePercent);
    settings::Setup.MainSplitOrientation = static_cast<std::int16_t>(mainOrientation);
    settings::Setup.MainSplitPercent = static_cast<std::uint8_t>(mainPercent);
    settings::Setup.WindowState = static_cast<std::int16_t>(state);
    fMain window;

    QCOMPARE(window.hSplit()->Orientation(), readPaneOrientation);
    QCOMPARE(int(window.hSplit()->SplitPercent()), panePercent);
    QCOMPARE(window.vSplit()->Orientation(), mainOrientation);
    QCOMPARE(int(window.vSplit()->SplitPercent()), mainPercent);
    QCOMPARE(window.isMaximized(), maximized);
    QVERIFY(!window.isMinimized());
    QVERIFY(!window.isVisible()); // created hidden
}

void tst_fMain::creationBuildsControls() {
    fMain window;
    QCOMPARE(window.windowTitle(), QStringLiteral("Vistrel"));
    QCOMPARE(window.cmdAbout()->text(), QStringLiteral("&About this program"));
    QCOMPARE(window.cmdVisit()->text(), QStringLiteral("Visit Corvantis"));
    QVERIFY(window.lblCount()->text().isEmpty());
    QCOMPARE(window.vSplit()->Child1(), window.hSplit());

    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(!window.ucGIF1()->isVisible());
    QVERIFY(window.lvFiles()->isVisible());
}

QTEST_MAIN(tst_fMain)
#include "tst_fMain.moc"
