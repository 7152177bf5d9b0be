#include "filelist/FolderReader.h"

#include "filelist/PathMatchSpec.h"
#include "platform/FolderScan.h"

#include <QDir>
#include <QFile>

namespace filelist {

namespace {

QString withSeparator(const QString& path) {
    if (path.endsWith(u'/') || path.endsWith(QDir::separator()))
        return path;
    return path + QDir::separator();
}

} // namespace

struct FolderReader::Impl {
    explicit Impl(const QByteArray& folder) : scan(folder) {}
    platform::FolderScan scan;
};

FolderReader::FolderReader(const QString& folder) {
    // An empty path names no folder (it would otherwise become the root).
    if (folder.isEmpty())
        return;
    prefix_ = withSeparator(folder);
    auto impl = std::make_unique<Impl>(QFile::encodeName(prefix_));
    if (impl->scan.isOpen())
        impl_ = std::move(impl);
}

FolderReader::~FolderReader() = default;

bool FolderReader::isOpen() const {
    return impl_ != nullptr;
}

bool FolderReader::readAll(const QString& pattern, std::vector<FolderEntry>& out, bool attributes) {
    if (!impl_)
        return false;
    platform::ScannedEntry entry;
    QString path = prefix_;
    while (impl_->scan.next(entry, attributes)) {
        if (!entry.regular)
            continue;
        FolderEntry file;
        file.name = QFile::decodeName(entry.name);
        path.truncate(prefix_.size());
        path += file.name;
        if (!PathMatchSpec(path, pattern))
            continue;
        file.raw = std::move(entry.name);
        file.size = entry.size;
        file.modified = entry.modified;
        out.push_back(std::move(file));
    }
    const bool complete = !impl_->scan.failed();
    impl_.reset();
    return complete;
}

} // namespace filelist
