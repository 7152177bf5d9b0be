#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <algorithm>
#include <vector>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {
namespace {

QString& programOverride() {
    static QString folder;
    return folder;
}

QString& configOverride() {
    static QString folder;
    return folder;
}

#ifndef Q_OS_WIN
bool overwriteOpenFile(int fd, std::span<const std::uint8_t> bytes) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    const auto size = static_cast<off_t>(bytes.size());
    // What a failed write may have replaced, to be put back.
    std::vector<std::uint8_t> old(static_cast<std::size_t>(std::min(size, info.st_size)));
    if (::pread(fd, old.data(), old.size(), 0) != static_cast<ssize_t>(old.size())) {
        return false;
    }
    // Growing the file first makes a full disk fail here, before any old byte is
    // touched; the zeros after the old content are ignored by a reader.
    if (size > info.st_size && ::posix_fallocate(fd, info.st_size, size - info.st_size) != 0) {
        return false;
    }
    if (::pwrite(fd, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(size)) {
        [[maybe_unused]] const auto restored = ::pwrite(fd, old.data(), old.size(), 0);
        return false;
    }
    if (::fsync(fd) != 0) {
        return false;
    }
    // A tail that cannot be cut is harmless: readers stop at the record's end.
    if (size < info.st_size) {
        [[maybe_unused]] const int cut = ::ftruncate(fd, size);
    }
    return true;
}
#endif

} // namespace

QString ProgramFolder() {
    if (!programOverride().isEmpty()) {
        return programOverride();
    }
    return QCoreApplication::applicationDirPath();
}

QString UserConfigFolder() {
    if (!configOverride().isEmpty()) {
        return configOverride();
    }
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

void SetProgramFolderOverride(const QString& folder) {
    programOverride() = folder;
}

void SetUserConfigFolderOverride(const QString& folder) {
    configOverride() = folder;
}

QString DefaultLastPath() {
#ifdef Q_OS_WIN
    return QStringLiteral("c:\\");
#else
    QString home = QDir::homePath();
    if (!home.endsWith(QLatin1Char('/'))) {
        home += QLatin1Char('/');
    }
    return home;
#endif
}

bool OverwriteInPlace(const QString& path, std::span<const std::uint8_t> bytes) {
#ifdef Q_OS_WIN
    // No reservation here: the write at offset 0 is the best this system offers.
    QFile file(path);
    if (!file.exists() || !file.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
        return false;
    }
    const auto size = static_cast<qint64>(bytes.size());
    if (file.write(reinterpret_cast<const char*>(bytes.data()), size) != size || !file.flush()) {
        return false;
    }
    if (file.size() > size) {
        file.resize(size);
    }
    return true;
#else
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool written = overwriteOpenFile(fd, bytes);
    return ::close(fd) == 0 && written;
#endif
}

} // namespace platform
