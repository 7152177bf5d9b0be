// ucGIFViewer's input events and property bag.

#include "controls/ucGIFViewer.h"
#include "platform/PictureBox.h"
#include "platform/PropertyBag.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace {

int ButtonBits(Qt::MouseButtons buttons) {
    int bits = 0;
    if (buttons & Qt::LeftButton) {
        bits |= platform::vbLeftButton;
    }
    if (buttons & Qt::RightButton) {
        bits |= platform::vbRightButton;
    }
    if (buttons & Qt::MiddleButton) {
        bits |= platform::vbMiddleButton;
    }
    return bits;
}

} // namespace

void ucGIFViewer::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        leftPressed_ = true;
    }
    const QPointF pos = event->position();
    emit MouseDown(ButtonBits(event->button()), platform::ShiftFromModifiers(event->modifiers()),
                   pos.x(), pos.y());
}

void ucGIFViewer::mouseReleaseEvent(QMouseEvent* event) {
    const QPointF pos = event->position();
    emit MouseUp(ButtonBits(event->button()), platform::ShiftFromModifiers(event->modifiers()),
                 pos.x(), pos.y());
    if (event->button() == Qt::LeftButton && leftPressed_) {
        leftPressed_ = false;
        if (rect().contains(pos.toPoint())) {
            emit Click();
        }
    }
}

void ucGIFViewer::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        leftPressed_ = false; // the release that ends a double-click is no click
        emit DblClick();
    }
    const QPointF pos = event->position();
    emit MouseDown(ButtonBits(event->button()), platform::ShiftFromModifiers(event->modifiers()),
                   pos.x(), pos.y());
}

void ucGIFViewer::mouseMoveEvent(QMouseEvent* event) {
    const QPointF pos = event->position();
    emit MouseMove(ButtonBits(event->buttons()), platform::ShiftFromModifiers(event->modifiers()),
                   pos.x(), pos.y());
}

void ucGIFViewer::keyPressEvent(QKeyEvent* event) {
    if (const int keyAscii = platform::KeyAsciiFromEvent(*event); keyAscii != 0) {
        emit KeyPress(keyAscii);
    }
    event->accept();
}

void ucGIFViewer::ReadProperties(const platform::PropertyBag& bag) {
    autoPlay_ = bag.ReadProperty(QStringLiteral("AutoPlay"), DefaultAutoPlay).toBool();
    setBackColor(bag.ReadProperty(QStringLiteral("BackColor"), DefaultBackColor)
                     .value<platform::ColorRef>());
    setBorderStyle(bag.ReadProperty(QStringLiteral("BorderStyle"), DefaultBorderStyle).toInt());
    setEnabled(bag.ReadProperty(QStringLiteral("Enabled"), DefaultEnabled).toBool());
}

void ucGIFViewer::WriteProperties(platform::PropertyBag& bag) const {
    bag.WriteProperty(QStringLiteral("AutoPlay"), autoPlay_, DefaultAutoPlay);
    bag.WriteProperty(QStringLiteral("BackColor"), backColor_, DefaultBackColor);
    bag.WriteProperty(QStringLiteral("BorderStyle"), borderStyle_, DefaultBorderStyle);
    bag.WriteProperty(QStringLiteral("Enabled"), isEnabled(), DefaultEnabled);
}
