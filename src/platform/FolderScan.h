#pragma once

#include <QByteArray>
#include <memory>

namespace platform {

/// One entry of a folder as the file system holds it.
struct ScannedEntry {
    QByteArray name;      ///< the name's own bytes (never decoded)
    bool regular = false; ///< a regular file, or a link to one
    qint64 size = 0;      ///< bytes; 0 unless attributes were asked for
    qint64 modified = 0;  ///< seconds since the epoch, UTC; 0 unless asked for
};

/// Reads one folder entry by entry with at most one status query per entry
/// (none at all for the names of plain files when no attributes are asked
/// for), so that listing a folder costs what the operating system's own read
/// costs. "." and ".." are never returned.
class FolderScan {
public:
    /// Opens `folder` (file system bytes, with or without a trailing
    /// separator).
    explicit FolderScan(const QByteArray& folder);
    ~FolderScan();
    FolderScan(const FolderScan&) = delete;
    FolderScan& operator=(const FolderScan&) = delete;

    bool isOpen() const;
    /// The next entry; false at the end or when reading fails (see failed()).
    /// With `attributes` false, size and modified stay 0 and links are still
    /// followed to tell whether they lead to a regular file.
    bool next(ScannedEntry& entry, bool attributes);
    /// Whether reading stopped on an error rather than at the end.
    bool failed() const { return failed_; }

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    bool failed_ = false;
};

} // namespace platform
