#include "controls/ucGIFViewer.h"

#include "imaging/Units.h"
#include "platform/PictureConvert.h"

#include <QFile>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

ucGIFViewer::ucGIFViewer(QWidget* parent) : QFrame(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFrameStyle(QFrame::NoFrame);
    // Each frame is scheduled by hand from its due time; a coarse timer would
    // add up to 5% of every delay.
    tmrDelay_.setTimerType(Qt::PreciseTimer);
    tmrDelay_.setSingleShot(true);
    connect(&tmrDelay_, &QTimer::timeout, this, &ucGIFViewer::tmrDelay_Timer);
    clock_.start();
}

ucGIFViewer::~ucGIFViewer() {
    stopPlayback();
    endWorker();
}

std::int64_t ucGIFViewer::SurfaceBytes() const {
    std::int64_t bytes = composer_.SurfaceBytes();
    for (std::int16_t n = 1; n <= gif_.FramesCount(); ++n) {
        for (const auto& surface : {gif_.FrameDIBXOR(n), gif_.FrameDIBAND(n)}) {
            bytes += surface ? surface->size() : 0;
        }
    }
    return bytes;
}

void ucGIFViewer::StartAnimation(bool play) {
    if (frameCount_ < 1) {
        return;
    }
    SetupBuffers();
    currentFrame_ = 1;
    update();
    if (mayPlay() && play) {
        interval_ = 1;
        startPlayback(interval_);
    } else {
        TimerStep();
    }
}

void ucGIFViewer::SetupBuffers() {
    composer_.Setup(area_, backColor_);
    UpdateDisplayRect();
}

namespace {

// cDIB::GetBestFitInfo's placement, for a picture that need not exist as a surface.
QRect bestFit(QSize picture, QSize box) {
    const std::int64_t w = picture.width();
    const std::int64_t h = picture.height();
    std::int32_t bfW = picture.width();
    std::int32_t bfH = picture.height();
    if (w > box.width() || h > box.height()) {
        const double rx = double(box.width()) / double(w);
        const double ry = static_cast<float>(double(box.height()) / double(h));
        if (rx < ry) {
            bfW = box.width();
            bfH = units::RoundHalfEvenTo<std::int32_t>(double(h) * rx);
        } else {
            bfH = box.height();
            bfW = units::RoundHalfEvenTo<std::int32_t>(double(w) * ry);
        }
    }
    return QRect(int((std::int64_t{box.width()} - bfW) / 2),
                 int((std::int64_t{box.height()} - bfH) / 2), bfW, bfH);
}

} // namespace

void ucGIFViewer::UpdateDisplayRect() {
    if (!composer_.FrameBuffer().hDIB() || canvas_.isEmpty()) {
        return;
    }
    display_ = bestFit(canvas_, contentsRect().size());
}

// Where the frame buffer lands inside the displayed screen, in widget coordinates.
QRectF ucGIFViewer::bufferRect() const {
    const QRect shown = DisplayRect();
    const double sx = double(shown.width()) / canvas_.width();
    const double sy = double(shown.height()) / canvas_.height();
    return QRectF(shown.x() + area_.x * sx, shown.y() + area_.y * sy, area_.width * sx,
                  area_.height * sy);
}

QRect ucGIFViewer::DisplayRect() const {
    return display_.translated(contentsRect().topLeft());
}

void ucGIFViewer::Play() {
    if (!mayPlay()) {
        stopPlayback();
        return;
    }
    if (!playing_) {
        startPlayback(interval_);
    }
}

void ucGIFViewer::Pause() {
    stopPlayback();
}

void ucGIFViewer::Rewind() {
    currentFrame_ = 1;
}

void ucGIFViewer::NextFrame() {
    if (frameCount_ >= 1 && !playing_) {
        // A step asked for by hand waits for its frame if it is still decoding.
        ensureFrame(currentFrame_, true);
        TimerStep();
    }
}

void ucGIFViewer::Destroy() {
    stopPlayback();
    stopBackground();
    frameCount_ = 0;
    countKnown_ = true;
    gif_.Destroy();
    composer_.Reset();
    area_ = {};
    canvas_ = QSize();
    display_.setSize(QSize(0, 0));
    update();
}

QImage ucGIFViewer::GIFCurrentFrameImage() const {
    return platform::ImageFromPicture(composer_.FrameBuffer().Image());
}

void ucGIFViewer::setBackColor(platform::ColorRef New_BackColor) {
    backColor_ = New_BackColor;
    const bool wasPlaying = playing_;
    stopPlayback();
    StartAnimation(wasPlaying);
    update();
}

void ucGIFViewer::setBorderStyle(int New_BorderStyle) {
    borderStyle_ = New_BorderStyle;
    if (New_BorderStyle == 1) {
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setLineWidth(1);
    } else {
        setFrameStyle(QFrame::NoFrame);
    }
    UpdateDisplayRect();
    update();
}

void ucGIFViewer::TimerStep() {
    DrawFrame();
    const bool more = currentFrame_ < frameCount_ || !countKnown_;
    currentFrame_ = more ? std::int16_t(currentFrame_ + 1) : std::int16_t(1);
    update();
}

void ucGIFViewer::DrawFrame() {
    const std::int16_t n = currentFrame_;
    // The delay of the frame being drawn is the time until the next one.
    interval_ = cGIFComposer::FrameInterval(gif_.FrameDelay(n));
    composer_.DrawFrame(gif_, n);
    emit GIFFrameRendered(n);
}

void ucGIFViewer::startPlayback(qint64 firstDelay) {
    ++run_;
    playing_ = true;
    due_ = clock_.elapsed() + firstDelay;
    tmrDelay_.start(int(std::max<qint64>(0, firstDelay)));
}

void ucGIFViewer::stopPlayback() {
    ++run_;
    playing_ = false;
    tmrDelay_.stop();
}

void ucGIFViewer::tmrDelay_Timer() {
    if (!ensureFrame(currentFrame_, false)) {
        // Still decoding: framesArrived shows it the moment it is there.
        waitingFrame_ = true;
        return;
    }
    const quint64 run = run_;
    TimerStep();
    // A handler of GIFFrameRendered may have paused, restarted or destroyed.
    if (run != run_ || !playing_) {
        return;
    }
    due_ += interval_;
    const qint64 now = clock_.elapsed();
    if (now - due_ > ResyncAfterMs) {
        due_ = now;
    }
    tmrDelay_.start(int(std::clamp<qint64>(due_ - now, 0, std::numeric_limits<int>::max())));
}

void ucGIFViewer::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect inner = contentsRect();
    const QRect shown = DisplayRect();
    const cDIB& buffer = composer_.FrameBuffer();
    const bool hasFrame = buffer.hDIB() != 0 && !shown.isEmpty();
    // The margins round the picture, or the whole area when there is none.
    QRegion margins(inner);
    if (hasFrame) {
        margins -= QRegion(shown);
    }
    const QColor back = platform::ColorFromRef(backColor_);
    for (const QRect& r : margins) {
        painter.fillRect(r, back);
    }
    if (hasFrame) {
        // The 32-bit surface has QImage's RGB32 layout: shown without a copy,
        // nearest-pixel scaled like COLORONCOLOR.
        const QImage frame(buffer.lpBits(), buffer.Width(), buffer.Height(),
                           buffer.BytesPerScanline(), QImage::Format_RGB32);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.setClipRect(inner);
        if (buffer.Width() == canvas_.width() && buffer.Height() == canvas_.height()) {
            painter.drawImage(shown, frame);
        } else {
            // The screen outside the frames' area is the background.
            painter.fillRect(shown, back);
            painter.drawImage(bufferRect(), frame);
        }
    }
}

bool ucGIFViewer::event(QEvent* event) {
    if (event->type() == StartDecodingEvent()) {
        startBackground();
        return true;
    }
    return QFrame::event(event);
}

void ucGIFViewer::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    UpdateDisplayRect();
    update();
}
