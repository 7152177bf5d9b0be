#include "filelist/cFileView.h"

#include "filelist/FolderReader.h"
#include "filelist/NaturalOrder.h"
#include "platform/Events.h"
#include "platform/WaitCursor.h"

#include <QFileIconProvider>
#include <QMimeDatabase>
#include <algorithm>
#include <cmath>

namespace {

using filelist::FolderEntry;

QString typeNameOf(const QMimeType& type) {
    if (!type.isValid() || type.isDefault())
        return QStringLiteral("N/A");
    const QString comment = type.comment();
    return comment.isEmpty() ? QStringLiteral("N/A") : comment;
}

} // namespace

cFileView::cFileView() = default;
cFileView::~cFileView() = default;

bool cFileView::AssignSysIL() {
    return !listView_.isNull();
}

const cFileView::TypeInfo& cFileView::typeInfo(const QMimeType& type) {
    const QString key = type.name();
    auto it = types_.constFind(key);
    if (it != types_.constEnd())
        return *it;
    // The icon provider would sniff each file's content to find its type; the
    // type from the name is known already, so the theme is asked for that
    // type's icon, and the provider's plain file icon stands in without one.
    QIcon icon = QIcon::fromTheme(type.iconName());
    if (icon.isNull())
        icon = QIcon::fromTheme(type.genericIconName());
    if (icon.isNull())
        icon = QFileIconProvider().icon(QAbstractFileIconProvider::File);
    // The description is looked up once per type: it is costly to fetch.
    return *types_.insert(key, TypeInfo{typeNameOf(type), icon});
}

std::vector<platform::ListItem> cFileView::makeRows(const std::vector<FolderEntry>& files,
                                                    bool withSizes) {
    std::vector<platform::ListItem> rows;
    rows.reserve(files.size());
    const QLocale locale;
    const QMimeDatabase mimes;
    // The date text changes only from one minute to the next; many files
    // share their minute.
    QHash<qint64, QString> dates;
    for (const FolderEntry& file : files) {
        const TypeInfo& type =
            typeInfo(mimes.mimeTypeForFile(file.name, QMimeDatabase::MatchExtension));
        const qint64 minute = file.modified >= 0 ? file.modified / 60 : (file.modified - 59) / 60;
        auto date = dates.constFind(minute);
        if (date == dates.constEnd())
            date = dates.insert(minute,
                                FormatDate(QDateTime::fromSecsSinceEpoch(minute * 60), locale));
        platform::ListItem row;
        row.text = file.name;
        row.subItems = {withSizes ? FormatSize(file.size, locale) : QString(), type.name, *date};
        row.icon = type.icon;
        rows.push_back(std::move(row));
    }
    return rows;
}

bool cFileView::ListFiles(const QString& sPath, bool bDisplayFileSize_Takes_a_BUTT_LOAD_OF_TIME) {
    // An empty path names no folder (it would otherwise become the root).
    if (!listView_ || sPath.isEmpty())
        return false;
    filelist::FolderReader folder(sPath);
    if (!folder.isOpen())
        return false;

    platform::WaitCursor hourglass;
    platform::DoEvents();
    if (!listView_) // the list went away while events ran
        return false;

    std::vector<FolderEntry> files;
    const bool complete = folder.readAll(pattern_, files);
    std::sort(files.begin(), files.end(), [](const FolderEntry& a, const FolderEntry& b) {
        return filelist::NaturalLess(a.name, b.name);
    });

    listView_->setItems(makeRows(files, bDisplayFileSize_Takes_a_BUTT_LOAD_OF_TIME));
    if (listView_->count() > 0) {
        listView_->selectRow(0);
        listView_->ensureVisible(0);
    }
    listView_->refresh();
    AssignSysIL();
    return complete;
}

bool cFileView::AutoSizeListViewHeaders() {
    if (!listView_)
        return false;
    for (int i = 0; i < listView_->columnCount() - 1; ++i)
        listView_->autoSizeColumn(i);
    return true;
}

QString cFileView::StripNulls(QString& OriginalStr) {
    const qsizetype nul = OriginalStr.indexOf(QChar(u'\0'));
    if (nul >= 0)
        OriginalStr.truncate(nul);
    return OriginalStr;
}

QString cFileView::FormatSize(qint64 bytes, const QLocale& locale) {
    if (bytes >= 1 && bytes <= 1024)
        return QStringLiteral("1 KB");
    const qint64 kb = bytes <= 0 ? 0 : static_cast<qint64>(std::round(double(bytes) / 1024.0));
    QLocale grouped = locale;
    grouped.setNumberOptions(QLocale::DefaultNumberOptions);
    return grouped.toString(kb) + QStringLiteral(" KB");
}

QString cFileView::FormatDate(const QDateTime& when, const QLocale& locale) {
    const QTime t = when.time();
    const int hour12 = t.hour() % 12 == 0 ? 12 : t.hour() % 12;
    return locale.toString(when.date(), QLocale::ShortFormat) + u' ' + QString::number(hour12) +
           u':' + QStringLiteral("%1").arg(t.minute(), 2, 10, QChar(u'0')) + u' ' +
           (t.hour() < 12 ? locale.amText() : locale.pmText());
}

QString cFileView::TypeName(const QString& fileName) {
    return typeNameOf(QMimeDatabase().mimeTypeForFile(fileName, QMimeDatabase::MatchExtension));
}
