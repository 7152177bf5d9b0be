#pragma once

// Makes the thumbnails of one folder in the background: from the desktop's
// thumbnail cache where it has them, else from the picture decoder at its
// lowest priority (GIFs from our own engine), writing what it made back to the
// cache. The window's thread only hands out work and receives results; cache
// files are read and written, and GIFs decoded, on a small thread pool.
//
// Results belong to one listing: start() and cancel() drop everything pending,
// and nothing of an earlier listing is ever reported after them.

#include "imaging/PictureDecoder.h"
#include "imaging/ThumbnailCache.h"

#include <QHash>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <deque>
#include <list>

namespace imaging {

class Thumbnailer : public QObject {
    Q_OBJECT
public:
    /// `decoder` is not owned and may be null (then only cached thumbnails and
    /// GIFs are shown).
    explicit Thumbnailer(PictureDecoder* decoder, ThumbnailCache cache = ThumbnailCache(),
                         QObject* parent = nullptr);
    ~Thumbnailer() override;

    PictureDecoder* decoder() const { return decoder_; }
    /// Replaces the decoder; pending work is cancelled first.
    void setDecoder(PictureDecoder* decoder);
    const ThumbnailCache& cache() const { return cache_; }

    /// The standard size to make (Normal unless set); takes effect at the next start().
    void setSize(ThumbnailSize size) { size_ = size; }
    ThumbnailSize size() const { return size_; }
    /// Bytes of thumbnails kept in memory (64 MiB unless set); the least
    /// recently used go first, with thumbnailDropped.
    void setMemoryBudget(qint64 bytes);

    /// Cancels what is pending and makes thumbnails of `names` (file names in
    /// `folder`), in that order. Emits progress(0, names.size()) at once.
    void start(const QString& folder, const QStringList& names);
    /// Moves `names` (those now on screen) ahead of the rest, and brings back
    /// those of them that were dropped from memory.
    void prioritize(const QStringList& names);
    /// Drops everything pending; no signal of the current listing follows.
    void cancel();

    /// The thumbnail held in memory for `name`; null when there is none.
    QImage thumbnail(const QString& name) const;
    int done() const { return done_; }
    int total() const { return total_; }

signals:
    /// A thumbnail for the file `name` of the current listing.
    void thumbnailReady(const QString& name, const QImage& image);
    /// The thumbnail of `name` left memory; prioritize() brings it back.
    void thumbnailDropped(const QString& name);
    /// Files finished (with or without a thumbnail) out of the listing's total.
    void progress(int done, int total);
    /// Every file of the listing is finished.
    void finished();

private:
    enum class State { Queued, Looking, Decoding, Done, Dropped, Reloading };
    struct Miss {
        QString name;
        ThumbnailSource source;
        bool gif = false;
    };
    struct Cached {
        QImage image;
        std::list<QString>::iterator recency;
    };

    void pump();
    void lookUp(const QString& name);
    void onLookedUp(quint64 generation, const QString& name, const ThumbnailSource& source,
                    int status, const QImage& image, bool gif);
    void decode(const Miss& miss);
    void onDecoded(PictureDecoder::Ticket ticket, const DecodedPicture& picture);
    void onMade(const QString& name, const ThumbnailSource& source, const QImage& image,
                QSize original);
    void finish(const QString& name, const QImage& image);
    void remember(const QString& name, const QImage& image);
    void touch(const QString& name);
    QString pathOf(const QString& name) const { return folder_ + name; }

    QPointer<PictureDecoder> decoder_;
    QMetaObject::Connection decodedConnection_;
    ThumbnailCache cache_;
    ThumbnailSize size_ = ThumbnailSize::Normal;
    qint64 budget_ = qint64{64} << 20;

    quint64 generation_ = 0;
    QString folder_;
    std::deque<QString> queue_;
    std::deque<Miss> misses_;
    QHash<QString, State> states_;
    QHash<PictureDecoder::Ticket, Miss> tickets_;
    int lookups_ = 0;
    int decodes_ = 0;
    int done_ = 0;
    int total_ = 0;

    QHash<QString, Cached> memory_;
    std::list<QString> recency_; // most recent first
    qint64 held_ = 0;

    QThreadPool work_;   ///< cache lookups and GIF decodes: dropped on cancel
    QThreadPool writes_; ///< cache writes: always finished, even on exit
};

} // namespace imaging
