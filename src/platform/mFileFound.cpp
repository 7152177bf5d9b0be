#include "platform/mFileFound.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

namespace platform {
namespace {

bool hasWildcards(const QString& name) {
    return name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'));
}

// Classic greedy match with one backtrack point: linear in practice and never
// exponential, whatever the pattern.
bool wildcardMatch(QStringView pattern, QStringView name) {
    qsizetype p = 0;
    qsizetype n = 0;
    qsizetype starAt = -1;
    qsizetype starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == QLatin1Char('?') || pattern[p] == name[n]) &&
            pattern[p] != QLatin1Char('*')) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
            starAt = p++;
            starName = n;
        } else if (starAt >= 0) {
            p = starAt + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
        ++p;
    }
    return p == pattern.size();
}

// A trailing ".*" also matches a name without any extension, so "*.*" matches
// every name, as the old directory search did.
bool entryMatches(const QString& pattern, const QString& name) {
    if (wildcardMatch(pattern, name)) {
        return true;
    }
    if (pattern.endsWith(QLatin1String(".*")) && !name.contains(QLatin1Char('.'))) {
        return wildcardMatch(QStringView(pattern).chopped(2), name);
    }
    return false;
}

} // namespace

bool FileExists(const QString& path) {
    if (path.isEmpty()) {
        return false;
    }
    const QFileInfo info(path);
    if (QDir::fromNativeSeparators(path).endsWith(QLatin1Char('/'))) {
        return info.isDir();
    }
    // A dangling link is still an entry of its folder.
    if (info.exists() || info.isSymLink()) {
        return true;
    }
    const QString pattern = info.fileName();
    if (!hasWildcards(pattern)) {
        return false;
    }
    QDirIterator it(info.path(),
                    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        if (entryMatches(pattern, it.fileName())) {
            return true;
        }
    }
    return false;
}

} // namespace platform
