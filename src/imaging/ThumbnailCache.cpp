#include "imaging/ThumbnailCache.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryFile>
#include <cstdio>

namespace imaging {

namespace {

const char* const kUri = "Thumb::URI";
const char* const kMTime = "Thumb::MTime";
const char* const kSize = "Thumb::Size";

/// Other programs' thumbnails are small; anything far larger is not one, and
/// reading it could cost more than decoding the picture again.
constexpr int kLargestReadable = 1024;

constexpr QFile::Permissions kOwnerOnlyFolder =
    QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

/// Bytes GLib's g_filename_to_uri leaves as they are (its "unsafe path" set),
/// besides letters and digits.
bool KeptInUri(unsigned char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    static constexpr char kKept[] = "!$&'()*+,-./:=@_~";
    for (const char* k = kKept; *k; ++k) {
        if (static_cast<unsigned char>(*k) == c)
            return true;
    }
    return false;
}

QString FolderOf(ThumbnailSize size) {
    return size == ThumbnailSize::Large ? QStringLiteral("large") : QStringLiteral("normal");
}

/// Makes `path` and any missing parents; those it makes are readable by the
/// owner only, as the standard asks for the whole cache.
bool MakeFolder(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir())
        return true;
    if (info.exists() || !MakeFolder(info.absolutePath()))
        return false;
    if (!QDir().mkdir(path) && !QFileInfo(path).isDir())
        return false;
    QFile::setPermissions(path, kOwnerOnlyFolder);
    return true;
}

QImage Fitted(const QImage& image, int box) {
    if (image.width() <= box && image.height() <= box)
        return image;
    return image.scaled(box, box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

} // namespace

ThumbnailSize ThumbnailSizeFor(qreal devicePixelRatio) {
    return devicePixelRatio >= 2.0 ? ThumbnailSize::Large : ThumbnailSize::Normal;
}

ThumbnailCache::ThumbnailCache(QString root) : root_(QDir::cleanPath(root)) {}

QString ThumbnailCache::DefaultRoot() {
    QString base = QFile::decodeName(qgetenv("XDG_CACHE_HOME"));
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.cache");
    return QDir::cleanPath(base + QStringLiteral("/thumbnails"));
}

QString ThumbnailCache::Software() {
    return QStringLiteral("Vistrel " VISTREL_VERSION);
}

QByteArray ThumbnailCache::FileUri(const QByteArray& localPath) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    QByteArray uri("file://");
    uri.reserve(uri.size() + localPath.size() * 3);
    for (const char ch : localPath) {
        const auto c = static_cast<unsigned char>(ch);
        if (KeptInUri(c)) {
            uri.append(ch);
        } else {
            uri.append('%');
            uri.append(kHex[c >> 4]);
            uri.append(kHex[c & 0xF]);
        }
    }
    return uri;
}

QString ThumbnailCache::FileName(const QByteArray& uri) {
    return QString::fromLatin1(QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex()) +
           QStringLiteral(".png");
}

ThumbnailSource ThumbnailCache::Describe(const QString& path) {
    const QFileInfo info(path);
    ThumbnailSource source;
    // absoluteFilePath keeps a link's own name; only its mtime and size are
    // those of what it points to, as every file manager sees them.
    source.localPath = QFile::encodeName(info.absoluteFilePath());
    source.uri = FileUri(source.localPath);
    source.exists = info.isFile();
    if (source.exists) {
        source.mtime = info.lastModified().toSecsSinceEpoch();
        source.size = info.size();
    }
    return source;
}

bool ThumbnailCache::IsInside(const ThumbnailSource& source) const {
    const QByteArray root = QFile::encodeName(root_) + '/';
    if (source.localPath.startsWith(root))
        return true;
    // The same folder may be reached through links.
    const QString canonicalRoot = QFileInfo(root_).canonicalFilePath();
    const QString folder = QFileInfo(QFile::decodeName(source.localPath)).canonicalPath();
    return !canonicalRoot.isEmpty() && !folder.isEmpty() &&
           (folder + QLatin1Char('/')).startsWith(canonicalRoot + QLatin1Char('/'));
}

QString ThumbnailCache::ThumbnailPath(const QByteArray& uri, ThumbnailSize size) const {
    return root_ + QLatin1Char('/') + FolderOf(size) + QLatin1Char('/') + FileName(uri);
}

QString ThumbnailCache::FailurePath(const QByteArray& uri) const {
    return root_ + QStringLiteral("/fail/vistrel-" VISTREL_VERSION "/") + FileName(uri);
}

bool ThumbnailCache::IsValid(const QImage& png, const ThumbnailSource& source) const {
    if (png.text(QString::fromLatin1(kUri)).toUtf8() != source.uri)
        return false;
    bool ok = false;
    if (png.text(QString::fromLatin1(kMTime)).trimmed().toLongLong(&ok) != source.mtime || !ok)
        return false;
    const QString size = png.text(QString::fromLatin1(kSize)).trimmed();
    return size.isEmpty() || (size.toLongLong(&ok) == source.size && ok);
}

namespace {

QImage ReadPng(const QString& path) {
    QImageReader reader(path, "png");
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > kLargestReadable || size.height() > kLargestReadable)
        return {};
    QImage image;
    return reader.read(&image) ? image : QImage();
}

} // namespace

ThumbnailCache::Lookup ThumbnailCache::Find(const ThumbnailSource& source,
                                            ThumbnailSize size) const {
    if (!source.exists || IsInside(source))
        return {Status::Skipped, {}};
    const int box = static_cast<int>(size);
    for (ThumbnailSize folder : {size, ThumbnailSize::Large}) {
        const QImage png = ReadPng(ThumbnailPath(source.uri, folder));
        if (!png.isNull() && IsValid(png, source)) {
            return {Status::Hit, Fitted(png, box)};
        }
        if (size == ThumbnailSize::Large)
            break;
    }
    const QImage failed = ReadPng(FailurePath(source.uri));
    if (!failed.isNull() && IsValid(failed, source))
        return {Status::Failed, {}};
    return {Status::Miss, {}};
}

bool ThumbnailCache::WritePng(const QString& path, const QImage& image) const {
    const QString folder = QFileInfo(path).absolutePath();
    if (!MakeFolder(folder))
        return false;
    // Readers never see a half-written file: it gets its name only once whole.
    QTemporaryFile temp(folder + QStringLiteral("/.vistrel-XXXXXX.png"));
    if (!temp.open()) // created readable by the owner only
        return false;
    QImageWriter writer(&temp, "png");
    const bool written = writer.write(image) && temp.flush();
    temp.close();
    if (!written || temp.error() != QFile::NoError)
        return false;
    if (std::rename(QFile::encodeName(temp.fileName()).constData(),
                    QFile::encodeName(path).constData()) != 0)
        return false;
    temp.setAutoRemove(false);
    return true;
}

bool ThumbnailCache::Store(const ThumbnailSource& source, ThumbnailSize size, const QImage& image,
                           QSize original) const {
    if (!source.exists || image.isNull() || IsInside(source))
        return false;
    QImage png = Fitted(image, static_cast<int>(size));
    png.setText(QString::fromLatin1(kUri), QString::fromLatin1(source.uri));
    png.setText(QString::fromLatin1(kMTime), QString::number(source.mtime));
    png.setText(QString::fromLatin1(kSize), QString::number(source.size));
    if (!original.isEmpty()) {
        png.setText(QStringLiteral("Thumb::Image::Width"), QString::number(original.width()));
        png.setText(QStringLiteral("Thumb::Image::Height"), QString::number(original.height()));
    }
    png.setText(QStringLiteral("Software"), Software());
    return WritePng(ThumbnailPath(source.uri, size), png);
}

bool ThumbnailCache::StoreFailure(const ThumbnailSource& source) const {
    if (!source.exists || IsInside(source))
        return false;
    QImage png(1, 1, QImage::Format_ARGB32);
    png.fill(Qt::transparent);
    png.setText(QString::fromLatin1(kUri), QString::fromLatin1(source.uri));
    png.setText(QString::fromLatin1(kMTime), QString::number(source.mtime));
    png.setText(QString::fromLatin1(kSize), QString::number(source.size));
    png.setText(QStringLiteral("Software"), Software());
    return WritePng(FailurePath(source.uri), png);
}

} // namespace imaging
