#include "settings/mSetup.h"

#include "platform/MessageBox.h"
#include "platform/ProgramFolder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <random>
#include <sys/resource.h>

using namespace settings;

Q_DECLARE_METATYPE(std::string)

namespace {

// Written by hand, so that the layout is checked apart from the encoder: the
// defaults, and a record whose every field differs from them, its numbers at the
// ends of their ranges, with a folder in its 260-character buffer.
const QByteArray defaultFixed = QByteArray::fromHex("0000ffff0000ffff010055234d1c32320000");
const QByteArray customFixed = QByteArray::fromHex("ffff0000ffff00000080ff7f282300ff0200");
const std::string customPath = "/srv/pictures" + std::string(1, '\0') + std::string(246, ' ');
const QByteArray customBytes = customFixed + "\x04\x01" + QByteArray::fromStdString(customPath);

QByteArray bytesOf(const SetupRecord& record) {
    const std::vector<std::uint8_t> bytes = EncodeSetup(record);
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

SetupRecord fromBytes(const QByteArray& bytes) {
    return DecodeSetup(
        {reinterpret_cast<const std::uint8_t*>(bytes.data()), std::size_t(bytes.size())});
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

// The two records a killed child saves by turns: the short one over the long one
// and back, so that an in-place save has a tail to cut.
const SetupRecord longRecord = fromBytes(customBytes);
SetupRecord shortRecord() {
    SetupRecord record;
    record.LastPath = "/a/";
    record.WindowWidth = 1234;
    return record;
}

void useFolder(const QString& folder) {
    platform::SetProgramFolderOverride(folder);
    platform::SetUserConfigFolderOverride(folder + "/user");
}

// Child process: saves the two records by turns until it is killed.
int saveLoop(const QString& folder, bool inPlace) {
    useFolder(folder);
    std::optional<ScopedInPlaceSave> seam;
    if (inPlace) {
        seam.emplace();
    }
    const SetupRecord records[] = {shortRecord(), longRecord};
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    for (unsigned i = 0;; ++i) {
        Setup = records[i % 2];
        if (!SaveSetup()) {
            return 1;
        }
    }
}

// Child process: a first start that loads the settings, then waits to be killed.
int firstStart(const QString& folder) {
    useFolder(folder);
    platform::ScopedMessageBoxResponder boxes(platform::MsgResult::OK);
    LoadSetup();
    std::fputs(boxes.requests().empty() ? "ready\n" : "message\n", stdout);
    std::fflush(stdout);
    return std::getchar();
}

// Names an interrupted save never leaves, so the start-up clean-up must keep them.
const QStringList strangers = {"settings.dat.abcdef", "ztsetup.dat.abc123",   "ztsetup.dat.abcdefg",
                               "ztsetup.dat.bak",     "ztsetup.dat.abcdef.1", "ZTSETUP.DAT.abcdef"};

QStringList strangersAnd(const QString& name) {
    QStringList names = strangers + QStringList{name};
    names.sort();
    return names;
}

} // namespace

class mSetupTest : public QObject {
    Q_OBJECT
    QString programPath() const { return program_->path() + "/ztsetup.dat"; }
    void write(const QByteArray& data) {
        QFile file(programPath());
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(data) == data.size());
    }
    std::unique_ptr<QTemporaryDir> program_;
    std::unique_ptr<QTemporaryDir> config_;

private slots:
    void init() {
        program_ = std::make_unique<QTemporaryDir>();
        config_ = std::make_unique<QTemporaryDir>();
        platform::SetProgramFolderOverride(program_->path());
        platform::SetUserConfigFolderOverride(config_->path() + "/vistrel");
        Setup = fromBytes(customBytes);
    }

    void cleanup() {
        platform::SetProgramFolderOverride({});
        platform::SetUserConfigFolderOverride({});
    }

    void exactBytes_data() {
        QTest::addColumn<std::string>("lastPath");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("23 bytes") << std::string("c:\\") << defaultFixed + "\x03" + '\0' + "c:\\";
        const std::string utf8 = "/home/jörg";
        QTest::newRow("non-ASCII") << utf8 << defaultFixed + "\x0b" + '\0' + utf8.c_str();
        const std::string raw = "/tmp/\xff\xfe\x80"; // no UTF-8: kept byte for byte
        QTest::newRow("no UTF-8") << raw << defaultFixed + "\x08" + '\0' + raw.c_str();
    }

    void exactBytes() {
        QFETCH(std::string, lastPath);
        QFETCH(QByteArray, bytes);
        SetupRecord record;
        record.LastPath = lastPath;
        QCOMPARE(bytesOf(record).toHex(), bytes.toHex());
        QVERIFY(fromBytes(bytes) == record);
        QCOMPARE(bytesOf(fromBytes(customBytes)).toHex(), customBytes.toHex());
    }

    void truncatedFile_data() {
        QTest::addColumn<int>("length");
        for (int length = 0; length <= 280; length += length < 22 || length >= 277 ? 1 : 255) {
            QTest::addRow("%d bytes", length) << length;
        }
    }

    // A field is taken only when all of its bytes are there; the rest keep their defaults.
    void truncatedFile() {
        QFETCH(int, length);
        int whole = 0;
        for (int end : {2, 4, 6, 8, 10, 12, 14, 15, 16, 18}) {
            whole = end <= length ? end : whole;
        }
        const SetupRecord read = fromBytes(customBytes.left(length));
        QCOMPARE(bytesOf(read).left(18).toHex(),
                 (customFixed.left(whole) + defaultFixed.mid(whole)).toHex());
        QCOMPARE(read.LastPath, length == 280 ? customPath : SetupRecord().LastPath);
    }

    void overlongLastPathIsCut() {
        SetupRecord r;
        r.LastPath = std::string(70000, 'a');
        const QByteArray bytes = bytesOf(r);
        QCOMPARE(bytes.size(), qsizetype(SetupFixedSize + 65535));
        QCOMPARE(bytes.mid(18, 2).toHex(), QByteArray("ffff"));
        QCOMPARE(fromBytes(bytes).LastPath, std::string(65535, 'a'));
    }

    void lastPathFolder_data() {
        QTest::addColumn<std::string>("stored");
        QTest::addColumn<std::string>("folder");
        QTest::newRow("buffer form") << customPath << std::string("/srv/pictures");
        QTest::newRow("outer spaces") << std::string("  /a/b  ") << std::string("/a/b");
        QTest::newRow("spaces before NUL") << std::string("/a b \0   ", 9) << std::string("/a b ");
        QTest::newRow("only spaces") << std::string("    ") << std::string();
        QTest::newRow("NUL first") << std::string("\0/a", 3) << std::string();
    }

    void lastPathFolder() {
        QFETCH(std::string, stored);
        QFETCH(std::string, folder);
        QCOMPARE(LastPathFolder(stored), folder);
        if (stored == customPath) // a chosen folder is stored in exactly this form
            QCOMPARE(StoredFolder(QString::fromStdString(folder)), customPath);
    }

    // Killed at random moments while saving, the child leaves a whole record,
    // old or new; the next start finds it without a message and clears what the
    // kill left, and nothing else.
    void killedSaves_data() {
        QTest::addColumn<bool>("inPlace");
        QTest::newRow("temporary and rename") << false;
        QTest::newRow("in place") << true;
    }

    void killedSaves() {
        QFETCH(bool, inPlace);
        const QByteArray shortBytes = bytesOf(shortRecord());
        write(customBytes);
        for (const QString& name : strangers + QStringList{"ztsetup.dat.QxWvZa"}) {
            QFile file(program_->filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        std::mt19937 random(inPlace ? 1616 : 16);
        std::uniform_int_distribution<qint64> delayNs(0, 3'000'000);
        int kills = 0, strays = -1 /* the one planted above */, tails = 0;
        QElapsedTimer spent;
        spent.start();
        while (kills < 300 && spent.elapsed() < 12'000) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(),
                        {"--save-loop", program_->path(), inPlace ? "1" : "0"});
            QVERIFY(child.waitForReadyRead(10'000));
            QElapsedTimer delay;
            delay.start();
            for (const qint64 until = delayNs(random); delay.nsecsElapsed() < until;) {
            }
            child.kill();
            QVERIFY(child.waitForFinished(10'000));
            QCOMPARE(child.exitStatus(), QProcess::CrashExit);
            ++kills;

            const QByteArray bytes = readAll(programPath());
            const bool isShort = bytes.startsWith(shortBytes);
            const QByteArray& whole = isShort ? shortBytes : customBytes;
            QVERIFY2(bytes.startsWith(whole), bytes.toHex().constData());
            QVERIFY2(inPlace || bytes == whole, bytes.toHex().constData());
            tails += bytes.size() > whole.size() ? 1 : 0;
            strays += filesIn(program_->path()).size() - strangers.size() - 1;

            platform::ScopedMessageBoxResponder boxes(platform::MsgResult::OK);
            LoadSetup();
            QVERIFY(boxes.requests().empty());
            QVERIFY(Setup == (isShort ? shortRecord() : longRecord));
            QCOMPARE(filesIn(program_->path()), strangersAnd("ztsetup.dat"));
        }
        qInfo("%d kills in %lld ms: %d stray temporaries, %d tails left", kills, spent.elapsed(),
              strays, tails);
        QVERIFY2(kills >= 50, "too few kills to mean anything");

        // A save that runs to its end leaves the record alone, without a tail.
        std::optional<ScopedInPlaceSave> seam;
        if (inPlace) {
            seam.emplace();
        }
        Setup = shortRecord();
        QVERIFY(SaveSetup());
        QCOMPARE(readAll(programPath()).toHex(), shortBytes.toHex());
    }

    // A start killed before its first save leaves no file, so the next one
    // starts from the defaults without a message.
    void killedFirstStart() {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {"--first-start", program_->path()});
        QVERIFY(child.waitForReadyRead(10'000));
        QCOMPARE(child.readAll(), QByteArray("ready\n"));
        child.kill();
        QVERIFY(child.waitForFinished(10'000));
        QVERIFY(!QFile::exists(programPath()));
        platform::ScopedMessageBoxResponder boxes(platform::MsgResult::OK);
        LoadSetup();
        QVERIFY(boxes.requests().empty());
        QVERIFY(Setup == SetupRecord());
        QVERIFY(filesIn(program_->path()).isEmpty());
    }

    void emptyFileIsReportedOnce() {
        write(QByteArray());
        platform::ScopedMessageBoxResponder boxes(platform::MsgResult::OK);
        LoadSetup();
        QCOMPARE(boxes.requests().size(), std::size_t(1));
        const platform::MsgRequest& box = boxes.requests().front();
        QCOMPARE(
            box.text,
            QStringLiteral("Configuration data file is corrupt\r\nDefault values will be used"));
        QCOMPARE(box.title, QStringLiteral("Vistrel"));
        QVERIFY(box.buttons == platform::MsgButtons::OK &&
                box.icon == platform::MsgIcon::Exclamation);
        QVERIFY(Setup == SetupRecord());
        QVERIFY(!QFile::exists(programPath())); // the first save writes it anew
        LoadSetup();
        QVERIFY(SaveSetup());
        LoadSetup();
        QCOMPARE(boxes.requests().size(), std::size_t(1));
    }

    void failedSaveKeepsOldFile_data() {
        QTest::addColumn<bool>("inPlace");
        QTest::newRow("temporary and rename") << false;
        QTest::newRow("in place") << true;
    }

    // A full disk: the save must fail and keep the old file whole, not commit a short one.
    void failedSaveKeepsOldFile() {
        QFETCH(bool, inPlace);
        write(customBytes);
        Setup.LastPath = std::string(400, 'n');
        std::optional<ScopedInPlaceSave> seam;
        if (inPlace) {
            seam.emplace();
        }
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved;
        limit.rlim_cur = 300;
        setrlimit(RLIMIT_FSIZE, &limit);
        const bool savedOk = SaveSetup();
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);
        QVERIFY(!savedOk);
        QCOMPARE(readAll(programPath()), customBytes);
        QCOMPARE(filesIn(program_->path()), QStringList{"ztsetup.dat"});
        QVERIFY(filesIn(config_->path() + "/vistrel").isEmpty());
    }

    void unwritableProgramFolderUsesConfigFolder() {
        platform::SetProgramFolderOverride(program_->path() + "/missing/bin");
        QCOMPARE(SetupFolder(), config_->path() + "/vistrel");
        QVERIFY(SaveSetup());
        QCOMPARE(readAll(config_->path() + "/vistrel/ztsetup.dat"), customBytes);
    }

    void settingsPathIsAFolder() {
        QVERIFY(QDir(program_->path()).mkdir("ztsetup.dat"));
        platform::ScopedMessageBoxResponder boxes(platform::MsgResult::OK);
        LoadSetup();
        QVERIFY(Setup == SetupRecord());
        QVERIFY(!SaveSetup());
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 4 && std::strcmp(argv[1], "--save-loop") == 0) {
        return saveLoop(QString::fromLocal8Bit(argv[2]), std::strcmp(argv[3], "1") == 0);
    }
    if (argc == 3 && std::strcmp(argv[1], "--first-start") == 0) {
        return firstStart(QString::fromLocal8Bit(argv[2]));
    }
    mSetupTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "mSetupTest.moc"
