#include "WaitFor.h"

#include <QEventLoop>
#include <QTimer>

namespace bench {

void WaitFor(const std::function<bool()>& done, int pollMs) {
    if (done())
        return;
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(pollMs);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    poll.start();
    loop.exec();
}

} // namespace bench
