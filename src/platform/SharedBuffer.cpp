#include "platform/SharedBuffer.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform {

SharedBuffer::SharedBuffer(SharedBuffer&& other) noexcept
    : fd_(std::move(other.fd_)), data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)) {}

SharedBuffer& SharedBuffer::operator=(SharedBuffer&& other) noexcept {
    if (this != &other) {
        reset();
        fd_ = std::move(other.fd_);
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

SharedBuffer::~SharedBuffer() {
    reset();
}

void SharedBuffer::reset() {
    if (data_)
        ::munmap(data_, size_);
    data_ = nullptr;
    size_ = 0;
    fd_.reset();
}

SharedBuffer SharedBuffer::Create(size_t size) {
    SharedBuffer b;
    if (size == 0)
        return b;
    b.fd_.reset(::memfd_create("vistrel-pixels", MFD_CLOEXEC | MFD_ALLOW_SEALING));
    if (!b.fd_.valid() || ::ftruncate(b.fd_.get(), off_t(size)) != 0)
        return {};
    void* p = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, b.fd_.get(), 0);
    if (p == MAP_FAILED)
        return {};
    b.data_ = static_cast<unsigned char*>(p);
    b.size_ = size;
    return b;
}

UniqueFd SharedBuffer::Seal() {
    if (!data_)
        return {};
    // F_SEAL_WRITE is refused while a writable shared mapping exists.
    ::munmap(data_, size_);
    data_ = nullptr;
    size_ = 0;
    if (::fcntl(fd_.get(), F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL) !=
        0)
        return {};
    return std::move(fd_);
}

SharedBuffer SharedBuffer::MapSealed(UniqueFd fd, size_t needed) {
    constexpr int kRequired = F_SEAL_SHRINK | F_SEAL_WRITE;
    const int seals = fd.valid() ? ::fcntl(fd.get(), F_GET_SEALS) : -1;
    struct stat st {};
    if (seals < 0 || (seals & kRequired) != kRequired || ::fstat(fd.get(), &st) != 0 ||
        !S_ISREG(st.st_mode) || needed == 0 || st.st_size < 0 ||
        static_cast<unsigned long long>(st.st_size) < needed)
        return {};
    void* p = ::mmap(nullptr, needed, PROT_READ, MAP_SHARED, fd.get(), 0);
    if (p == MAP_FAILED)
        return {};
    SharedBuffer b;
    b.data_ = static_cast<unsigned char*>(p);
    b.size_ = needed;
    return b; // the mapping outlives the descriptor
}

void* SharedBuffer::ReleaseMapping() {
    void* p = data_;
    data_ = nullptr;
    size_ = 0;
    fd_.reset();
    return p;
}

void SharedBuffer::Unmap(void* data, size_t size) {
    if (data)
        ::munmap(data, size);
}

} // namespace platform
