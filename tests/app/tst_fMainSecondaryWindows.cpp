// The main window's ways into the secondary windows (toolbar Options and Help,
// the About button) and its progress bar over the third status panel.

#include "SettingsSandbox.h"
#include "app/fMain.h"
#include "controls/Qv_Progbar.h"
#include "controls/Splitter.h"
#include "platform/PictureBox.h"
#include "windows/fAbout.h"
#include "windows/fHelp.h"
#include "windows/fOptions.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QtTest>

class TestMainSecondaryWindows : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void toolbarAndButtonOpenTheirWindows_data();
    void toolbarAndButtonOpenTheirWindows();
    void optionsActOnTheTreeListSplitter();
    void progressBarLiesOverTheThirdPanel();

private:
    std::unique_ptr<SettingsSandbox> sandbox_;
    std::unique_ptr<fMain> window_;
};

void TestMainSecondaryWindows::init() {
    sandbox_ = std::make_unique<SettingsSandbox>();
    window_ = std::make_unique<fMain>();
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void TestMainSecondaryWindows::cleanup() {
    delete fOptions::Instance();
    delete fHelp::Instance();
    delete fAbout::Instance();
    window_.reset();
    sandbox_.reset();
}

void TestMainSecondaryWindows::toolbarAndButtonOpenTheirWindows_data() {
    QTest::addColumn<int>("button"); // toolbar index; 0: the About button
    QTest::addColumn<QString>("title");
    QTest::newRow("8: Options") << 8 << "Options";
    QTest::newRow("9: Help") << 9 << "Vistrel Help ";
    QTest::newRow("About button") << 0 << "About Vistrel";
}

void TestMainSecondaryWindows::toolbarAndButtonOpenTheirWindows() {
    QFETCH(int, button);
    QFETCH(QString, title);
    const auto press = [&] {
        if (button == 0)
            QTest::mouseClick(window_->cmdAbout(), Qt::LeftButton);
        else
            window_->ToolbarButton(button)->trigger();
    };
    press();
    QDialog* opened = nullptr;
    QTRY_VERIFY((opened = window_->findChild<QDialog*>()) != nullptr);
    QCOMPARE(opened->windowTitle(), title);
    QCOMPARE(opened->parentWidget(), window_.get());
    QVERIFY(opened->isVisible());
    QVERIFY(!opened->isModal());
    QVERIFY(window_->isEnabled());
    press(); // a second press shows the same window
    QCOMPARE(window_->findChildren<QDialog*>().size(), 1);
}

void TestMainSecondaryWindows::optionsActOnTheTreeListSplitter() {
    QCOMPARE(window_->hSplit()->Orientation(), -1);
    window_->ToolbarButton(8)->trigger();
    fOptions* options = fOptions::Instance();
    QVERIFY(options != nullptr);
    QTest::mouseClick(options->Image2(), Qt::LeftButton);
    QCOMPARE(window_->hSplit()->Orientation(), 0);
    QCOMPARE(window_->vSplit()->Orientation(), 0);
}

void TestMainSecondaryWindows::progressBarLiesOverTheThirdPanel() {
    Qv_Progbar* bar = window_->pbThumbs();
    QVERIFY(bar != nullptr);
    QCOMPARE(bar->parentWidget(), window_->picStatus()); // its place: tst_fMain::layout
    // Idle, it leaves the panel's text readable; with progress to show it shows.
    QVERIFY(!bar->isVisible());
    bar->SetValue(40);
    QVERIFY(bar->isVisible());
    QVERIFY(bar->picBar()->isVisible());
    bar->SetValue(0);
    QVERIFY(!bar->isVisible());
}

QTEST_MAIN(TestMainSecondaryWindows)
#include "tst_fMainSecondaryWindows.moc"
