#include "imaging/PictureLoader.h"

#include <algorithm>

namespace imaging {

namespace {

Picture FromAnswer(const PictureKey& key, const DecodedPicture& decoded) {
    Picture picture;
    picture.path = key.path;
    picture.box = key.box;
    picture.status = decoded.status;
    picture.originalSize = decoded.originalSize;
    // The contract promises an opaque RGB32 picture within the box; a decoder
    // that breaks it gets its answer treated as unreadable, not trusted.
    const bool fits = key.box.isEmpty() || (decoded.image.width() <= key.box.width() &&
                                            decoded.image.height() <= key.box.height());
    if (decoded.status == DecodeStatus::Ok && !decoded.image.isNull() && fits)
        picture.image = decoded.image.convertToFormat(QImage::Format_RGB32);
    else if (decoded.status == DecodeStatus::Ok)
        picture.status = DecodeStatus::Unreadable;
    return picture;
}

} // namespace

PictureLoader::PictureLoader(PictureDecoder& decoder, QObject* parent)
    : QObject(parent), decoder_(decoder) {
    connect(&decoder_, &PictureDecoder::Decoded, this, &PictureLoader::onDecoded);
}

PictureLoader::~PictureLoader() {
    CancelShown();
    CancelFullSize();
}

PictureDecoder::Ticket PictureLoader::request(const PictureKey& key, DecodePriority priority) {
    DecodeRequest r;
    r.path = key.path;
    r.box = key.box;
    r.priority = priority;
    r.background = background_;
    return decoder_.Request(r);
}

void PictureLoader::SetBackground(QRgb background) {
    if (background == background_)
        return;
    background_ = background;
    cache_.Clear();
}

void PictureLoader::cancel(Asked& asked) {
    if (asked.ticket != 0)
        decoder_.Cancel(asked.ticket);
    asked = Asked{};
}

PictureLoader::Asked PictureLoader::dropPrefetches(const PictureKey& keep,
                                                   const QStringList& neighbours) {
    Asked kept;
    std::vector<Asked> still;
    for (Asked& a : prefetches_) {
        if (a.key == keep && kept.ticket == 0)
            kept = a;
        else if (neighbours.contains(a.key.path) && a.key.box == keep.box)
            still.push_back(a);
        else
            cancel(a);
    }
    prefetches_ = std::move(still);
    return kept;
}

void PictureLoader::LoadImageFile(const QString& path, QSize box, const QStringList& neighbours) {
    const PictureKey key = PictureKey::Of(path, box);
    neighbours_ = neighbours;
    // A second click on the file being decoded keeps its request.
    if (shown_.ticket != 0 && shown_.key == key) {
        dropPrefetches(key, neighbours_);
        return;
    }
    cancel(shown_);
    wanted_ = key;
    const Asked ahead = dropPrefetches(key, neighbours_);
    if (const Picture* kept = cache_.Find(key)) {
        if (ahead.ticket != 0)
            decoder_.Cancel(ahead.ticket);
        show(*kept);
        return;
    }
    // A neighbour already on its way becomes the shown request: asking again
    // would only start the same decode twice.
    shown_ = ahead.ticket != 0 ? ahead : Asked{request(key, DecodePriority::Shown), key};
}

void PictureLoader::CancelShown() {
    cancel(shown_);
    for (Asked& a : prefetches_)
        cancel(a);
    prefetches_.clear();
    neighbours_.clear();
    wanted_ = PictureKey{};
    current_ = Picture{};
}

void PictureLoader::LoadFullSize(const QString& path) {
    cancel(full_);
    const PictureKey key = PictureKey::Of(path, QSize());
    full_ = Asked{request(key, DecodePriority::Shown), key};
}

void PictureLoader::CancelFullSize() {
    cancel(full_);
}

void PictureLoader::show(const Picture& picture) {
    current_ = picture;
    emit Shown(current_);
    prefetch();
}

void PictureLoader::prefetch() {
    for (const QString& path : std::as_const(neighbours_)) {
        if (path.isEmpty() || path == wanted_.path)
            continue;
        const PictureKey key = PictureKey::Of(path, wanted_.box);
        const bool asked = std::any_of(prefetches_.begin(), prefetches_.end(),
                                       [&key](const Asked& a) { return a.key == key; });
        if (!asked && !cache_.Contains(key))
            prefetches_.push_back(Asked{request(key, DecodePriority::Neighbour), key});
    }
}

void PictureLoader::onDecoded(PictureDecoder::Ticket ticket, const DecodedPicture& decoded) {
    if (ticket == 0)
        return;
    if (ticket == shown_.ticket) {
        const PictureKey key = shown_.key;
        const Picture picture = FromAnswer(key, decoded);
        shown_ = Asked{};
        cache_.Insert(key, picture);
        show(picture);
    } else if (ticket == full_.ticket) {
        const Picture picture = FromAnswer(full_.key, decoded);
        full_ = Asked{};
        emit FullSize(picture);
    } else {
        const auto it = std::find_if(prefetches_.begin(), prefetches_.end(),
                                     [ticket](const Asked& a) { return a.ticket == ticket; });
        if (it == prefetches_.end())
            return; // cancelled, or someone else's
        const PictureKey key = it->key;
        prefetches_.erase(it);
        cache_.Insert(key, FromAnswer(key, decoded));
    }
}

} // namespace imaging
