#pragma once

// A scripted stand-in for the picture decoder: it answers only when the test
// says so (or at once, when asked to), remembers every request and cancel, and
// paints each file in a colour of its own so that a test can tell from the
// pixels which file reached the screen.

#include "imaging/PictureDecoder.h"

#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QTimer>
#include <algorithm>
#include <map>
#include <vector>

class FakeDecoder : public imaging::PictureDecoder {
public:
    struct Script {
        imaging::DecodeStatus status = imaging::DecodeStatus::Ok;
        QSize size{640, 480};
    };
    struct Call {
        Ticket ticket;
        imaging::DecodeRequest request;
    };

    /// Answer every request on the next turn of the event loop.
    bool answerAtOnce = false;
    std::vector<Call> requests;
    std::vector<Ticket> cancels;
    /// Requests neither answered nor cancelled, by ticket.
    std::map<Ticket, imaging::DecodeRequest> open;
    QHash<QString, Script> scripts; // by file name
    Script otherFiles;              // for files without a script

    /// The colour a file's picture is painted in.
    static QRgb ColourOf(const QString& path) {
        const uint h = qHash(QFileInfo(path).fileName());
        return qRgb(int(h & 0xFF), int((h >> 8) & 0xFF), int((h >> 16) & 0x7F) + 64);
    }

    Ticket Request(const imaging::DecodeRequest& request) override {
        const Ticket t = ++next_;
        requests.push_back({t, request});
        open[t] = request;
        if (answerAtOnce)
            QTimer::singleShot(0, this, [this, t] { Answer(t); });
        return t;
    }
    void Cancel(Ticket ticket) override {
        cancels.push_back(ticket);
        open.erase(ticket);
    }

    /// Answers `ticket` as scripted, even if it was cancelled: a decoder may
    /// answer late, and the browser must not trust it.
    void Answer(Ticket ticket) {
        const auto it = std::find_if(requests.begin(), requests.end(),
                                     [ticket](const Call& c) { return c.ticket == ticket; });
        if (it == requests.end())
            return;
        open.erase(ticket);
        emit Decoded(ticket, Decode(it->request));
    }
    /// Answers the open request for the file `name`; false if there is none.
    bool AnswerFile(const QString& name) {
        for (const auto& [t, r] : open)
            if (QFileInfo(r.path).fileName() == name) {
                Answer(t);
                return true;
            }
        return false;
    }
    int CountFor(const QString& name, imaging::DecodePriority priority) const {
        return int(std::count_if(requests.begin(), requests.end(), [&](const Call& c) {
            return QFileInfo(c.request.path).fileName() == name && c.request.priority == priority;
        }));
    }
    int Count(imaging::DecodePriority priority) const {
        return int(std::count_if(requests.begin(), requests.end(),
                                 [&](const Call& c) { return c.request.priority == priority; }));
    }

    QList<Ticket> OpenTickets() const {
        QList<Ticket> tickets;
        for (const auto& entry : open)
            tickets.append(entry.first);
        return tickets;
    }
    bool WasCancelled(Ticket ticket) const {
        return std::find(cancels.begin(), cancels.end(), ticket) != cancels.end();
    }

    imaging::DecodedPicture Decode(const imaging::DecodeRequest& r) const {
        const Script s = scripts.value(QFileInfo(r.path).fileName(), otherFiles);
        imaging::DecodedPicture out;
        out.path = r.path;
        out.status = s.status;
        if (s.status != imaging::DecodeStatus::Ok)
            return out;
        out.originalSize = s.size;
        const QSize size = r.box.isEmpty() || (s.size.width() <= r.box.width() &&
                                               s.size.height() <= r.box.height())
                               ? s.size
                               : s.size.scaled(r.box, Qt::KeepAspectRatio);
        out.image = QImage(size, QImage::Format_RGB32);
        out.image.fill(ColourOf(r.path));
        return out;
    }

private:
    Ticket next_ = 0;
};
