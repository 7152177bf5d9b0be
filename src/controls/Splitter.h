#pragma once

#include "controls/SplitterLayout.h"

#include <QPointer>
#include <QWidget>
#include <cstdint>

class QMouseEvent;

namespace platform {
class PropertyBag;
} // namespace platform

/// The bar of a Splitter: a borderless strip the user drags. It paints itself in
/// the colour its Splitter hands it and forwards its mouse events to the Splitter.
class SplitterBar : public QWidget {
    Q_OBJECT
public:
    explicit SplitterBar(QWidget* parent);

    /// The colour the bar shows now.
    QColor Color() const { return color_; }
    void SetColor(const QColor& color);

signals:
    void Pressed(QMouseEvent* event);
    void Moved(QMouseEvent* event);
    void Released(QMouseEvent* event);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QColor color_;
};

/// A container that divides its area between two child panes, Child1 (left or
/// upper) and Child2 (right or lower), with a draggable bar between them. The
/// split is kept as a fraction of the length left after the bar, so the panes keep
/// their proportions when the splitter is resized. Lengths are twips internally.
///
/// The panes are not owned by the splitter's API: setting a pane makes it a child
/// widget of the splitter (Qt then deletes it with the splitter); a pane deleted
/// elsewhere is simply skipped by later layouts.
class Splitter : public QWidget {
    Q_OBJECT
public:
    explicit Splitter(QWidget* parent = nullptr);

    /// 0: side by side (vertical bar); -1: stacked (horizontal bar). Any non-zero
    /// value written means stacked. Writing sets the bar's cursor and lays out.
    int Orientation() const { return stacked_ ? -1 : 0; }
    void SetOrientation(int New_Orientation);

    QWidget* Child1() const { return child1_; }
    QWidget* Child2() const { return child2_; }
    /// Sets a pane (nullptr for none), re-parenting it into the splitter; lays out.
    void SetChild1(QWidget* New_Child1);
    void SetChild2(QWidget* New_Child2);

    /// Child1's share in percent: writes set the fraction to value / 100 without
    /// clamping and lay out; reads round fraction x 100 half to even.
    std::uint8_t SplitPercent() const;
    void SetSplitPercent(std::uint8_t New_SplitPercent);
    /// The fraction itself (for hosts that persist it more finely than a percent).
    float SplitFraction() const { return fraction_; }

    /// Bar thickness in twips. A write does not lay out: the next pass uses it.
    std::uint8_t SplitterWidth() const { return splitterWidth_; }
    void SetSplitterWidth(std::uint8_t New_SplitterWidth);

    /// Colour reference 0x00BBGGRR of the bar; 0 (or the button-face system colour)
    /// paints as button face, but a press shows the stored value as it is (black).
    std::uint32_t SplitterColor() const { return splitterColor_; }
    void SetSplitterColor(std::uint32_t New_SplitterColor);

    /// The constituent bar (for tests and for hosts that style it).
    SplitterBar* Bar() const { return bar_; }

    /// Lays the panes and the bar out by the fraction, then emits Resize.
    void LayoutPanes();

    /// The defaults of a newly placed control: side by side, 50 %, bar 50 twips.
    void InitProperties();
    /// Reads "Orientation", "SplitPercent" and "SplitterWidth" in that order through
    /// the property writes; a missing key gives its default (false, 50, 80) and a
    /// value that cannot be read as a number is skipped.
    void ReadProperties(const platform::PropertyBag& bag);
    /// Writes the three persisted properties, omitting values equal to their default.
    void WriteProperties(platform::PropertyBag& bag) const;

signals:
    /// Emitted at the end of every layout pass.
    void Resize();
    /// A property was written (its name), so the host knows to persist it.
    void PropertyChanged(const QString& name);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void BarPressed(QMouseEvent* event);
    void BarMoved(QMouseEvent* event);
    void BarReleased(QMouseEvent* event);
    void AdoptChild(QWidget* child);

    SplitterBar* bar_ = nullptr;
    QPointer<QWidget> child1_;
    QPointer<QWidget> child2_;
    bool stacked_ = false;
    float fraction_ = 0.5F;
    std::uint8_t splitterWidth_ = 50;
    std::uint32_t splitterColor_ = 0;
};
