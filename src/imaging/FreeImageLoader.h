#pragma once

// The one place where the program talks to FreeImage. Images cross this
// boundary as QImage values and formats as plain numbers, so that decoding can
// later move to a worker thread or a separate process without touching the
// callers.

#include <QImage>
#include <QSize>
#include <QString>
#include <cstddef>
#include <functional>

namespace imaging {

class FreeImageLoader {
public:
    /// Format numbers as FreeImage counts them.
    static constexpr int FormatUnknown = -1;
    static constexpr int FormatBmp = 0;
    static constexpr int FormatJpeg = 2;
    static constexpr int FormatPng = 13;
    static constexpr int FormatTiff = 18;

    /// Filter numbers for Rescale, as FreeImage counts them.
    static constexpr int FilterBox = 0;
    static constexpr int FilterLanczos3 = 5;

    /// Images with more pixels than this (2^28: 16384 x 16384) are refused
    /// before their pixels are decoded, like unreadable files.
    static constexpr long long MaxPixels = 1LL << 28;

    /// The format of a file: found from its content first, from its name's
    /// extension when the content tells nothing; FormatUnknown when neither
    /// does.
    static int IdentifyFormat(const QString& path);

    /// Like IdentifyFormat, for a file's bytes held in memory; `fileName`
    /// (only its extension counts) is asked when the content tells nothing.
    static int IdentifyMemory(const uchar* data, size_t size, const char* fileName);

    /// Whether `format` is one the filter lists: only those are decoded,
    /// whatever else FreeImage could read.
    static bool IsListedFormat(int format);

    /// The picture's size read from the header alone, for the formats whose
    /// reader can stop there; an empty size when the format cannot or the
    /// header is unreadable (`readable` then tells which).
    static QSize HeaderSize(const uchar* data, size_t size, int format, bool* readable);

    /// The decoding flags used for a format: the slower, exact decoding for
    /// JPEG, none for every other format.
    static int LoadFlags(int format);

    /// Where LoadInto writes a decoded image: rows of 32-bit pixels (B, G, R,
    /// unused on a little-endian machine, as QImage::Format_RGB32), top-down,
    /// `stride` bytes apart. Null bits mean "do not write".
    struct PixelTarget {
        uchar* bits = nullptr;
        qsizetype stride = 0;
    };
    /// Gives the target for an image of width x height pixels; the memory
    /// must hold `height` rows of at least width x 4 bytes.
    using TargetFor = std::function<PixelTarget(int width, int height)>;

    /// Like Load, but writes the pixels straight into memory the caller
    /// provides, so that a large image is not copied once more. `target` is
    /// called once, after decoding has succeeded and only the writing is left.
    /// Returns whether the image was written.
    static bool LoadInto(const QString& path, QRgb background, const TargetFor& target);

    /// Like LoadInto, for a file's bytes held in memory and a known format.
    static bool LoadMemoryInto(const uchar* data, size_t size, int format, QRgb background,
                               const TargetFor& target);

    /// Decodes a still image into a standard 32-bit image (Format_RGB32,
    /// top-down) of the file's size. Images of every pixel type and depth are
    /// converted; an image with transparency is composed over `background`.
    /// Returns a null image when the format is unknown, the file cannot be
    /// read, has no pixels or is larger than MaxPixels.
    static QImage Load(const QString& path, QRgb background);

    /// Resamples `image` to `width` x `height` with a FreeImage filter (0..5).
    /// Returns a Format_RGB32 image, or a null image when the sizes are not
    /// positive, the filter is unknown or FreeImage fails.
    /// Between calls one 24-bit copy of the last picture rescaled (or of the
    /// last 24-bit picture loaded) is kept, so that rescaling the same picture
    /// again, or a picture just loaded, allocates nothing large.
    static QImage Rescale(const QImage& image, int width, int height, int filter);

    /// Frees the 24-bit copy that Load, LoadInto and Rescale keep, for a
    /// caller that knows no preview will be rescaled for a while.
    static void ReleaseScratch();
};

} // namespace imaging
