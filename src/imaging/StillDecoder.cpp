#include "imaging/StillDecoder.h"

#include "imaging/DecoderProtocol.h"
#include "imaging/ExifOrientation.h"
#include "imaging/HeaderProbe.h"
#include "imaging/ScaledJpeg.h"

#include <algorithm>
#include <cstring>

namespace imaging {

namespace {

constexpr int kJpeg = FreeImageLoader::FormatJpeg;
// Cameras put the Exif block at the start; ReadOrientation(QIODevice&) looks
// as far.
constexpr size_t kExifBytes = 256 * 1024;

bool tooLarge(QSize s) {
    return qint64(s.width()) * s.height() > FreeImageLoader::MaxPixels;
}

/// Copies `image` (Format_RGB32) into the target, which asks for its size.
bool copyOut(const QImage& image, const FreeImageLoader::TargetFor& target) {
    const FreeImageLoader::PixelTarget to = target(image.width(), image.height());
    if (!to.bits)
        return false;
    const size_t row = size_t(image.width()) * 4;
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(to.bits + y * to.stride, image.constScanLine(y), row);
    return true;
}

/// Brings the stored pixels to `fitted` (the upright size) and writes them
/// out upright. Resampling comes first, on the stored pixels, so that the turn
/// moves only the fitted ones; `image` is taken by value so that a full-size
/// picture is let go as soon as its turned copy exists.
bool finish(QImage image, QSize fitted, Orientation o, const FreeImageLoader::TargetFor& target) {
    const QSize stored = OrientedSize(fitted, o);
    if (image.size() != stored) {
        image = FreeImageLoader::Rescale(image, stored.width(), stored.height(),
                                         FreeImageLoader::FilterLanczos3);
        FreeImageLoader::ReleaseScratch();
    }
    if (o != Orientation::Normal)
        image = ApplyOrientation(image, o);
    if (image.format() != QImage::Format_RGB32)
        image = image.convertToFormat(QImage::Format_RGB32);
    return !image.isNull() && copyOut(image, target);
}

/// The size the header claims: FreeImage's header-only read, our own probe,
/// or nothing (the format has neither; the memory limit and deadline guard).
QSize claimedSize(const unsigned char* data, size_t size, int format, bool* unreadable) {
    *unreadable = false;
    bool known = false;
    QSize s = HeaderProbe::Size(data, size, format, &known);
    if (known) {
        *unreadable = s.isEmpty();
        return s;
    }
    bool readable = true;
    s = FreeImageLoader::HeaderSize(data, size, format, &readable);
    *unreadable = !readable;
    return s;
}

} // namespace

StillDecoder::Result StillDecoder::decodeJpeg(const unsigned char* data, size_t size, QSize box,
                                              Orientation o,
                                              const FreeImageLoader::TargetFor& target,
                                              bool* handled) {
    *handled = true;
    bool plain = false;
    const QSize stored = ScaledJpeg::HeaderSize(data, size, &plain);
    const QSize original = OrientedSize(stored, o);
    if (stored.isEmpty())
        return {DecodeStatus::Unreadable, {}};
    if (tooLarge(stored))
        return {DecodeStatus::TooLarge, original};
    if (!plain) {
        *handled = false;
        return {};
    }
    // The stored pixels are turned a quarter from the box for 5-8.
    QImage image;
    if (ScaledJpeg::Decode(data, size, OrientedSize(box, o), image) != ScaledJpeg::Result::Ok)
        return {DecodeStatus::Unreadable, original};
    if (!finish(std::move(image), protocol::FittedSize(original, box), o, target))
        return {DecodeStatus::Unreadable, original};
    return {DecodeStatus::Ok, original};
}

StillDecoder::Result StillDecoder::decodeOther(const unsigned char* data, size_t size, int format,
                                               QSize box, QRgb background, Orientation o,
                                               const FreeImageLoader::TargetFor& target) {
    bool unreadable = false;
    const QSize claimed = claimedSize(data, size, format, &unreadable);
    if (unreadable)
        return {DecodeStatus::Unreadable, {}};
    if (tooLarge(claimed))
        return {DecodeStatus::TooLarge, OrientedSize(claimed, o)};

    Result r{DecodeStatus::Unreadable, OrientedSize(claimed, o)};
    if (box.isEmpty() && o == Orientation::Normal) {
        // Full size and upright as stored: straight into the caller's memory.
        const bool ok =
            FreeImageLoader::LoadMemoryInto(data, size, format, background, [&](int w, int h) {
                r.original = QSize(w, h);
                return target(w, h);
            });
        r.status = ok ? DecodeStatus::Ok : DecodeStatus::Unreadable;
        return r;
    }
    QImage image;
    const bool ok =
        FreeImageLoader::LoadMemoryInto(data, size, format, background, [&](int w, int h) {
            image = QImage(w, h, QImage::Format_RGB32);
            if (image.isNull())
                return FreeImageLoader::PixelTarget{};
            return FreeImageLoader::PixelTarget{image.bits(), image.bytesPerLine()};
        });
    if (!ok)
        return r;
    r.original = OrientedSize(image.size(), o);
    if (!finish(std::move(image), protocol::FittedSize(r.original, box), o, target))
        return r;
    r.status = DecodeStatus::Ok;
    return r;
}

StillDecoder::Result StillDecoder::Decode(const unsigned char* data, size_t size,
                                          const char* fileName, QSize box, QRgb background,
                                          const FreeImageLoader::TargetFor& target) {
    const int format = FreeImageLoader::IdentifyMemory(data, size, fileName);
    if (format == FreeImageLoader::FormatUnknown)
        return {size == 0 ? DecodeStatus::Unreadable : DecodeStatus::Unsupported, {}};
    if (!FreeImageLoader::IsListedFormat(format))
        return {DecodeStatus::Unsupported, {}};
    const Orientation o = ReadOrientation(
        QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(std::min(size, kExifBytes))));
    if (format == kJpeg) {
        bool handled = false;
        const Result r = decodeJpeg(data, size, box, o, target, &handled);
        if (handled)
            return r;
    }
    return decodeOther(data, size, format, box, background, o, target);
}

} // namespace imaging
