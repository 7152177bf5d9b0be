#pragma once

#include <QString>
#include <cstdint>
#include <span>

namespace platform {

/// The folder holding the program's executable, without a trailing separator
/// (QCoreApplication::applicationDirPath), or the test override when one is set.
QString ProgramFolder();

/// The per-user configuration folder (QStandardPaths::AppConfigLocation), or
/// the test override when one is set. Not created here.
QString UserConfigFolder();

/// Test seams: a non-empty folder replaces the real one; an empty string goes
/// back to the real one.
void SetProgramFolderOverride(const QString& folder);
void SetUserConfigFolderOverride(const QString& folder);

/// The folder the program starts in when no folder was stored: the user's home
/// folder with a trailing separator ("c:\" on Windows).
QString DefaultLastPath();

/// Replaces the content of the existing regular file `path` with `bytes` where
/// no new file can be made beside it, so that a process killed at any moment
/// leaves the old content or the new one at the start of the file, each whole:
/// room for a longer content is reserved first, the content goes out in one
/// write at offset 0 and is synced, and only then is the old tail cut off. Never
/// creates the file. Returns false when the file cannot be opened, the room
/// cannot be reserved (a full disk) or the write fails; the file then holds its
/// old content, at most followed by zeros.
bool OverwriteInPlace(const QString& path, std::span<const std::uint8_t> bytes);

} // namespace platform
