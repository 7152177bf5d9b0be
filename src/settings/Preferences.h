#pragma once

#include <QString>

namespace settings {

/// How the full view sizes a new picture.
enum class FullviewSizing {
    Fit,    ///< the whole picture on screen, shrunk when larger
    Actual, ///< one picture pixel on one screen pixel, with scroll bars
};

/// The user's own choices that ztsetup.dat has no room for, kept in a small
/// settings file of their own ("preferences.ini" in the per-user configuration
/// folder, platform::UserConfigFolder), so that ztsetup.dat stays byte for
/// byte what it always was. Every value read falls back to its default when
/// missing or unreadable; every value set is written at once.
///
/// To add a value: a typed getter with its default and a setter, both going
/// through one key here.
class Preferences {
public:
    /// The file the preferences live in.
    static QString FilePath();

    /// The file list's sort: a column index (0 name, 1 size, 2 type, 3 date)
    /// and whether it runs downwards. Default: by name, ascending.
    static int SortColumn();
    static bool SortDescending();
    static void SetSort(int column, bool descending);

    /// How the full view sizes a new picture. Default: Fit.
    static FullviewSizing Sizing();
    static void SetSizing(FullviewSizing sizing);
};

} // namespace settings
