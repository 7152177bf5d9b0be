#include "platform/FolderScan.h"

#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#else
#include <chrono>
#include <filesystem>
#include <system_error>
#endif

namespace platform {

#ifdef Q_OS_UNIX

struct FolderScan::Impl {
    DIR* dir = nullptr;
    ~Impl() {
        if (dir)
            closedir(dir);
    }
};

FolderScan::FolderScan(const QByteArray& folder) {
    if (folder.isEmpty())
        return;
    DIR* dir = opendir(folder.constData());
    if (dir) {
        impl_ = std::make_unique<Impl>();
        impl_->dir = dir;
    }
}

bool FolderScan::next(ScannedEntry& entry, bool attributes) {
    if (!impl_)
        return false;
    for (;;) {
        errno = 0;
        const dirent* e = readdir(impl_->dir);
        if (!e) {
            failed_ = errno != 0;
            impl_.reset();
            return false;
        }
        const char* name = e->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        entry.name = QByteArray(name);
        entry.size = 0;
        entry.modified = 0;
#ifdef _DIRENT_HAVE_D_TYPE
        if (!attributes && e->d_type == DT_REG) {
            entry.regular = true;
            return true;
        }
        if (e->d_type != DT_REG && e->d_type != DT_LNK && e->d_type != DT_UNKNOWN) {
            entry.regular = false;
            return true;
        }
#endif
        struct stat st;
        // Follows links: a link to a file counts, a dangling one does not.
        entry.regular = fstatat(dirfd(impl_->dir), name, &st, 0) == 0 && S_ISREG(st.st_mode);
        if (entry.regular && attributes) {
            entry.size = static_cast<qint64>(st.st_size);
            entry.modified = static_cast<qint64>(st.st_mtime);
        }
        return true;
    }
}

#else

namespace fs = std::filesystem;

struct FolderScan::Impl {
    fs::directory_iterator it;
};

FolderScan::FolderScan(const QByteArray& folder) {
    if (folder.isEmpty())
        return;
    std::error_code ec;
    fs::directory_iterator it(fs::path(QString::fromLocal8Bit(folder).toStdWString()), ec);
    if (!ec)
        impl_ = std::make_unique<Impl>(Impl{std::move(it)});
}

bool FolderScan::next(ScannedEntry& entry, bool attributes) {
    if (!impl_)
        return false;
    std::error_code ec;
    auto& it = impl_->it;
    if (it == fs::directory_iterator()) {
        impl_.reset();
        return false;
    }
    entry.name = QString::fromStdWString(it->path().filename().wstring()).toLocal8Bit();
    entry.regular = fs::is_regular_file(it->status(ec)) && !ec;
    entry.size = 0;
    entry.modified = 0;
    if (entry.regular && attributes) {
        entry.size = static_cast<qint64>(fs::file_size(it->path(), ec));
        const auto written = fs::last_write_time(it->path(), ec);
        entry.modified = std::chrono::floor<std::chrono::seconds>(
                             std::chrono::file_clock::to_sys(written).time_since_epoch())
                             .count();
        entry.regular = !ec;
    }
    it.increment(ec);
    if (ec) {
        failed_ = true;
        impl_.reset();
    }
    return true;
}

#endif

FolderScan::~FolderScan() = default;

bool FolderScan::isOpen() const {
    return impl_ != nullptr;
}

} // namespace platform
