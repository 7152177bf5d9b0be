#pragma once

// What the browser asks of whatever decodes its still pictures, and what it
// gets back. The browser never decodes a still picture on its own thread: it
// sends a request and goes on; the answer arrives later as a signal on the
// thread that owns the decoder. The real decoder runs FreeImage in confined
// worker processes; tests put a scripted one in its place.

#include <QImage>
#include <QMetaType>
#include <QObject>
#include <QSize>
#include <QString>

namespace imaging {

/// How urgent a request is: every waiting request of a lower value starts
/// before any of a higher one.
enum class DecodePriority {
    Shown = 0,      ///< the picture on screen now
    Neighbour = 1,  ///< the next and previous files, decoded ahead
    Background = 2, ///< anything else (thumbnails)
};

/// How a request ended.
enum class DecodeStatus {
    Ok,           ///< `image` holds the picture
    Unsupported,  ///< not one of the formats the filter lists
    Unreadable,   ///< missing, not a regular file, damaged or cut short
    TooLarge,     ///< more pixels than the decoder allows
    WorkerFailed, ///< the decoder crashed, ran out of memory or past its deadline
};

struct DecodeRequest {
    QString path;
    /// The box the picture must fill, in device pixels: the picture comes back
    /// shrunk (never enlarged) to fit inside it, aspect ratio kept. An empty
    /// box asks for the full size.
    QSize box;
    DecodePriority priority = DecodePriority::Shown;
    /// What transparent parts are composed over.
    QRgb background = 0xFFFFFFFF;
};

struct DecodedPicture {
    QString path;
    DecodeStatus status = DecodeStatus::Unreadable;
    /// The picture's size as stored in the file; empty unless known.
    QSize originalSize;
    /// Format_RGB32, opaque, at most the requested box; null unless status is Ok.
    QImage image;
};

class PictureDecoder : public QObject {
    Q_OBJECT
public:
    using Ticket = quint64;

    using QObject::QObject;
    ~PictureDecoder() override = default;

    /// Queues a request and returns its ticket (never 0). Exactly one
    /// Decoded signal follows for it, unless it is cancelled first.
    virtual Ticket Request(const DecodeRequest& request) = 0;
    /// Drops a request: if it is still waiting it never starts; if it is being
    /// decoded its answer is thrown away. Unknown tickets are ignored.
    virtual void Cancel(Ticket ticket) = 0;

signals:
    void Decoded(imaging::PictureDecoder::Ticket ticket, const imaging::DecodedPicture& picture);
};

} // namespace imaging

Q_DECLARE_METATYPE(imaging::DecodedPicture)
