#pragma once
// A frame's palette indices as one byte per pixel, row after row, without the
// surface's row padding: the form in which tests compare decoded frames.

#include "gif/cGIF.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>

namespace giftest {

inline QByteArray FrameIndices(const cGIF& gif, int16_t n) {
    QByteArray out;
    if (const auto image = gif.FrameDIBXOR(n)) {
        for (int32_t y = 0; y < image->Height(); ++y) {
            out.append(reinterpret_cast<const char*>(image->lpBits()) +
                           size_t(y) * size_t(image->BytesPerScanline()),
                       image->Width());
        }
    }
    return out;
}

} // namespace giftest
