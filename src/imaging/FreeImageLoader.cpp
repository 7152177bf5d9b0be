#include "imaging/FreeImageLoader.h"

#include <FreeImage.h>
#include <QFile>
#include <cstring>
#include <memory>
#include <mutex>

namespace imaging {

namespace {

// FreeImage readies itself when the shared library is loaded (its plugins are
// registered on load), so no FreeImage_Initialise call is needed here.

// FreeImage keeps B, G, R in memory on little-endian machines, as QImage's
// 32-bit formats do there; rows can then be copied bytewise.
constexpr bool kSameByteOrder =
    FI_RGBA_BLUE == 0 && FI_RGBA_GREEN == 1 && FI_RGBA_RED == 2 && Q_BYTE_ORDER == Q_LITTLE_ENDIAN;

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

/// Writes a 24-bit bitmap into 32-bit rows, turning FreeImage's bottom-up
/// rows top-down.
void write24(FIBITMAP* dib, const FreeImageLoader::PixelTarget& to) {
    const int w = int(FreeImage_GetWidth(dib)), h = int(FreeImage_GetHeight(dib));
    for (int y = 0; y < h; ++y) {
        const BYTE* src = FreeImage_GetScanLine(dib, h - 1 - y);
        auto* dst = reinterpret_cast<QRgb*>(to.bits + y * to.stride);
        int x = 0;
        if constexpr (kSameByteOrder) {
            // B, G, R in both: read four bytes at once, except for the last
            // pixel, whose fourth byte may lie past the bitmap.
            for (; x + 1 < w; ++x, src += 3) {
                quint32 v;
                std::memcpy(&v, src, 4);
                dst[x] = v | 0xFF000000u;
            }
        }
        for (; x < w; ++x, src += 3)
            dst[x] = qRgb(src[FI_RGBA_RED], src[FI_RGBA_GREEN], src[FI_RGBA_BLUE]);
    }
}

/// Writes 32-bit rows into a 24-bit bitmap, turning them bottom-up.
void read24(const QImage& src, FIBITMAP* dib) {
    const int w = src.width(), h = src.height();
    for (int y = 0; y < h; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        BYTE* out = FreeImage_GetScanLine(dib, h - 1 - y);
        int x = 0;
        if constexpr (kSameByteOrder) {
            // Four bytes written, three kept: the next pixel overwrites the
            // fourth. The last pixel is written alone to stay inside the row.
            for (; x + 1 < w; ++x, out += 3)
                std::memcpy(out, &in[x], 4);
        }
        for (; x < w; ++x, out += 3) {
            out[FI_RGBA_RED] = BYTE(qRed(in[x]));
            out[FI_RGBA_GREEN] = BYTE(qGreen(in[x]));
            out[FI_RGBA_BLUE] = BYTE(qBlue(in[x]));
        }
    }
}

void write32(FIBITMAP* dib, bool useAlpha, QRgb background,
             const FreeImageLoader::PixelTarget& to) {
    const int w = int(FreeImage_GetWidth(dib)), h = int(FreeImage_GetHeight(dib));
    const int br = qRed(background), bg = qGreen(background), bb = qBlue(background);
    for (int y = 0; y < h; ++y) {
        const BYTE* src = FreeImage_GetScanLine(dib, h - 1 - y);
        auto* dst = reinterpret_cast<QRgb*>(to.bits + y * to.stride);
        for (int x = 0; x < w; ++x, src += 4) {
            const int a = useAlpha ? src[FI_RGBA_ALPHA] : 255;
            dst[x] = qRgb(blend(src[FI_RGBA_RED], br, a), blend(src[FI_RGBA_GREEN], bg, a),
                          blend(src[FI_RGBA_BLUE], bb, a));
        }
    }
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

/// Converts a decoded bitmap to 24 or 32 bits (in place: `dib` then holds the
/// converted bitmap) and writes it where `target` says. The target is asked
/// for only once nothing can fail any more.
bool writeImage(Bitmap& dib, FREE_IMAGE_FORMAT fif, QRgb background,
                const FreeImageLoader::TargetFor& target) {
    dib = toStandardType(std::move(dib));
    if (!dib)
        return false;
    bool transparent = false;
    if (FreeImage_GetBPP(dib.get()) != 24) {
        transparent = FreeImage_IsTransparent(dib.get());
        // The fourth byte of a 32-bit BMP is often unused and left zero; taken
        // as alpha it would paint nothing but background.
        if (transparent && fif == FIF_BMP && FreeImage_GetBPP(dib.get()) == 32)
            transparent = anyAlpha(dib.get());
        if (FreeImage_GetBPP(dib.get()) != 32)
            dib = Bitmap(FreeImage_ConvertTo32Bits(dib.get()));
        if (!dib)
            return false;
    }
    const FreeImageLoader::PixelTarget to =
        target(int(FreeImage_GetWidth(dib.get())), int(FreeImage_GetHeight(dib.get())));
    if (!to.bits)
        return false;
    if (FreeImage_GetBPP(dib.get()) == 24)
        write24(dib.get(), to);
    else
        write32(dib.get(), transparent, background, to);
    return true;
}

/// The 24-bit bitmap that the filter reads, kept from one rescale to the next.
/// A fresh one for a large picture costs as much again as filling it (every
/// page is new to the process and cleared first), and the preview is rescaled
/// on every resize of its pane. A 24-bit decode leaves a bitmap of exactly the
/// picture's size behind, so that one is kept rather than released: a click
/// then allocates no more than the decode itself does. At most one bitmap is
/// kept; a lock makes taking and giving safe from any thread.
class Scratch {
public:
    /// A 24-bit bitmap of w x h with undefined pixels: the kept one when it
    /// has that size, else a new one (or null when that cannot be allocated).
    Bitmap take(int w, int h) {
        Bitmap old;
        {
            const std::lock_guard lock(mutex_);
            if (fits(kept_.get(), w, h))
                return std::move(kept_);
            old = std::move(kept_);
        }
        old.reset(); // before allocating, so that two large bitmaps never coexist
        return Bitmap(FreeImage_Allocate(w, h, 24));
    }

    /// Keeps `dib` (a 24-bit standard bitmap, or null) for the next take. The
    /// bitmap kept before goes out with the argument, after the lock is let
    /// go, so that freeing it holds up no other thread.
    void give(Bitmap dib) {
        const std::lock_guard lock(mutex_);
        std::swap(kept_, dib);
    }

    void release() { give(nullptr); }

private:
    static bool fits(FIBITMAP* dib, int w, int h) {
        return dib && FreeImage_GetWidth(dib) == unsigned(w) &&
               FreeImage_GetHeight(dib) == unsigned(h);
    }

    std::mutex mutex_;
    Bitmap kept_;
};

Scratch& scratch() {
    static Scratch s;
    return s;
}

/// Whether a bitmap can serve as the filter's 24-bit source.
bool isPlain24(FIBITMAP* dib) {
    return FreeImage_GetImageType(dib) == FIT_BITMAP && FreeImage_GetBPP(dib) == 24;
}

/// A 32-bit image of the size asked for, as a target.
FreeImageLoader::TargetFor intoImage(QImage& image) {
    return [&image](int w, int h) -> FreeImageLoader::PixelTarget {
        image = QImage(w, h, QImage::Format_RGB32);
        if (image.isNull())
            return {};
        return {image.bits(), image.bytesPerLine()};
    };
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

int FreeImageLoader::IdentifyMemory(const uchar* data, size_t size, const char* fileName) {
    if (!data || size == 0 || size > 0xFFFFFFFFu)
        return FormatUnknown;
    FIMEMORY* mem = FreeImage_OpenMemory(const_cast<BYTE*>(data), DWORD(size));
    FREE_IMAGE_FORMAT fif = mem ? FreeImage_GetFileTypeFromMemory(mem, 0) : FIF_UNKNOWN;
    if (mem)
        FreeImage_CloseMemory(mem);
    if (fif == FIF_UNKNOWN && fileName)
        fif = FreeImage_GetFIFFromFilename(fileName);
    return fif;
}

bool FreeImageLoader::IsListedFormat(int format) {
    switch (format) {
    case FIF_BMP:
    case FIF_ICO:
    case FIF_JPEG:
    case FIF_JNG:
    case FIF_KOALA:
    case FIF_IFF:
    case FIF_MNG:
    case FIF_PBM:
    case FIF_PBMRAW:
    case FIF_PGM:
    case FIF_PGMRAW:
    case FIF_PPM:
    case FIF_PPMRAW:
    case FIF_PCD:
    case FIF_PCX:
    case FIF_PNG:
    case FIF_PSD:
    case FIF_RAS:
    case FIF_TARGA:
    case FIF_TIFF:
    case FIF_WBMP:
    case FIF_XBM:
    case FIF_XPM:
    case FIF_DDS:
        return true;
    default:
        return false;
    }
}

QSize FreeImageLoader::HeaderSize(const uchar* data, size_t size, int format, bool* readable) {
    *readable = true;
    const auto fif = static_cast<FREE_IMAGE_FORMAT>(format);
    if (!data || size == 0 || size > 0xFFFFFFFFu || !FreeImage_FIFSupportsNoPixels(fif))
        return {};
    FIMEMORY* mem = FreeImage_OpenMemory(const_cast<BYTE*>(data), DWORD(size));
    Bitmap header(mem ? FreeImage_LoadFromMemory(fif, mem, LoadFlags(fif) | FIF_LOAD_NOPIXELS)
                      : nullptr);
    if (mem)
        FreeImage_CloseMemory(mem);
    if (!header) {
        *readable = false;
        return {};
    }
    const unsigned w = FreeImage_GetWidth(header.get()), h = FreeImage_GetHeight(header.get());
    if (w == 0 || h == 0 || w > 0x7FFFFFFFu || h > 0x7FFFFFFFu) {
        *readable = false;
        return {};
    }
    return QSize(int(w), int(h));
}

bool FreeImageLoader::LoadMemoryInto(const uchar* data, size_t size, int format, QRgb background,
                                     const TargetFor& target) {
    const auto fif = static_cast<FREE_IMAGE_FORMAT>(format);
    if (!data || size == 0 || size > 0xFFFFFFFFu || fif == FIF_UNKNOWN ||
        !FreeImage_FIFSupportsReading(fif))
        return false;
    FIMEMORY* mem = FreeImage_OpenMemory(const_cast<BYTE*>(data), DWORD(size));
    if (!mem)
        return false;
    Bitmap dib(FreeImage_LoadFromMemory(fif, mem, LoadFlags(fif)));
    FreeImage_CloseMemory(mem);
    if (!dib || !FreeImage_HasPixels(dib.get()) || tooLarge(dib.get()))
        return false;
    return writeImage(dib, fif, background, target);
}

int FreeImageLoader::LoadFlags(int format) {
    return format == FIF_JPEG ? JPEG_ACCURATE : 0;
}

bool FreeImageLoader::LoadInto(const QString& path, QRgb background, const TargetFor& target) {
    const auto fif = static_cast<FREE_IMAGE_FORMAT>(IdentifyFormat(path));
    if (fif == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(fif))
        return false;
    const QByteArray name = QFile::encodeName(path);
    const int flags = LoadFlags(fif);
    if (FreeImage_FIFSupportsNoPixels(fif)) {
        // Read the header alone first, so that a small file claiming a huge
        // image is refused before any memory is spent on its pixels.
        Bitmap header(FreeImage_Load(fif, name.constData(), flags | FIF_LOAD_NOPIXELS));
        if (!header || tooLarge(header.get()))
            return false;
    }
    // The kept copy belongs to the picture being replaced; freeing it first
    // keeps the peak at the load box and one decoded bitmap.
    scratch().release();
    Bitmap dib(FreeImage_Load(fif, name.constData(), flags));
    if (!dib || !FreeImage_HasPixels(dib.get()) || tooLarge(dib.get()))
        return false;
    if (!writeImage(dib, fif, background, target))
        return false;
    if (isPlain24(dib.get()))
        scratch().give(std::move(dib));
    return true;
}

QImage FreeImageLoader::Load(const QString& path, QRgb background) {
    QImage image;
    if (!LoadInto(path, background, intoImage(image)))
        return {};
    return image;
}

QImage FreeImageLoader::Rescale(const QImage& image, int width, int height, int filter) {
    if (image.isNull() || width < 1 || height < 1 || filter < FILTER_BOX ||
        filter > FILTER_LANCZOS3 || static_cast<long long>(width) * height > MaxPixels)
        return {};
    const QImage src = image.convertToFormat(QImage::Format_RGB32);
    const int w = src.width(), h = src.height();
    // 24 bits per pixel: a quarter less work for the filter than 32.
    Bitmap dib = scratch().take(w, h);
    if (!dib)
        return {};
    read24(src, dib.get());
    Bitmap scaled(
        FreeImage_Rescale(dib.get(), width, height, static_cast<FREE_IMAGE_FILTER>(filter)));
    scratch().give(std::move(dib));
    QImage out;
    if (!scaled || !writeImage(scaled, FIF_UNKNOWN, 0, intoImage(out)))
        return {};
    return out;
}

void FreeImageLoader::ReleaseScratch() {
    scratch().release();
}

} // namespace imaging
