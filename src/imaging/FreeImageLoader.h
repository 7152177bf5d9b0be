#pragma once

// The one place where the program talks to FreeImage. Images cross this
// boundary as QImage values and formats as plain numbers, so that decoding can
// later move to a worker thread or a separate process without touching the
// callers.

#include <QImage>
#include <QString>
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

    /// Decodes a still image into a standard 32-bit image (Format_RGB32,
    /// top-down) of the file's size. Images of every pixel type and depth are
    /// converted; an image with transparency is composed over `background`.
    /// Returns a null image when the format is unknown, the file cannot be
    /// read, has no pixels or is larger than MaxPixels.
    static QImage Load(const QString& path, QRgb background);

    /// Resamples `image` to `width` x `height` with a FreeImage filter (0..5).
    /// Returns a Format_RGB32 image, or a null image when the sizes are not
    /// positive, the filter is unknown or FreeImage fails.
    static QImage Rescale(const QImage& image, int width, int height, int filter);
};

} // namespace imaging
