#include "imaging/InProcessDecoder.h"

#include "imaging/FreeImageLoader.h"

#include <QPointer>

namespace imaging {

namespace {

DecodedPicture Decode(const DecodeRequest& request) {
    DecodedPicture out;
    out.path = request.path;
    const QImage full = FreeImageLoader::Load(request.path, request.background);
    if (full.isNull())
        return out;
    out.originalSize = full.size();
    out.status = DecodeStatus::Ok;
    const QSize box = request.box;
    if (box.isEmpty() || (full.width() <= box.width() && full.height() <= box.height())) {
        out.image = full;
        return out;
    }
    const QSize fitted = full.size().scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    out.image = FreeImageLoader::Rescale(full, fitted.width(), fitted.height(),
                                         FreeImageLoader::FilterLanczos3);
    if (out.image.isNull())
        out.image = full.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return out;
}

int PoolPriority(DecodePriority p) {
    return 2 - static_cast<int>(p); // QThreadPool starts higher numbers first
}

} // namespace

InProcessDecoder::InProcessDecoder(QObject* parent) : PictureDecoder(parent) {
    pool_.setMaxThreadCount(1);
}

InProcessDecoder::~InProcessDecoder() {
    for (const auto& flag : std::as_const(live_))
        flag->store(false);
    pool_.clear();
    pool_.waitForDone();
}

PictureDecoder::Ticket InProcessDecoder::Request(const DecodeRequest& request) {
    const Ticket ticket = ++next_;
    auto live = std::make_shared<std::atomic_bool>(true);
    live_.insert(ticket, live);
    QPointer<InProcessDecoder> self(this);
    pool_.start(
        [self, ticket, request, live] {
            if (!live->load())
                return;
            const DecodedPicture picture = Decode(request);
            if (!live->load())
                return;
            QMetaObject::invokeMethod(
                self.data(),
                [self, ticket, picture] {
                    if (self)
                        self->deliver(ticket, picture);
                },
                Qt::QueuedConnection);
        },
        PoolPriority(request.priority));
    return ticket;
}

void InProcessDecoder::Cancel(Ticket ticket) {
    if (const auto flag = live_.take(ticket))
        flag->store(false);
}

void InProcessDecoder::deliver(Ticket ticket, const DecodedPicture& picture) {
    if (live_.remove(ticket) > 0)
        emit Decoded(ticket, picture);
}

} // namespace imaging
