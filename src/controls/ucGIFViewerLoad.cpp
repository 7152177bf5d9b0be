// ucGIFViewer: loading. The header and frame 1 are read on the window's thread so
// that the picture shows at once; a worker thread decodes the other frames into
// their own surfaces and hands the finished records over, and the window's thread
// appends them to the model it draws from. Nothing is shared but the hand-over list.

#include "controls/ucGIFViewer.h"

#include <QFile>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

struct ucGIFViewer::Background {
    std::mutex lock;
    std::condition_variable arrived;
    std::vector<GIFFrame> ready; // decoded, not yet taken by the window's thread
    bool done = false;
    std::atomic<bool> cancel{false};
    std::thread worker;
};

bool ucGIFViewer::LoadFromFile(const QString& FileName) {
    stopPlayback();
    stopBackground();
    frameCount_ = 0;
    loader_ = std::make_unique<cGIFLoader>();
    return load(loader_->BeginFile(QFile::encodeName(FileName).toStdString(), gif_));
}

bool ucGIFViewer::LoadFromResource(const QString& ResourceID, const QString& ResourceType) {
    stopPlayback();
    stopBackground();
    frameCount_ = 0;
    QFile resource(QStringLiteral(":/%1/%2").arg(ResourceType, ResourceID));
    if (!resource.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray bytes = resource.readAll();
    loader_ = std::make_unique<cGIFLoader>();
    return load(loader_->Begin(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), gif_));
}

bool ucGIFViewer::load(bool begun) {
    GIFFrame first;
    if (!begun || !loader_->Next(first)) {
        loader_.reset();
        return false;
    }
    gif_.FrameAppend(std::move(first));
    frameCount_ = std::max(loader_->FramesExpected(), gif_.FramesCount());
    area_ = cGIFComposer::CoveredArea(gif_, loader_->CoveredLeft(), loader_->CoveredTop(),
                                      loader_->CoveredRight(), loader_->CoveredBottom());
    int32_t w = 0;
    int32_t h = 0;
    cGIFComposer::CanvasSize(gif_, loader_->CoveredRight(), loader_->CoveredBottom(), w, h);
    canvas_ = QSize(w, h);
    // The worker starts once frame 1 is composed (TimerStep), so that it does
    // not compete with it for the processor.
    StartAnimation(autoPlay_);
    return frameCount_ >= 1;
}

void ucGIFViewer::startBackground() {
    // A handler of GIFFrameRendered may have loaded or destroyed meanwhile.
    if (!loader_ || background_ || !loader_->Loading() || gif_.FramesCount() >= frameCount_) {
        loader_.reset();
        return;
    }
    auto state = std::make_shared<Background>();
    background_ = state;
    // The worker owns the loader; the viewer's destructor, Destroy and every new
    // load end it (stopBackground) before the viewer or its model change.
    state->worker = std::thread([this, state, loader = std::move(loader_)]() {
        GIFFrame frame;
        while (!state->cancel.load() && loader->Next(frame)) {
            bool first = false;
            {
                std::lock_guard guard(state->lock);
                first = state->ready.empty();
                state->ready.push_back(std::move(frame));
            }
            state->arrived.notify_all();
            if (first) {
                QMetaObject::invokeMethod(this, &ucGIFViewer::framesArrived, Qt::QueuedConnection);
            }
        }
        {
            std::lock_guard guard(state->lock);
            state->done = true;
        }
        state->arrived.notify_all();
        QMetaObject::invokeMethod(this, &ucGIFViewer::framesArrived, Qt::QueuedConnection);
    });
}

void ucGIFViewer::stopBackground() {
    loader_.reset();
    waitingFrame_ = false;
    if (!background_) {
        return;
    }
    background_->cancel = true;
    if (background_->worker.joinable()) {
        background_->worker.join();
    }
    background_.reset();
}

// Takes the frames decoded so far; with `wait`, blocks until frame n is there or
// the decoding is over. True when frame n is in the model.
bool ucGIFViewer::ensureFrame(std::int16_t n, bool wait) {
    if (n > gif_.FramesCount()) {
        startBackground();
    }
    if (n <= gif_.FramesCount() || !background_) {
        return n <= gif_.FramesCount();
    }
    Background& b = *background_;
    std::vector<GIFFrame> taken;
    bool done = false;
    {
        std::unique_lock guard(b.lock);
        if (wait) {
            b.arrived.wait(guard, [&] {
                return b.done || gif_.FramesCount() + std::int64_t(b.ready.size()) >= n;
            });
        }
        taken.swap(b.ready);
        done = b.done;
    }
    for (GIFFrame& f : taken) {
        gif_.FrameAppend(std::move(f));
    }
    if (done) {
        b.worker.join();
        background_.reset();
        if (gif_.FramesCount() != frameCount_) {
            // Memory ran out on the way: play what was decoded.
            frameCount_ = gif_.FramesCount();
            if (currentFrame_ > frameCount_) {
                currentFrame_ = 1;
            }
            emit GIFFramesChanged(frameCount_);
        }
    }
    return n <= gif_.FramesCount();
}

void ucGIFViewer::framesArrived() {
    if (!background_) {
        return;
    }
    ensureFrame(gif_.FramesCount() + 1, false);
    if (waitingFrame_ && playing_ && currentFrame_ <= gif_.FramesCount()) {
        // Playback waited for this frame: show it now and go on from here.
        waitingFrame_ = false;
        startPlayback(0);
    }
}
