#include "platform/UniqueFd.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

void UniqueFd::reset(int fd) {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = fd;
}

UniqueFd OpenRegularFile(const std::string& path) {
    // Opening a device can act on it (a tape rewinds): look first. The check
    // after opening is the one that counts, should the path change between.
    struct stat before {};
    if (::stat(path.c_str(), &before) != 0 || !S_ISREG(before.st_mode))
        return {};
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    struct stat st {};
    if (!fd.valid() || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags < 0 || ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
        return {};
    return fd;
}

bool ReadWholeFile(int fd, std::string& bytes, long long limit) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > limit)
        return false;
    // The size is a hint: the file may grow or shrink while it is read.
    bytes.assign(static_cast<size_t>(st.st_size) + 1, '\0');
    size_t got = 0;
    for (;;) {
        if (got == bytes.size()) {
            if (static_cast<long long>(bytes.size()) > limit)
                return false;
            bytes.resize(bytes.size() * 2);
        }
        const ssize_t n = ::pread(fd, bytes.data() + got, bytes.size() - got, off_t(got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        got += size_t(n);
    }
    bytes.resize(got);
    return static_cast<long long>(got) <= limit;
}

} // namespace platform
