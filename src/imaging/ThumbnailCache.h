#pragma once

// The desktop's shared thumbnail cache (the freedesktop.org Thumbnail Managing
// Standard): file managers and viewers keep small PNGs of pictures under
// $XDG_CACHE_HOME/thumbnails, named after the MD5 of the file's URI, and any of
// them may use what another wrote. Vistrel reads theirs and writes its own the
// same way, so the names and the URI escaping must match GLib's to the byte.
//
// Never read: the picture files themselves (only their metadata). Never
// written: anything outside the cache root. Every member is safe to call from
// several threads at once; the object holds no state but its root.

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace imaging {

/// The two sizes of the standard, by the longest side in device pixels.
enum class ThumbnailSize { Normal = 128, Large = 256 };

/// Large on screens with a device pixel ratio of 2 or more, else Normal.
ThumbnailSize ThumbnailSizeFor(qreal devicePixelRatio);

/// What the cache needs of a picture file, read once before it is decoded, so
/// that a file changing during the decode leaves a thumbnail that is stale
/// (and replaced) on the next visit rather than one that claims the new state.
struct ThumbnailSource {
    QByteArray localPath; ///< absolute path, raw bytes as on disk
    QByteArray uri;       ///< file:// URI, escaped as GLib escapes it
    qint64 mtime = 0;     ///< seconds since the epoch
    qint64 size = 0;      ///< bytes
    bool exists = false;  ///< a readable regular file (links followed for mtime and size)
};

class ThumbnailCache {
public:
    enum class Status {
        Hit,     ///< a valid thumbnail was found
        Miss,    ///< none, stale, foreign to this file, or unreadable: make one
        Failed,  ///< a failure record for this very state of the file: do not retry
        Skipped, ///< never thumbnailed (inside the cache, or not a regular file)
    };
    struct Lookup {
        Status status = Status::Miss;
        QImage image; ///< at most the size asked for; null unless Hit
    };

    /// A cache rooted at `root` (the folder holding normal/, large/ and fail/).
    explicit ThumbnailCache(QString root = DefaultRoot());

    /// $XDG_CACHE_HOME/thumbnails, or ~/.cache/thumbnails when it is unset or
    /// not absolute.
    static QString DefaultRoot();
    const QString& Root() const { return root_; }

    /// The file:// URI of an absolute local path given as raw bytes: every
    /// byte but the letters, digits and !$&'()*+,-./:=@_~ is written as %XX
    /// (upper-case hex), so names that are not UTF-8 keep their bytes.
    static QByteArray FileUri(const QByteArray& localPath);
    /// The cache's file name for a URI: 32 lower-case hex digits of its MD5, ".png".
    static QString FileName(const QByteArray& uri);
    /// Reads the metadata of `path` (made absolute; a link keeps its own path).
    static ThumbnailSource Describe(const QString& path);

    /// True when `source` lies inside the cache root (such files are never
    /// thumbnailed, so the cache never feeds on itself).
    bool IsInside(const ThumbnailSource& source) const;

    /// Looks for a thumbnail of `source` at `size`; a Normal lookup also
    /// accepts a Large thumbnail, shrunk. Any PNG that is not valid for this
    /// file in this state is a Miss, never an error.
    Lookup Find(const ThumbnailSource& source, ThumbnailSize size) const;
    /// Writes `image` (shrunk to `size` when larger) as the thumbnail of
    /// `source`, whose picture is `original` pixels large (left out when
    /// empty). False when nothing could be written (read-only or full disk);
    /// the caller goes on with the image in memory.
    bool Store(const ThumbnailSource& source, ThumbnailSize size, const QImage& image,
               QSize original = {}) const;
    /// Records that `source` cannot be thumbnailed, in Vistrel's own fail
    /// folder, until the file changes.
    bool StoreFailure(const ThumbnailSource& source) const;

    /// Where the thumbnail of `uri` at `size` lives, and its failure record.
    QString ThumbnailPath(const QByteArray& uri, ThumbnailSize size) const;
    QString FailurePath(const QByteArray& uri) const;

    /// The "Software" text and the fail folder's suffix: "Vistrel <version>".
    static QString Software();

private:
    bool IsValid(const QImage& png, const ThumbnailSource& source) const;
    bool WritePng(const QString& path, const QImage& image) const;

    QString root_;
};

} // namespace imaging
