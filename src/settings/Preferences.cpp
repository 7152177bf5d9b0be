#include "settings/Preferences.h"

#include "platform/ProgramFolder.h"

#include <QDir>
#include <QSettings>

namespace settings {

namespace {

const QString kSortColumn = QStringLiteral("list/sortColumn");
const QString kSortDescending = QStringLiteral("list/sortDescending");
constexpr int kColumns = 4;

QSettings open() {
    return QSettings(Preferences::FilePath(), QSettings::IniFormat);
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
    QSettings file = open();
    file.setValue(kSortColumn, column);
    file.setValue(kSortDescending, descending);
}

} // namespace settings
