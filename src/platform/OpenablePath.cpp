#include "platform/OpenablePath.h"

#include <QFile>
#include <QHash>
#include <QMutex>
#include <QTemporaryDir>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace platform {

namespace {

/// The extension as far as it decodes cleanly, so that loaders that go by the
/// extension still recognise the file.
QString cleanSuffix(const QByteArray& rawPath) {
    const qsizetype dot = rawPath.lastIndexOf('.');
    const qsizetype slash = rawPath.lastIndexOf('/');
    if (dot <= slash)
        return {};
    const QByteArray suffix = rawPath.mid(dot);
    for (const char c : suffix)
        if (static_cast<unsigned char>(c) >= 0x80 || c == '/')
            return {};
    return QString::fromLatin1(suffix);
}

} // namespace

QString OpenablePath(const QByteArray& rawPath) {
    const QString decoded = QFile::decodeName(rawPath);
    if (QFile::encodeName(decoded) == rawPath)
        return decoded;
#ifdef Q_OS_UNIX
    static QMutex lock;
    static QHash<QByteArray, QString> standIns;
    const QMutexLocker locked(&lock);
    if (const auto found = standIns.constFind(rawPath); found != standIns.constEnd())
        return *found;
    static QTemporaryDir folder;
    if (!folder.isValid())
        return {};
    const QString link =
        folder.filePath(QString::number(standIns.size() + 1) + cleanSuffix(rawPath));
    if (::symlink(rawPath.constData(), QFile::encodeName(link).constData()) != 0)
        return {};
    standIns.insert(rawPath, link);
    return link;
#else
    return {};
#endif
}

} // namespace platform
