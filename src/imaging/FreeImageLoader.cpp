#include "imaging/FreeImageLoader.h"

#include <FreeImage.h>
#include <QFile>
#include <memory>

namespace imaging {

namespace {

// FreeImage readies itself when the shared library is loaded (its plugins are
// registered on load), so no FreeImage_Initialise call is needed here.

struct Unload {
    void operator()(FIBITMAP* dib) const { FreeImage_Unload(dib); }
};
using Bitmap = std::unique_ptr<FIBITMAP, Unload>;

bool tooLarge(FIBITMAP* dib) {
    const long long w = FreeImage_GetWidth(dib), h = FreeImage_GetHeight(dib);
    return w <= 0 || h <= 0 || w * h > FreeImageLoader::MaxPixels;
}

/// Brings any FreeImage pixel type to an 8-bit-per-channel bitmap.
Bitmap toStandardType(Bitmap dib) {
    switch (FreeImage_GetImageType(dib.get())) {
    case FIT_BITMAP:
        return dib;
    case FIT_RGB16:
    case FIT_RGBA16:
        return Bitmap(FreeImage_ConvertTo32Bits(dib.get()));
    case FIT_RGBF:
    case FIT_RGBAF: {
        // High dynamic range: tone-map rather than clip, so bright scenes
        // keep their detail.
        Bitmap rgbf(FreeImage_ConvertToRGBF(dib.get()));
        return Bitmap(rgbf ? FreeImage_ToneMapping(rgbf.get(), FITMO_DRAGO03, 0, 0) : nullptr);
    }
    case FIT_UINT16: // 16-bit greyscale: keep the high byte, as for colour channels
        return Bitmap(FreeImage_ConvertTo8Bits(dib.get()));
    default: // other greyscale integers, floats, complex: scaled into 0..255
        return Bitmap(FreeImage_ConvertToStandardType(dib.get(), TRUE));
    }
}

/// 0..255 alpha blend with rounding.
inline uchar blend(int src, int dst, int alpha) {
    return static_cast<uchar>((src * alpha + dst * (255 - alpha) + 127) / 255);
}

QImage from24(FIBITMAP* dib) {
    const int w = int(FreeImage_GetWidth(dib)), h = int(FreeImage_GetHeight(dib));
    QImage out(w, h, QImage::Format_RGB32);
    if (out.isNull())
        return out;
    for (int y = 0; y < h; ++y) {
        // FreeImage keeps the bottom row first.
        const BYTE* src = FreeImage_GetScanLine(dib, h - 1 - y);
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < w; ++x, src += 3)
            dst[x] = qRgb(src[FI_RGBA_RED], src[FI_RGBA_GREEN], src[FI_RGBA_BLUE]);
    }
    return out;
}

QImage from32(FIBITMAP* dib, bool useAlpha, QRgb background) {
    const int w = int(FreeImage_GetWidth(dib)), h = int(FreeImage_GetHeight(dib));
    QImage out(w, h, QImage::Format_RGB32);
    if (out.isNull())
        return out;
    const int br = qRed(background), bg = qGreen(background), bb = qBlue(background);
    for (int y = 0; y < h; ++y) {
        const BYTE* src = FreeImage_GetScanLine(dib, h - 1 - y);
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < w; ++x, src += 4) {
            const int a = useAlpha ? src[FI_RGBA_ALPHA] : 255;
            dst[x] = qRgb(blend(src[FI_RGBA_RED], br, a), blend(src[FI_RGBA_GREEN], bg, a),
                          blend(src[FI_RGBA_BLUE], bb, a));
        }
    }
    return out;
}

/// Whether any pixel of a 32-bit bitmap has a nonzero alpha.
bool anyAlpha(FIBITMAP* dib) {
    const unsigned w = FreeImage_GetWidth(dib), h = FreeImage_GetHeight(dib);
    for (unsigned y = 0; y < h; ++y) {
        const BYTE* src = FreeImage_GetScanLine(dib, int(y));
        for (unsigned x = 0; x < w; ++x, src += 4)
            if (src[FI_RGBA_ALPHA] != 0)
                return true;
    }
    return false;
}

QImage toImage(Bitmap dib, FREE_IMAGE_FORMAT fif, QRgb background) {
    dib = toStandardType(std::move(dib));
    if (!dib)
        return {};
    if (FreeImage_GetBPP(dib.get()) == 24)
        return from24(dib.get());
    bool transparent = FreeImage_IsTransparent(dib.get());
    // The fourth byte of a 32-bit BMP is often unused and left zero; taken as
    // alpha it would paint nothing but background.
    if (transparent && fif == FIF_BMP && FreeImage_GetBPP(dib.get()) == 32)
        transparent = anyAlpha(dib.get());
    if (FreeImage_GetBPP(dib.get()) != 32)
        dib = Bitmap(FreeImage_ConvertTo32Bits(dib.get()));
    if (!dib)
        return {};
    return from32(dib.get(), transparent, background);
}

} // namespace

int FreeImageLoader::IdentifyFormat(const QString& path) {
    if (path.isEmpty())
        return FormatUnknown;
    const QByteArray name = QFile::encodeName(path);
    FREE_IMAGE_FORMAT fif = FreeImage_GetFileType(name.constData(), 0);
    if (fif == FIF_UNKNOWN)
        fif = FreeImage_GetFIFFromFilename(name.constData());
    return fif;
}

int FreeImageLoader::LoadFlags(int format) {
    return format == FIF_JPEG ? JPEG_ACCURATE : 0;
}

QImage FreeImageLoader::Load(const QString& path, QRgb background) {
    const auto fif = static_cast<FREE_IMAGE_FORMAT>(IdentifyFormat(path));
    if (fif == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(fif))
        return {};
    const QByteArray name = QFile::encodeName(path);
    const int flags = LoadFlags(fif);
    if (FreeImage_FIFSupportsNoPixels(fif)) {
        // Read the header alone first, so that a small file claiming a huge
        // image is refused before any memory is spent on its pixels.
        Bitmap header(FreeImage_Load(fif, name.constData(), flags | FIF_LOAD_NOPIXELS));
        if (!header || tooLarge(header.get()))
            return {};
    }
    Bitmap dib(FreeImage_Load(fif, name.constData(), flags));
    if (!dib || !FreeImage_HasPixels(dib.get()) || tooLarge(dib.get()))
        return {};
    return toImage(std::move(dib), fif, background);
}

QImage FreeImageLoader::Rescale(const QImage& image, int width, int height, int filter) {
    if (image.isNull() || width < 1 || height < 1 || filter < FILTER_BOX ||
        filter > FILTER_LANCZOS3 || static_cast<long long>(width) * height > MaxPixels)
        return {};
    const QImage src = image.convertToFormat(QImage::Format_RGB32);
    const int w = src.width(), h = src.height();
    // 24 bits per pixel: a quarter less work for the filter than 32.
    Bitmap dib(FreeImage_Allocate(w, h, 24));
    if (!dib)
        return {};
    for (int y = 0; y < h; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        BYTE* out = FreeImage_GetScanLine(dib.get(), h - 1 - y);
        for (int x = 0; x < w; ++x, out += 3) {
            out[FI_RGBA_RED] = BYTE(qRed(in[x]));
            out[FI_RGBA_GREEN] = BYTE(qGreen(in[x]));
            out[FI_RGBA_BLUE] = BYTE(qBlue(in[x]));
        }
    }
    Bitmap scaled(
        FreeImage_Rescale(dib.get(), width, height, static_cast<FREE_IMAGE_FILTER>(filter)));
    return scaled ? from24(scaled.get()) : QImage();
}

} // namespace imaging
