#pragma once

#include <QString>
#include <memory>
#include <vector>

namespace filelist {

/// One file of a folder: its name as the file system holds it (decoded the way
/// Qt decodes file names), its size and the time of its last change.
struct FolderEntry {
    QString name;
    qint64 size = 0;
    qint64 modified = 0; ///< seconds since the epoch, UTC
};

/// Reads the files of one folder: regular files and links to regular files,
/// hidden ones included; never folders, sockets, devices, pipes, dangling
/// links or link loops. Opening and reading are separate steps so that a
/// caller can tell "cannot open" from "empty" before it changes anything.
class FolderReader {
public:
    /// Opens `folder` (with or without a trailing separator). An empty path
    /// opens nothing.
    explicit FolderReader(const QString& folder);
    ~FolderReader();
    FolderReader(const FolderReader&) = delete;
    FolderReader& operator=(const FolderReader&) = delete;

    /// Whether the folder could be opened.
    bool isOpen() const;
    /// The folder path followed by one separator.
    const QString& prefix() const { return prefix_; }

    /// Appends to `out` every file whose full path (prefix + name) matches the
    /// ";"-separated wildcard `pattern`, in the order the file system returns
    /// them. Returns false when the folder was not open or reading failed
    /// half-way (what was read until then is kept). Reads once.
    bool readAll(const QString& pattern, std::vector<FolderEntry>& out);

private:
    struct Impl;
    QString prefix_;
    std::unique_ptr<Impl> impl_;
};

} // namespace filelist
