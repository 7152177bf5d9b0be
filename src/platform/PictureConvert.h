#pragma once

// Pictures cross between the Qt side (QImage) and the raster layer (StdPicture)
// as copies: each side owns its pixels.

#include "imaging/StdPicture.h"

#include <QImage>

namespace platform {

/// A 32-bit picture (B,G,R,X rows) holding `image`'s pixels; any alpha is
/// dropped (the colour channels stay as they are). A null image, or one larger
/// than the raster layer accepts (1 GiB of pixels), gives an empty picture.
StdPicture PictureFromImage(const QImage& image);

/// A Format_RGB32 image of `picture`, any depth converted through its palette
/// (entries the palette lacks are black). An empty or inconsistent picture
/// (StdPicture::isValid false) gives a null image.
QImage ImageFromPicture(const StdPicture& picture);

} // namespace platform
