#include "filelist/FolderReader.h"

#include "filelist/PathMatchSpec.h"

#include <QDir>
#include <QFile>
#include <chrono>
#include <filesystem>
#include <system_error>
#include <type_traits>

namespace fs = std::filesystem;

namespace filelist {

namespace {

constexpr bool kNarrowPaths = std::is_same_v<fs::path::value_type, char>;

/// File names travel as the file system's own bytes, so that a name that is
/// not valid in the locale's encoding still lists instead of failing the
/// folder.
fs::path toFsPath(const QString& path) {
    if constexpr (kNarrowPaths)
        return fs::path(QFile::encodeName(path).toStdString());
    else
        return fs::path(path.toStdWString());
}

QString fromFsName(const fs::path& name) {
    if constexpr (kNarrowPaths) {
        const std::string bytes = name.string();
        return QFile::decodeName(QByteArray(bytes.data(), qsizetype(bytes.size())));
    } else {
        return QString::fromStdWString(name.wstring());
    }
}

/// Reads the attributes of one entry. False when it is not a regular file (or
/// a link to one) or vanished while it was being read.
bool readEntry(const fs::directory_entry& entry, FolderEntry& out) {
    std::error_code ec;
    // status() follows links: a link to a file counts, a dangling link or a
    // link loop fails and is skipped.
    if (!fs::is_regular_file(entry.status(ec)) || ec)
        return false;
    const auto size = fs::file_size(entry.path(), ec);
    if (ec)
        return false;
    const auto written = fs::last_write_time(entry.path(), ec);
    if (ec)
        return false;
    const auto secs = std::chrono::floor<std::chrono::seconds>(
        std::chrono::file_clock::to_sys(written).time_since_epoch());
    out.size = static_cast<qint64>(size);
    out.modified = secs.count();
    return true;
}

QString withSeparator(const QString& path) {
    if (path.endsWith(u'/') || path.endsWith(QDir::separator()))
        return path;
    return path + QDir::separator();
}

} // namespace

struct FolderReader::Impl {
    fs::directory_iterator it;
};

FolderReader::FolderReader(const QString& folder) {
    // An empty path names no folder (it would otherwise become the root).
    if (folder.isEmpty())
        return;
    prefix_ = withSeparator(folder);
    std::error_code ec;
    fs::directory_iterator it(toFsPath(prefix_), ec);
    if (!ec)
        impl_ = std::make_unique<Impl>(Impl{std::move(it)});
}

FolderReader::~FolderReader() = default;

bool FolderReader::isOpen() const {
    return impl_ != nullptr;
}

bool FolderReader::readAll(const QString& pattern, std::vector<FolderEntry>& out) {
    if (!impl_)
        return false;
    std::error_code ec;
    for (auto& it = impl_->it; it != fs::directory_iterator(); it.increment(ec)) {
        FolderEntry file;
        file.name = fromFsName(it->path().filename());
        if (PathMatchSpec(QString(prefix_ + file.name), pattern) && readEntry(*it, file))
            out.push_back(std::move(file));
    }
    impl_.reset();
    return !ec;
}

} // namespace filelist
