#pragma once

// TEMPORARY: a stand-in for the worker-process pool (imaging::DecoderPool) so
// that the program stays usable until the pool is on this branch. It decodes
// with FreeImageLoader on one background thread of this process: it keeps the
// window's thread free, but a file that crashes FreeImage still takes the
// program down. Delete it when the pool arrives.

#include "imaging/PictureDecoder.h"

#include <QHash>
#include <QThreadPool>
#include <atomic>
#include <memory>

namespace imaging {

class InProcessDecoder : public PictureDecoder {
    Q_OBJECT
public:
    explicit InProcessDecoder(QObject* parent = nullptr);
    ~InProcessDecoder() override;

    Ticket Request(const DecodeRequest& request) override;
    void Cancel(Ticket ticket) override;

private:
    void deliver(Ticket ticket, const DecodedPicture& picture);

    // One thread: FreeImageLoader keeps a scratch copy that is not shared
    // safely between threads.
    QThreadPool pool_;
    Ticket next_ = 0;
    QHash<Ticket, std::shared_ptr<std::atomic_bool>> live_;
};

} // namespace imaging
