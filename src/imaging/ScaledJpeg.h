#pragma once

// JPEG decoding at the size shown: libjpeg-turbo's DCT scaling gives the
// smallest of its scales (1/8 to 2 in eighths) that still covers the box,
// at a fraction of the cost of a full decode; the caller resamples the rest
// of the way.

#include <QImage>
#include <QSize>
#include <cstddef>

namespace imaging {

class ScaledJpeg {
public:
    enum class Result {
        Ok,
        NotForMe,   ///< readable header, but a colour space this path leaves to FreeImage
        Unreadable, ///< damaged or cut short
    };

    /// The picture's size from its header; empty when unreadable. `plain`
    /// tells whether the colour space is one this path decodes (not CMYK).
    static QSize HeaderSize(const unsigned char* data, size_t size, bool* plain);

    /// The scaled size decoded for `box` (empty: full size).
    static QSize ScaledSize(QSize original, QSize box);

    /// Decodes at ScaledSize into a Format_RGB32 image.
    static Result Decode(const unsigned char* data, size_t size, QSize box, QImage& out);
};

} // namespace imaging
