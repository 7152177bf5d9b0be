#pragma once

// What a decoder process does with the bytes of one file: identify the
// format (content first, then the name's extension), refuse every format the
// filter does not list, refuse a picture of more than MaxPixels before its
// pixels are allocated wherever the header tells the size, decode (JPEG at the
// smallest DCT scale covering the box) and resample with Lanczos to the
// fitted size. Runs inside the confined process; opens nothing.

#include "imaging/FreeImageLoader.h"
#include "imaging/PictureDecoder.h"

#include <QSize>
#include <cstddef>

namespace imaging {

class StillDecoder {
public:
    struct Result {
        DecodeStatus status = DecodeStatus::Unreadable;
        QSize original;
    };

    /// Decodes `data` for `box` (empty: full size). On Ok the pixels have been
    /// written through `target`, at protocol::FittedSize(original, box).
    static Result Decode(const unsigned char* data, size_t size, const char* fileName, QSize box,
                         QRgb background, const FreeImageLoader::TargetFor& target);

private:
    static Result decodeJpeg(const unsigned char* data, size_t size, QSize box,
                             const FreeImageLoader::TargetFor& target, bool* handled);
};

} // namespace imaging
