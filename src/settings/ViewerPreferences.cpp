#include "settings/ViewerPreferences.h"

#include "platform/ProgramFolder.h"

#include <QDir>
#include <QSettings>

namespace settings {

namespace {

const QString SizingKey = QStringLiteral("Fullview/Sizing");

} // namespace

QString ViewerPreferencesPath() {
    return QDir(platform::UserConfigFolder()).filePath(QStringLiteral("preferences.ini"));
}

FullviewSizing StoredFullviewSizing() {
    const QSettings file(ViewerPreferencesPath(), QSettings::IniFormat);
    return file.value(SizingKey).toString() == QLatin1String("actual") ? FullviewSizing::Actual
                                                                       : FullviewSizing::Fit;
}

void StoreFullviewSizing(FullviewSizing sizing) {
    QDir().mkpath(platform::UserConfigFolder());
    QSettings file(ViewerPreferencesPath(), QSettings::IniFormat);
    file.setValue(SizingKey, sizing == FullviewSizing::Actual ? QStringLiteral("actual")
                                                              : QStringLiteral("fit"));
    file.sync();
}

} // namespace settings
