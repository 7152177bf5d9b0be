#pragma once

// The PictureDecoder of the program: a warm pool of confined decoder
// processes (vistrel-decoder, DecoderWorker), driven from the thread that owns
// the pool without ever blocking it.
//
// Contract with a worker. The browser opens the file itself - a regular file
// only, so FIFOs and devices are refused here - and hands the worker the open
// descriptor with the box and background. A worker never opens a file, a
// socket or a program: before it reads anything it sets no-new-privileges, an
// address-space limit and a system-call filter (platform/Sandbox.h). It may
// read the descriptor it is handed, compute, and write one shared buffer it
// creates; that buffer is sealed before it is sent back.
//
// What the browser checks of every answer, trusting nothing: the record's
// length and magic; a status it knows, never WorkerFailed; for Ok, that a
// buffer came along, sealed against writing and shrinking; an original size
// of at most MaxPixels; a width and height equal to
// protocol::FittedSize(original, box); a stride of exactly width x 4; and
// stride x height within the buffer (as fstat tells its size).
// Any broken rule ends the worker and answers WorkerFailed. A worker that
// crashes, is killed, exceeds its memory, or runs past the deadline is ended
// and replaced; its request answers WorkerFailed.
//
// Departures a caller should know:
// - A cancelled request that is already being decoded is left to finish
//   (its answer dropped): replacing a process costs a start-up, while most
//   decodes end soon. Only when a Shown request is waiting and every worker
//   is busy is a worker with a cancelled request ended and replaced at once,
//   so that stepping through large pictures never waits behind stale ones.
// - When workers keep failing (2 x their number in a row, without one good
//   answer) the pool says so once with WorkersFailing, restarts them with a
//   growing delay, and answers waiting requests WorkerFailed while no worker
//   is ready.

#include "imaging/PictureDecoder.h"
#include "platform/UniqueFd.h"

#include <QList>
#include <QString>
#include <array>
#include <deque>
#include <memory>
#include <vector>

namespace imaging {

class DecoderPool : public PictureDecoder {
    Q_OBJECT
public:
    struct Options {
        /// The worker executable; empty: FindWorker().
        QString workerPath;
        /// How many workers; 0: DefaultWorkerCount().
        int workers = 0;
        /// How long one decode may take before its worker is ended.
        int deadlineMs = 10000;
        /// The worker's address-space limit in bytes.
        quint64 addressSpace = quint64(2) << 30;
        /// Test only: the worker fault switch (see protocol::kFaultMarker).
        QString fault;
    };

    explicit DecoderPool(QObject* parent = nullptr);
    explicit DecoderPool(const Options& options, QObject* parent = nullptr);
    ~DecoderPool() override;

    Ticket Request(const DecodeRequest& request) override;
    void Cancel(Ticket ticket) override;

    /// The worker beside the running executable (the build tree), else in
    /// ../libexec/vistrel/ from it (an installation); empty when neither.
    static QString FindWorker();
    /// 2 on a 2-core machine, one per core up to 4.
    static int DefaultWorkerCount();

    /// How many worker processes have been started so far.
    int Started() const { return started_; }
    /// How many requests are out at workers now.
    int Running() const;
    /// The workers' process ids (for tests that end one from outside).
    QList<qint64> WorkerPids() const;

signals:
    /// Workers keep failing and are now restarted with a growing delay.
    /// Emitted once until a worker answers again.
    void WorkersFailing();

private:
    struct Slot;
    struct Pending {
        Ticket ticket;
        DecodeRequest request;
    };

    void spawn(Slot& slot);
    void onReadable(Slot& slot);
    void onAnswer(Slot& slot, const void* record, platform::UniqueFd fd);
    void retire(Slot& slot, bool failure);
    void scheduleDispatch();
    void dispatch();
    bool start(Slot& slot, Pending pending);
    void failWaiting();
    void answer(Ticket ticket, DecodedPicture picture);
    Slot* idleSlot();
    bool anyReady() const;

    Options options_;
    std::vector<std::unique_ptr<Slot>> slots_;
    std::array<std::deque<Pending>, 3> queue_;
    Ticket nextTicket_ = 1;
    int started_ = 0;
    int failStreak_ = 0;
    bool failingReported_ = false;
    bool dispatchQueued_ = false;
};

} // namespace imaging
