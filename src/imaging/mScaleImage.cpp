#include "imaging/mScaleImage.h"

#include "imaging/FreeImageLoader.h"
#include "imaging/Units.h"

#include <QPainter>
#include <algorithm>

namespace imaging {

namespace {

/// A read-only view of a 32-bit image as a source for the blit layer. The
/// layer only reads from a source, so handing it the constant pixels is safe.
gdi::PixelBuffer sourceBuffer(const QImage& image) {
    gdi::PixelBuffer buf;
    buf.bits = const_cast<std::uint8_t*>(image.constBits());
    buf.width = image.width();
    buf.height = image.height();
    buf.stride = static_cast<std::int32_t>(image.bytesPerLine());
    buf.bpp = 32;
    return buf;
}

/// A device context over an image for the length of one blit.
class SourceDC {
public:
    explicit SourceDC(const QImage& image)
        : image_(image.convertToFormat(QImage::Format_RGB32)),
          dc_(gdi::CreateBufferDC(sourceBuffer(image_))) {}
    ~SourceDC() { gdi::DeleteDC(dc_); }
    SourceDC(const SourceDC&) = delete;
    SourceDC& operator=(const SourceDC&) = delete;
    gdi::HDC get() const { return dc_; }

private:
    QImage image_;
    gdi::HDC dc_;
};

} // namespace

PreviewPlacement FitPreview(double sourceWidth, double sourceHeight, double destWidth,
                            double destHeight, int margin, bool centre) {
    double w = units::RoundHalfEvenTo<int>(sourceWidth),
           h = units::RoundHalfEvenTo<int>(sourceHeight);
    // A pane smaller than the margin leaves no room at all (and no negative
    // sizes to divide by).
    const double boxW = std::max(0, units::RoundHalfEvenTo<int>(destWidth - margin));
    const double boxH = std::max(0, units::RoundHalfEvenTo<int>(destHeight - margin));
    if (w > boxW) {
        h = units::RoundHalfEvenTo<int>(h * (boxW / w));
        w = boxW;
    }
    if (h > boxH) {
        w = units::RoundHalfEvenTo<int>(w * (boxH / h));
        h = boxH;
    }
    PreviewPlacement p;
    p.width = int(w);
    p.height = int(h);
    p.x = centre ? units::RoundHalfEvenTo<int>((destWidth - w) / 2) : margin;
    p.y = centre ? units::RoundHalfEvenTo<int>((destHeight - h) / 2) : margin;
    return p;
}

void ScalePreview(const QImage& picture, QImage& destination, QRgb background, int margin,
                  bool centre) {
    if (destination.isNull())
        return;
    destination.fill(background);
    if (picture.isNull())
        return;
    const PreviewPlacement p = FitPreview(picture.width(), picture.height(), destination.width(),
                                          destination.height(), margin, centre);
    if (p.width < 1 || p.height < 1)
        return;
    // The picture is decoded at the pane's size, so this is usually a plain
    // copy; a smaller pane (or a finer screen) takes a smooth shrink. The
    // FreeImage filter is not used here: its scratch copy belongs to whichever
    // thread decodes.
    const QImage fitted =
        picture.size() == QSize(p.width, p.height)
            ? picture
            : picture.scaled(p.width, p.height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QPainter painter(&destination);
    painter.drawImage(p.x, p.y, fitted);
}

QImage CaptureFromPicture(const QImage& picture) {
    if (picture.isNull())
        return {};
    return picture.convertToFormat(QImage::Format_RGB32);
}

QImage RescaleBitmap(const QImage& bitmap, int width, int height, int filter) {
    if (bitmap.isNull())
        return bitmap;
    const double aspect = double(bitmap.width()) / bitmap.height();
    if (width >= 1 && height < 1)
        height = units::RoundHalfEvenTo<int>(width / aspect);
    else if (width < 1 && height >= 1)
        width = units::RoundHalfEvenTo<int>(aspect * height);
    else if (width < 1 && height < 1)
        return bitmap;
    // Resampling to the same size changes nothing; skip the work.
    if (width == bitmap.width() && height == bitmap.height())
        return bitmap;
    const QImage scaled = FreeImageLoader::Rescale(bitmap, width, height, filter);
    return scaled.isNull() ? bitmap : scaled;
}

void PaintBitmap(gdi::HDC dc, const QImage& bitmap, int x, int y, int width, int height,
                 int sourceX, int sourceY, int sourceWidth, int sourceHeight, std::uint32_t rop) {
    if (!dc || bitmap.isNull())
        return;
    if (sourceWidth == 0)
        sourceWidth = bitmap.width();
    if (width == 0)
        width = sourceWidth;
    if (sourceHeight == 0)
        sourceHeight = bitmap.height();
    if (height == 0)
        height = sourceHeight;
    const SourceDC source(bitmap);
    if (width == sourceWidth && height == sourceHeight)
        gdi::BitBlt(dc, x, y, width, height, source.get(), sourceX, sourceY, rop);
    else
        gdi::StretchBlt(dc, x, y, width, height, source.get(), sourceX, sourceY, sourceWidth,
                        sourceHeight, rop);
}

int PaintBitmapAtOrigin(gdi::HDC dc, const QImage& bitmap, int width, int height) {
    if (!dc || bitmap.isNull() || width <= 0 || height <= 0)
        return 0;
    const SourceDC source(bitmap);
    if (!gdi::BitBlt(dc, 0, 0, width, height, source.get(), 0, 0, gdi::SRCCOPY))
        return 0;
    const gdi::PixelBuffer target = gdi::GetBuffer(dc);
    return std::max(0, std::min({height, bitmap.height(), target.height}));
}

} // namespace imaging
