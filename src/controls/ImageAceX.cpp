#include "controls/ImageAceX.h"

#include "controls/ZoomSurface.h"
#include "imaging/Gdi.h"
#include "imaging/Units.h"
#include "platform/EdgePainter.h"
#include "platform/PictureConvert.h"
#include "platform/PropertyBag.h"

#include <QPushButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <QSignalBlocker>

namespace {

// The DrawEdge edge of each border style; 0 draws nothing.
unsigned EdgeOfStyle(int style) {
    switch (style) {
    case 1:
        return platform::BDR_RAISEDOUTER;
    case 2:
        return platform::BDR_RAISEDINNER;
    case 3:
        return platform::BDR_SUNKENOUTER;
    case 4:
        return platform::BDR_SUNKENINNER;
    case 5:
        return platform::EDGE_RAISED;
    case 6:
        return platform::EDGE_SUNKEN;
    case 7:
        return platform::EDGE_ETCHED;
    case 8:
        return platform::EDGE_BUMP;
    default:
        return 0;
    }
}

void Place(QWidget* widget, const scrollview::Box& box) {
    widget->setGeometry(units::RoundHalfEvenTo<std::int32_t>(box.left),
                        units::RoundHalfEvenTo<std::int32_t>(box.top), std::max(box.width, 0),
                        std::max(box.height, 0));
}

} // namespace

ImageAceX::ImageAceX(QWidget* parent) : platform::PictureBox(parent) {
    picScl_ = new platform::PictureBox(this);
    picScl_->setObjectName(QStringLiteral("picScl"));
    picScl_->setFocusPolicy(Qt::ClickFocus);
    picDst_ = new platform::PictureBox(picScl_);
    picDst_->setObjectName(QStringLiteral("picDst"));
    picDst_->setAutoSize(true);
    picDst_->setFocusPolicy(Qt::ClickFocus);
    picDst_->resize(0, 0);
    hSB_ = new QScrollBar(Qt::Horizontal, picScl_);
    hSB_->setObjectName(QStringLiteral("hSB"));
    vSB_ = new QScrollBar(Qt::Vertical, picScl_);
    vSB_->setObjectName(QStringLiteral("vSB"));
    cmdCorner_ = new QPushButton(picScl_);
    cmdCorner_->setObjectName(QStringLiteral("cmdCorner"));
    // The bars and the corner never hold the focus, so keys keep reaching the
    // host through the image surface.
    for (QWidget* w : {static_cast<QWidget*>(hSB_), static_cast<QWidget*>(vSB_),
                       static_cast<QWidget*>(cmdCorner_)}) {
        w->setFocusPolicy(Qt::NoFocus);
        w->hide();
    }
    connect(hSB_, &QScrollBar::valueChanged, this, [this](int value) {
        picDst_->move(-value, picDst_->y());
        if (zoomable_)
            ScrollTo(QPointF(-value, origin_.y()));
    });
    connect(vSB_, &QScrollBar::valueChanged, this, [this](int value) {
        picDst_->move(picDst_->x(), -value);
        if (zoomable_)
            ScrollTo(QPointF(origin_.x(), -value));
    });
    forwardEvents(picScl_);
    forwardEvents(picDst_);
    zoomSurface_ = new ZoomSurface(picScl_);
    zoomSurface_->hide();
    connect(zoomSurface_, &ZoomSurface::Dragged, this, [this](QPointF delta) { PanBy(delta); });
    connect(zoomSurface_, &ZoomSurface::DblClick, this, &PictureBox::DblClick);
    setBackColor(DefaultBackColor);
}

ImageAceX::~ImageAceX() = default;

void ImageAceX::forwardEvents(platform::PictureBox* part) {
    connect(part, &PictureBox::Click, this, &PictureBox::Click);
    connect(part, &PictureBox::DblClick, this, &PictureBox::DblClick);
    connect(part, &PictureBox::KeyPress, this, &PictureBox::KeyPress);
    connect(part, &PictureBox::MouseDown, this, &PictureBox::MouseDown);
    connect(part, &PictureBox::MouseUp, this, &PictureBox::MouseUp);
}

void ImageAceX::setPicture(const QImage& New_Picture) {
    iSrc_ = New_Picture.isNull() ? QImage() : New_Picture.convertToFormat(QImage::Format_RGB32);
    if (zoomable_) {
        setPicture(iSrc_, iSrc_.size());
        return;
    }
    // The picture shows at once in either mode rather than at the next resize,
    // so a window that is already open never shows the previous picture laid
    // out for the new one.
    UserControl_Resize();
    emit PropertyChanged(QStringLiteral("Picture"));
}

void ImageAceX::setPicture(const StdPicture& New_Picture) {
    setPicture(platform::ImageFromPicture(New_Picture));
}

void ImageAceX::setDisplaymode(int New_Displaymode) {
    displaymode_ = New_Displaymode;
    emit PropertyChanged(QStringLiteral("Displaymode"));
    UserControl_Resize();
}

void ImageAceX::setBorderStyle(int New_BorderStyle) {
    borderStyle_ = New_BorderStyle;
    emit PropertyChanged(QStringLiteral("BorderStyle"));
    DrawBorder();
}

void ImageAceX::setBackColor(platform::ColorRef New_BackColor) {
    PictureBox::setBackColor(New_BackColor);
    zoomSurface_->setBackground(platform::ColorFromRef(New_BackColor));
    picScl_->setBackColor(New_BackColor);
    picDst_->setBackColor(New_BackColor);
    DrawBorder();
    UserControl_Resize();
    emit PropertyChanged(QStringLiteral("BackColor"));
}

void ImageAceX::ReadProperties(const platform::PropertyBag& bag) {
    borderStyle_ = bag.ReadProperty(QStringLiteral("BorderStyle"), DefaultBorderStyle).toInt();
    displaymode_ = bag.ReadProperty(QStringLiteral("Displaymode"), DefaultDisplaymode).toInt();
    const auto back = bag.ReadProperty(QStringLiteral("BackColor"), DefaultBackColor);
    PictureBox::setBackColor(back.value<platform::ColorRef>());
    picScl_->setBackColor(back.value<platform::ColorRef>());
    picDst_->setBackColor(back.value<platform::ColorRef>());
    setPicture(bag.ReadProperty(QStringLiteral("Picture"), QImage()).value<QImage>());
}

void ImageAceX::WriteProperties(platform::PropertyBag& bag) const {
    bag.WriteProperty(QStringLiteral("BorderStyle"), borderStyle_, DefaultBorderStyle);
    bag.WriteProperty(QStringLiteral("Displaymode"), displaymode_, DefaultDisplaymode);
    bag.WriteProperty(QStringLiteral("BackColor"), BackColor(), DefaultBackColor);
    if (iSrc_.isNull()) {
        bag.WriteProperty(QStringLiteral("Picture"), QVariant(), QVariant());
    } else {
        bag.WriteProperty(QStringLiteral("Picture"), iSrc_, QVariant());
    }
}

void ImageAceX::resizeEvent(QResizeEvent* event) {
    PictureBox::resizeEvent(event);
    DrawBorder();
    UserControl_Resize();
}

void ImageAceX::UserControl_Resize() {
    if (zoomable_) {
        ArrangeZoom();
    } else if (displaymode_ == 0) {
        picDst_->setImage(iSrc_);
        if (iSrc_.isNull()) {
            picDst_->resize(0, 0);
        }
        picDst_->show();
        picDst_->update();
        ArrangeScrollView();
    } else if (displaymode_ == 1) {
        picDst_->setImage(QImage());
        picDst_->hide();
        Place(picScl_, scrollview::FitViewport(width(), height()));
        hSB_->hide();
        vSB_->hide();
        cmdCorner_->hide();
        FitPicture();
    }
}

void ImageAceX::ArrangeScrollView() {
    layout_ = scrollview::ArrangeScrollView(width(), height(), iSrc_.width(), iSrc_.height(),
                                            borderStyle_, hSB_->sizeHint().height(),
                                            vSB_->sizeHint().width());
    Place(picScl_, layout_.viewport);
    const auto applyBar = [](QScrollBar* bar, const scrollview::Bar& spec) {
        // Value 0 is set without moving the image; the layout places it below.
        const QSignalBlocker block(bar);
        Place(bar, spec.geometry);
        bar->setRange(0, std::max(spec.max, 0));
        bar->setPageStep(spec.largeChange);
        bar->setSingleStep(1);
        bar->setValue(0);
        bar->setVisible(spec.visible);
        bar->raise();
    };
    applyBar(hSB_, layout_.hBar);
    applyBar(vSB_, layout_.vBar);
    picDst_->move(units::RoundHalfEvenTo<std::int32_t>(layout_.image.left),
                  units::RoundHalfEvenTo<std::int32_t>(layout_.image.top));
    Place(cmdCorner_, layout_.corner);
    cmdCorner_->setVisible(layout_.cornerVisible);
    cmdCorner_->raise();
}

void ImageAceX::DrawBorder() {
    Cls();
    const unsigned edge = EdgeOfStyle(borderStyle_);
    if (edge == 0) {
        return;
    }
    Paint([&](QPainter& painter) {
        platform::DrawEdge(painter, QRect(0, 0, width(), height()), edge);
    });
}

void ImageAceX::FitPicture() {
    picScl_->Cls();
    if (iSrc_.isNull()) {
        return;
    }
    const scrollview::Box at = scrollview::FitPicture(iSrc_.width(), iSrc_.height(),
                                                      picScl_->width(), picScl_->height(), 2, true);
    gdi::PixelBuffer source;
    // The blit layer only reads from a source context.
    source.bits = const_cast<uchar*>(iSrc_.constBits());
    source.width = iSrc_.width();
    source.height = iSrc_.height();
    source.stride = static_cast<std::int32_t>(iSrc_.bytesPerLine());
    source.bpp = 32;
    gdi::HDC sourceDC = gdi::CreateBufferDC(source);
    gdi::HDC target = picScl_->hDC();
    const int oldMode = gdi::SetStretchBltMode(target, gdi::HALFTONE);
    gdi::StretchBlt(target, units::RoundHalfEvenTo<std::int32_t>(at.left),
                    units::RoundHalfEvenTo<std::int32_t>(at.top), at.width, at.height, sourceDC, 0,
                    0, source.width, source.height, gdi::SRCCOPY);
    if (oldMode != 0) {
        gdi::SetStretchBltMode(target, oldMode);
    }
    gdi::DeleteDC(sourceDC);
    picScl_->update();
}
