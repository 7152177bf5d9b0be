#include "platform/WaitCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace platform {

WaitCursor::WaitCursor() : active_(qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    if (active_) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
}

WaitCursor::~WaitCursor() {
    if (active_) {
        QGuiApplication::restoreOverrideCursor();
    }
}

} // namespace platform
