#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

namespace filelist {

/// One file of a folder: its name decoded the way Qt decodes file names, the
/// name's own bytes (a name that is not valid in the locale's encoding does
/// not survive decoding, and the bytes are what opens it), its size and the
/// time of its last change.
struct FolderEntry {
    QString name;
    QByteArray raw;
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
    /// half-way (what was read until then is kept). Reads once. With
    /// `attributes` false, size and modified stay 0, which spares a status
    /// query for most files.
    bool readAll(const QString& pattern, std::vector<FolderEntry>& out, bool attributes = true);

private:
    struct Impl;
    QString prefix_;
    std::unique_ptr<Impl> impl_;
};

} // namespace filelist
