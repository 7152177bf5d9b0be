// The main window's creation from the settings, its toolbar, its geometry on
// resize and its minimum size.

#include "SettingsSandbox.h"
#include "app/fMain.h"
#include "controls/Splitter.h"
#include "controls/ucGIFViewer.h"
#include "platform/ListView.h"
#include "platform/MessageBox.h"
#include "platform/PictureBox.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <memory>

class tst_fMain : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void creationAppliesSettings_data();
    void creationAppliesSettings();
    void creationBuildsControls();
    void listColumns();
    void toolbar_data();
    void toolbar();
    void layout_data();
    void layout();
    void minimumSize_data();
    void minimumSize();
    void minimizedKeepsLayout();

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
    QCOMPARE(window.ComboFilter()->count(), 29);
    QCOMPARE(window.ComboFilter()->itemText(28), QStringLiteral("All Files(*.*)"));

    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(!window.ucGIF1()->isVisible());
    QVERIFY(window.lvFiles()->isVisible());
}

void tst_fMain::listColumns() {
    settings::Setup.StartInThumbnailView = 0; // the list starts in report view
    fMain window;
    platform::ListView* list = window.lvFiles();
    QCOMPARE(list->View(), int(platform::ListView::Report));
    QCOMPARE(list->columnCount(), 4);
    QCOMPARE(list->columnHeader(3), QStringLiteral("Date Modified"));
    QCOMPARE(list->columnWidth(0), 147); // 2200 twips, to the nearest pixel
    QCOMPARE(list->columnWidth(2), 100); // 1500 twips
}

void tst_fMain::toolbar_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("separator");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("toolTip");

    QTest::newRow("1") << 1 << true << QString() << QString() << QString();
    QTest::newRow("2") << 2 << false << "&Edit"
                       << "Edit"
                       << "Open selected image in default image editor";
    QTest::newRow("3") << 3 << false << "&Refresh"
                       << "Refresh"
                       << "Refresh File List";
    QTest::newRow("4") << 4 << true << QString() << QString() << QString();
    QTest::newRow("5") << 5 << false << "E&xit"
                       << "Exit"
                       << "Exit Program";
    QTest::newRow("6") << 6 << true << QString() << QString() << QString();
    QTest::newRow("7") << 7 << false << "&View" << QString() << "Change File List View";
    QTest::newRow("8") << 8 << false << "&Options" << QString() << "Program Options";
    QTest::newRow("9") << 9 << false << "&Help" << QString() << "Help";
}

void tst_fMain::toolbar() {
    QFETCH(int, index);
    QFETCH(bool, separator);
    QFETCH(QString, caption);
    QFETCH(QString, key);
    QFETCH(QString, toolTip);

    fMain window;
    QAction* action = window.ToolbarButton(index);
    QVERIFY(action != nullptr);
    QCOMPARE(window.tbrMain()->actions().indexOf(action), index - 1);
    QCOMPARE(action->isSeparator(), separator);
    if (!separator) {
        QCOMPARE(action->text(), caption);
        QCOMPARE(action->data().toString(), key);
        QCOMPARE(action->toolTip(), toolTip);
        QVERIFY(!action->icon().isNull());
    }
}

void tst_fMain::layout_data() {
    QTest::addColumn<QSize>("client");
    QTest::addColumn<int>("splitWidth");
    QTest::addColumn<int>("aboutWidth");
    QTest::addColumn<int>("visitLeft");
    QTest::addColumn<int>("visitWidth");

    QTest::newRow("default size") << QSize(603, 483) << 583 << 292 << 307 << 286;
    QTest::newRow("even width") << QSize(600, 450) << 580 << 290 << 305 << 285;
    QTest::newRow("at the minimum") << QSize(499, 313) << 479 << 240 << 255 << 234;
}

void tst_fMain::layout() {
    QFETCH(QSize, client);
    QFETCH(int, splitWidth);
    QFETCH(int, aboutWidth);
    QFETCH(int, visitLeft);
    QFETCH(int, visitWidth);

    fMain window;
    window.resize(client);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_COMPARE(window.size(), client);

    const int toolbarBottom = window.tbrMain()->geometry().bottom() + 1;
    const QRect split = window.vSplit()->geometry();
    QCOMPARE(split.topLeft(), QPoint(10, toolbarBottom + 10));
    QCOMPARE(split.width(), splitWidth);
    const QRect about = window.cmdAbout()->geometry();
    const QRect visit = window.cmdVisit()->geometry();
    QCOMPARE(about.topLeft(), QPoint(10, split.bottom() + 1 + 5));
    QCOMPARE(about.width(), aboutWidth);
    QCOMPARE(visit.topLeft(), QPoint(visitLeft, about.top()));
    QCOMPARE(visit.width(), visitWidth);
    // The status strip ends exactly on the client area's bottom edge.
    QCOMPARE(window.picStatus()->geometry(),
             QRect(10, client.height() - 19, client.width() - 20, 19));
    QCOMPARE(window.sbInfo()->geometry(), QRect(0, 0, client.width() - 20, 19));
    const QRect panel3 = window.StatusPanel(3)->geometry();
    QCOMPARE(window.pbThumbs()->geometry(),
             QRect(panel3.left() + 2, 3, panel3.width() - 4, 19 - 5));
    // The panes of picLV follow it: the filter box above the list, both full width.
    QTRY_COMPARE(window.lvFiles()->width(), window.picLV()->width());
    QCOMPARE(window.lvFiles()->y(), window.ComboFilter()->height());
    QCOMPARE(window.lvFiles()->height(), window.picLV()->height() - window.ComboFilter()->height());
}

void tst_fMain::minimumSize_data() {
    QTest::addColumn<QSize>("requested");
    QTest::addColumn<QSize>("outerTwips");

    QTest::newRow("too narrow") << QSize(300, 400) << QSize(7485, 6000);
    QTest::newRow("both: width first, then height") << QSize(100, 100) << QSize(7485, 4695);
    QTest::newRow("exactly the minimum") << QSize(499, 313) << QSize(7485, 4695);
}

void tst_fMain::minimumSize() {
    QFETCH(QSize, requested);
    QFETCH(QSize, outerTwips);

    fMain window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QSize frame = window.frameGeometry().size() - window.size();
    window.resize(requested - frame);
    QTRY_COMPARE(window.OuterSizeTwips(), outerTwips);
}

void tst_fMain::minimizedKeepsLayout() {
    fMain window;
    window.resize(600, 450);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QRect split = window.vSplit()->geometry();

    window.setWindowState(Qt::WindowMinimized);
    window.resize(700, 500);
    QCoreApplication::processEvents();
    QCOMPARE(window.vSplit()->geometry(), split);

    window.setWindowState(Qt::WindowNoState);
    QTRY_COMPARE(window.vSplit()->width(), 680);
}

QTEST_MAIN(tst_fMain)
#include "tst_fMain.moc"
