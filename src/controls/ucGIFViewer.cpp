#include "controls/ucGIFViewer.h"

#include "platform/PictureConvert.h"

#include <QFile>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
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
}

bool ucGIFViewer::LoadFromFile(const QString& FileName) {
    stopPlayback();
    frameCount_ = 0;
    return finishLoad(gif_.LoadFromFile(QFile::encodeName(FileName).toStdString()));
}

bool ucGIFViewer::LoadFromResource(const QString& ResourceID, const QString& ResourceType) {
    stopPlayback();
    frameCount_ = 0;
    QFile resource(QStringLiteral(":/%1/%2").arg(ResourceType, ResourceID));
    if (!resource.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray bytes = resource.readAll();
    const std::vector<std::uint8_t> stream(bytes.begin(), bytes.end());
    return finishLoad(gif_.LoadFromStream(stream));
}

bool ucGIFViewer::finishLoad(bool loaded) {
    if (loaded) {
        frameCount_ = gif_.FramesCount();
    }
    StartAnimation(autoPlay_);
    return frameCount_ >= 1;
}

void ucGIFViewer::StartAnimation(bool play) {
    if (frameCount_ < 1) {
        return;
    }
    SetupBuffers();
    currentFrame_ = 1;
    update();
    if (frameCount_ >= 2 && play) {
        interval_ = 1;
        startPlayback(interval_);
    } else {
        TimerStep();
    }
}

void ucGIFViewer::SetupBuffers() {
    composer_.Setup(gif_, backColor_);
    UpdateDisplayRect();
}

void ucGIFViewer::UpdateDisplayRect() {
    int32_t x = display_.x();
    int32_t y = display_.y();
    int32_t w = display_.width();
    int32_t h = display_.height();
    const QRect inner = contentsRect();
    composer_.FrameBuffer().GetBestFitInfo(inner.width(), inner.height(), x, y, w, h, false);
    display_ = QRect(x, y, w, h);
}

QRect ucGIFViewer::DisplayRect() const {
    return display_.translated(contentsRect().topLeft());
}

void ucGIFViewer::Play() {
    if (frameCount_ < 2) {
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
        TimerStep();
    }
}

void ucGIFViewer::Destroy() {
    stopPlayback();
    frameCount_ = 0;
    gif_.Destroy();
    composer_.Reset();
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
    currentFrame_ = currentFrame_ < frameCount_ ? std::int16_t(currentFrame_ + 1) : std::int16_t(1);
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
        painter.drawImage(shown, frame);
    }
}

void ucGIFViewer::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    UpdateDisplayRect();
    update();
}
