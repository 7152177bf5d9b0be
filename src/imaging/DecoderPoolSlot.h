#pragma once

// One worker process of a DecoderPool as the pool sees it: its channel, the
// request it is decoding, and the timers that end or restart it. Private to
// DecoderPool.cpp and DecoderPoolSlot.cpp.

#include "imaging/DecoderPool.h"
#include "imaging/DecoderProtocol.h"
#include "platform/ChildProcess.h"
#include "platform/FdChannel.h"

#include <QSocketNotifier>
#include <QTimer>

namespace imaging {

struct DecoderPool::Slot {
    qint64 pid = -1;
    platform::UniqueFd channel;
    std::unique_ptr<QSocketNotifier> notifier;
    QTimer deadline;      ///< runs while a request is out
    QTimer restart;       ///< the delay before a failed worker is started again
    bool ready = false;   ///< said Hello, so confined and waiting
    Ticket ticket = 0;    ///< the request being decoded, 0 when none
    bool dropped = false; ///< its answer was cancelled
    QString path;
    QSize box;

    Slot() {
        deadline.setSingleShot(true);
        restart.setSingleShot(true);
    }

    bool Send(const protocol::Request& request, int fd) const {
        return platform::FdChannel::Send(channel.get(), &request, sizeof request, fd);
    }

    /// Ends the process (if any) and forgets the request. `later`: the
    /// notifier may be the sender of the signal being handled.
    void End(bool later = true) {
        if (notifier) {
            notifier->setEnabled(false);
            if (later)
                notifier.release()->deleteLater();
            else
                notifier.reset();
        }
        deadline.stop();
        channel.reset(); // a worker that outlives SIGKILL's delivery sees EOF
        platform::KillChild(pid_t(pid));
        pid = -1;
        ready = false;
        ticket = 0;
        dropped = false;
    }
};

} // namespace imaging
