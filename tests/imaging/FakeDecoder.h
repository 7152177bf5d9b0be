#pragma once

// A scripted stand-in for the picture decoder: it records every request and
// cancellation, and answers only when the test says so (or, in automatic mode,
// on the next event-loop turn with a plain picture of the requested box), so
// tests decide exactly which answers arrive and when.

#include "imaging/PictureDecoder.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QTimer>

class FakeDecoder : public imaging::PictureDecoder {
public:
    using PictureDecoder::PictureDecoder;

    /// Answer every request on the next event-loop turn: a picture 2:1 that
    /// fills the box's width, Unreadable for paths in `unreadable`, and
    /// WorkerFailed for those in `crashing`.
    bool automatic = false;
    QSet<QString> unreadable;
    QSet<QString> crashing;

    QList<imaging::DecodeRequest> requests;
    QSet<Ticket> cancelled;
    QHash<Ticket, imaging::DecodeRequest> waiting; ///< neither answered nor cancelled
    QHash<Ticket, imaging::DecodeRequest> issued;  ///< every request ever made

    Ticket Request(const imaging::DecodeRequest& request) override {
        const Ticket ticket = ++last_;
        requests.append(request);
        waiting.insert(ticket, request);
        issued.insert(ticket, request);
        if (automatic)
            QTimer::singleShot(0, this, [this, ticket] {
                if (waiting.contains(ticket))
                    Answer(ticket);
            });
        return ticket;
    }
    void Cancel(Ticket ticket) override {
        cancelled.insert(ticket);
        waiting.remove(ticket);
    }

    /// Answers `ticket` as if it had been decoded, even when it was cancelled
    /// (a real decoder may finish a cancelled request; its answer must be ignored).
    void Answer(Ticket ticket) {
        waiting.remove(ticket);
        const imaging::DecodeRequest request = issued.value(ticket);
        imaging::DecodedPicture picture;
        picture.path = request.path;
        if (unreadable.contains(request.path) || crashing.contains(request.path)) {
            picture.status = crashing.contains(request.path) ? imaging::DecodeStatus::WorkerFailed
                                                             : imaging::DecodeStatus::Unreadable;
        } else {
            picture.status = imaging::DecodeStatus::Ok;
            picture.originalSize = QSize(4000, 2000);
            picture.image =
                QImage(request.box.width(), request.box.width() / 2, QImage::Format_RGB32);
            picture.image.fill(0xFF336699);
        }
        emit Decoded(ticket, picture);
    }

private:
    Ticket last_ = 0;
};
