#pragma once

// A picture box with a persistent backing image: whatever is drawn into the image
// stays until it is cleared or drawn over, and every paint shows the image. It is
// also a plain container: panes and controls are placed inside it as children.

#include "imaging/Gdi.h"
#include "platform/SysColors.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

namespace platform {

/// Unit of a picture box's inner coordinates.
enum class ScaleMode { Twips = 1, Pixels = 3 };

/// Mouse buttons and shift states as the events report them (combinable bits).
inline constexpr int vbLeftButton = 1;
inline constexpr int vbRightButton = 2;
inline constexpr int vbMiddleButton = 4;
inline constexpr int vbShiftMask = 1;
inline constexpr int vbCtrlMask = 2;
inline constexpr int vbAltMask = 4;

class PictureBox : public QWidget {
    Q_OBJECT
public:
    /// A box with the button-face background, pixel scale and an image of the
    /// widget's size filled with the background.
    explicit PictureBox(QWidget* parent = nullptr);
    ~PictureBox() override;

    /// Background colour reference (system colours allowed); default
    /// vbButtonFace. Setting it leaves the image as drawn (Cls applies the
    /// colour); parts of the image uncovered by a later resize take it.
    ColorRef BackColor() const { return backColor_; }
    void setBackColor(ColorRef New_BackColor);

    /// Unit of ScaleWidth/ScaleHeight and of the mouse coordinates of the
    /// events. Default pixels.
    ScaleMode scaleMode() const { return scaleMode_; }
    void setScaleMode(ScaleMode New_ScaleMode);

    /// Inner width and height in the scale unit (pixels, or 15 twips per pixel).
    double ScaleWidth() const;
    double ScaleHeight() const;

    /// Fills the whole image with the background colour and repaints.
    void Cls();

    /// A copy of the image (Format_RGB32, the widget's size; null when the
    /// widget has no area).
    QImage Image() const;

    /// Replaces the image's content: `image` is drawn at (0, 0) over the
    /// background colour. With AutoSize the widget first takes the image's size;
    /// otherwise what does not fit is cut off. A null image just clears.
    void setImage(const QImage& image);

    /// When true the image holds device pixels: its size is the widget's
    /// times the device pixel ratio and it carries that ratio, so a picture
    /// drawn into it at device pixels shows 1:1, while the widget's layout
    /// and events stay in logical pixels. Surface(), Image() and hDC() then
    /// work in device pixels. Default false.
    bool DeviceResolution() const { return deviceResolution_; }
    void setDeviceResolution(bool on);

    /// When true, setImage resizes the widget to the image. Default false.
    bool AutoSize() const { return autoSize_; }
    void setAutoSize(bool New_AutoSize) { autoSize_ = New_AutoSize; }

    /// The image itself, for drawing with a QPainter (Format_RGB32, the
    /// widget's size). The reference is valid until the widget's size changes.
    /// Do not keep copies of it while drawing through it; use Image() for a
    /// copy. Call update() (or Refresh()) after drawing so the change shows.
    QImage& Surface();

    /// Draws on the image: `draw` gets a painter on it (the image's size is
    /// the widget's), and the widget is repainted afterwards. The painter must
    /// not be kept beyond the call.
    template <typename Draw>
    void Paint(Draw&& draw) {
        QPainter painter(&Surface());
        draw(painter);
        painter.end();
        update();
    }

    /// A device context of the blit layer bound to the image (32 bpp,
    /// B,G,R,X rows), for BitBlt, StretchBlt and FillRect onto and from the
    /// box. The handle is the box's: it stays the same for the box's life and
    /// follows the image when the widget's size changes (a box without area
    /// leaves it unbound, so blits do nothing). Do not delete it. Take it
    /// from hDC() for each drawing operation rather than keeping it across
    /// other drawing on the box, so that it is bound to the current pixels.
    /// Call update() (or Refresh()) after drawing through it.
    gdi::HDC hDC();

    /// Repaints at once (the old "Refresh").
    void Refresh() { repaint(); }

    /// Moves and sizes the widget with a rectangle in its parent's coordinates,
    /// rounded to whole pixels (halves to even).
    void Move(double left, double top, double width, double height);

signals:
    /// The widget's size changed (sent after the image has followed it).
    void Resize();
    /// The left button was pressed and released over the widget.
    void Click();
    /// The left button was double-clicked.
    void DblClick();
    /// Keys reach the box that has the focus and are not passed on to its
    /// parent; hosts listen to these signals.
    /// A character key: its code (Latin-1 for printable keys, 8 for Backspace,
    /// 9 Tab, 13 Enter, 27 Esc).
    void KeyPress(int keyAscii);
    /// Any key went down or up: Qt key code and shift state bits.
    void KeyDown(int keyCode, int shift);
    void KeyUp(int keyCode, int shift);
    /// Mouse events: the button concerned (MouseMove: the buttons held), the
    /// shift state, and the position in the scale unit.
    void MouseDown(int button, int shift, double x, double y);
    void MouseUp(int button, int shift, double x, double y);
    void MouseMove(int button, int shift, double x, double y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void syncImageSize() const;
    void bindContext() const;
    double toScale(double pixels) const;

    // Image() hands out deep copies, so the pixels normally move only when the
    // size changes; boundBits_ lets every entry point notice any other move and
    // bind the context again.
    mutable QImage image_;
    mutable gdi::HDC dc_ = nullptr;
    mutable const uchar* boundBits_ = nullptr;
    ColorRef backColor_;
    ScaleMode scaleMode_ = ScaleMode::Pixels;
    bool autoSize_ = false;
    bool deviceResolution_ = false;
    bool leftPressed_ = false;
};

/// Character codes that KeyPress signals carry for the keys that matter to the
/// program without a printable character of their own.
enum KeyAscii : int { KeyAsciiReturn = 13, KeyAsciiEscape = 27 };

/// Key code a key event stands for as a character key, or 0 when it is not one.
int KeyAsciiFromEvent(const QKeyEvent& event);

/// Shift state bits of a Qt modifier set.
int ShiftFromModifiers(Qt::KeyboardModifiers modifiers);

} // namespace platform
