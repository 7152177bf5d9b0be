#include "SetupBytes.h"
#include "platform/MessageBox.h"
#include "platform/ProgramFolder.h"
#include "settings/mSetup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace settings;
using namespace setup_test;
using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;
using platform::ScopedMessageBoxResponder;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool writeAll(const QString& path, const QByteArray& data) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(data) == data.size();
}

QByteArray encoded(const SetupRecord& record) {
    const std::vector<std::uint8_t> bytes = EncodeSetup(record);
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

// Limits the size of files this process may write, as a full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

SetupRecord changedRecord() {
    SetupRecord r;
    r.StartWithLastPath = -1;
    r.WindowWidth = 12000;
    r.WindowHeight = 9000;
    r.MainSplitPercent = 30;
    r.WindowState = 2;
    r.LastPath = folderBuffer("/srv/pictures");
    return r;
}

const QString corruptText =
    QStringLiteral("Configuration data file is corrupt\r\nDefault values will be used");

} // namespace

class mSetupFileTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void load_data();
    void load();
    void emptyFileIsReportedOnce();
    void saveWritesExactlyTheRecord_data();
    void saveWritesExactlyTheRecord();
    void failedSaveKeepsOldFile();
    void readOnlyFolderKeepsOldFile();
    void folderChoice_data();
    void folderChoice();
    void settingsPathIsAFolder();

private:
    QString programPath() const { return program_->path() + "/ztsetup.dat"; }

    std::unique_ptr<QTemporaryDir> program_;
    std::unique_ptr<QTemporaryDir> config_;
};

void mSetupFileTest::init() {
    program_ = std::make_unique<QTemporaryDir>();
    config_ = std::make_unique<QTemporaryDir>();
    QVERIFY(program_->isValid() && config_->isValid());
    platform::SetProgramFolderOverride(program_->path());
    platform::SetUserConfigFolderOverride(config_->path() + "/vistrel");
    Setup = changedRecord();
}

void mSetupFileTest::cleanup() {
    platform::SetProgramFolderOverride({});
    platform::SetUserConfigFolderOverride({});
    QFile::setPermissions(program_->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void mSetupFileTest::load_data() {
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("expected"); // encoded record
    SetupRecord changed = changedRecord();
    const QByteArray changedBytes = encoded(changed);
    const QByteArray defaults = encoded(SetupRecord());
    QTest::newRow("missing file") << false << QByteArray() << defaults;
    QTest::newRow("full record") << true << changedBytes << changedBytes;
    QTest::newRow("tail from an older file")
        << true << changedBytes + QByteArray(100, 'Z') << changedBytes;
    SetupRecord drive;
    drive.LastPath = "e:\\";
    QTest::newRow("three-byte path") << true << encoded(drive) << encoded(drive);
    SetupRecord firstTwo;
    firstTwo.StartWithLastPath = -1;
    QTest::newRow("five bytes") << true << changedBytes.left(5) << encoded(firstTwo);
    QTest::newRow("one byte") << true << QByteArray(1, char(0xFF)) << defaults;
    SetupRecord noPath = changed;
    noPath.LastPath = SetupRecord().LastPath;
    QTest::newRow("path cut short") << true << changedBytes.left(100) << encoded(noPath);
}

void mSetupFileTest::load() {
    QFETCH(bool, exists);
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, expected);
    if (exists) {
        QVERIFY(writeAll(programPath(), content));
    }
    ScopedMessageBoxResponder boxes(MsgResult::OK);
    LoadSetup();
    QCOMPARE(encoded(Setup).toHex(), expected.toHex());
    QVERIFY(boxes.requests().empty());
    // The file is never changed by reading; a missing one is created empty.
    QCOMPARE(readAll(programPath()), exists ? content : QByteArray(""));
    QVERIFY(QFile::exists(programPath()));
}

void mSetupFileTest::emptyFileIsReportedOnce() {
    QVERIFY(writeAll(programPath(), QByteArray()));
    ScopedMessageBoxResponder boxes(MsgResult::OK);
    LoadSetup();
    QCOMPARE(boxes.requests().size(), std::size_t(1));
    const platform::MsgRequest& box = boxes.requests().front();
    QCOMPARE(box.text, corruptText);
    QCOMPARE(box.title, QString("Vistrel"));
    QCOMPARE(box.buttons, MsgButtons::OK);
    QCOMPARE(box.icon, MsgIcon::Exclamation);
    QVERIFY(Setup == SetupRecord());
    QVERIFY(SaveSetup());
    QCOMPARE(readAll(programPath()), encoded(SetupRecord()));
    LoadSetup(); // the saved file is good: no second message
    QCOMPARE(boxes.requests().size(), std::size_t(1));
}

void mSetupFileTest::saveWritesExactlyTheRecord_data() {
    QTest::addColumn<QByteArray>("older");
    QTest::newRow("no file") << QByteArray();
    QTest::newRow("longer older file") << QByteArray(600, 'Q');
    QTest::newRow("shorter older file") << QByteArray(3, 'Q');
}

void mSetupFileTest::saveWritesExactlyTheRecord() {
    QFETCH(QByteArray, older);
    if (!older.isEmpty()) {
        QVERIFY(writeAll(programPath(), older));
    }
    Setup = changedRecord();
    QVERIFY(SaveSetup());
    QCOMPARE(readAll(programPath()), encoded(changedRecord()));
    QCOMPARE(readAll(programPath()).size(), qsizetype(280));
    QCOMPARE(QDir(program_->path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{"ztsetup.dat"});
    Setup = SetupRecord();
    LoadSetup();
    QVERIFY(Setup == changedRecord());
}

void mSetupFileTest::failedSaveKeepsOldFile() {
    const QByteArray old = encoded(changedRecord());
    QVERIFY(writeAll(programPath(), old));
    Setup = SetupRecord();
    Setup.LastPath = std::string(400, 'n');
    {
        const FileSizeLimit fullDisk(64); // the new record needs 420 bytes
        QVERIFY(!SaveSetup());
    }
    QCOMPARE(readAll(programPath()), old);
    QCOMPARE(QDir(program_->path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{"ztsetup.dat"});
}

void mSetupFileTest::readOnlyFolderKeepsOldFile() {
    if (geteuid() == 0) {
        QSKIP("permissions do not bind the superuser; the full-disk test covers the failure");
    }
    const QByteArray old = encoded(changedRecord());
    QVERIFY(writeAll(programPath(), old));
    QVERIFY(QFile::setPermissions(programPath(), QFile::ReadOwner));
    QVERIFY(QFile::setPermissions(program_->path(), QFile::ReadOwner | QFile::ExeOwner));
    Setup = SetupRecord();
    QVERIFY(!SaveSetup());
    QFile::setPermissions(program_->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(readAll(programPath()), old);
}

void mSetupFileTest::folderChoice_data() {
    QTest::addColumn<QString>("programFolder"); // relative to the program temp dir
    QTest::addColumn<bool>("inProgramFolder");
    QTest::newRow("writable program folder") << QString() << true;
    QTest::newRow("missing program folder") << QString("/missing/bin") << false;
}

void mSetupFileTest::folderChoice() {
    QFETCH(QString, programFolder);
    QFETCH(bool, inProgramFolder);
    platform::SetProgramFolderOverride(program_->path() + programFolder);
    const QString expected = inProgramFolder ? program_->path() : config_->path() + "/vistrel";
    QCOMPARE(SetupFolder(), expected);
    QVERIFY(QFileInfo(expected).isDir()); // the configuration folder is created when used
    ScopedMessageBoxResponder boxes(MsgResult::OK);
    LoadSetup();
    Setup = changedRecord();
    QVERIFY(SaveSetup());
    QCOMPARE(readAll(expected + "/ztsetup.dat"), encoded(changedRecord()));
}

void mSetupFileTest::settingsPathIsAFolder() {
    QVERIFY(QDir(program_->path()).mkdir("ztsetup.dat"));
    ScopedMessageBoxResponder boxes(MsgResult::OK);
    LoadSetup();
    QVERIFY(Setup == SetupRecord());
    QVERIFY(!SaveSetup());
    QVERIFY(QFileInfo(programPath()).isDir());
}

QTEST_GUILESS_MAIN(mSetupFileTest)
#include "mSetupFileTest.moc"
