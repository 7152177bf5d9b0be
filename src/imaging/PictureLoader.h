#pragma once

// The still preview's loader. It never decodes: it asks a PictureDecoder and
// answers with a signal, so the window's thread only ever waits for events.
//
// At most one request for the shown picture is in flight: a newer one cancels
// it, and an answer for a ticket the loader no longer waits for is thrown
// away, whatever the decoder does with cancels. Once the shown picture is
// ready, its neighbours in list order are asked for at the same size with
// Neighbour priority and kept in the cache, so that a step to one of them is
// shown without a request. Requests the user has moved away from are
// cancelled, never waited for.

#include "imaging/Picture.h"
#include "imaging/PictureCache.h"
#include "imaging/PictureDecoder.h"

#include <QObject>
#include <QStringList>
#include <vector>

namespace imaging {

class PictureLoader : public QObject {
    Q_OBJECT
public:
    /// `decoder` must outlive the loader. Other users may share it: answers
    /// to tickets the loader did not ask for are left alone.
    explicit PictureLoader(PictureDecoder& decoder, QObject* parent = nullptr);
    ~PictureLoader() override;

    /// Shows `path` fitted into `box` (device pixels): from the cache before
    /// this returns, or later when the decoder answers; either way Shown
    /// follows once, unless another LoadImageFile or CancelShown comes first.
    /// `neighbours` (the files beside it in list order; empty entries are
    /// skipped) are decoded ahead once it is shown.
    void LoadImageFile(const QString& path, QSize box, const QStringList& neighbours);
    /// What transparent parts are composed over, from the next request on
    /// (the cache is emptied when it changes).
    void SetBackground(QRgb background);
    /// Drops the pending shown request, the prefetches and the current
    /// picture (the list changed, or a GIF took the pane). The cache stays.
    void CancelShown();
    /// Asks for `path` at full size; FullSize follows, unless replaced or
    /// cancelled first. Full-size pictures are never cached.
    void LoadFullSize(const QString& path);
    void CancelFullSize();

    /// The picture Shown reported last (a default Picture before the first).
    const Picture& Current() const { return current_; }
    /// Whether a shown request waits for the decoder.
    bool Pending() const { return shown_.ticket != 0; }
    /// Whether a full-size request waits for the decoder.
    bool FullSizePending() const { return full_.ticket != 0; }
    PictureCache& Cache() { return cache_; }

signals:
    void Shown(const imaging::Picture& picture);
    void FullSize(const imaging::Picture& picture);

private:
    struct Asked {
        PictureDecoder::Ticket ticket = 0;
        PictureKey key;
    };

    void onDecoded(PictureDecoder::Ticket ticket, const DecodedPicture& decoded);
    void show(const Picture& picture);
    void prefetch();
    void cancel(Asked& asked);
    /// Cancels the prefetches of files that are neither `keep` nor among
    /// `neighbours`; hands back the one for `keep`, if any is in flight.
    Asked dropPrefetches(const PictureKey& keep, const QStringList& neighbours);
    PictureDecoder::Ticket request(const PictureKey& key, DecodePriority priority);

    PictureDecoder& decoder_;
    PictureCache cache_;
    Picture current_;
    Asked shown_;
    Asked full_;
    PictureKey wanted_; // the shown picture asked for last
    QRgb background_ = 0xFFFFFFFF;
    QStringList neighbours_;
    std::vector<Asked> prefetches_;
};

} // namespace imaging
