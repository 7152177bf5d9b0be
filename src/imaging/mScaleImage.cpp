#include "imaging/mScaleImage.h"

#include "imaging/FreeImageLoader.h"
#include "platform/PictureBox.h"
#include "platform/SysColors.h"
#include "platform/Twips.h"

#include <QPainter>
#include <algorithm>

namespace imaging {

namespace {

int roundEven(double v) {
    return static_cast<int>(platform::RoundHalfEven(v));
}

} // namespace

bool LoadImageFile(const QString& path, platform::PictureBox& loadBox) {
    const QImage image = FreeImageLoader::Load(path, platform::RgbFromRef(loadBox.BackColor()));
    if (image.isNull())
        return false;
    const int w = image.width(), h = image.height();
    loadBox.resize(w, h);
    loadBox.Cls();
    PaintBitmapAtOrigin(&loadBox.Surface(), image, w, h);
    loadBox.update();
    return true;
}

PreviewPlacement FitPreview(double sourceWidth, double sourceHeight, double destWidth,
                            double destHeight, int margin, bool centre) {
    double w = roundEven(sourceWidth), h = roundEven(sourceHeight);
    // A pane smaller than the margin leaves no room at all (and no negative
    // sizes to divide by).
    const double boxW = std::max(0, roundEven(destWidth - margin));
    const double boxH = std::max(0, roundEven(destHeight - margin));
    if (w > boxW) {
        h = roundEven(h * (boxW / w));
        w = boxW;
    }
    if (h > boxH) {
        w = roundEven(w * (boxH / h));
        h = boxH;
    }
    PreviewPlacement p;
    p.width = int(w);
    p.height = int(h);
    p.x = centre ? roundEven((destWidth - w) / 2) : margin;
    p.y = centre ? roundEven((destHeight - h) / 2) : margin;
    return p;
}

void ScalePreview(platform::PictureBox& source, platform::PictureBox& destination, int margin,
                  bool centre) {
    const PreviewPlacement p =
        FitPreview(source.ScaleWidth(), source.ScaleHeight(), destination.ScaleWidth(),
                   destination.ScaleHeight(), margin, centre);
    destination.Cls();
    // Surface() hands out the load box's image without a copy.
    QImage bitmap = CaptureFromPicture(source.Surface());
    bitmap = RescaleBitmap(bitmap, p.width, p.height, FreeImageLoader::FilterLanczos3);
    PaintBitmap(&destination.Surface(), bitmap, p.x, p.y);
    destination.update();
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
        height = roundEven(width / aspect);
    else if (width < 1 && height >= 1)
        width = roundEven(aspect * height);
    else if (width < 1 && height < 1)
        return bitmap;
    // Resampling to the same size changes nothing; skip the work.
    if (width == bitmap.width() && height == bitmap.height())
        return bitmap;
    const QImage scaled = FreeImageLoader::Rescale(bitmap, width, height, filter);
    return scaled.isNull() ? bitmap : scaled;
}

void PaintBitmap(QImage* dc, const QImage& bitmap, int x, int y, int width, int height, int sourceX,
                 int sourceY, int sourceWidth, int sourceHeight, std::uint32_t rop) {
    if (!dc || dc->isNull() || bitmap.isNull())
        return;
    if (sourceWidth == 0)
        sourceWidth = bitmap.width();
    if (width == 0)
        width = sourceWidth;
    if (sourceHeight == 0)
        sourceHeight = bitmap.height();
    if (height == 0)
        height = sourceHeight;
    if (width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0)
        return;
    QPainter::CompositionMode mode;
    if (rop == gdi::SRCCOPY)
        mode = QPainter::CompositionMode_Source;
    else if (rop == gdi::SRCAND)
        mode = QPainter::RasterOp_SourceAndDestination;
    else if (rop == gdi::SRCPAINT)
        mode = QPainter::RasterOp_SourceOrDestination;
    else
        return;
    QPainter painter(dc);
    painter.setCompositionMode(mode);
    painter.drawImage(QRect(x, y, width, height), bitmap,
                      QRect(sourceX, sourceY, sourceWidth, sourceHeight));
}

int PaintBitmapAtOrigin(QImage* dc, const QImage& bitmap, int width, int height) {
    if (!dc || dc->isNull() || bitmap.isNull() || width <= 0 || height <= 0)
        return 0;
    const int rows = std::min({height, bitmap.height(), dc->height()});
    const int cols = std::min({width, bitmap.width(), dc->width()});
    if (dc->size() == bitmap.size() && rows == bitmap.height() && cols == bitmap.width() &&
        bitmap.format() == dc->format()) {
        *dc = bitmap; // the whole target: share the pixels instead of copying them
        return rows;
    }
    QPainter painter(dc);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(0, 0), bitmap, QRect(0, 0, cols, rows));
    return rows;
}

} // namespace imaging
