#pragma once

// A local, message-framed channel between the browser and one decoder
// process: each Send is received whole by one Receive, and a message may carry
// one open file descriptor along. Nothing but small fixed-size records goes
// through it; pixels travel in shared memory (SharedBuffer).

#include "platform/UniqueFd.h"

#include <cstddef>
#include <sys/types.h>

namespace platform {

class FdChannel {
public:
    /// Two connected ends, both closed on exec. Returns false when the
    /// system refuses.
    static bool CreatePair(UniqueFd& first, UniqueFd& second);

    /// Sends `size` bytes and, when `fd` >= 0, a duplicate of `fd`. Never
    /// blocks and never raises SIGPIPE; returns false when the message did not
    /// go (the other end is gone or its queue is full).
    static bool Send(int channel, const void* data, size_t size, int fd = -1);

    struct Received {
        ssize_t size = -1;      ///< bytes received; 0 when the other end closed, -1 on error
        bool truncated = false; ///< the message was longer than the buffer
        UniqueFd fd;            ///< the descriptor that came along, if any
    };
    /// Receives one message into `buffer`. Blocks unless `dontWait`. Extra
    /// descriptors beyond the first are closed.
    static Received Receive(int channel, void* buffer, size_t capacity, bool dontWait);
};

} // namespace platform
