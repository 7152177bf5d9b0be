#pragma once

#include "filelist/FolderReader.h"
#include "platform/ListView.h"

#include <QDateTime>
#include <QHash>
#include <QIcon>
#include <QLocale>
#include <QPointer>
#include <QString>
#include <vector>

class QMimeType;

/// Fills a list view with the files of one folder that match a wildcard
/// pattern: one row a file, with the file's icon, its size in kilobytes, its
/// type name and the date it was last changed. The list view is the only store
/// of what was listed.
///
/// The list view is expected to have its four columns already ("Name", "Size",
/// "Type", "Date Modified"); this class writes the item text and the three
/// sub-items and never touches the columns.
class cFileView {
public:
    cFileView();
    ~cFileView();
    cFileView(const cFileView&) = delete;
    cFileView& operator=(const cFileView&) = delete;

    /// The list view to fill; not owned. Null until the host sets it, and null
    /// again once that list view is destroyed.
    platform::ListView* ListView() const { return listView_; }
    void setListView(platform::ListView* New_ListView) { listView_ = New_ListView; }

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
    /// never folders, sockets, devices or pipes. Rows are in natural,
    /// case-insensitive name order. The size column is filled only when
    /// `bDisplayFileSize_Takes_a_BUTT_LOAD_OF_TIME` is true.
    ///
    /// Returns false and changes nothing when the folder cannot be opened or no
    /// list view is bound. Returns false too when reading the folder fails
    /// half-way; the files read until then are listed. On success the first row
    /// (if any) is selected and scrolled into view without raising the list's
    /// itemClick. Pending events run once before the list is replaced, so the
    /// hourglass shows.
    bool ListFiles(const QString& sPath, bool bDisplayFileSize_Takes_a_BUTT_LOAD_OF_TIME);

    /// Makes every column but the last as wide as the wider of its longest cell
    /// and its header. Returns false when no list view is bound.
    bool AutoSizeListViewHeaders();

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
    struct TypeInfo {
        QString name;
        QIcon icon;
    };
    const TypeInfo& typeInfo(const QMimeType& type);
    std::vector<platform::ListItem> makeRows(const std::vector<filelist::FolderEntry>& files,
                                             bool withSizes);

    QPointer<platform::ListView> listView_;
    QString pattern_ = QStringLiteral("*.*");
    QHash<QString, TypeInfo> types_;
};
