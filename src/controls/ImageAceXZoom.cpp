// ImageAceX's zoom display: the full view's fit, actual size, zoom steps and
// pan. The arithmetic is ZoomLayout's; the scroll bars and the viewport are
// placed by the same layout as display mode 0, with the picture at its zoomed
// size, so actual size looks and scrolls as mode 0 does.

#include "controls/ImageAceX.h"
#include "controls/ZoomLayout.h"
#include "controls/ZoomSurface.h"
#include "imaging/Units.h"

#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <cmath>

namespace {

/// A position on whole device pixels, so that 100% copies pixels exactly.
QPointF Snapped(QPointF at, double dpr) {
    return {std::round(at.x() * dpr) / dpr, std::round(at.y() * dpr) / dpr};
}

} // namespace

void ImageAceX::setZoomable(bool on) {
    if (zoomable_ == on)
        return;
    zoomable_ = on;
    zoomSurface_->setVisible(on);
    picDst_->setVisible(!on);
    if (on)
        setPicture(iSrc_, iSrc_.size());
    else
        UserControl_Resize();
}

void ImageAceX::setPicture(const QImage& picture, QSize originalSize) {
    iSrc_ = picture.isNull() ? QImage() : picture.convertToFormat(QImage::Format_RGB32);
    originalSize_ = iSrc_.isNull() ? QSize() : originalSize;
    if (originalSize_.isEmpty())
        originalSize_ = iSrc_.size();
    sizing_ = startSizing_;
    origin_ = QPointF();
    zoom_ = 1.0;
    if (!zoomable_) {
        UserControl_Resize();
    } else {
        ArrangeZoom();
        emit ZoomChanged();
    }
    emit PropertyChanged(QStringLiteral("Picture"));
}

void ImageAceX::setSharperPicture(const QImage& picture) {
    if (picture.isNull())
        return;
    iSrc_ = picture.convertToFormat(QImage::Format_RGB32);
    if (!zoomable_)
        UserControl_Resize();
    else
        ArrangeZoom();
}

void ImageAceX::ZoomFit() {
    sizing_ = startSizing_ = Sizing::Fit;
    ArrangeZoom();
    emit ZoomChanged();
}

void ImageAceX::ZoomActual() {
    sizing_ = startSizing_ = Sizing::Actual;
    origin_ = QPointF();
    ArrangeZoom();
    emit ZoomChanged();
}

void ImageAceX::ZoomIn(std::optional<QPointF> at) {
    ZoomStep(true, at);
}

void ImageAceX::ZoomOut(std::optional<QPointF> at) {
    ZoomStep(false, at);
}

void ImageAceX::ZoomStep(bool in, std::optional<QPointF> at) {
    if (!zoomable_ || originalSize_.isEmpty())
        return;
    const double dpr = devicePixelRatioF();
    const zoom::Limits limits =
        zoom::LimitsFor(zoom::FitZoom(QSizeF(originalSize_), QSizeF(size()) * dpr));
    const double next = in ? zoom::StepIn(zoom_, limits) : zoom::StepOut(zoom_, limits);
    if (next == zoom_)
        return; // at a limit: a fitted picture stays fitted through resizes
    const QPointF anchor = zoomSurface_->mapFrom(this, at.value_or(rect().center()));
    origin_ = zoom::ZoomAround(origin_, zoom_ / dpr, next / dpr, anchor);
    zoom_ = next;
    sizing_ = Sizing::Zoomed;
    ArrangeZoom();
    emit ZoomChanged();
}

void ImageAceX::PanBy(QPointF delta) {
    if (zoomable_)
        ScrollTo(origin_ + delta);
}

void ImageAceX::ScrollTo(QPointF origin) {
    const QPointF before = origin_;
    origin_ = origin;
    ArrangeZoom();
    if (origin_ != before)
        emit ZoomChanged();
}

void ImageAceX::ArrangeZoom() {
    const double dpr = devicePixelRatioF();
    const double fit = zoom::FitZoom(QSizeF(originalSize_), QSizeF(size()) * dpr);
    if (sizing_ == Sizing::Fit)
        zoom_ = fit;
    else if (sizing_ == Sizing::Actual)
        zoom_ = 1.0;
    else
        zoom_ = zoom::Clamp(zoom_, zoom::LimitsFor(fit));
    const QSizeF shown = QSizeF(originalSize_) * (zoom_ / dpr);
    layout_ = scrollview::ArrangeScrollView(width(), height(), int(std::ceil(shown.width())),
                                            int(std::ceil(shown.height())), borderStyle_,
                                            hSB_->sizeHint().height(), vSB_->sizeHint().width());
    const auto place = [](QWidget* w, const scrollview::Box& box) {
        w->setGeometry(units::RoundHalfEvenTo<std::int32_t>(box.left),
                       units::RoundHalfEvenTo<std::int32_t>(box.top), std::max(box.width, 0),
                       std::max(box.height, 0));
    };
    place(picScl_, layout_.viewport);
    const QSizeF inner(
        layout_.viewport.width - (layout_.vBar.visible ? layout_.vBar.geometry.width : 0),
        layout_.viewport.height - (layout_.hBar.visible ? layout_.hBar.geometry.height : 0));
    zoomSurface_->setGeometry(0, 0, int(inner.width()), int(inner.height()));
    origin_ = Snapped(zoom::ClampOrigin(origin_, shown, inner), dpr);
    const auto applyBar = [&](QScrollBar* bar, const scrollview::Bar& spec, double offset) {
        const QSignalBlocker block(bar);
        place(bar, spec.geometry);
        bar->setRange(0, std::max(spec.max, 0));
        bar->setPageStep(spec.largeChange);
        bar->setSingleStep(std::max(1, spec.largeChange / 10));
        bar->setValue(int(std::lround(-offset)));
        bar->setVisible(spec.visible);
        bar->raise();
    };
    applyBar(hSB_, layout_.hBar, std::min(origin_.x(), 0.0));
    applyBar(vSB_, layout_.vBar, std::min(origin_.y(), 0.0));
    place(cmdCorner_, layout_.corner);
    cmdCorner_->setVisible(layout_.cornerVisible);
    cmdCorner_->raise();
    picScl_->Cls();
    zoomSurface_->Show(iSrc_, originalSize_, zoom_, origin_);
}
