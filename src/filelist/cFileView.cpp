#include "filelist/cFileView.h"

#include "filelist/FolderReader.h"
#include "filelist/NaturalOrder.h"
#include "platform/Events.h"
#include "platform/OpenablePath.h"
#include "platform/WaitCursor.h"

#include <QAbstractItemView>
#include <QFile>
#include <QFileIconProvider>
#include <QMimeDatabase>
#include <QScrollBar>
#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

using filelist::FolderEntry;
using platform::ListItem;

QString typeNameOf(const QMimeType& type) {
    if (!type.isValid() || type.isDefault())
        return QStringLiteral("N/A");
    const QString comment = type.comment();
    return comment.isEmpty() ? QStringLiteral("N/A") : comment;
}

/// What decides a file's type from its name: the extension, or the whole
/// name when it has none (some types are known by a name, like "Makefile").
QString typeKey(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > 0 ? name.mid(dot) : u'/' + name;
}

bool byName(const ListItem& a, const ListItem& b) {
    return filelist::NaturalLess(a.text, b.text);
}

/// Orders by one number, equal numbers by name.
platform::RowLess byKey(std::size_t key) {
    return [key](const ListItem& a, const ListItem& b) {
        if (a.keys[key] != b.keys[key])
            return a.keys[key] < b.keys[key];
        return byName(a, b);
    };
}

bool byType(const ListItem& a, const ListItem& b) {
    const QString& ta = a.subItems.value(1);
    const QString& tb = b.subItems.value(1);
    if (const int c = ta.compare(tb, Qt::CaseInsensitive))
        return c < 0;
    return byName(a, b);
}

} // namespace

/// The rows of one folder, made away from the window: each row's type is known
/// by name here, its icon is added on the window's thread.
struct cFileView::Listing {
    std::vector<ListItem> rows;
    std::vector<QString> mimeOfRow;
    bool complete = false;

    void read(filelist::FolderReader& folder, const QString& pattern, bool withSizes,
              const platform::RowLess& order) {
        std::vector<FolderEntry> files;
        complete = folder.readAll(pattern, files);
        const QLocale locale;
        const QMimeDatabase mimes;
        // Looked up once per extension: the type's description is costly to
        // fetch, and so is matching a name against every known pattern.
        QHash<QString, std::pair<QString, QString>> types;
        // The date text changes only from one minute to the next; many files
        // share their minute.
        QHash<qint64, QString> dates;
        std::vector<ListItem> made;
        std::vector<QString> mimeOfMade;
        made.reserve(files.size());
        mimeOfMade.reserve(files.size());
        for (FolderEntry& file : files) {
            const QString key = typeKey(file.name);
            auto type = types.constFind(key);
            if (type == types.constEnd()) {
                const QMimeType mime =
                    mimes.mimeTypeForFile(file.name, QMimeDatabase::MatchExtension);
                type = types.insert(key, {typeNameOf(mime), mime.name()});
            }
            const qint64 minute =
                file.modified >= 0 ? file.modified / 60 : (file.modified - 59) / 60;
            auto date = dates.constFind(minute);
            if (date == dates.constEnd())
                date = dates.insert(minute,
                                    FormatDate(QDateTime::fromSecsSinceEpoch(minute * 60), locale));
            ListItem row;
            row.text = VisibleName(file.name);
            row.subItems = {withSizes ? FormatSize(file.size, locale) : QString(), type->first,
                            *date};
            row.data = std::move(file.raw);
            row.keys = {file.size, file.modified};
            made.push_back(std::move(row));
            mimeOfMade.push_back(type->second);
        }
        std::vector<std::size_t> at(made.size());
        std::iota(at.begin(), at.end(), std::size_t(0));
        if (order)
            std::sort(at.begin(), at.end(),
                      [&](std::size_t a, std::size_t b) { return order(made[a], made[b]); });
        rows.reserve(made.size());
        mimeOfRow.reserve(made.size());
        for (const std::size_t i : at) {
            rows.push_back(std::move(made[i]));
            mimeOfRow.push_back(std::move(mimeOfMade[i]));
        }
    }
};

cFileView::cFileView() = default;
cFileView::~cFileView() = default;

void cFileView::setListView(platform::ListView* New_ListView) {
    listView_ = New_ListView;
    if (!listView_)
        return;
    listView_->setColumnOrder(0, byName);
    listView_->setColumnOrder(1, byKey(0));
    listView_->setColumnOrder(2, byType);
    listView_->setColumnOrder(3, byKey(1));
    // A list that no one has sorted yet shows names in order.
    if (listView_->sortColumn() < 0)
        listView_->sortBy(0, Qt::AscendingOrder);
}

bool cFileView::AssignSysIL() {
    return !listView_.isNull();
}

const QIcon& cFileView::iconOf(const QString& mimeName) {
    auto it = icons_.constFind(mimeName);
    if (it != icons_.constEnd())
        return *it;
    // The icon provider would sniff each file's content to find its type; the
    // type from the name is known already, so the theme is asked for that
    // type's icon, and the provider's plain file icon stands in without one.
    const QMimeType type = QMimeDatabase().mimeTypeForName(mimeName);
    QIcon icon = QIcon::fromTheme(type.iconName());
    if (icon.isNull())
        icon = QIcon::fromTheme(type.genericIconName());
    if (icon.isNull())
        icon = QFileIconProvider().icon(QAbstractFileIconProvider::File);
    return *icons_.insert(mimeName, icon);
}

bool cFileView::list(const QString& sPath, bool withSizes, bool keepPlace) {
    // An empty path names no folder (it would otherwise become the root).
    if (!listView_ || sPath.isEmpty() || busy_)
        return false;
    filelist::FolderReader folder(sPath);
    if (!folder.isOpen())
        return false;

    const platform::WaitCursor hourglass;
    busy_ = true;
    Listing listing;
    // A big folder takes a while to read; the window keeps painting and its
    // timers keep running meanwhile, but clicks and keys wait, so no second
    // listing can start underneath this one.
    platform::RunAside([&, order = listView_->currentOrder()] {
        listing.read(folder, pattern_, withSizes, order);
    });
    busy_ = false;
    if (!listView_) // the list went away while events ran
        return false;

    for (std::size_t i = 0; i < listing.rows.size(); ++i)
        listing.rows[i].icon = iconOf(listing.mimeOfRow[i]);
    folder_ = QFile::encodeName(folder.prefix());

    QAbstractItemView* view = listView_->currentView();
    const QByteArray selected = listView_->selectedRow() >= 0
                                    ? listView_->item(listView_->selectedRow()).data
                                    : QByteArray();
    const int across = view->horizontalScrollBar()->value();
    const int down = view->verticalScrollBar()->value();

    listView_->setItems(std::move(listing.rows), true);
    AutoSizeListViewHeaders();
    if (keepPlace) {
        listView_->selectRow(FindRow(selected));
        view->horizontalScrollBar()->setValue(across);
        view->verticalScrollBar()->setValue(down);
    } else if (listView_->count() > 0) {
        listView_->selectRow(0);
        listView_->ensureVisible(0);
    }
    listView_->refresh();
    return listing.complete;
}

bool cFileView::ListFiles(const QString& sPath, bool bDisplayFileSize_Takes_a_BUTT_LOAD_OF_TIME) {
    return list(sPath, bDisplayFileSize_Takes_a_BUTT_LOAD_OF_TIME, false);
}

bool cFileView::Relist(const QString& sPath, bool bDisplayFileSize_Takes_a_BUTT_LOAD_OF_TIME) {
    return list(sPath, bDisplayFileSize_Takes_a_BUTT_LOAD_OF_TIME, true);
}

int cFileView::FindRow(const QByteArray& raw) const {
    if (!listView_ || raw.isEmpty())
        return -1;
    for (int row = 0; row < listView_->count(); ++row)
        if (listView_->item(row).data == raw)
            return row;
    return -1;
}

QString cFileView::FilePath(int row) const {
    if (!listView_ || row < 0 || row >= listView_->count())
        return {};
    return platform::OpenablePath(folder_ + listView_->item(row).data);
}

bool cFileView::AutoSizeListViewHeaders() {
    if (!listView_)
        return false;
    listView_->fitColumns(0);
    return true;
}

QString cFileView::VisibleName(const QString& name) {
    QString shown = name;
    for (QChar& c : shown) {
        if (c.unicode() < 0x20)
            c = QChar(char16_t(0x2400 + c.unicode()));
        else if (c.unicode() == 0x7F)
            c = QChar(char16_t(0x2421));
    }
    return shown;
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
