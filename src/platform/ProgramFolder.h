#pragma once

#include <QString>

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

} // namespace platform
