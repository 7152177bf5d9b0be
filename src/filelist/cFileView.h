#pragma once

#include "filelist/FolderReader.h"
#include "platform/ListView.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QIcon>
#include <QLocale>
#include <QPointer>
#include <QString>

/// Fills a list view with the files of one folder that match a wildcard
/// pattern: one row a file, with the file's icon, its size in kilobytes, its
/// type name and the date it was last changed. The list view is the only store
/// of what was listed.
///
/// The list view is expected to have its four columns already ("Name", "Size",
/// "Type", "Date Modified"); this class writes the item text and the three
/// sub-items, gives the columns their orders (name in natural order, size by
/// bytes, type by its text, date by time, equal keys by name) and sizes them
/// through AutoSizeListViewHeaders. Each row keeps the file's name as the file
/// system holds it, so that FilePath opens the very file whatever its name.
class cFileView {
public:
    cFileView();
    ~cFileView();
    cFileView(const cFileView&) = delete;
    cFileView& operator=(const cFileView&) = delete;

    /// The list view to fill; not owned. Null until the host sets it, and null
    /// again once that list view is destroyed.
    platform::ListView* ListView() const { return listView_; }
    void setListView(platform::ListView* New_ListView);

    /// The ";"-separated wildcard specs that a file's full path must match.
    /// Default "*.*".
    QString Pattern() const { return pattern_; }
    void setPattern(const QString& nPattern) { pattern_ = nPattern; }

    /// Prepares the file icons (small ones in report view, large ones in the
    /// icon views; the list view picks the size). Icons are cached by file
    /// type. Returns false when no list view is bound, else true.
    bool AssignSysIL();

    /// Lists the files of `sPath` (with or without a trailing separator) that
    /// match Pattern: regular files and links to them, hidden files included;
    /// never folders, sockets, devices or pipes. Rows come in the list's
    /// current order (unsorted lists: the file system's order). Control
    /// characters of names show as their visible symbols. The size column is
    /// filled only when `bDisplayFileSize_Takes_a_BUTT_LOAD_OF_TIME` is true.
    ///
    /// Returns false and changes nothing when the folder cannot be opened, no
    /// list view is bound or a listing is already under way. Returns false too
    /// when reading the folder fails half-way; the files read until then are
    /// listed. On success the first row (if any) is selected and scrolled into
    /// view without raising the list's itemClick, and the columns are sized.
    /// The folder is read on another thread; meanwhile the window paints and
    /// its timers run, but user input waits until the list is in place.
    bool ListFiles(const QString& sPath, bool bDisplayFileSize_Takes_a_BUTT_LOAD_OF_TIME);

    /// Lists `sPath` again like ListFiles, but keeps the selected file (by its
    /// name; nothing is selected when it has gone) and the scroll positions.
    bool Relist(const QString& sPath, bool bDisplayFileSize_Takes_a_BUTT_LOAD_OF_TIME);

    /// The row of the file whose name, in the file system's bytes, is `raw`;
    /// -1 when it is not listed.
    int FindRow(const QByteArray& raw) const;
    /// A path that opens the file of `row` (see platform::OpenablePath); empty
    /// for a bad row.
    QString FilePath(int row) const;

    /// Sizes every column to its contents, the Name column up to the room the
    /// others leave, and keeps it so while the list is resized. Returns false
    /// when no list view is bound.
    bool AutoSizeListViewHeaders();

    /// A file name as the list shows it: control characters (U+0000 to U+001F
    /// and U+007F) become their visible symbols (U+2400 to U+241F, U+2421).
    static QString VisibleName(const QString& name);

    /// Cuts `OriginalStr` (the caller's variable) before its first NUL
    /// character, if it has one, and returns the result.
    static QString StripNulls(QString& OriginalStr);

    /// The size column's text: "1 KB" for 1 to 1024 bytes, otherwise the size
    /// in KB rounded half away from zero, grouped by thousands with `locale`'s
    /// group separator, followed by " KB". Negative sizes give "0 KB".
    static QString FormatSize(qint64 bytes, const QLocale& locale);

    /// The date column's text: `locale`'s short date, a space and "h:mm AMPM"
    /// (12-hour hour without leading zero, two-digit minutes, a space and the
    /// locale's AM or PM text). Seconds and milliseconds do not show.
    static QString FormatDate(const QDateTime& when, const QLocale& locale);

    /// The type column's text for a file name: the description of the type its
    /// extension implies, or "N/A" when there is none or only the generic
    /// binary type.
    static QString TypeName(const QString& fileName);

private:
    struct Listing;
    bool list(const QString& sPath, bool withSizes, bool keepPlace);
    const QIcon& iconOf(const QString& mimeName);

    QPointer<platform::ListView> listView_;
    QString pattern_ = QStringLiteral("*.*");
    /// The listed folder with its separator, in the file system's bytes.
    QByteArray folder_;
    QHash<QString, QIcon> icons_;
    bool busy_ = false;
};
