#include "imaging/DecoderPool.h"

#include "imaging/DecoderPoolSlot.h"
#include "platform/ChildProcess.h"
#include "platform/UniqueFd.h"

#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <algorithm>

namespace imaging {

DecoderPool::DecoderPool(QObject* parent) : DecoderPool(Options{}, parent) {}

DecoderPool::DecoderPool(const Options& options, QObject* parent)
    : PictureDecoder(parent), options_(options) {
    qRegisterMetaType<imaging::DecodedPicture>();
    qRegisterMetaType<imaging::PictureDecoder::Ticket>("imaging::PictureDecoder::Ticket");
    if (options_.workerPath.isEmpty())
        options_.workerPath = FindWorker();
    if (options_.workers <= 0)
        options_.workers = DefaultWorkerCount();
    for (int i = 0; i < options_.workers; ++i) {
        slots_.push_back(std::make_unique<Slot>());
        Slot* slot = slots_.back().get();
        connect(&slot->deadline, &QTimer::timeout, this, [this, slot] { retire(*slot, true); });
        connect(&slot->restart, &QTimer::timeout, this, [this, slot] { spawn(*slot); });
        spawn(*slot);
    }
}

DecoderPool::~DecoderPool() {
    for (auto& slot : slots_)
        slot->End(false);
}

QString DecoderPool::FindWorker() {
    const QString folder = QString::fromStdString(platform::ExecutableFolder());
    if (folder.isEmpty())
        return {};
    for (const QString& candidate :
         {folder + QStringLiteral("vistrel-decoder"),
          folder + QStringLiteral(VISTREL_LIBEXEC_FROM_BIN "/vistrel-decoder")}) {
        if (platform::IsExecutableFile(QFile::encodeName(candidate).toStdString()))
            return QFileInfo(candidate).canonicalFilePath();
    }
    return {};
}

int DecoderPool::DefaultWorkerCount() {
    return std::clamp(QThread::idealThreadCount(), 2, 4);
}

int DecoderPool::Running() const {
    return int(
        std::count_if(slots_.begin(), slots_.end(), [](const auto& s) { return s->ticket != 0; }));
}

QList<qint64> DecoderPool::WorkerPids() const {
    QList<qint64> pids;
    for (const auto& slot : slots_)
        if (slot->pid > 0)
            pids.append(slot->pid);
    return pids;
}

PictureDecoder::Ticket DecoderPool::Request(const DecodeRequest& request) {
    const Ticket ticket = nextTicket_++;
    const int level = std::clamp(int(request.priority), 0, int(queue_.size()) - 1);
    queue_[size_t(level)].push_back({ticket, request});
    scheduleDispatch();
    return ticket;
}

void DecoderPool::Cancel(Ticket ticket) {
    for (auto& level : queue_) {
        const auto it = std::find_if(level.begin(), level.end(),
                                     [ticket](const Pending& p) { return p.ticket == ticket; });
        if (it != level.end()) {
            level.erase(it);
            return;
        }
    }
    for (auto& slot : slots_) {
        if (slot->ticket == ticket && ticket != 0) {
            slot->dropped = true;
            scheduleDispatch(); // a waiting Shown request may take its place
            return;
        }
    }
}

void DecoderPool::scheduleDispatch() {
    if (dispatchQueued_)
        return;
    dispatchQueued_ = true;
    // Never from inside Request or Cancel: a caller must not see an answer
    // before it has its ticket.
    QMetaObject::invokeMethod(
        this,
        [this] {
            dispatchQueued_ = false;
            dispatch();
        },
        Qt::QueuedConnection);
}

DecoderPool::Slot* DecoderPool::idleSlot() {
    for (auto& slot : slots_)
        if (slot->ready && slot->ticket == 0)
            return slot.get();
    return nullptr;
}

bool DecoderPool::anyReady() const {
    return std::any_of(slots_.begin(), slots_.end(), [](const auto& s) { return s->ready; });
}

void DecoderPool::dispatch() {
    if (failingReported_ && !anyReady()) {
        failWaiting();
        return;
    }
    for (auto& level : queue_) {
        while (!level.empty()) {
            Slot* slot = idleSlot();
            if (!slot)
                break;
            Pending next = std::move(level.front());
            level.pop_front();
            if (!start(*slot, std::move(next)))
                continue;
        }
    }
    if (queue_[size_t(DecodePriority::Shown)].empty() || idleSlot())
        return;
    // A Shown request waits while workers decode what nobody wants any more.
    for (auto& slot : slots_) {
        if (slot->ticket != 0 && slot->dropped) {
            retire(*slot, false);
            return;
        }
    }
}

bool DecoderPool::start(Slot& slot, Pending pending) {
    const platform::UniqueFd file =
        platform::OpenRegularFile(QFile::encodeName(pending.request.path).toStdString());
    if (!file.valid()) {
        DecodedPicture p;
        p.path = pending.request.path;
        p.status = DecodeStatus::Unreadable;
        answer(pending.ticket, std::move(p));
        return false;
    }
    protocol::Request req;
    const QSize box = pending.request.box.isEmpty() ? QSize() : pending.request.box;
    req.boxWidth = box.width() > 0 ? box.width() : 0;
    req.boxHeight = box.height() > 0 ? box.height() : 0;
    req.background = pending.request.background;
    const QByteArray name = QFile::encodeName(QFileInfo(pending.request.path).fileName());
    const QByteArray tail = name.right(int(sizeof req.nameTail) - 1);
    std::copy(tail.begin(), tail.end(), req.nameTail);

    slot.ticket = pending.ticket;
    slot.dropped = false;
    slot.path = pending.request.path;
    slot.box = QSize(req.boxWidth, req.boxHeight);
    if (!slot.Send(req, file.get())) {
        // The worker died before its end was seen closed: it never had the
        // request, so the request waits for the next worker, first in line.
        slot.ticket = 0;
        retire(slot, true);
        const int level = std::clamp(int(pending.request.priority), 0, int(queue_.size()) - 1);
        queue_[size_t(level)].push_front(std::move(pending));
        return false;
    }
    slot.deadline.start(options_.deadlineMs);
    return true;
}

void DecoderPool::failWaiting() {
    for (auto& level : queue_) {
        std::deque<Pending> waiting;
        waiting.swap(level);
        for (Pending& p : waiting) {
            DecodedPicture picture;
            picture.path = p.request.path;
            picture.status = DecodeStatus::WorkerFailed;
            answer(p.ticket, std::move(picture));
        }
    }
}

void DecoderPool::answer(Ticket ticket, DecodedPicture picture) {
    emit Decoded(ticket, picture);
}

} // namespace imaging
