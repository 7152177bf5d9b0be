// ucGIFViewer: loading. The header and frame 1 are read on the window's thread so
// that the picture shows at once; the viewer's own worker thread (started at the
// first load and kept for the next) reads the rest of the file, counts its frames,
// decodes them into their own surfaces and hands the finished records over, and
// the window's thread appends them to the model it draws from. Nothing is shared
// but the hand-over state.

#include "controls/ucGIFViewer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

struct ucGIFViewer::Background {
    std::mutex lock;
    std::condition_variable wake;    // the worker: a load to decode, or the end
    std::condition_variable arrived; // the window's thread: frames, the count, the end
    std::unique_ptr<cGIFLoader> job; // handed to the worker
    std::vector<GIFFrame> ready;     // decoded, not yet taken by the window's thread
    std::int16_t expected = -1;      // the whole count once the worker knows it
    std::int16_t loops = 0;
    bool done = false; // the worker is through with the load it was given
    bool quit = false;
    std::atomic<bool> cancel{false};
    std::thread worker;

    void run(ucGIFViewer* viewer);
    void decode(cGIFLoader& loader, ucGIFViewer* viewer);
};

void ucGIFViewer::Background::run(ucGIFViewer* viewer) {
    std::unique_lock guard(lock);
    for (;;) {
        wake.wait(guard, [this] { return quit || job; });
        if (quit) {
            return;
        }
        std::unique_ptr<cGIFLoader> loader = std::move(job);
        guard.unlock();
        decode(*loader, viewer);
        loader.reset(); // the file's bytes are let go here, not on the window's thread
        guard.lock();
        done = true;
        arrived.notify_all();
        QMetaObject::invokeMethod(viewer, &ucGIFViewer::framesArrived, Qt::QueuedConnection);
    }
}

void ucGIFViewer::Background::decode(cGIFLoader& loader, ucGIFViewer* viewer) {
    const auto post = [viewer] {
        QMetaObject::invokeMethod(viewer, &ucGIFViewer::framesArrived, Qt::QueuedConnection);
    };
    if (!loader.Known()) {
        if (cancel.load()) {
            return;
        }
        loader.ReadRest();
        {
            std::lock_guard guard(lock);
            expected = loader.FramesExpected();
            loops = loader.AnimationLoops();
        }
        post();
    }
    GIFFrame frame;
    while (!cancel.load() && loader.Next(frame)) {
        bool first = false;
        {
            std::lock_guard guard(lock);
            first = ready.empty();
            ready.push_back(std::move(frame));
        }
        arrived.notify_all();
        if (first) {
            post();
        }
    }
}

QEvent::Type ucGIFViewer::StartDecodingEvent() {
    static const auto type = QEvent::Type(QEvent::registerEventType());
    return type;
}

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

namespace {

// True when frame 1 alone covers the whole canvas, so that no later frame can
// change the area the surfaces must hold.
bool firstCoversScreen(const cGIF& gif) {
    if (gif.ScreenWidth() == 0 || gif.ScreenHeight() == 0) {
        return false; // the canvas then depends on every frame's extent
    }
    const cGIFComposer::Area first = cGIFComposer::CoveredArea(gif);
    return first.x == 0 && first.y == 0 && first.width == std::uint16_t(gif.ScreenWidth()) &&
           first.height == std::uint16_t(gif.ScreenHeight());
}

} // namespace

bool ucGIFViewer::load(bool begun) {
    GIFFrame first;
    if (!begun || !loader_->Next(first)) {
        loader_.reset();
        return false;
    }
    gif_.FrameAppend(std::move(first));
    if (!loader_->Known() && !firstCoversScreen(gif_)) {
        loader_->ReadRest(); // the surfaces' area depends on the later frames
    }
    countKnown_ = loader_->Known();
    if (countKnown_) {
        frameCount_ = std::max(loader_->FramesExpected(), gif_.FramesCount());
        gif_.setAnimationLoops(loader_->AnimationLoops());
        area_ = cGIFComposer::CoveredArea(gif_, loader_->CoveredLeft(), loader_->CoveredTop(),
                                          loader_->CoveredRight(), loader_->CoveredBottom());
    } else {
        frameCount_ = gif_.FramesCount(); // until the worker has counted them
        area_ = cGIFComposer::CoveredArea(gif_);
    }
    int32_t w = 0;
    int32_t h = 0;
    cGIFComposer::CanvasSize(gif_, area_.x + area_.width, area_.y + area_.height, w, h);
    canvas_ = QSize(w, h);
    StartAnimation(autoPlay_);
    if (loader_) {
        // Posted as paint requests are (low priority, after the one for frame 1),
        // so that the worker does not compete with putting frame 1 on screen.
        QCoreApplication::postEvent(this, new QEvent(StartDecodingEvent()), Qt::LowEventPriority);
    }
    return frameCount_ >= 1;
}

void ucGIFViewer::startBackground() {
    // A handler of GIFFrameRendered may have loaded or destroyed meanwhile.
    if (!loader_ || decoding_) {
        return;
    }
    if (loader_->Known() && (!loader_->Loading() || gif_.FramesCount() >= frameCount_)) {
        loader_.reset();
        return;
    }
    if (!background_) {
        background_ = std::make_shared<Background>();
        background_->worker = std::thread(&Background::run, background_.get(), this);
    }
    {
        std::lock_guard guard(background_->lock);
        background_->job = std::move(loader_);
    }
    decoding_ = true;
    background_->wake.notify_one();
}

// Ends the decoding of the current load; the worker waits for the next.
void ucGIFViewer::stopBackground() {
    loader_.reset();
    waitingFrame_ = false;
    if (!decoding_) {
        return;
    }
    Background& b = *background_;
    b.cancel = true;
    std::unique_lock guard(b.lock);
    b.arrived.wait(guard, [&b] { return b.done; });
    b.ready.clear();
    b.expected = -1;
    b.done = false;
    b.cancel = false;
    decoding_ = false;
}

void ucGIFViewer::endWorker() {
    stopBackground();
    if (background_) {
        {
            std::lock_guard guard(background_->lock);
            background_->quit = true;
        }
        background_->wake.notify_one();
        background_->worker.join();
        background_.reset();
    }
}

// Takes the frames decoded so far and the count once known; with `wait`, blocks
// until frame n is there or the decoding is over. True when frame n is in the model.
bool ucGIFViewer::ensureFrame(std::int16_t n, bool wait) {
    if (n > gif_.FramesCount()) {
        startBackground();
    }
    if (n <= gif_.FramesCount() || !decoding_) {
        return n <= gif_.FramesCount();
    }
    Background& b = *background_;
    std::vector<GIFFrame> taken;
    bool done = false;
    std::int16_t expected = -1;
    {
        std::unique_lock guard(b.lock);
        if (wait) {
            b.arrived.wait(guard, [&] {
                return b.done || gif_.FramesCount() + std::int64_t(b.ready.size()) >= n;
            });
        }
        taken.swap(b.ready);
        done = b.done;
        expected = b.expected;
        if (done) {
            b.done = false;
            b.expected = -1;
            decoding_ = false;
        }
        if (!countKnown_ && expected >= 0) {
            gif_.setAnimationLoops(b.loops);
        }
    }
    for (GIFFrame& f : taken) {
        gif_.FrameAppend(std::move(f));
    }
    const std::int16_t before = frameCount_;
    if (!countKnown_ && expected >= 0) {
        countKnown_ = true;
        frameCount_ = std::max(expected, gif_.FramesCount());
    }
    if (done && gif_.FramesCount() != frameCount_) {
        // Memory ran out on the way: play what was decoded.
        frameCount_ = gif_.FramesCount();
    }
    if (frameCount_ != before) {
        countChanged();
    }
    return n <= gif_.FramesCount();
}

void ucGIFViewer::countChanged() {
    if (currentFrame_ > frameCount_) {
        currentFrame_ = 1;
    }
    if (frameCount_ < 2) {
        stopPlayback();
        waitingFrame_ = false;
    }
    emit GIFFramesChanged(frameCount_);
}

void ucGIFViewer::framesArrived() {
    if (!decoding_) {
        return;
    }
    ensureFrame(gif_.FramesCount() + 1, false);
    if (waitingFrame_ && playing_ && currentFrame_ <= gif_.FramesCount()) {
        // Playback waited for this frame: show it now and go on from here.
        waitingFrame_ = false;
        startPlayback(0);
    }
}
