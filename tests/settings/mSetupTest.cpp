#include "settings/mSetup.h"

#include "platform/MessageBox.h"
#include "platform/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
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
    }

    void loadLeavesFileAlone_data() {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("missing file") << false << QByteArray() << bytesOf(SetupRecord());
        QTest::newRow("older, longer file") << true << customBytes + "ZZZ" << customBytes;
    }

    void loadLeavesFileAlone() {
        QFETCH(bool, exists);
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, expected);
        if (exists) {
            write(content);
        }
        platform::ScopedMessageBoxResponder boxes(platform::MsgResult::OK);
        LoadSetup();
        QCOMPARE(bytesOf(Setup).toHex(), expected.toHex());
        QVERIFY(boxes.requests().empty());
        QCOMPARE(readAll(programPath()), content); // a missing file is left behind empty
        Setup = fromBytes(customBytes);
        QVERIFY(SaveSetup()); // truncates an older, longer file and leaves no temporary
        QCOMPARE(readAll(programPath()), customBytes);
        QCOMPARE(QDir(program_->path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"ztsetup.dat"});
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
        QVERIFY(SaveSetup());
        LoadSetup(); // the saved file is good: no second message
        QCOMPARE(boxes.requests().size(), std::size_t(1));
    }

    // A full disk: the save must fail and keep the old file whole, not commit a short one.
    void failedSaveKeepsOldFile() {
        write(customBytes);
        Setup.LastPath = std::string(400, 'n');
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved;
        limit.rlim_cur = 64;
        setrlimit(RLIMIT_FSIZE, &limit);
        const bool savedOk = SaveSetup();
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);
        QVERIFY(!savedOk);
        QCOMPARE(readAll(programPath()), customBytes);
        QCOMPARE(QDir(program_->path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"ztsetup.dat"});
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

QTEST_GUILESS_MAIN(mSetupTest)
#include "mSetupTest.moc"
