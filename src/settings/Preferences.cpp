#include "settings/Preferences.h"

#include "platform/ProgramFolder.h"

#include <QDir>
#include <QSettings>
#include <initializer_list>
#include <utility>

namespace settings {

namespace {

const QString kSortColumn = QStringLiteral("list/sortColumn");
const QString kSortDescending = QStringLiteral("list/sortDescending");
constexpr int kColumns = 4;
// Older runs stored the full view's sizing under this key as "fit" or "actual".
const QString kSizing = QStringLiteral("Fullview/Sizing");

QSettings open() {
    return QSettings(Preferences::FilePath(), QSettings::IniFormat);
}

/// Sets values and writes them out now; the folder is made when missing, and
/// a file that cannot be written leaves the choice for this run only.
void store(std::initializer_list<std::pair<QString, QVariant>> values) {
    QDir().mkpath(platform::UserConfigFolder());
    QSettings file = open();
    for (const auto& [key, value] : values)
        file.setValue(key, value);
    file.sync();
}

} // namespace

QString Preferences::FilePath() {
    return QDir(platform::UserConfigFolder()).filePath(QStringLiteral("preferences.ini"));
}

int Preferences::SortColumn() {
    bool ok = false;
    const int column = open().value(kSortColumn, 0).toInt(&ok);
    return ok && column >= 0 && column < kColumns ? column : 0;
}

bool Preferences::SortDescending() {
    return open().value(kSortDescending, false).toBool();
}

void Preferences::SetSort(int column, bool descending) {
    store({{kSortColumn, column}, {kSortDescending, descending}});
}

FullviewSizing Preferences::Sizing() {
    return open().value(kSizing).toString() == QLatin1String("actual") ? FullviewSizing::Actual
                                                                       : FullviewSizing::Fit;
}

void Preferences::SetSizing(FullviewSizing sizing) {
    store({{kSizing,
            sizing == FullviewSizing::Actual ? QStringLiteral("actual") : QStringLiteral("fit")}});
}

} // namespace settings
