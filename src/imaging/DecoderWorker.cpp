#include "imaging/DecoderWorker.h"

#include "imaging/DecoderProtocol.h"
#include "imaging/StillDecoder.h"
#include "platform/ChildProcess.h"
#include "platform/FdChannel.h"
#include "platform/Sandbox.h"
#include "platform/SharedBuffer.h"
#include "platform/ThreadPriority.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <string>
#include <unistd.h>
#include <vector>

namespace imaging {

namespace {

using platform::FdChannel;
using platform::kChildChannelFd;

constexpr long long kMaxFileBytes = 1LL << 30;

// Exit codes, for a reader of the browser's log.
constexpr int kExitUsage = 64, kExitConfine = 71, kExitProtocol = 72, kExitFault = 73;

struct Options {
    unsigned long long addressSpace = 0;
    std::string fault;
};

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a.rfind("--address-space=", 0) == 0)
            o.addressSpace = std::strtoull(a.c_str() + 16, nullptr, 10);
        else if (a.rfind("--fault=", 0) == 0)
            o.fault = a.substr(8);
        else
            return false;
    }
    return true;
}

void answer(const protocol::Answer& a, int fd = -1);

/// Answers Ok with a lie the browser must catch: a size that does not fit the
/// box, a buffer shorter than the rows, or a buffer left unsealed.
void lie(const std::string& fault, const protocol::Request& req) {
    protocol::Answer a;
    a.status = quint32(DecodeStatus::Ok);
    a.originalWidth = a.originalHeight = 64;
    const QSize fitted = protocol::FittedSize({64, 64}, {req.boxWidth, req.boxHeight});
    a.width = fitted.width() * (fault == "lie-size" ? 2 : 1);
    a.height = fitted.height();
    a.stride = qint64(a.width) * 4;
    const size_t bytes = size_t(a.stride) * size_t(a.height);
    platform::SharedBuffer buffer =
        platform::SharedBuffer::Create(fault == "lie-short" ? bytes / 2 : bytes);
    if (fault == "lie-unsealed")
        return answer(a, buffer.descriptor());
    const platform::UniqueFd sealed = buffer.Seal();
    answer(a, sealed.get());
}

/// Acts out a test fault. Returns the status to answer when the fault is
/// one that answers at all.
DecodeStatus actOut(const std::string& fault) {
    if (fault == "crash")
        std::raise(SIGSEGV);
    if (fault == "hang")
        for (;;)
            ::pause();
    if (fault == "alloc") {
        static std::vector<char*> kept; // never freed: the point is to grow
        for (;;)
            kept.push_back(new char[64 << 20]); // bad_alloc ends the process
    }
    if (fault == "open") {
        // Confinement holds when this fails; a breach answers Unsupported.
        const int fd = ::open("/", O_RDONLY | O_CLOEXEC);
        if (fd >= 0) {
            ::close(fd);
            return DecodeStatus::Unsupported;
        }
        return DecodeStatus::Unreadable;
    }
    _exit(kExitFault);
}

bool faultFile(const std::string& bytes) {
    return bytes.compare(0, sizeof protocol::kFaultMarker - 1, protocol::kFaultMarker) == 0;
}

void answer(const protocol::Answer& a, int fd) {
    if (!FdChannel::Send(kChildChannelFd, &a, sizeof a, fd))
        _exit(0); // the browser is gone or gave up on us
}

void serve(const protocol::Request& req, platform::UniqueFd file, const Options& o) {
    protocol::Answer a;
    std::string bytes;
    if (!file.valid() || !platform::ReadWholeFile(file.get(), bytes, kMaxFileBytes)) {
        a.status = quint32(DecodeStatus::Unreadable);
        return answer(a);
    }
    file.reset();
    if (o.fault.rfind("lie-", 0) == 0 && faultFile(bytes))
        return lie(o.fault, req);
    if (!o.fault.empty() && faultFile(bytes)) {
        a.status = quint32(actOut(o.fault));
        return answer(a);
    }
    char name[sizeof req.nameTail + 1] = {};
    std::memcpy(name, req.nameTail, sizeof req.nameTail);
    platform::SharedBuffer pixels;
    const auto target = [&](int w, int h) -> FreeImageLoader::PixelTarget {
        a.width = w;
        a.height = h;
        a.stride = qint64(w) * 4;
        pixels = platform::SharedBuffer::Create(size_t(a.stride) * size_t(h));
        return {pixels.data(), qsizetype(a.stride)};
    };
    const StillDecoder::Result r =
        StillDecoder::Decode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                             name, QSize(req.boxWidth, req.boxHeight), req.background, target);
    bytes = std::string(); // give the memory back before the next request
    a.status = quint32(r.status);
    a.originalWidth = r.original.width() > 0 ? r.original.width() : 0;
    a.originalHeight = r.original.height() > 0 ? r.original.height() : 0;
    if (r.status != DecodeStatus::Ok) {
        a.width = a.height = 0;
        a.stride = 0;
        return answer(a);
    }
    const platform::UniqueFd sealed = pixels.Seal();
    if (!sealed.valid()) {
        a = protocol::Answer{};
        a.status = quint32(DecodeStatus::Unreadable);
        return answer(a);
    }
    answer(a, sealed.get());
}

} // namespace

int DecoderWorker::Run(int argc, char** argv) {
    Options o;
    if (!parse(argc, argv, o))
        return kExitUsage;
    if (o.fault == "start")
        _exit(kExitFault);
    // FreeImage registers its plugins when the library is loaded, and neither
    // it nor libturbojpeg reads a file of its own later: nothing needs to be
    // readied before the filter closes the file system.
    // Decoding yields to the window's thread (see platform/ThreadPriority.h).
    platform::LowerThreadPriority(platform::kBackgroundNiceness);
    if (!platform::ConfineProcess({o.addressSpace}))
        _exit(kExitConfine);
    protocol::Hello hello;
    hello.pid = quint32(::getpid());
    if (!FdChannel::Send(kChildChannelFd, &hello, sizeof hello))
        _exit(0);
    for (;;) {
        protocol::Request req;
        FdChannel::Received in = FdChannel::Receive(kChildChannelFd, &req, sizeof req, false);
        if (in.size == 0)
            _exit(0); // the browser closed the channel: done, no exit handlers
        if (in.size != sizeof req || in.truncated || req.magic != protocol::kMagic)
            _exit(kExitProtocol);
        serve(req, std::move(in.fd), o);
    }
}

} // namespace imaging
