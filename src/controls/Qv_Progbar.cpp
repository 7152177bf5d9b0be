#include "controls/Qv_Progbar.h"

#include "imaging/Units.h"
#include "platform/EdgePainter.h"
#include "platform/Events.h"
#include "platform/PictureBox.h"
#include "platform/PropertyBag.h"

#include <QPainter>
#include <cmath>

using platform::ColorRef;

namespace {

constexpr ColorRef kDefaultColor = platform::vbButtonFace;

// Colour references are 32-bit values; the store holds them as signed 32-bit
// integers, so the system colours (high bit set) come back negative.
QVariant ColorToStore(ColorRef color) {
    return static_cast<qint32>(color);
}

// A stored number within [low, high]; nothing when the stored value is no such
// number (the property then keeps its value).
std::optional<qint64> StoredNumber(const QVariant& value, qint64 low, qint64 high) {
    bool ok = false;
    const qint64 number = value.toLongLong(&ok);
    if (!ok || number < low || number > high)
        return std::nullopt;
    return number;
}

} // namespace

std::optional<QRect> ProgbarBarRect(int value, int max, int barOffset, int width, int height) {
    const int inset = barOffset == 1 ? 2 : 0;
    const double innerWidth = double(width) - 2 * inset;
    const double innerHeight = double(height) - 2 * inset;
    const double ratio = double(value) / double(max);
    double barWidth = ratio * innerWidth;
    if (!std::isfinite(ratio) || barWidth < 0 || innerHeight < 0)
        return std::nullopt;
    // Past the right side by more than the thickest edge, the rest is clipped.
    const double cap = double(width) + 4;
    if (barWidth > cap)
        barWidth = cap;
    return QRect(inset, inset, units::RoundHalfEvenTo<int>(barWidth), int(innerHeight));
}

unsigned ProgbarEdge(int style) {
    static constexpr unsigned kEdges[] = {0,
                                          platform::BDR_RAISEDOUTER,
                                          platform::BDR_RAISEDINNER,
                                          platform::BDR_SUNKENOUTER,
                                          platform::BDR_SUNKENINNER,
                                          platform::EDGE_RAISED,
                                          platform::EDGE_SUNKEN,
                                          platform::EDGE_ETCHED,
                                          platform::EDGE_BUMP};
    if (style < 0 || style > 8)
        return 0;
    return kEdges[style];
}

Qv_Progbar::Qv_Progbar(QWidget* parent)
    : QWidget(parent), picBar_(new platform::PictureBox(this)), backColor_(kDefaultColor) {
    picBar_->setObjectName(QStringLiteral("picBar"));
    picBar_->setBackColor(kDefaultColor);
    picBar_->setGeometry(0, 0, 0, 0);
    picBar_->hide(); // Value 0
}

Qv_Progbar::~Qv_Progbar() = default;

void Qv_Progbar::SetMin(int New_Min) {
    min_ = New_Min;
    emit PropertyChanged(QStringLiteral("Min"));
}

void Qv_Progbar::SetMax(int New_Max) {
    max_ = New_Max;
    emit PropertyChanged(QStringLiteral("Max"));
}

void Qv_Progbar::SetValue(int New_Value) {
    value_ = New_Value;
    emit PropertyChanged(QStringLiteral("Value"));
    picBar_->setVisible(value_ != 0);
    if (const auto rect = ProgbarBarRect(value_, max_, barOffset_, width(), height()))
        picBar_->setGeometry(*rect);
    drawnBarstyle_ = barstyle_;
    DrawBar();
    // Show the new width now: the caller may keep the thread busy until it is done.
    picBar_->repaint();
    platform::DoEvents();
}

void Qv_Progbar::SetBackColor(ColorRef New_BackColor) {
    backColor_ = New_BackColor;
    emit PropertyChanged(QStringLiteral("BackColor"));
    update();
}

ColorRef Qv_Progbar::Barcolor() const {
    return picBar_->BackColor();
}

void Qv_Progbar::SetBarcolor(ColorRef New_Barcolor) {
    picBar_->setBackColor(New_Barcolor);
    emit PropertyChanged(QStringLiteral("Barcolor"));
    DrawBar();
}

void Qv_Progbar::SetBarstyle(int New_Barstyle) {
    barstyle_ = New_Barstyle;
    emit PropertyChanged(QStringLiteral("Barstyle"));
}

void Qv_Progbar::SetBorderStyle(int New_BorderStyle) {
    borderStyle_ = New_BorderStyle;
    emit PropertyChanged(QStringLiteral("BorderStyle"));
    update();
}

void Qv_Progbar::SetBarOffset(int New_BarOffset) {
    barOffset_ = New_BarOffset;
    emit PropertyChanged(QStringLiteral("BarOffset"));
}

void Qv_Progbar::DrawBar() {
    picBar_->Cls();
    QImage& surface = picBar_->Surface();
    if (!surface.isNull()) { // a bar of no width has nothing to draw on
        QPainter painter(&surface);
        platform::DrawEdge(painter, QRect(0, 0, picBar_->width(), picBar_->height()),
                           ProgbarEdge(drawnBarstyle_));
    }
    picBar_->update();
}

void Qv_Progbar::ReadProperties(const platform::PropertyBag& bag) {
    const auto readInt = [&bag](const char* name, int defaultValue, int& field) {
        if (const auto number = StoredNumber(
                bag.ReadProperty(QString::fromLatin1(name), defaultValue), INT32_MIN, INT32_MAX))
            field = int(*number);
    };
    // A colour may come back as the signed or the unsigned reading of its bits.
    const auto readColor = [&bag](const char* name) {
        const auto number =
            StoredNumber(bag.ReadProperty(QString::fromLatin1(name), ColorToStore(kDefaultColor)),
                         INT32_MIN, UINT32_MAX);
        return number ? std::optional<ColorRef>(ColorRef(*number)) : std::nullopt;
    };
    readInt("Min", 0, min_);
    readInt("Max", 100, max_);
    readInt("Value", 0, value_);
    if (const auto color = readColor("BackColor")) {
        backColor_ = *color;
        update();
    }
    if (const auto color = readColor("Barcolor"))
        picBar_->setBackColor(*color);
    readInt("Barstyle", 0, barstyle_);
    readInt("BorderStyle", 0, borderStyle_);
    readInt("BarOffset", 0, barOffset_);
}

void Qv_Progbar::WriteProperties(platform::PropertyBag& bag) const {
    bag.WriteProperty(QStringLiteral("Min"), min_, 0);
    bag.WriteProperty(QStringLiteral("Max"), max_, 100);
    bag.WriteProperty(QStringLiteral("Value"), value_, 0);
    bag.WriteProperty(QStringLiteral("BackColor"), ColorToStore(backColor_),
                      ColorToStore(kDefaultColor));
    bag.WriteProperty(QStringLiteral("Barcolor"), ColorToStore(Barcolor()),
                      ColorToStore(kDefaultColor));
    bag.WriteProperty(QStringLiteral("Barstyle"), barstyle_, 0);
    bag.WriteProperty(QStringLiteral("BorderStyle"), borderStyle_, 0);
    bag.WriteProperty(QStringLiteral("BarOffset"), barOffset_, 0);
}

void Qv_Progbar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), platform::ColorFromRef(backColor_));
    platform::DrawEdge(painter, rect(), ProgbarEdge(borderStyle_));
}

void Qv_Progbar::resizeEvent(QResizeEvent* event) {
    // The bar keeps its size until the next Value write, even with BarOffset 1.
    picBar_->move(0, 0);
    QWidget::resizeEvent(event);
}
