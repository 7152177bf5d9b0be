#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace platform {
namespace {

QString& programOverride() {
    static QString folder;
    return folder;
}

QString& configOverride() {
    static QString folder;
    return folder;
}

} // namespace

QString ProgramFolder() {
    if (!programOverride().isEmpty()) {
        return programOverride();
    }
    return QCoreApplication::applicationDirPath();
}

QString UserConfigFolder() {
    if (!configOverride().isEmpty()) {
        return configOverride();
    }
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

void SetProgramFolderOverride(const QString& folder) {
    programOverride() = folder;
}

void SetUserConfigFolderOverride(const QString& folder) {
    configOverride() = folder;
}

QString DefaultLastPath() {
#ifdef Q_OS_WIN
    return QStringLiteral("c:\\");
#else
    QString home = QDir::homePath();
    if (!home.endsWith(QLatin1Char('/'))) {
        home += QLatin1Char('/');
    }
    return home;
#endif
}

} // namespace platform
