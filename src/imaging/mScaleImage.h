#pragma once

// Turns a decoded picture into the preview pane's pixels: ScalePreview fits the
// picture (decoded off the window's thread, at the pane's size, by
// PictureLoader::LoadImageFile) into the pane's image and centres it there. The
// pane can be painted again on every resize without reloading. Nothing here
// knows a widget: the caller hands over the pane's image.

#include "imaging/Gdi.h"

#include <QImage>
#include <QString>
#include <cstdint>

namespace imaging {

/// Where ScalePreview puts a picture: its top-left corner and size in pixels.
struct PreviewPlacement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PreviewPlacement&) const = default;
};

/// The arithmetic of ScalePreview: a source of `sourceWidth` x `sourceHeight`
/// shrunk (never enlarged) into `destWidth` - margin by `destHeight` - margin
/// keeping its aspect ratio, centred in the destination or placed at
/// (margin, margin). Every fraction is rounded half to even.
PreviewPlacement FitPreview(double sourceWidth, double sourceHeight, double destWidth,
                            double destHeight, int margin, bool centre);

/// Fills `destination` with `background` and paints `picture` into it,
/// shrunk (never enlarged) with a smooth filter as FitPreview says. A null
/// picture just clears; a null destination is left alone.
void ScalePreview(const QImage& picture, QImage& destination, QRgb background, int margin,
                  bool centre);

/// A 32-bit image of `picture` for rescaling; a null image for a null
/// picture. A 32-bit picture is shared, not copied.
QImage CaptureFromPicture(const QImage& picture);

/// Resamples `bitmap` with a FreeImage filter (5 = Lanczos3). A size below 1
/// is computed from the other one and the bitmap's aspect ratio; when both
/// are below 1, or resampling fails, `bitmap` itself is returned.
QImage RescaleBitmap(const QImage& bitmap, int width, int height, int filter);

/// Paints the (sourceX, sourceY, sourceWidth, sourceHeight) part of `bitmap`
/// into the device context `dc` at (x, y), stretched to width x height with
/// the context's own stretch mode. Sizes of 0 take the defaults: the source
/// size is the bitmap's, the destination size the source's. `rop` is
/// gdi::SRCCOPY, SRCAND or SRCPAINT; other operations, a null context, a null
/// bitmap or negative sizes paint nothing.
void PaintBitmap(gdi::HDC dc, const QImage& bitmap, int x, int y, int width = 0, int height = 0,
                 int sourceX = 0, int sourceY = 0, int sourceWidth = 0, int sourceHeight = 0,
                 std::uint32_t rop = gdi::SRCCOPY);

/// Copies the top `height` rows (`width` pixels wide) of `bitmap` into the
/// device context `dc` at (0, 0). Returns the number of rows painted (0 when
/// nothing was).
int PaintBitmapAtOrigin(gdi::HDC dc, const QImage& bitmap, int width, int height);

} // namespace imaging
