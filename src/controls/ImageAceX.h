#pragma once

// ImageAceX: shows one picture either at its actual size in a scrolling viewport
// (display mode 0) or shrunk to fit with area-averaging resampling (mode 1),
// inside an optional 3-D border, and passes clicks, keys and mouse buttons from
// every part of itself on to the host.
//
// A zoomable control (the full view's) leaves the display modes aside: it
// shows the picture fitted, at actual size or at any zoom from 1% to 3200%,
// drawn at device pixels by a ZoomSurface inside the scrolling viewport, with
// the scroll bars whenever the picture is larger than the view.

#include "controls/ScrollViewLayout.h"
#include "imaging/StdPicture.h"
#include "platform/PictureBox.h"

#include <QImage>
#include <QPointF>
#include <optional>

class QPushButton;
class ZoomSurface;
class QScrollBar;

namespace platform {
class PropertyBag;
}

class ImageAceX : public platform::PictureBox {
    Q_OBJECT
public:
    /// Property defaults (also the property-bag defaults).
    static constexpr int DefaultDisplaymode = 0;
    static constexpr int DefaultBorderStyle = 0;
    static constexpr platform::ColorRef DefaultBackColor = platform::vbButtonFace;

    /// A control in mode 0 with no border, no picture and the button-face colour.
    explicit ImageAceX(QWidget* parent = nullptr);
    ~ImageAceX() override;

    /// The picture at its natural size (a copy; null when there is none).
    QImage Picture() const { return iSrc_; }
    /// Stores a copy of `New_Picture` and shows it in the current mode at once
    /// (a null image removes the picture). Marks "Picture" changed.
    void setPicture(const QImage& New_Picture);
    void setPicture(const StdPicture& New_Picture);

    /// 0: actual size with scroll bars; 1: fit. Other values are kept but the
    /// layout then leaves everything where it is. Marks "Displaymode" changed.
    int Displaymode() const { return displaymode_; }
    void setDisplaymode(int New_Displaymode);

    /// 0 none, 1..8 the edges raised outer, raised inner, sunken outer, sunken
    /// inner, raised, sunken, etched, bump; other values draw nothing. The
    /// border is redrawn at once; the viewport moves at the next layout.
    int BorderStyle() const { return borderStyle_; }
    void setBorderStyle(int New_BorderStyle);

    /// Background of the control, the viewport and the image surface (system
    /// colours allowed). Marks "BackColor" changed.
    platform::ColorRef BackColor() const { return platform::PictureBox::BackColor(); }
    void setBackColor(platform::ColorRef New_BackColor);

    /// Property bag: "BorderStyle" and "Displaymode" (default 0) go into the
    /// fields without a redraw; "BackColor" (default button face) and "Picture"
    /// (a QImage, default none) are applied through their setters.
    void ReadProperties(const platform::PropertyBag& bag);
    void WriteProperties(platform::PropertyBag& bag) const;

    /// How a zoomable control sizes its picture.
    enum class Sizing {
        Fit,    ///< the whole picture in view, shrunk when larger, follows resizes
        Actual, ///< one picture pixel on one device pixel
        Zoomed, ///< a zoom chosen with the zoom steps
    };

    /// Turns the zoom display on or off; off shows the display modes again.
    bool Zoomable() const { return zoomable_; }
    void setZoomable(bool on);
    /// Shows `picture` standing for a picture of `originalSize` pixels (the
    /// size zooming works in): a smaller stand-in is drawn enlarged. The view
    /// starts over in the sizing last chosen (Fit or Actual).
    void setPicture(const QImage& picture, QSize originalSize);
    /// Swaps in more pixels of the same picture (say, the full decode after
    /// the preview) keeping the zoom and the position.
    void setSharperPicture(const QImage& picture);
    /// The size zooming works in: the original size, or the picture's own.
    QSize OriginalSize() const { return originalSize_; }

    Sizing sizing() const { return sizing_; }
    /// The zoom shown: device pixels per original pixel.
    double Zoom() const { return zoom_; }
    /// The picture's top-left corner in the zoom surface, in logical pixels.
    QPointF PictureOrigin() const { return origin_; }
    /// Fit and Actual are also what the next picture starts in.
    void ZoomFit();
    void ZoomActual();
    /// One stop of the zoom ladder in or out, keeping the picture point at
    /// `at` (control coordinates; the centre when omitted) where it is.
    void ZoomIn(std::optional<QPointF> at = std::nullopt);
    void ZoomOut(std::optional<QPointF> at = std::nullopt);
    /// Moves the picture by `delta` logical pixels, within its limits.
    void PanBy(QPointF delta);

    /// Constituent parts, for hosts and tests. Owned by the control.
    ZoomSurface* zoomSurface() const { return zoomSurface_; }
    platform::PictureBox* picScl() const { return picScl_; }
    platform::PictureBox* picDst() const { return picDst_; }
    QScrollBar* hSB() const { return hSB_; }
    QScrollBar* vSB() const { return vSB_; }
    QPushButton* cmdCorner() const { return cmdCorner_; }

    /// The layout last applied in mode 0 (for tests and hosts).
    const scrollview::ScrollLayout& Layout() const { return layout_; }

signals:
    /// A property was set ("Picture", "Displaymode", "BorderStyle", "BackColor").
    void PropertyChanged(const QString& name);
    /// A zoomable control's zoom or position changed.
    void ZoomChanged();
    // Click, DblClick, KeyPress, MouseDown and MouseUp are PictureBox's signals;
    // they are raised alike for the control, the viewport and the image surface,
    // with the coordinates of the part that received the input.

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void UserControl_Resize();
    void ArrangeScrollView();
    void DrawBorder();
    void FitPicture();
    void forwardEvents(platform::PictureBox* part);
    void ArrangeZoom();
    void ZoomStep(bool in, std::optional<QPointF> at);
    void ScrollTo(QPointF origin);

    platform::PictureBox* picScl_ = nullptr;
    platform::PictureBox* picDst_ = nullptr;
    QScrollBar* hSB_ = nullptr;
    QScrollBar* vSB_ = nullptr;
    QPushButton* cmdCorner_ = nullptr;
    QImage iSrc_;
    scrollview::ScrollLayout layout_;
    int displaymode_ = DefaultDisplaymode;
    int borderStyle_ = DefaultBorderStyle;
    ZoomSurface* zoomSurface_ = nullptr;
    bool zoomable_ = false;
    QSize originalSize_;
    Sizing sizing_ = Sizing::Fit;
    Sizing startSizing_ = Sizing::Fit;
    double zoom_ = 1.0;
    QPointF origin_;
};
