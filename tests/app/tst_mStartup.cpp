// Start-up: the order in which Main brings the program up,
// driven with stand-in services so that each step can be observed.

#include "SettingsSandbox.h"
#include "app/fMain.h"
#include "app/mDirTreeview.h"
#include "app/mStartup.h"
#include "controls/Splitter.h"
#include "platform/Events.h"
#include "platform/ListView.h"
#include "platform/PictureBox.h"
#include "windows/fSplash.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTest>
#include <chrono>
#include <memory>

using namespace std::chrono_literals;

namespace {

const std::string kSep(1, QDir::separator().toLatin1());

// Stand-in services that record what start-up asks of them.
struct Recorder {
    settings::SetupRecord toLoad = settings::DefaultSetup();
    std::chrono::milliseconds splashDelay{0};
    int loads = 0;
    int doEvents = 0;
    int waits = 0;
    bool hiddenWhileWaiting = true;
    QSize outerWhileWaiting;
    QPointer<fSplash> splash;
    int treeCalls = 0;
    std::string treePath;
    bool mainVisibleAtTree = false;
    bool splashGoneAtTree = false;
    std::function<void()> onWait;

    StartupServices Services() {
        StartupServices s;
        s.loadSetup = [this] {
            ++loads;
            settings::Setup = toLoad;
        };
        s.doEvents = [this] {
            ++doEvents;
            platform::DoEvents();
        };
        s.waitForEvents = [this] {
            ++waits;
            const QWidget* host = TreeHost();
            hiddenWhileWaiting =
                hiddenWhileWaiting && host != nullptr && !host->window()->isVisible();
            if (host != nullptr) {
                outerWhileWaiting = host->window()->frameGeometry().size() * 15;
            }
            if (onWait) {
                onWait();
            }
            platform::WaitForEvents();
        };
        s.makeSplash = [this] {
            auto made = std::make_unique<fSplash>(splashDelay);
            splash = made.get();
            return made;
        };
        s.showFolderTree = [this](std::string& path) {
            ++treeCalls;
            treePath = path;
            const QWidget* host = TreeHost();
            mainVisibleAtTree = host != nullptr && host->window()->isVisible();
            splashGoneAtTree = splash.isNull();
        };
        return s;
    }
};

} // namespace

class tst_mStartup : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void readySplashSkipsTheWait();
    void waitsForTheSplash();
    void splashClosedEarlyEndsTheWait();
    void startFolder_data();
    void startFolder();

private:
    std::unique_ptr<SettingsSandbox> sandbox_;
};

void tst_mStartup::init() {
    sandbox_ = std::make_unique<SettingsSandbox>();
}

void tst_mStartup::cleanup() {
    sandbox_.reset();
}

void tst_mStartup::readySplashSkipsTheWait() {
    Recorder r;
    r.toLoad.PaneSplitPercent = 33; // visible in the window only if loaded first
    const std::unique_ptr<fMain> window = StartUp(r.Services());

    QCOMPARE(r.loads, 1);
    QCOMPARE(r.waits, 0);
    QCOMPARE(r.doEvents, 2);
    QCOMPARE(int(window->hSplit()->SplitPercent()), 33);
    QCOMPARE(TreeHost(), window->pictreeview());
    QCOMPARE(r.treeCalls, 1);
    QVERIFY(r.mainVisibleAtTree);
    QVERIFY(r.splashGoneAtTree);
    QVERIFY(window->isVisible());
}

void tst_mStartup::waitsForTheSplash() {
    Recorder r;
    r.splashDelay = 100ms;
    r.toLoad.WindowWidth = 12000;
    r.toLoad.WindowHeight = 9000;
    const std::unique_ptr<fMain> window = StartUp(r.Services());

    QVERIFY(r.waits > 0);
    QVERIFY(r.hiddenWhileWaiting);
    // Sized from the settings before the wait, while still hidden.
    QCOMPARE(r.outerWhileWaiting, QSize(12000, 9000));
    QVERIFY(r.splashGoneAtTree);
    QVERIFY(r.mainVisibleAtTree);
}

void tst_mStartup::splashClosedEarlyEndsTheWait() {
    // A splash that goes away before its delay (it lost the focus) must not leave
    // start-up waiting for ever.
    Recorder r;
    r.splashDelay = 1h;
    r.onWait = [&r] {
        if (r.splash != nullptr) {
            r.splash->close();
        }
    };
    const std::unique_ptr<fMain> window = StartUp(r.Services());
    QVERIFY(r.waits >= 1);
    QCOMPARE(r.treeCalls, 1);
    QVERIFY(window->isVisible());
}

// The tree's start folder and the list's start view, as the options dialog's two
// choices and the command line ask.
void tst_mStartup::startFolder_data() {
    QTest::addColumn<qint16>("chosen"); // both choices; any non-zero counts as ticked
    QTest::addColumn<QByteArray>("lastPath");
    QTest::addColumn<QByteArray>("commandLine");
    QTest::addColumn<QByteArray>("expected"); // "<home>" stands for the default folder

    const QByteArray sep(1, QDir::separator().toLatin1());
    const QByteArray none;
    const QByteArray stored = QByteArray("/srv/pictures") + '\0' + QByteArray(246, ' ');
    QTest::newRow("NUL and padding as the tree stores it")
        << qint16(-1) << stored << none << QByteArray("/srv/pictures") + sep;
    QTest::newRow("damaged non-zero counts as chosen")
        << qint16(3) << stored << none << QByteArray("/srv/pictures") + sep;
    QTest::newRow("not chosen: home") << qint16(0) << stored << none << QByteArray("<home>");
    QTest::newRow("chosen, short form trimmed")
        << qint16(-1) << QByteArray("  /mnt/e/  ") << none << QByteArray("/mnt/e/");
    QTest::newRow("chosen but nothing stored: home")
        << qint16(-1) << QByteArray("   ") << none << QByteArray("<home>");
    QTest::newRow("chosen but only a NUL: home")
        << qint16(-1) << QByteArray(1, '\0') + "   " << none << QByteArray("<home>");
    QTest::newRow("the command line's folder wins over the stored one")
        << qint16(-1) << QByteArray("/srv/pictures") << QByteArray("/tmp/given")
        << QByteArray("/tmp/given") + sep;
    QTest::newRow("the command line's folder wins over the home folder")
        << qint16(0) << QByteArray() << QByteArray("/") << sep;
}

void tst_mStartup::startFolder() {
    QFETCH(qint16, chosen);
    QFETCH(QByteArray, lastPath);
    QFETCH(QByteArray, commandLine);
    QFETCH(QByteArray, expected);
    expected.replace("<home>", QFile::encodeName(QDir::homePath()) + '/');
    Recorder r;
    r.toLoad.StartWithLastPath = chosen;
    r.toLoad.StartInThumbnailView = chosen;
    r.toLoad.LastPath = lastPath.toStdString();
    const std::unique_ptr<fMain> window = StartUp(r.Services(), commandLine.toStdString());
    QCOMPARE(QByteArray::fromStdString(r.treePath), expected);
    QCOMPARE(window->lvFiles()->View(),
             int(chosen != 0 ? platform::ListView::LargeIcon : platform::ListView::Report));
    // The stored value itself is left as it was.
    QCOMPARE(QByteArray::fromStdString(settings::Setup.LastPath), lastPath);
}

QTEST_MAIN(tst_mStartup)
#include "tst_mStartup.moc"
