#include "platform/FdChannel.h"

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {

bool FdChannel::CreatePair(UniqueFd& first, UniqueFd& second) {
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds) != 0)
        return false;
    first.reset(fds[0]);
    second.reset(fds[1]);
    return true;
}

bool FdChannel::Send(int channel, const void* data, size_t size, int fd) {
    iovec iov{const_cast<void*>(data), size};
    msghdr msg{};
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
    if (fd >= 0) {
        msg.msg_control = control;
        msg.msg_controllen = sizeof control;
        cmsghdr* c = CMSG_FIRSTHDR(&msg);
        c->cmsg_level = SOL_SOCKET;
        c->cmsg_type = SCM_RIGHTS;
        c->cmsg_len = CMSG_LEN(sizeof(int));
        std::memcpy(CMSG_DATA(c), &fd, sizeof(int));
    }
    ssize_t n;
    do
        n = ::sendmsg(channel, &msg, MSG_NOSIGNAL | MSG_DONTWAIT);
    while (n < 0 && errno == EINTR);
    return n == static_cast<ssize_t>(size);
}

FdChannel::Received FdChannel::Receive(int channel, void* buffer, size_t capacity, bool dontWait) {
    Received r;
    iovec iov{buffer, capacity};
    msghdr msg{};
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    // Room for a few descriptors, so that a peer sending more than one cannot
    // leave some of them unseen (and open) in the truncated control data.
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int) * 8)] = {};
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    do
        r.size = ::recvmsg(channel, &msg, MSG_CMSG_CLOEXEC | (dontWait ? MSG_DONTWAIT : 0));
    while (r.size < 0 && errno == EINTR);
    if (r.size < 0)
        return r;
    r.truncated = (msg.msg_flags & (MSG_TRUNC | MSG_CTRUNC)) != 0;
    for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c)) {
        if (c->cmsg_level != SOL_SOCKET || c->cmsg_type != SCM_RIGHTS)
            continue;
        const size_t count = (c->cmsg_len - CMSG_LEN(0)) / sizeof(int);
        for (size_t i = 0; i < count; ++i) {
            int fd;
            std::memcpy(&fd, CMSG_DATA(c) + i * sizeof(int), sizeof(int));
            if (!r.fd.valid())
                r.fd.reset(fd);
            else
                ::close(fd);
        }
    }
    return r;
}

} // namespace platform
