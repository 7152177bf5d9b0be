#include "settings/mSetup.h"

#include "platform/MessageBox.h"
#include "platform/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

namespace settings {
namespace {

// The file's text is in the local 8-bit file-name encoding; in memory it is
// UTF-8. Bytes that do not survive the conversion both ways are kept as they
// are, so no path is ever mangled on its way through the settings.
std::string textFromFile(const QByteArray& bytes) {
    const QString text = QFile::decodeName(bytes);
    if (QFile::encodeName(text) != bytes) {
        return bytes.toStdString();
    }
    return text.toStdString();
}

QByteArray textToFile(const std::string& text) {
    const QByteArray utf8 = QByteArray::fromStdString(text);
    const QString decoded = QString::fromUtf8(utf8);
    if (decoded.toUtf8() != utf8) {
        return utf8;
    }
    return QFile::encodeName(decoded);
}

class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    template <typename T>
    void read(T& field) {
        static_assert(sizeof(T) <= 2);
        if (pos_ + sizeof(T) > bytes_.size()) {
            pos_ = bytes_.size();
            return;
        }
        unsigned value = bytes_[pos_];
        if constexpr (sizeof(T) == 2) {
            value |= static_cast<unsigned>(bytes_[pos_ + 1]) << 8;
        }
        field = static_cast<T>(value);
        pos_ += sizeof(T);
    }

    void readText(std::string& field) {
        std::uint16_t count = 0;
        if (pos_ + 2 > bytes_.size()) {
            return;
        }
        read(count);
        if (pos_ + count > bytes_.size()) {
            return;
        }
        const auto* start = reinterpret_cast<const char*>(bytes_.data() + pos_);
        field = textFromFile(QByteArray(start, count));
        pos_ += count;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

void put16(std::vector<std::uint8_t>& out, std::int32_t value) {
    const auto bits = static_cast<std::uint16_t>(value);
    out.push_back(static_cast<std::uint8_t>(bits & 0xFF));
    out.push_back(static_cast<std::uint8_t>(bits >> 8));
}

bool folderWritable(const QString& folder) {
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

bool& inPlaceForced() {
    static bool forced = false;
    return forced;
}

// QSaveFile's temporary names: the file's name, a dot and six letters. A save
// killed after the temporary got its name and before the rename leaves one.
void removeStaleTemporaries(const QString& folder) {
    static const QRegularExpression temporary(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(QString::fromLatin1(SetupFileName)) +
        QStringLiteral("\\.[A-Za-z]{6}")));
    const QDir dir(folder);
    const QStringList names =
        dir.entryList({QString::fromLatin1(SetupFileName) + QStringLiteral(".*")},
                      QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        if (temporary.match(name).hasMatch()) {
            QFile::remove(dir.filePath(name));
        }
    }
}

bool saveByRename(const QString& path, const std::vector<std::uint8_t>& bytes) {
    QSaveFile file(path);
    // Unbuffered, so that a short write (a full disk) is seen here: a buffered
    // flush of a partly written block still lets the commit succeed.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return false;
    }
    const auto* data = reinterpret_cast<const char*>(bytes.data());
    const auto size = static_cast<qint64>(bytes.size());
    for (qint64 done = 0; done < size;) {
        const qint64 written = file.write(data + done, size - done);
        if (written <= 0) {
            file.cancelWriting();
            return false;
        }
        done += written;
    }
    return file.commit();
}

} // namespace

SetupRecord Setup;

SetupRecord::SetupRecord() : LastPath(platform::DefaultLastPath().toStdString()) {}

SetupRecord DefaultSetup() {
    return SetupRecord();
}

std::vector<std::uint8_t> EncodeSetup(const SetupRecord& record) {
    QByteArray text = textToFile(record.LastPath);
    if (text.size() > 0xFFFF) {
        text.truncate(0xFFFF);
    }
    std::vector<std::uint8_t> out;
    out.reserve(SetupFixedSize + static_cast<std::size_t>(text.size()));
    put16(out, record.StartWithLastPath);
    put16(out, record.StartInThumbnailView);
    put16(out, record.MainSplitOrientation);
    put16(out, record.PaneSplitOrientation);
    put16(out, record.Reserved);
    put16(out, record.WindowWidth);
    put16(out, record.WindowHeight);
    out.push_back(record.PaneSplitPercent);
    out.push_back(record.MainSplitPercent);
    put16(out, record.WindowState);
    put16(out, static_cast<std::int32_t>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
    return out;
}

SetupRecord DecodeSetup(std::span<const std::uint8_t> bytes) {
    SetupRecord record;
    Reader reader(bytes);
    reader.read(record.StartWithLastPath);
    reader.read(record.StartInThumbnailView);
    reader.read(record.MainSplitOrientation);
    reader.read(record.PaneSplitOrientation);
    reader.read(record.Reserved);
    reader.read(record.WindowWidth);
    reader.read(record.WindowHeight);
    reader.read(record.PaneSplitPercent);
    reader.read(record.MainSplitPercent);
    reader.read(record.WindowState);
    reader.readText(record.LastPath);
    return record;
}

QString SetupFolder() {
    const QString program = platform::ProgramFolder();
    const QFileInfo file(QDir(program).filePath(QString::fromLatin1(SetupFileName)));
    if ((file.exists() && file.isFile() && file.isWritable()) || folderWritable(program)) {
        return program;
    }
    const QString user = platform::UserConfigFolder();
    QDir().mkpath(user);
    return user;
}

QString SetupFilePath() {
    return QDir(SetupFolder()).filePath(QString::fromLatin1(SetupFileName));
}

void LoadSetup() {
    const QString folder = SetupFolder();
    removeStaleTemporaries(folder);
    const QString path = QDir(folder).filePath(QString::fromLatin1(SetupFileName));
    Setup = DefaultSetup();
    const QFileInfo info(path);
    if (!info.exists()) {
        return;
    }
    if (info.size() == 0) {
        platform::MsgBox(QStringLiteral("Configuration data file is corrupt\r\n"
                                        "Default values will be used"),
                         platform::MsgButtons::OK, platform::MsgIcon::Exclamation,
                         QStringLiteral("Vistrel"));
        // Not recreated: the first save writes the file, and a program ended
        // before that must not greet the next start with this message again.
        QFile::remove(path);
        return;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return;
    }
    // Nothing past the longest record is ever read, however long the file.
    const QByteArray bytes = file.read(qint64(SetupFixedSize) + 0xFFFF);
    Setup = DecodeSetup(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()), bytes.size()));
}

bool SaveSetup() {
    const std::vector<std::uint8_t> bytes = EncodeSetup(Setup);
    const QString folder = SetupFolder();
    const QString path = QDir(folder).filePath(QString::fromLatin1(SetupFileName));
    if (!inPlaceForced() && folderWritable(folder)) {
        return saveByRename(path, bytes);
    }
    // The folder takes no new file but the file itself may be written.
    if (platform::OverwriteInPlace(path, bytes)) {
        return true;
    }
    const QString user = platform::UserConfigFolder();
    if (QDir(user) == QDir(folder) || !QDir().mkpath(user)) {
        return false;
    }
    return saveByRename(QDir(user).filePath(QString::fromLatin1(SetupFileName)), bytes);
}

ScopedInPlaceSave::ScopedInPlaceSave() : previous_(inPlaceForced()) {
    inPlaceForced() = true;
}

ScopedInPlaceSave::~ScopedInPlaceSave() {
    inPlaceForced() = previous_;
}

std::string StoredFolder(const QString& path) {
    constexpr std::size_t kPaddedLength = 260;
    std::string stored = QFile::encodeName(path).toStdString();
    stored.push_back('\0');
    if (stored.size() < kPaddedLength) {
        stored.resize(kPaddedLength, ' ');
    }
    return stored;
}

std::string LastPathFolder(const std::string& lastPath) {
    const auto first = lastPath.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    const auto last = lastPath.find_last_not_of(' ');
    std::string trimmed = lastPath.substr(first, last - first + 1);
    const auto nul = trimmed.find('\0');
    if (nul != std::string::npos) {
        trimmed.resize(nul);
    }
    return trimmed;
}

} // namespace settings
