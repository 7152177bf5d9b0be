#pragma once

// The orientation a camera records in a picture's Exif block (TIFF tag 0x0112):
// how the stored pixels must be turned so that the picture stands as it was
// taken. Phones store the sensor's rows as they come and leave the turn to the
// viewer, so without this a portrait photo shows on its side.
//
// Reading never trusts the file: every length and offset is checked against
// the bytes at hand, nothing outside them is read, and a damaged or missing
// block, a wrong type or a value outside 1..8 all read as Normal. Qt Core and
// Gui only, so that the decoder processes can use it as well as the browser.

#include <QByteArrayView>
#include <QImage>
#include <QSize>

class QIODevice;

namespace imaging {

/// The eight Exif values, named after the turn that shows the picture upright.
enum class Orientation {
    Normal = 1,
    MirrorHorizontal = 2,
    Rotate180 = 3,
    MirrorVertical = 4,
    Transpose = 5,  ///< mirror about the top-left to bottom-right diagonal
    Rotate90 = 6,   ///< clockwise
    Transverse = 7, ///< mirror about the top-right to bottom-left diagonal
    Rotate270 = 8,  ///< clockwise (90 counter-clockwise)
};

/// The orientation recorded at the start of a JPEG (the first Exif APP1
/// segment before the scan) or a TIFF file (the first IFD). `bytes` may be a
/// prefix of the file; what lies beyond it counts as absent.
Orientation ReadOrientation(QByteArrayView bytes);

/// Reads the orientation from a device positioned at the start of the file,
/// looking at no more than its first 256 KiB; the position is left where
/// reading stopped. An unreadable device reads as Normal.
Orientation ReadOrientation(QIODevice& device);

/// The stored pixels turned upright. A null image stays null.
QImage ApplyOrientation(const QImage& stored, Orientation orientation);

/// The size of the upright picture: width and height swap for the four
/// orientations that turn a quarter.
QSize OrientedSize(QSize stored, Orientation orientation);

} // namespace imaging
