#include "platform/Events.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <atomic>
#include <thread>

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

void RunAside(const std::function<void()>& work) {
    if (QCoreApplication::instance() == nullptr) {
        work();
        return;
    }
    QEventLoop wait;
    std::atomic<bool> done = false;
    std::thread aside([&] {
        work();
        done = true;
        // Queued: it runs once the loop below is running, even when the work
        // ends before the loop starts.
        QMetaObject::invokeMethod(&wait, &QEventLoop::quit, Qt::QueuedConnection);
    });
    if (!done) {
        wait.exec(QEventLoop::ExcludeUserInputEvents);
    }
    aside.join();
}

} // namespace platform
