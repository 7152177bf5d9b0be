#include "imaging/StillDecoder.h"

#include "imaging/DecoderProtocol.h"
#include "imaging/HeaderProbe.h"
#include "imaging/ScaledJpeg.h"

#include <cstring>

namespace imaging {

namespace {

constexpr int kJpeg = FreeImageLoader::FormatJpeg;

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

/// Brings a decoded image to `fitted` with Lanczos and writes it out.
bool finish(const QImage& image, QSize fitted, const FreeImageLoader::TargetFor& target) {
    if (image.size() == fitted)
        return copyOut(image, target);
    const QImage scaled = FreeImageLoader::Rescale(image, fitted.width(), fitted.height(),
                                                   FreeImageLoader::FilterLanczos3);
    FreeImageLoader::ReleaseScratch();
    return !scaled.isNull() && copyOut(scaled, target);
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
                                              const FreeImageLoader::TargetFor& target,
                                              bool* handled) {
    *handled = true;
    bool plain = false;
    const QSize original = ScaledJpeg::HeaderSize(data, size, &plain);
    if (original.isEmpty())
        return {DecodeStatus::Unreadable, {}};
    if (tooLarge(original))
        return {DecodeStatus::TooLarge, original};
    if (!plain) {
        *handled = false;
        return {};
    }
    QImage image;
    if (ScaledJpeg::Decode(data, size, box, image) != ScaledJpeg::Result::Ok)
        return {DecodeStatus::Unreadable, original};
    const QSize fitted = protocol::FittedSize(original, box);
    if (!finish(image, fitted, target))
        return {DecodeStatus::Unreadable, original};
    return {DecodeStatus::Ok, original};
}

StillDecoder::Result StillDecoder::Decode(const unsigned char* data, size_t size,
                                          const char* fileName, QSize box, QRgb background,
                                          const FreeImageLoader::TargetFor& target) {
    const int format = FreeImageLoader::IdentifyMemory(data, size, fileName);
    if (format == FreeImageLoader::FormatUnknown)
        return {size == 0 ? DecodeStatus::Unreadable : DecodeStatus::Unsupported, {}};
    if (!FreeImageLoader::IsListedFormat(format))
        return {DecodeStatus::Unsupported, {}};
    if (format == kJpeg) {
        bool handled = false;
        const Result r = decodeJpeg(data, size, box, target, &handled);
        if (handled)
            return r;
    }
    bool unreadable = false;
    const QSize claimed = claimedSize(data, size, format, &unreadable);
    if (unreadable)
        return {DecodeStatus::Unreadable, {}};
    if (tooLarge(claimed))
        return {DecodeStatus::TooLarge, claimed};

    Result r{DecodeStatus::Unreadable, claimed};
    if (box.isEmpty()) {
        // Full size: straight into the caller's memory, no copy in between.
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
    r.original = image.size();
    if (!finish(image, protocol::FittedSize(image.size(), box), target))
        return r;
    r.status = DecodeStatus::Ok;
    return r;
}

} // namespace imaging
