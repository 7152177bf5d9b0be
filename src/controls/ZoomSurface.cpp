#include "controls/ZoomSurface.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

ZoomSurface::ZoomSurface(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("zoomSurface"));
    // Clicks leave the keyboard focus where it is, so keys keep reaching the
    // control that hosts this surface.
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ZoomSurface::Show(const QImage& picture, QSize original, double zoom, QPointF origin) {
    picture_ = picture;
    original_ = original;
    zoom_ = zoom;
    origin_ = origin;
    update();
}

void ZoomSurface::setBackground(QColor colour) {
    background_ = colour;
    update();
}

const QImage& ZoomSurface::Shrunk(QSize size) {
    if (shrunk_.size() != size || shrunkFrom_ != picture_.cacheKey()) {
        // Qt's smooth scaling averages the source pixels each target pixel
        // covers when it shrinks.
        shrunk_ = picture_.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        shrunkFrom_ = picture_.cacheKey();
    }
    return shrunk_;
}

void ZoomSurface::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), background_);
    if (picture_.isNull() || original_.isEmpty() || !(zoom_ > 0.0)) {
        return;
    }
    const double dpr = devicePixelRatioF();
    // Device pixels per pixel of the picture at hand (fewer than the
    // original's while a stand-in is shown).
    const double perPixel = zoom_ * original_.width() / picture_.width();
    const QRectF target(origin_, QSizeF(original_) * (zoom_ / dpr));
    if (perPixel < 1.0) {
        const QSize device(std::max(1, int(std::lround(picture_.width() * perPixel))),
                           std::max(1, int(std::lround(picture_.height() * perPixel))));
        QImage shrunk = Shrunk(device);
        shrunk.setDevicePixelRatio(dpr);
        painter.drawImage(target.topLeft(), shrunk);
        return;
    }
    // Only the part in sight is drawn, so 3200% of a large photo costs no
    // more than the screen. A stand-in is enlarged smoothly; the real pixels
    // stay sharp squares when zoomed in.
    const QRectF visible = target.intersected(QRectF(event->rect()));
    if (visible.isEmpty()) {
        return;
    }
    const double toSource = picture_.width() / target.width();
    const QRectF source((visible.left() - target.left()) * toSource,
                        (visible.top() - target.top()) * toSource, visible.width() * toSource,
                        visible.height() * toSource);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, picture_.width() < original_.width());
    painter.drawImage(visible, picture_, source);
}

void ZoomSurface::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragging_ = true;
        dragFrom_ = event->position();
    }
    event->accept(); // the host hears of it through the signals
}

void ZoomSurface::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ && (event->buttons() & Qt::LeftButton)) {
        const QPointF delta = event->position() - dragFrom_;
        dragFrom_ = event->position();
        emit Dragged(delta);
    }
    event->accept();
}

void ZoomSurface::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragging_ = false;
    }
    event->accept();
}

void ZoomSurface::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit DblClick();
    }
    event->accept();
}
