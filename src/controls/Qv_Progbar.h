#pragma once

// A small progress bar drawn by the program itself: a coloured bar whose width
// follows Value, framed by 3-D edges of selectable styles. Lengths are pixels.

#include "platform/SysColors.h"

#include <QRect>
#include <QWidget>
#include <optional>

namespace platform {
class PictureBox;
class PropertyBag;
} // namespace platform

/// Where the bar goes when Value is written, for a control of `width` x `height`
/// pixels: inset by 2 pixels on every side when `barOffset` is 1, else from the
/// top-left corner; its width is value / max of the (inset) width, rounded half
/// to even. Min plays no part. Nothing (the move is skipped and the bar keeps its
/// size) when the width or height would be negative or is not a number, as with
/// max 0. A bar far wider than the control (value above max) is capped a few
/// pixels beyond the control's right side: it is clipped there anyway, and an
/// uncapped width could ask for a backing image of any size.
std::optional<QRect> ProgbarBarRect(int value, int max, int barOffset, int width, int height);

/// The DrawEdge edge for an edge style 0-8 (0 for style 0 and for any other value,
/// which draw nothing).
unsigned ProgbarEdge(int style);

class Qv_Progbar : public QWidget {
    Q_OBJECT
public:
    /// A new control: Min 0, Max 100, Value 0 (bar hidden), the three styles 0,
    /// both colours button face.
    explicit Qv_Progbar(QWidget* parent = nullptr);
    ~Qv_Progbar() override;

    /// Range; stored only (Min takes no part in drawing).
    int Min() const { return min_; }
    void SetMin(int New_Min);
    int Max() const { return max_; }
    void SetMax(int New_Max);

    /// Current position. A write shows the bar (hidden at 0), sizes it by Value /
    /// Max with BarOffset, clears it, draws the Barstyle edge on it, repaints it at
    /// once and processes pending events, so that the bar moves even while the
    /// caller keeps the thread busy. No value is clamped.
    int Value() const { return value_; }
    void SetValue(int New_Value);

    /// Background of the control (colour reference, system colours allowed).
    platform::ColorRef BackColor() const { return backColor_; }
    void SetBackColor(platform::ColorRef New_BackColor);

    /// Background of the bar; a write recolours the bar at once, keeping the edge
    /// drawn at the last Value write.
    platform::ColorRef Barcolor() const;
    void SetBarcolor(platform::ColorRef New_Barcolor);

    /// Edge style of the bar, 0-8; shows at the next Value write.
    int Barstyle() const { return barstyle_; }
    void SetBarstyle(int New_Barstyle);

    /// Edge style of the control's own frame, 0-8 (others draw no frame); redraws.
    int BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(int New_BorderStyle);

    /// 1 insets the bar by 2 pixels on every side; shows at the next Value write.
    int BarOffset() const { return barOffset_; }
    void SetBarOffset(int New_BarOffset);

    /// The bar itself (owned by this control), for hosts and tests.
    platform::PictureBox* picBar() const { return picBar_; }

    /// Reads "Min", "Max", "Value", "BackColor", "Barcolor", "Barstyle",
    /// "BorderStyle", "BarOffset" in that order; a missing key gives its default,
    /// an unreadable one is skipped. Values are stored without any redraw.
    void ReadProperties(const platform::PropertyBag& bag);
    /// Writes the eight properties as 32-bit integers, omitting defaults.
    void WriteProperties(platform::PropertyBag& bag) const;

signals:
    /// A property was written (its name), so the host knows to persist it.
    void PropertyChanged(const QString& name);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void DrawBar();

    platform::PictureBox* picBar_ = nullptr;
    int min_ = 0;
    int max_ = 100;
    int value_ = 0;
    int barstyle_ = 0;
    int borderStyle_ = 0;
    int barOffset_ = 0;
    int drawnBarstyle_ = 0; // the style on the bar since the last Value write
    platform::ColorRef backColor_;
};
