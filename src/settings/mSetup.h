#pragma once

// The program's few persistent settings: one record in memory, kept in the small
// binary file ztsetup.dat. The file's layout is fixed byte for byte (little-endian,
// packed, no header) so that files written by earlier versions still load.

#include <QString>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace settings {

/// The settings file's name.
inline constexpr const char* SetupFileName = "ztsetup.dat";

/// Size of the fixed part of the file (every field but the text of LastPath).
inline constexpr std::size_t SetupFixedSize = 20;

/// The values of SetupRecord::WindowState; a minimized window is never stored.
enum StoredWindowState : std::int16_t { WindowNormal = 0, WindowMaximized = 2 };

/// The settings, in file order. Booleans are 16-bit: -1 true, 0 false.
struct SetupRecord {
    std::int16_t StartWithLastPath = 0;      ///< offset 0: start in LastPath
    std::int16_t StartInThumbnailView = -1;  ///< offset 2: start in large-icon view
    std::int16_t MainSplitOrientation = 0;   ///< offset 4: main splitter, 0 side by side
    std::int16_t PaneSplitOrientation = -1;  ///< offset 6: tree/list splitter, -1 stacked
    std::int16_t Reserved = 1;               ///< offset 8: kept as read
    std::int16_t WindowWidth = 9045;         ///< offset 10: outer width, twips
    std::int16_t WindowHeight = 7245;        ///< offset 12: outer height, twips
    std::uint8_t PaneSplitPercent = 50;      ///< offset 14
    std::uint8_t MainSplitPercent = 50;      ///< offset 15
    std::int16_t WindowState = WindowNormal; ///< offset 16: a StoredWindowState
    /// offset 18: 16-bit byte count, then the text. In memory UTF-8; may hold
    /// a NUL followed by padding spaces (see LastPathFolder).
    std::string LastPath;

    /// The defaults; LastPath is DefaultLastPath() of the platform.
    SetupRecord();

    bool operator==(const SetupRecord&) const = default;
};

/// A record holding the defaults.
SetupRecord DefaultSetup();

/// The program-wide record, read by LoadSetup and written by SaveSetup; other
/// modules read and change its fields directly (user-interface thread only).
extern SetupRecord Setup;

/// The file image of a record: 20 + n bytes, n the byte length of LastPath in
/// the local 8-bit file-name encoding. A LastPath longer than 65535 bytes is
/// cut to 65535 bytes (the count is 16-bit).
std::vector<std::uint8_t> EncodeSetup(const SetupRecord& record);

/// A record from a file image. Each field is taken only when all of its bytes
/// are present; missing fields keep their defaults, and so does LastPath when
/// its count runs past the end of the data. Bytes after the record are
/// ignored. Never fails.
SetupRecord DecodeSetup(std::span<const std::uint8_t> bytes);

/// The folder of the settings file: the program's folder when the file exists
/// there and is writable, or when the folder is writable; otherwise the
/// per-user configuration folder (created when missing).
QString SetupFolder();

/// SetupFolder() + "/" + SetupFileName.
QString SetupFilePath();

/// Fills Setup from the file; never creates or writes it. First removes what an
/// interrupted save left in the settings folder (SetupFileName + "." + six
/// letters, the temporary names of QSaveFile; nothing else). A missing or
/// unreadable file gives the defaults silently; an empty file shows "Configuration
/// data file is corrupt" / "Default values will be used" (exclamation, OK,
/// "Vistrel"), is deleted, and gives the defaults. Any other file is decoded by
/// DecodeSetup from its first 20 + 65535 bytes.
void LoadSetup();

/// Writes Setup to the file so that, whenever the process dies, the file holds
/// the old or the new record whole. Where the folder takes new files: a
/// temporary file, synced, renamed over the old one. Where only the file itself
/// is writable: platform::OverwriteInPlace; when even that cannot be done, the
/// old file is kept and the record goes to the per-user configuration folder.
/// Returns whether the record was written; the program ignores a failure.
bool SaveSetup();

/// Test seam: while alive, SaveSetup takes the in-place way even where the
/// folder takes new files (as it does for root, for whom no folder is read-only).
class ScopedInPlaceSave {
public:
    ScopedInPlaceSave();
    ~ScopedInPlaceSave();
    ScopedInPlaceSave(const ScopedInPlaceSave&) = delete;
    ScopedInPlaceSave& operator=(const ScopedInPlaceSave&) = delete;

private:
    bool previous_;
};

/// How LastPath stores a chosen folder: the path's bytes, a NUL, then spaces up
/// to 260 characters (a path of 260 bytes or more is kept whole, followed by
/// its NUL), as the file has always held it.
std::string StoredFolder(const QString& path);

/// The folder a stored LastPath names: leading and trailing spaces removed, then
/// the text before the first NUL ("/a/b\0   " -> "/a/b").
std::string LastPathFolder(const std::string& lastPath);

} // namespace settings
