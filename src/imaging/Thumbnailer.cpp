#include "imaging/Thumbnailer.h"

#include "gif/cGIF.h"
#include "gif/cGIFComposer.h"
#include "platform/ThreadPriority.h"

#include <QFile>
#include <algorithm>

namespace imaging {

namespace {

/// Cache lookups waiting on the pool: enough that a warm folder's first screen
/// arrives in a few event-loop turns, few enough that a folder change finds
/// little to throw away.
constexpr int kMaxLookups = 8;
/// Requests out at the decoder: enough to keep every worker busy with one
/// waiting behind it, so the pool never idles between answers.
constexpr int kMaxDecodes = 6;
/// A GIF thumbnail is made from the first frame only; a file whose frames would
/// need more than this is not worth it.
constexpr int64_t kGifBudget = int64_t{256} << 20;

bool HasGifSignature(const QByteArray& localPath) {
    QFile file(QFile::decodeName(localPath));
    return file.open(QIODevice::ReadOnly) && file.read(3) == "GIF";
}

/// The first frame as composed on the logical screen, shrunk into `box`;
/// null when the file holds no frame.
QImage GifThumbnail(const QByteArray& localPath, int box, QSize& original) {
    cGIF gif;
    gif.setSurfaceBudget(kGifBudget);
    if (!gif.LoadFromFile(localPath.toStdString()) || gif.FramesCount() < 1)
        return {};
    cGIFComposer composer;
    if (!composer.Setup(gif, 0x00FFFFFF) || !composer.DrawFrame(gif, 1))
        return {};
    const cDIB& frame = composer.FrameBuffer();
    if (frame.bpp() != 32 || !frame.lpBits())
        return {};
    original = QSize(frame.Width(), frame.Height());
    const QImage view(frame.lpBits(), frame.Width(), frame.Height(), frame.BytesPerScanline(),
                      QImage::Format_RGB32);
    if (view.width() <= box && view.height() <= box)
        return view.copy();
    return view.scaled(box, box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

} // namespace

Thumbnailer::Thumbnailer(PictureDecoder* decoder, ThumbnailCache cache, QObject* parent)
    : QObject(parent), cache_(std::move(cache)) {
    work_.setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
    writes_.setMaxThreadCount(1);
    setDecoder(decoder);
}

Thumbnailer::~Thumbnailer() {
    cancel();
    // Tasks post their results to this object; none may outlive it.
    work_.clear();
    work_.waitForDone();
    writes_.waitForDone();
}

void Thumbnailer::setDecoder(PictureDecoder* decoder) {
    cancel();
    disconnect(decodedConnection_);
    decoder_ = decoder;
    if (decoder)
        decodedConnection_ =
            connect(decoder, &PictureDecoder::Decoded, this, &Thumbnailer::onDecoded);
}

void Thumbnailer::setMemoryBudget(qint64 bytes) {
    budget_ = std::max<qint64>(0, bytes);
}

void Thumbnailer::cancel() {
    ++generation_;
    if (decoder_) {
        for (auto it = tickets_.cbegin(); it != tickets_.cend(); ++it)
            decoder_->Cancel(it.key());
    }
    tickets_.clear();
    queue_.clear();
    misses_.clear();
    states_.clear();
    memory_.clear();
    recency_.clear();
    held_ = 0;
    lookups_ = decodes_ = done_ = total_ = 0;
    // Lookups not yet begun are of no use any more; running ones finish and
    // are ignored by their generation.
    work_.clear();
}

void Thumbnailer::start(const QString& folder, const QStringList& names) {
    cancel();
    folder_ =
        folder.endsWith(QLatin1Char('/')) || folder.isEmpty() ? folder : folder + QLatin1Char('/');
    for (const QString& name : names) {
        if (states_.contains(name))
            continue;
        states_.insert(name, State::Queued);
        queue_.push_back(name);
    }
    total_ = static_cast<int>(queue_.size());
    emit progress(0, total_);
    if (total_ == 0)
        emit finished();
    // The host says which rows are on screen right after this; work starts
    // once it has, so those go first.
    QMetaObject::invokeMethod(this, &Thumbnailer::pump, Qt::QueuedConnection);
}

void Thumbnailer::prioritize(const QStringList& names) {
    QSet<QString> wanted;
    for (const QString& name : names) {
        const auto state = states_.constFind(name);
        if (state == states_.cend())
            continue;
        if (*state == State::Dropped) {
            states_[name] = State::Reloading;
            queue_.push_front(name);
        } else if (*state == State::Queued) {
            wanted.insert(name);
        } else if (*state == State::Done) {
            touch(name);
        }
    }
    std::stable_partition(queue_.begin(), queue_.end(), [&](const QString& name) {
        return wanted.contains(name) || states_.value(name) == State::Reloading;
    });
    std::stable_partition(misses_.begin(), misses_.end(),
                          [&](const Miss& miss) { return wanted.contains(miss.name); });
    pump();
}

QImage Thumbnailer::thumbnail(const QString& name) const {
    const auto it = memory_.constFind(name);
    return it == memory_.cend() ? QImage() : it->image;
}

void Thumbnailer::pump() {
    while (!misses_.empty() && decodes_ < kMaxDecodes) {
        const Miss miss = misses_.front();
        misses_.pop_front();
        decode(miss);
    }
    while (!queue_.empty() && lookups_ < kMaxLookups &&
           static_cast<int>(misses_.size()) < kMaxDecodes) {
        const QString name = queue_.front();
        queue_.pop_front();
        lookUp(name);
    }
}

void Thumbnailer::lookUp(const QString& name) {
    if (states_.value(name) == State::Queued)
        states_[name] = State::Looking;
    ++lookups_;
    const quint64 generation = generation_;
    const QString path = pathOf(name);
    const ThumbnailCache cache = cache_;
    const ThumbnailSize size = size_;
    work_.start([this, generation, name, path, cache, size] {
        platform::LowerThreadPriority(platform::kBackgroundNiceness);
        const ThumbnailSource source = ThumbnailCache::Describe(path);
        const ThumbnailCache::Lookup found = cache.Find(source, size);
        const bool gif =
            found.status == ThumbnailCache::Status::Miss && HasGifSignature(source.localPath);
        QMetaObject::invokeMethod(
            this,
            [=, this] {
                onLookedUp(generation, name, source, int(found.status), found.image, gif);
            },
            Qt::QueuedConnection);
    });
}

void Thumbnailer::onLookedUp(quint64 generation, const QString& name, const ThumbnailSource& source,
                             int status, const QImage& image, bool gif) {
    if (generation != generation_)
        return;
    --lookups_;
    switch (static_cast<ThumbnailCache::Status>(status)) {
    case ThumbnailCache::Status::Hit:
        finish(name, image);
        break;
    case ThumbnailCache::Status::Miss:
        misses_.push_back({name, source, gif});
        break;
    case ThumbnailCache::Status::Failed:
    case ThumbnailCache::Status::Skipped:
        finish(name, {});
        break;
    }
    pump();
}

void Thumbnailer::decode(const Miss& miss) {
    states_[miss.name] =
        states_.value(miss.name) == State::Reloading ? State::Reloading : State::Decoding;
    if (miss.gif) {
        ++decodes_;
        const quint64 generation = generation_;
        const int box = static_cast<int>(size_);
        work_.start([this, generation, miss, box] {
            platform::LowerThreadPriority(platform::kBackgroundNiceness);
            QSize original;
            const QImage image = GifThumbnail(miss.source.localPath, box, original);
            QMetaObject::invokeMethod(
                this,
                [=, this] {
                    if (generation != generation_)
                        return;
                    --decodes_;
                    onMade(miss.name, miss.source, image, original);
                },
                Qt::QueuedConnection);
        });
        return;
    }
    if (!decoder_) {
        finish(miss.name, {});
        return;
    }
    ++decodes_;
    const int box = static_cast<int>(size_);
    DecodeRequest request{pathOf(miss.name), QSize(box, box), DecodePriority::Background};
    tickets_.insert(decoder_->Request(request), miss);
}

void Thumbnailer::onDecoded(PictureDecoder::Ticket ticket, const DecodedPicture& picture) {
    const auto it = tickets_.find(ticket);
    if (it == tickets_.end())
        return; // not ours, or cancelled
    const Miss miss = *it;
    tickets_.erase(it);
    --decodes_;
    const bool ok = picture.status == DecodeStatus::Ok && !picture.image.isNull();
    // A worker failure may be the pool's (restarting workers), not the file's:
    // recording it would hide a good picture until the file changes.
    if (!ok && picture.status == DecodeStatus::WorkerFailed) {
        finish(miss.name, {});
        pump();
        return;
    }
    onMade(miss.name, miss.source, ok ? picture.image : QImage(), picture.originalSize);
}

void Thumbnailer::onMade(const QString& name, const ThumbnailSource& source, const QImage& image,
                         QSize original) {
    const ThumbnailCache cache = cache_;
    const ThumbnailSize size = size_;
    // Writing is best effort: a cache that cannot take it costs nothing on screen.
    writes_.start([cache, source, size, image, original] {
        platform::LowerThreadPriority(platform::kBackgroundNiceness);
        if (image.isNull())
            cache.StoreFailure(source);
        else
            cache.Store(source, size, image, original);
    });
    finish(name, image);
    pump();
}

void Thumbnailer::finish(const QString& name, const QImage& image) {
    const State before = states_.value(name);
    states_[name] = State::Done;
    if (!image.isNull()) {
        remember(name, image);
        emit thumbnailReady(name, image);
    }
    if (before == State::Reloading)
        return;
    ++done_;
    emit progress(done_, total_);
    if (done_ == total_)
        emit finished();
}

void Thumbnailer::remember(const QString& name, const QImage& image) {
    const auto old = memory_.find(name);
    if (old != memory_.end()) {
        held_ -= old->image.sizeInBytes();
        recency_.erase(old->recency);
        memory_.erase(old);
    }
    recency_.push_front(name);
    memory_.insert(name, Cached{image, recency_.begin()});
    held_ += image.sizeInBytes();
    while (held_ > budget_ && recency_.size() > 1) {
        const QString oldest = recency_.back();
        recency_.pop_back();
        held_ -= memory_.take(oldest).image.sizeInBytes();
        states_[oldest] = State::Dropped;
        emit thumbnailDropped(oldest);
    }
}

void Thumbnailer::touch(const QString& name) {
    const auto it = memory_.find(name);
    if (it == memory_.end())
        return;
    recency_.splice(recency_.begin(), recency_, it->recency);
}

} // namespace imaging
