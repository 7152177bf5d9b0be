#pragma once

// An owned file descriptor, and the one way the browser opens a picture for a
// decoder: as a regular file only, so that a FIFO or a device named like a
// picture is refused before anything reads from it.

#include <string>
#include <utility>

namespace platform {

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        reset(other.release());
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { reset(); }

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int release() { return std::exchange(fd_, -1); }
    void reset(int fd = -1);

private:
    int fd_ = -1;
};

/// Opens `path` for reading when it names a regular file (a link to one is
/// followed). FIFOs, devices, sockets and folders give an invalid descriptor,
/// and opening never blocks on them. The descriptor is closed on exec.
UniqueFd OpenRegularFile(const std::string& path);

/// Reads the whole of a regular file from its start, at most `limit` bytes.
/// Returns false when reading fails or the file holds more than `limit`.
bool ReadWholeFile(int fd, std::string& bytes, long long limit);

} // namespace platform
