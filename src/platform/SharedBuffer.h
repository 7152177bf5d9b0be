#pragma once

// Memory shared between two processes through a descriptor. The decoder
// creates a buffer, writes the pixels, seals it against any later change and
// sends the descriptor; the browser maps it read-only only after checking the
// seals and the size, so that the writer can neither shrink the memory under
// the reader (which would fault) nor change the pixels once they are checked.

#include "platform/UniqueFd.h"

#include <cstddef>

namespace platform {

class SharedBuffer {
public:
    SharedBuffer() = default;
    SharedBuffer(SharedBuffer&& other) noexcept;
    SharedBuffer& operator=(SharedBuffer&& other) noexcept;
    SharedBuffer(const SharedBuffer&) = delete;
    SharedBuffer& operator=(const SharedBuffer&) = delete;
    ~SharedBuffer();

    /// A writable buffer of `size` bytes (zeroed), or an invalid one.
    static SharedBuffer Create(size_t size);

    /// Unmaps the buffer and seals it: no more writing, growing or shrinking.
    /// Returns the descriptor to send, or an invalid one on failure.
    UniqueFd Seal();

    /// Maps a received descriptor read-only when it is sealed against writing
    /// and shrinking and holds at least `needed` bytes. Returns an invalid
    /// buffer otherwise.
    static SharedBuffer MapSealed(UniqueFd fd, size_t needed);

    bool valid() const { return data_ != nullptr; }
    /// The descriptor of a buffer made by Create (for tests that send one
    /// unsealed).
    int descriptor() const { return fd_.get(); }
    unsigned char* data() const { return data_; }
    size_t size() const { return size_; }

    /// Gives up the mapping without unmapping it; Unmap frees it later.
    void* ReleaseMapping();
    static void Unmap(void* data, size_t size);

private:
    void reset();

    UniqueFd fd_;
    unsigned char* data_ = nullptr;
    size_t size_ = 0;
};

} // namespace platform
