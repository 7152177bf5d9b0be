// The process side of DecoderPool: starting workers, reading and checking
// their answers, ending and restarting them.
#include "imaging/DecoderPoolSlot.h"

#include "imaging/FreeImageLoader.h"
#include "platform/SharedBuffer.h"

#include <QFile>
#include <QThreadPool>
#include <algorithm>
#include <cerrno>
#include <cstring>

namespace imaging {

namespace {

constexpr int kFirstBackoffMs = 250, kLastBackoffMs = 8000;

struct Mapping {
    void* data;
    size_t size;
};

/// Pictures from this size up give their pages back on a pool thread.
constexpr size_t kUnmapAside = size_t(8) << 20;

void unmapImage(void* info) {
    auto* m = static_cast<Mapping*>(info);
    const auto release = [m] {
        platform::SharedBuffer::Unmap(m->data, m->size);
        delete m;
    };
    // Giving back the pages of a full-size picture takes tens of
    // milliseconds, and pictures mostly die on the window's thread, in the
    // middle of a step to the next one.
    if (m->size >= kUnmapAside)
        QThreadPool::globalInstance()->start(release);
    else
        release();
}

bool validSize(qint64 w, qint64 h) {
    return w > 0 && h > 0 && w * h <= FreeImageLoader::MaxPixels;
}

/// The picture an Ok answer carries, checked against everything the browser
/// knows; a null image when any rule is broken.
QImage mapPixels(const protocol::Answer& a, QSize box, platform::UniqueFd fd) {
    if (!fd.valid() || !validSize(a.originalWidth, a.originalHeight))
        return {};
    const QSize fitted = protocol::FittedSize(QSize(a.originalWidth, a.originalHeight), box);
    if (QSize(a.width, a.height) != fitted)
        return {};
    const qint64 row = qint64(a.width) * 4;
    // Rows packed: a larger stride would let a worker have the browser map a
    // huge, mostly empty buffer for a small picture.
    if (a.stride != row)
        return {};
    const auto bytes = static_cast<size_t>(a.stride) * size_t(a.height);
    platform::SharedBuffer buffer = platform::SharedBuffer::MapSealed(std::move(fd), bytes);
    if (!buffer.valid())
        return {};
    auto* info = new Mapping{nullptr, buffer.size()};
    info->data = buffer.ReleaseMapping();
    // Read-only pixels: a caller that paints on the image gets its own copy.
    return QImage(static_cast<const uchar*>(info->data), a.width, a.height, qsizetype(a.stride),
                  QImage::Format_RGB32, unmapImage, info);
}

} // namespace

void DecoderPool::spawn(Slot& slot) {
    slot.End();
    platform::UniqueFd mine, theirs;
    std::vector<std::string> args{"--address-space=" + std::to_string(options_.addressSpace)};
    if (!options_.fault.isEmpty())
        args.push_back("--fault=" + options_.fault.toStdString());
    ++started_;
    if (platform::FdChannel::CreatePair(mine, theirs))
        slot.pid = platform::SpawnWithChannel(QFile::encodeName(options_.workerPath).toStdString(),
                                              args, theirs.get());
    if (slot.pid <= 0) {
        // Counted like a crash, so a missing executable backs off too.
        QMetaObject::invokeMethod(
            this, [this, s = &slot] { retire(*s, true); }, Qt::QueuedConnection);
        return;
    }
    slot.channel = std::move(mine);
    // A worker that never says Hello is as stuck as one that never answers.
    slot.deadline.start(options_.deadlineMs);
    slot.notifier = std::make_unique<QSocketNotifier>(slot.channel.get(), QSocketNotifier::Read);
    connect(slot.notifier.get(), &QSocketNotifier::activated, this,
            [this, s = &slot] { onReadable(*s); });
}

void DecoderPool::onReadable(Slot& slot) {
    // Big enough for any record, so that a longer one shows as too long.
    alignas(8) unsigned char record[sizeof(protocol::Answer) + 8];
    platform::FdChannel::Received in =
        platform::FdChannel::Receive(slot.channel.get(), record, sizeof record, true);
    if (in.size < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
        return;
    protocol::Hello hello;
    if (in.size == sizeof hello && !slot.ready && !in.fd.valid() && !in.truncated) {
        std::memcpy(&hello, record, sizeof hello);
        if (hello.magic == protocol::kMagic) {
            slot.ready = true;
            slot.deadline.stop();
            scheduleDispatch();
            return;
        }
    }
    if (in.size == sizeof(protocol::Answer) && slot.ready && slot.ticket != 0 && !in.truncated)
        return onAnswer(slot, record, std::move(in.fd));
    retire(slot, true); // closed, failed, or said something out of turn
}

void DecoderPool::onAnswer(Slot& slot, const void* record, platform::UniqueFd fd) {
    protocol::Answer a;
    std::memcpy(&a, record, sizeof a);
    const auto status = static_cast<DecodeStatus>(a.status);
    const bool known = a.status <= quint32(DecodeStatus::TooLarge);
    DecodedPicture picture;
    picture.path = slot.path;
    picture.status = status;
    if (validSize(a.originalWidth, a.originalHeight))
        picture.originalSize = QSize(a.originalWidth, a.originalHeight);
    if (status == DecodeStatus::Ok)
        picture.image = mapPixels(a, slot.box, std::move(fd));
    if (a.magic != protocol::kMagic || !known ||
        (status == DecodeStatus::Ok) == picture.image.isNull() ||
        (status != DecodeStatus::Ok && fd.valid()))
        return retire(slot, true);
    const Ticket ticket = slot.ticket;
    const bool dropped = slot.dropped;
    slot.deadline.stop();
    slot.ticket = 0;
    slot.dropped = false;
    failStreak_ = 0;
    failingReported_ = false;
    scheduleDispatch();
    if (!dropped)
        answer(ticket, std::move(picture));
}

void DecoderPool::retire(Slot& slot, bool failure) {
    const Ticket ticket = slot.dropped ? 0 : slot.ticket;
    const QString path = slot.path;
    slot.End();
    int delay = 0;
    if (failure && ++failStreak_ >= 2 * int(slots_.size())) {
        const int steps = std::min(failStreak_ - 2 * int(slots_.size()), 5);
        delay = std::min(kFirstBackoffMs << steps, kLastBackoffMs);
        if (!failingReported_) {
            failingReported_ = true;
            emit WorkersFailing();
        }
    }
    slot.restart.start(delay);
    scheduleDispatch();
    if (ticket != 0) {
        DecodedPicture picture;
        picture.path = path;
        picture.status = DecodeStatus::WorkerFailed;
        answer(ticket, std::move(picture));
    }
}

} // namespace imaging
