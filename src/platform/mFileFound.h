#pragma once

#include <QString>

namespace platform {

/// True when a directory entry matches `path`: an existing file, folder or link
/// (a dangling link is an entry too). The last component may hold the
/// wildcards * (any run of characters) and ? (one character); then the result
/// tells whether any entry of that folder matches, case-sensitively, with
/// "*.*" matching every name. "." and ".." are not entries. Wildcards in
/// earlier components, an empty path, or an unreadable folder give false.
/// A trailing separator asks for a folder.
bool FileExists(const QString& path);

} // namespace platform
