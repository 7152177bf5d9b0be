// The two start-up choices of the options dialog take effect: the folder the
// tree opens at and the view the list starts in.

#include "SettingsSandbox.h"
#include "app/fMain.h"
#include "app/mStartup.h"
#include "platform/ListView.h"
#include "settings/mSetup.h"
#include "windows/fSplash.h"

#include <QDir>
#include <QtTest>

using settings::SetupRecord;

class TestStartChoices : public QObject {
    Q_OBJECT
private slots:
    void startFolder_data();
    void startFolder();
    void startView_data();
    void startView();
    void startUpOpensTheTreeAtTheChosenFolder_data();
    void startUpOpensTheTreeAtTheChosenFolder();
};

void TestStartChoices::startFolder_data() {
    QTest::addColumn<qint16>("withLastPath");
    QTest::addColumn<QByteArray>("lastPath");
    QTest::addColumn<QString>("expected"); // "<home>" stands for the default folder

    const QByteArray stored = QByteArray("/srv/photos/2019") + '\0' + QByteArray(200, ' ');
    QTest::newRow("chosen: the stored folder") << qint16(-1) << stored << "/srv/photos/2019";
    QTest::newRow("any non-zero counts as chosen") << qint16(3) << stored << "/srv/photos/2019";
    QTest::newRow("not chosen: home") << qint16(0) << stored << "<home>";
    QTest::newRow("chosen, short form") << qint16(-1) << QByteArray("  /mnt/e/  ") << "/mnt/e/";
    QTest::newRow("chosen but nothing stored: home") << qint16(-1) << QByteArray("   ") << "<home>";
    QTest::newRow("chosen but only a NUL: home") << qint16(-1) << QByteArray(1, '\0') + "   "
                                                 << "<home>";
}

void TestStartChoices::startFolder() {
    QFETCH(qint16, withLastPath);
    QFETCH(QByteArray, lastPath);
    QFETCH(QString, expected);

    SetupRecord setup = settings::DefaultSetup();
    setup.StartWithLastPath = withLastPath;
    setup.LastPath = lastPath.toStdString();
    expected.replace("<home>", QDir::homePath() + '/');
    QCOMPARE(QString::fromStdString(StartFolder(setup)), expected);
}

void TestStartChoices::startView_data() {
    QTest::addColumn<qint16>("thumbnails");
    QTest::addColumn<int>("view");
    QTest::newRow("chosen: large icons") << qint16(-1) << int(platform::ListView::LargeIcon);
    QTest::newRow("damaged non-zero: large icons")
        << qint16(12) << int(platform::ListView::LargeIcon);
    QTest::newRow("not chosen: report") << qint16(0) << int(platform::ListView::Report);
}

void TestStartChoices::startView() {
    QFETCH(qint16, thumbnails);
    QFETCH(int, view);
    SettingsSandbox sandbox;
    settings::Setup.StartInThumbnailView = thumbnails;
    QCOMPARE(StartView(settings::Setup), view);
    fMain window; // and the main window's list starts in it
    QCOMPARE(window.lvFiles()->View(), view);
}

void TestStartChoices::startUpOpensTheTreeAtTheChosenFolder_data() {
    QTest::addColumn<qint16>("withLastPath");
    QTest::addColumn<QString>("expected");
    QTest::newRow("chosen") << qint16(-1) << "/srv/photos/";
    QTest::newRow("not chosen") << qint16(0) << QDir::homePath() + '/';
}

void TestStartChoices::startUpOpensTheTreeAtTheChosenFolder() {
    QFETCH(qint16, withLastPath);
    QFETCH(QString, expected);

    SettingsSandbox sandbox;
    SetupRecord stored = settings::DefaultSetup();
    stored.StartWithLastPath = withLastPath;
    stored.LastPath = std::string("/srv/photos") + '\0' + std::string(248, ' ');
    settings::Setup = stored;
    QVERIFY(settings::SaveSetup());

    StartupServices services;
    services.makeSplash = [] { return std::make_unique<fSplash>(std::chrono::milliseconds(0)); };
    QString treeFolder;
    services.showFolderTree = [&](std::string& path) { treeFolder = QString::fromStdString(path); };
    const std::unique_ptr<fMain> window = StartUp(services);
    QCOMPARE(treeFolder, expected);
    // The stored value itself is left as it was.
    QVERIFY(settings::Setup.LastPath == stored.LastPath);
}

QTEST_MAIN(TestStartChoices)
#include "tst_StartChoices.moc"
