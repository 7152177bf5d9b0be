#pragma once

// Files for the decoder tests, written on the spot: photo-like pictures, and
// small headers that claim more than they hold or say nothing sensible.

#include <QByteArray>
#include <QImage>
#include <QString>

namespace decodertest {

/// Smooth gradients with a little noise and some edges, as photos have.
QImage PhotoLike(int width, int height, quint32 seed = 7);

/// A PNG whose header claims width x height over a tiny, valid stream.
QByteArray PngHeader(quint32 width, quint32 height);
/// A little-endian TIFF claiming width x height of 8-bit grey.
QByteArray TiffHeader(quint32 width, quint32 height);
/// A Photoshop header of `version` claiming width x height, 3 channels.
QByteArray PsdHeader(quint32 width, quint32 height, quint16 version = 1);
QByteArray DdsHeader(quint32 width, quint32 height);
QByteArray WbmpHeader(quint32 width, quint32 height);
QByteArray IffHeader(quint16 width, quint16 height);
QByteArray XbmHeader(quint32 width, quint32 height);

bool WriteFile(const QString& path, const QByteArray& bytes);

} // namespace decodertest
