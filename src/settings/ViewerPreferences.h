#pragma once

// The full view's preferences, kept per user in a small QSettings file of
// their own beside the other per-user files, never in ztsetup.dat (whose bytes
// belong to the old record and stay exactly as they are).

#include <QString>

namespace settings {

/// How the full view sizes a new picture.
enum class FullviewSizing {
    Fit,    ///< the whole picture on screen, shrunk when larger
    Actual, ///< one picture pixel on one screen pixel, with scroll bars
};

/// The file the preferences live in: "preferences.ini" in the per-user
/// configuration folder (platform::UserConfigFolder).
QString ViewerPreferencesPath();

/// The stored sizing; Fit when nothing (or nothing valid) is stored.
FullviewSizing StoredFullviewSizing();
/// Stores the sizing at once (the folder is made when missing); a file that
/// cannot be written leaves the choice for this run only.
void StoreFullviewSizing(FullviewSizing sizing);

} // namespace settings
