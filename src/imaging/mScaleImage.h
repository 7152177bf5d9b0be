#pragma once

// Turns an image file into pixels on screen in two stages: LoadImageFile
// decodes the file at full size into the hidden load box, ScalePreview shrinks
// the load box's picture to fit the preview pane and centres it there. The
// preview pane can be rescaled again on every resize without reloading.

#include "imaging/Gdi.h"

#include <QImage>
#include <QString>
#include <cstdint>

namespace platform {
class PictureBox;
}

namespace imaging {

/// Decodes `path` (see FreeImageLoader::Load: content first, then extension)
/// and leaves the image at full size in `loadBox`: the box takes the image's
/// pixel size and every pixel is painted (transparent parts over the box's
/// background colour). When the file cannot be identified or read, nothing
/// happens and the box keeps its previous picture. Returns whether a picture
/// was loaded.
bool LoadImageFile(const QString& path, platform::PictureBox& loadBox);

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

/// Clears `destination` to its background colour and paints the picture of
/// `source`, shrunk with the Lanczos filter as FitPreview says. Both boxes
/// measure in pixels. A step that fails is skipped.
void ScalePreview(platform::PictureBox& source, platform::PictureBox& destination, int margin,
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
