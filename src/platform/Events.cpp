#include "platform/Events.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace platform {

void DoEvents() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

void WaitForEvents() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

} // namespace platform
