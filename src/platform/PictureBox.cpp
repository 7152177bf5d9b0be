#include "platform/PictureBox.h"

#include "imaging/Units.h"
#include "platform/Twips.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace platform {
namespace {

int buttonBits(Qt::MouseButtons buttons) {
    int bits = 0;
    if (buttons & Qt::LeftButton) {
        bits |= vbLeftButton;
    }
    if (buttons & Qt::RightButton) {
        bits |= vbRightButton;
    }
    if (buttons & Qt::MiddleButton) {
        bits |= vbMiddleButton;
    }
    return bits;
}

int clampedRound(double value) {
    constexpr int limit = 1 << 24; // far beyond any screen, far inside int
    return std::clamp(units::RoundHalfEvenTo<int>(value), -limit, limit);
}

} // namespace

int ShiftFromModifiers(Qt::KeyboardModifiers modifiers) {
    int shift = 0;
    if (modifiers & Qt::ShiftModifier) {
        shift |= vbShiftMask;
    }
    if (modifiers & Qt::ControlModifier) {
        shift |= vbCtrlMask;
    }
    if (modifiers & Qt::AltModifier) {
        shift |= vbAltMask;
    }
    return shift;
}

int KeyAsciiFromEvent(const QKeyEvent& event) {
    switch (event.key()) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
        return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Escape:
        return 27;
    default:
        break;
    }
    const QString text = event.text();
    if (text.size() == 1 && text.at(0).unicode() >= 32 && text.at(0).unicode() < 256) {
        return text.at(0).unicode();
    }
    return 0;
}

PictureBox::PictureBox(QWidget* parent) : QWidget(parent), backColor_(vbButtonFace) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(false);
}

PictureBox::~PictureBox() {
    gdi::DeleteDC(dc_);
}

void PictureBox::setBackColor(ColorRef New_BackColor) {
    // The colour is the box's own: children keep their palettes.
    backColor_ = New_BackColor;
    update();
}

void PictureBox::setScaleMode(ScaleMode New_ScaleMode) {
    scaleMode_ = New_ScaleMode;
}

double PictureBox::toScale(double pixels) const {
    return scaleMode_ == ScaleMode::Twips ? PixelsToTwipsF(pixels) : pixels;
}

double PictureBox::ScaleWidth() const {
    return toScale(width());
}

double PictureBox::ScaleHeight() const {
    return toScale(height());
}

void PictureBox::syncImageSize() const {
    // Whoever replaced the image through Surface() may have left another format.
    if (!image_.isNull() && image_.format() != QImage::Format_RGB32) {
        image_ = image_.convertToFormat(QImage::Format_RGB32);
    }
    const qreal dpr = deviceResolution_ ? devicePixelRatioF() : 1.0;
    const QSize pixels = (QSizeF(size()) * dpr).toSize();
    if ((image_.size() == pixels && image_.devicePixelRatio() == dpr) ||
        (image_.isNull() && size().isEmpty())) {
        // Rebind when the pixels moved (replaced, or detached from a copy) or
        // are shared with a copy, which must not see drawing on the box.
        if (dc_ != nullptr &&
            (image_.constBits() != boundBits_ || (!image_.isNull() && !image_.isDetached()))) {
            bindContext();
        }
        return;
    }
    if (size().isEmpty()) {
        image_ = QImage();
        bindContext();
        return;
    }
    QImage resized(pixels, QImage::Format_RGB32);
    if (resized.isNull()) { // allocation refused: keep showing the background only
        image_ = QImage();
        bindContext();
        return;
    }
    resized.setDevicePixelRatio(dpr);
    resized.fill(RgbFromRef(backColor_));
    if (!image_.isNull()) {
        QPainter painter(&resized);
        painter.drawImage(0, 0, image_);
    }
    image_ = std::move(resized);
    bindContext();
}

void PictureBox::Cls() {
    syncImageSize();
    if (!image_.isNull()) {
        image_.fill(RgbFromRef(backColor_));
    }
    update();
}

QImage PictureBox::Image() const {
    syncImageSize();
    return image_.copy();
}

QImage& PictureBox::Surface() {
    syncImageSize();
    return image_;
}

gdi::HDC PictureBox::hDC() {
    syncImageSize();
    if (dc_ == nullptr) {
        dc_ = gdi::CreateCompatibleDC();
        bindContext();
    }
    return dc_;
}

void PictureBox::bindContext() const {
    if (dc_ == nullptr) {
        return;
    }
    gdi::PixelBuffer buffer;
    if (!image_.isNull()) {
        buffer.bits = image_.bits(); // detaches from any copy: the box owns these pixels
        buffer.width = image_.width();
        buffer.height = image_.height();
        buffer.stride = static_cast<std::int32_t>(image_.bytesPerLine());
        buffer.bpp = 32;
    }
    if (!gdi::SelectBuffer(dc_, buffer)) {
        gdi::SelectBuffer(dc_, gdi::PixelBuffer{}); // never left bound to old pixels
    }
    boundBits_ = image_.constBits();
}

void PictureBox::setImage(const QImage& image) {
    if (autoSize_ && !image.isNull()) {
        resize(image.size());
    }
    Cls();
    if (!image_.isNull() && !image.isNull()) {
        QPainter painter(&image_);
        painter.drawImage(0, 0, image);
    }
    update();
}

void PictureBox::Move(double left, double top, double width, double height) {
    setGeometry(clampedRound(left), clampedRound(top), std::max(0, clampedRound(width)),
                std::max(0, clampedRound(height)));
}

void PictureBox::paintEvent(QPaintEvent* event) {
    syncImageSize();
    QPainter painter(this);
    const QRect area = event->rect();
    if (image_.isNull()) {
        painter.fillRect(area, ColorFromRef(backColor_));
        return;
    }
    if (image_.devicePixelRatio() == 1.0) {
        painter.drawImage(area.topLeft(), image_, area);
        return;
    }
    // Device pixels land 1:1 on the screen's; the painter maps them from
    // the image's ratio.
    painter.setClipRect(area);
    painter.drawImage(QPointF(0, 0), image_);
}

void PictureBox::setDeviceResolution(bool on) {
    deviceResolution_ = on;
    syncImageSize();
    update();
}

void PictureBox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    syncImageSize();
    emit Resize();
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        leftPressed_ = true;
    }
    const QPointF pos = event->position();
    emit MouseDown(buttonBits(event->button()), ShiftFromModifiers(event->modifiers()),
                   toScale(pos.x()), toScale(pos.y()));
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    const QPointF pos = event->position();
    emit MouseUp(buttonBits(event->button()), ShiftFromModifiers(event->modifiers()),
                 toScale(pos.x()), toScale(pos.y()));
    if (event->button() == Qt::LeftButton && leftPressed_) {
        leftPressed_ = false;
        if (rect().contains(pos.toPoint())) {
            emit Click();
        }
    }
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        leftPressed_ = false; // the release that ends a double-click is no click
        emit DblClick();
    }
    const QPointF pos = event->position();
    emit MouseDown(buttonBits(event->button()), ShiftFromModifiers(event->modifiers()),
                   toScale(pos.x()), toScale(pos.y()));
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
    const QPointF pos = event->position();
    emit MouseMove(buttonBits(event->buttons()), ShiftFromModifiers(event->modifiers()),
                   toScale(pos.x()), toScale(pos.y()));
}

void PictureBox::keyPressEvent(QKeyEvent* event) {
    emit KeyDown(event->key(), ShiftFromModifiers(event->modifiers()));
    if (const int keyAscii = KeyAsciiFromEvent(*event); keyAscii != 0) {
        emit KeyPress(keyAscii);
    }
    // Keys belong to the box that has the focus; the host listens to the signals.
    event->accept();
}

void PictureBox::keyReleaseEvent(QKeyEvent* event) {
    emit KeyUp(event->key(), ShiftFromModifiers(event->modifiers()));
    event->accept();
}

} // namespace platform
