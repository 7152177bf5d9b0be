#pragma once

// The loaded picture of the still preview and the full view: what used to be a
// hidden picture box is a plain value, filled from a decoder's answer.

#include "imaging/PictureDecoder.h"

#include <QDateTime>
#include <QImage>
#include <QSize>
#include <QString>

namespace imaging {

struct Picture {
    QString path;
    /// The box it was asked for, in device pixels; empty for the full size.
    QSize box;
    DecodeStatus status = DecodeStatus::Unreadable;
    /// The size stored in the file; empty unless known.
    QSize originalSize;
    /// At most `box`, Format_RGB32; null unless status is Ok.
    QImage image;

    bool IsOk() const { return status == DecodeStatus::Ok && !image.isNull(); }
    /// The bytes its pixels take.
    qint64 Bytes() const { return image.sizeInBytes(); }
};

/// A picture as its file was when it was asked for: the same path and box
/// with another modification time or length is another key, so that a file
/// rewritten in place is never served from an old decode.
struct PictureKey {
    QString path;
    QSize box;
    qint64 modifiedMs = 0;
    qint64 length = -1;

    bool operator==(const PictureKey&) const = default;
    /// The key of `path` now (one stat of the file; a missing file has
    /// length -1).
    static PictureKey Of(const QString& path, QSize box);
};

} // namespace imaging
