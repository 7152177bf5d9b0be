#include "SetupBytes.h"
#include "platform/ProgramFolder.h"
#include "settings/mSetup.h"

#include <QTest>

using namespace settings;
using namespace setup_test;

Q_DECLARE_METATYPE(std::string)

namespace {

SetupRecord customRecord() {
    SetupRecord r;
    r.StartWithLastPath = -1;
    r.StartInThumbnailView = 0;
    r.MainSplitOrientation = -1;
    r.PaneSplitOrientation = 0;
    r.Reserved = 7;
    r.WindowWidth = 12000;
    r.WindowHeight = 9000;
    r.PaneSplitPercent = 42;
    r.MainSplitPercent = 255;
    r.WindowState = 2;
    r.LastPath = folderBuffer("/srv/pictures");
    return r;
}

// How many bytes of the file a field needs before it is taken.
struct FieldEnd {
    std::size_t end;
    bool (*same)(const SetupRecord&, const SetupRecord&);
};

const FieldEnd fieldEnds[] = {
    {2, [](auto& a, auto& b) { return a.StartWithLastPath == b.StartWithLastPath; }},
    {4, [](auto& a, auto& b) { return a.StartInThumbnailView == b.StartInThumbnailView; }},
    {6, [](auto& a, auto& b) { return a.MainSplitOrientation == b.MainSplitOrientation; }},
    {8, [](auto& a, auto& b) { return a.PaneSplitOrientation == b.PaneSplitOrientation; }},
    {10, [](auto& a, auto& b) { return a.Reserved == b.Reserved; }},
    {12, [](auto& a, auto& b) { return a.WindowWidth == b.WindowWidth; }},
    {14, [](auto& a, auto& b) { return a.WindowHeight == b.WindowHeight; }},
    {15, [](auto& a, auto& b) { return a.PaneSplitPercent == b.PaneSplitPercent; }},
    {16, [](auto& a, auto& b) { return a.MainSplitPercent == b.MainSplitPercent; }},
    {18, [](auto& a, auto& b) { return a.WindowState == b.WindowState; }},
    {20 + 260, [](auto& a, auto& b) { return a.LastPath == b.LastPath; }},
};

} // namespace

class mSetupLayoutTest : public QObject {
    Q_OBJECT
private slots:
    void exactBytes_data();
    void exactBytes();
    void roundTrip_data();
    void roundTrip();
    void truncatedFile_data();
    void truncatedFile();
    void lastPathCountPastEnd();
    void tailBytesIgnored();
    void overlongLastPathIsCut();
    void lastPathFolder_data();
    void lastPathFolder();
};

// The file images of the old program's examples: the default "c:\" (23 bytes)
// and a listed folder in its 260-character buffer (280 bytes).
void mSetupLayoutTest::exactBytes_data() {
    QTest::addColumn<std::string>("lastPath");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("23 bytes") << std::string("c:\\") << defaultHead(3) + QByteArray("c:\\");
    const std::string buffer = folderBuffer("/home/user/Pictures");
    QTest::newRow("280 bytes") << buffer << defaultHead(260) + QByteArray(buffer.data(), 260);
    const std::string home = platform::DefaultLastPath().toStdString();
    QTest::newRow("home default") << home
                                  << defaultHead(std::uint16_t(home.size())) +
                                         QByteArray::fromStdString(home);
    QTest::newRow("empty path") << std::string() << defaultHead(0);
}

void mSetupLayoutTest::exactBytes() {
    QFETCH(std::string, lastPath);
    QFETCH(QByteArray, bytes);
    SetupRecord record;
    if (lastPath == platform::DefaultLastPath().toStdString()) {
        QVERIFY(record.LastPath == lastPath); // the default is the home folder
        QVERIFY(lastPath.ends_with('/'));
    }
    record.LastPath = lastPath;
    const std::vector<std::uint8_t> encoded = EncodeSetup(record);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(encoded.data()), qsizetype(encoded.size()))
                 .toHex(),
             bytes.toHex());
    QVERIFY(DecodeSetup(spanOf(bytesOf(bytes))) == record);
}

void mSetupLayoutTest::roundTrip_data() {
    QTest::addColumn<int>("which");
    QTest::newRow("defaults") << 0;
    QTest::newRow("every field changed") << 1;
    QTest::newRow("extreme values") << 2;
    QTest::newRow("long path kept whole") << 3;
    QTest::newRow("non-ASCII path") << 4;
    QTest::newRow("bytes that are no UTF-8") << 5;
}

void mSetupLayoutTest::roundTrip() {
    QFETCH(int, which);
    SetupRecord r = which == 0 ? SetupRecord() : customRecord();
    if (which == 2) {
        r.WindowWidth = -32768;
        r.WindowHeight = 32767;
        r.PaneSplitPercent = 0;
        r.MainSplitPercent = 255;
        r.Reserved = -1;
    } else if (which == 3) {
        r.LastPath = folderBuffer("/" + std::string(1000, 'x'));
        QCOMPARE(r.LastPath.size(), std::size_t(1002));
    } else if (which == 4) {
        r.LastPath = folderBuffer("/home/jörg/Bilder/Ærø");
    } else if (which == 5) {
        r.LastPath = std::string("/tmp/\xff\xfe\x80", 8);
    }
    const std::vector<std::uint8_t> bytes = EncodeSetup(r);
    QCOMPARE(bytes.size(), SetupFixedSize + r.LastPath.size());
    QVERIFY(DecodeSetup(spanOf(bytes)) == r);
}

void mSetupLayoutTest::truncatedFile_data() {
    QTest::addColumn<int>("length");
    for (int length = 0; length <= 280; ++length) {
        if (length <= 22 || length >= 278) { // every field boundary and the path's end
            QTest::addRow("%d bytes", length) << length;
        }
    }
}

void mSetupLayoutTest::truncatedFile() {
    QFETCH(int, length);
    const SetupRecord full = customRecord();
    const std::vector<std::uint8_t> bytes = EncodeSetup(full);
    QCOMPARE(bytes.size(), std::size_t(280));
    const SetupRecord read = DecodeSetup(std::span(bytes.data(), std::size_t(length)));
    const SetupRecord defaults;
    for (const FieldEnd& field : fieldEnds) {
        const bool covered = std::size_t(length) >= field.end;
        QVERIFY2(field.same(read, covered ? full : defaults),
                 qPrintable(QString("field ending at %1").arg(field.end)));
    }
}

void mSetupLayoutTest::lastPathCountPastEnd() {
    QByteArray bytes = defaultHead(300) + QByteArray("/only/part");
    bytes[10] = char(0xE0); // WindowWidth 12000 = 0x2EE0
    bytes[11] = char(0x2E);
    const SetupRecord read = DecodeSetup(spanOf(bytesOf(bytes)));
    QCOMPARE(read.WindowWidth, std::int16_t(12000));
    QCOMPARE(read.LastPath, SetupRecord().LastPath);
}

void mSetupLayoutTest::tailBytesIgnored() {
    SetupRecord r = customRecord();
    r.LastPath = "e:\\";
    std::vector<std::uint8_t> bytes = EncodeSetup(r);
    QCOMPARE(bytes.size(), std::size_t(23));
    const std::vector<std::uint8_t> tail(257, 'Z');
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    QVERIFY(DecodeSetup(spanOf(bytes)) == r);
}

void mSetupLayoutTest::overlongLastPathIsCut() {
    SetupRecord r;
    r.LastPath = std::string(70000, 'a');
    const std::vector<std::uint8_t> bytes = EncodeSetup(r);
    QCOMPARE(bytes.size(), SetupFixedSize + 65535);
    QCOMPARE(bytes[18], std::uint8_t(0xFF));
    QCOMPARE(bytes[19], std::uint8_t(0xFF));
    QCOMPARE(DecodeSetup(spanOf(bytes)).LastPath, std::string(65535, 'a'));
}

void mSetupLayoutTest::lastPathFolder_data() {
    QTest::addColumn<std::string>("stored");
    QTest::addColumn<std::string>("folder");
    QTest::newRow("buffer form") << folderBuffer("/a/b") << std::string("/a/b");
    QTest::newRow("default") << std::string("/home/u/") << std::string("/home/u/");
    QTest::newRow("leading spaces") << std::string("  /a/b  ") << std::string("/a/b");
    QTest::newRow("spaces before NUL kept") << std::string("/a b \0   ", 9) << std::string("/a b ");
    QTest::newRow("only spaces") << std::string("    ") << std::string();
    QTest::newRow("empty") << std::string() << std::string();
    QTest::newRow("NUL first") << std::string("\0/a", 3) << std::string();
}

void mSetupLayoutTest::lastPathFolder() {
    QFETCH(std::string, stored);
    QFETCH(std::string, folder);
    QCOMPARE(LastPathFolder(stored), folder);
}

QTEST_APPLESS_MAIN(mSetupLayoutTest)
#include "mSetupLayoutTest.moc"
