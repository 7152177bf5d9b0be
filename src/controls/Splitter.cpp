#include "controls/Splitter.h"

#include "platform/PropertyBag.h"
#include "platform/SysColors.h"
#include "platform/Twips.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr platform::ColorRef kButtonFace = platform::vbButtonFace;
constexpr int kDefaultOrientation = 0;
constexpr int kDefaultSplitPercent = 50;
constexpr int kDefaultStoredWidth = 80;
constexpr std::uint8_t kNewControlWidth = 50;

float ToTwips(double pixels) {
    return static_cast<float>(platform::PixelsToTwipsF(pixels));
}

// Moves a widget unless the size is one the platform would refuse; the rest of the
// layout goes on either way.
void MoveIfValid(QWidget* widget, const splitter::TwipRect& twips) {
    if (widget == nullptr) {
        return;
    }
    const splitter::PixelRect px = splitter::ToPixels(twips);
    if (px.width < 0 || px.height < 0) {
        return;
    }
    widget->setGeometry(px.left, px.top, px.width, px.height);
}

} // namespace

SplitterBar::SplitterBar(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void SplitterBar::SetColor(const QColor& color) {
    if (color_ != color) {
        color_ = color;
        update();
    }
}

void SplitterBar::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), color_);
}

void SplitterBar::mousePressEvent(QMouseEvent* event) {
    emit Pressed(event);
}

void SplitterBar::mouseMoveEvent(QMouseEvent* event) {
    emit Moved(event);
}

void SplitterBar::mouseReleaseEvent(QMouseEvent* event) {
    emit Released(event);
}

Splitter::Splitter(QWidget* parent) : QWidget(parent), bar_(new SplitterBar(this)) {
    bar_->setObjectName(QStringLiteral("SplitterBar"));
    bar_->setCursor(Qt::SizeHorCursor);
    bar_->SetColor(platform::ColorFromRef(kButtonFace));
    connect(bar_, &SplitterBar::Pressed, this, &Splitter::BarPressed);
    connect(bar_, &SplitterBar::Moved, this, &Splitter::BarMoved);
    connect(bar_, &SplitterBar::Released, this, &Splitter::BarReleased);
    InitProperties();
}

void Splitter::SetOrientation(int New_Orientation) {
    stacked_ = New_Orientation != 0;
    bar_->setCursor(stacked_ ? Qt::SizeVerCursor : Qt::SizeHorCursor);
    emit PropertyChanged(QStringLiteral("Orientation"));
    LayoutPanes();
}

void Splitter::AdoptChild(QWidget* child) {
    if (child != nullptr && child->parentWidget() != this) {
        const bool hidden = child->isHidden();
        child->setParent(this);
        child->setVisible(!hidden);
    }
    // The bar stays above the panes so that it can always be grabbed.
    bar_->raise();
}

void Splitter::SetChild1(QWidget* New_Child1) {
    child1_ = New_Child1;
    AdoptChild(New_Child1);
    emit PropertyChanged(QStringLiteral("Child1"));
    LayoutPanes();
}

void Splitter::SetChild2(QWidget* New_Child2) {
    child2_ = New_Child2;
    AdoptChild(New_Child2);
    emit PropertyChanged(QStringLiteral("Child2"));
    LayoutPanes();
}

std::uint8_t Splitter::SplitPercent() const {
    return static_cast<std::uint8_t>(splitter::FractionToPercent(fraction_));
}

void Splitter::SetSplitPercent(std::uint8_t New_SplitPercent) {
    fraction_ = static_cast<float>(New_SplitPercent) / 100.0F;
    emit PropertyChanged(QStringLiteral("SplitPercent"));
    LayoutPanes();
}

void Splitter::SetSplitterWidth(std::uint8_t New_SplitterWidth) {
    splitterWidth_ = New_SplitterWidth;
    emit PropertyChanged(QStringLiteral("SplitterWidth"));
}

void Splitter::SetSplitterColor(std::uint32_t New_SplitterColor) {
    splitterColor_ = New_SplitterColor;
    emit PropertyChanged(QStringLiteral("SplitterColor"));
}

void Splitter::LayoutPanes() {
    const splitter::Layout layout =
        splitter::ComputeLayout(ToTwips(width()), ToTwips(height()),
                                static_cast<float>(splitterWidth_), stacked_, fraction_);
    MoveIfValid(child1_, layout.child1);
    MoveIfValid(child2_, layout.child2);
    MoveIfValid(bar_, layout.bar);
    if (child1_ != nullptr) {
        child1_->update();
    }
    if (child2_ != nullptr) {
        child2_->update();
    }
    emit Resize();
}

void Splitter::InitProperties() {
    stacked_ = false;
    bar_->setCursor(Qt::SizeHorCursor);
    fraction_ = static_cast<float>(kDefaultSplitPercent) / 100.0F;
    splitterWidth_ = kNewControlWidth;
    LayoutPanes();
}

void Splitter::ReadProperties(const platform::PropertyBag& bag) {
    bool ok = false;
    const int orientation =
        bag.ReadProperty(QStringLiteral("Orientation"), kDefaultOrientation).toInt(&ok);
    if (ok) {
        SetOrientation(orientation);
    }
    const uint percent =
        bag.ReadProperty(QStringLiteral("SplitPercent"), kDefaultSplitPercent).toUInt(&ok);
    if (ok && percent <= 255U) {
        SetSplitPercent(static_cast<std::uint8_t>(percent));
    }
    const uint barWidth =
        bag.ReadProperty(QStringLiteral("SplitterWidth"), kDefaultStoredWidth).toUInt(&ok);
    if (ok && barWidth <= 255U) {
        SetSplitterWidth(static_cast<std::uint8_t>(barWidth));
    }
}

void Splitter::WriteProperties(platform::PropertyBag& bag) const {
    bag.WriteProperty(QStringLiteral("Orientation"), Orientation(), kDefaultOrientation);
    bag.WriteProperty(QStringLiteral("SplitPercent"), static_cast<int>(SplitPercent()),
                      kDefaultSplitPercent);
    bag.WriteProperty(QStringLiteral("SplitterWidth"), static_cast<int>(splitterWidth_),
                      kDefaultStoredWidth);
}

void Splitter::resizeEvent(QResizeEvent* /*event*/) {
    LayoutPanes();
}

void Splitter::paintEvent(QPaintEvent* /*event*/) {
    const bool buttonFace = splitterColor_ == 0 || splitterColor_ == kButtonFace;
    bar_->SetColor(platform::ColorFromRef(buttonFace ? kButtonFace : splitterColor_));
}

void Splitter::BarPressed(QMouseEvent* /*event*/) {
    // The stored value as it is: a colour never set shows black while pressed.
    bar_->SetColor(platform::ColorFromRef(splitterColor_));
    bar_->raise();
}

void Splitter::BarMoved(QMouseEvent* event) {
    if (event->buttons() != Qt::LeftButton) {
        return;
    }
    const float s = splitterWidth_;
    if (stacked_) {
        const float barTop = ToTwips(bar_->y());
        const float pointer = ToTwips(event->position().y());
        fraction_ = splitter::DragFraction(barTop, pointer, s, ToTwips(height()));
        const float top = splitter::DragBarPosition(barTop, pointer, s);
        bar_->move(0, splitter::ToPixels({0.0F, top, 0.0F, 0.0F}).top);
    } else {
        const float barLeft = ToTwips(bar_->x());
        const float pointer = ToTwips(event->position().x());
        fraction_ = splitter::DragFraction(barLeft, pointer, s, ToTwips(width()));
        const float left = splitter::DragBarPosition(barLeft, pointer, s);
        bar_->move(splitter::ToPixels({left, 0.0F, 0.0F, 0.0F}).left, 0);
    }
}

void Splitter::BarReleased(QMouseEvent* /*event*/) {
    bar_->SetColor(platform::ColorFromRef(splitterColor_));
    LayoutPanes();
}
