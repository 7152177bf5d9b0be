#include "platform/PictureConvert.h"

#include "imaging/Gdi.h"

#include <cstring>

namespace platform {
namespace {

// Context handles are released on every path out of a conversion.
class ScopedDC {
public:
    explicit ScopedDC(const gdi::PixelBuffer& buffer) : dc_(gdi::CreateBufferDC(buffer)) {}
    ~ScopedDC() { gdi::DeleteDC(dc_); }
    ScopedDC(const ScopedDC&) = delete;
    ScopedDC& operator=(const ScopedDC&) = delete;
    gdi::HDC get() const { return dc_; }

private:
    gdi::HDC dc_;
};

} // namespace

StdPicture PictureFromImage(const QImage& image) {
    if (image.isNull()) {
        return {};
    }
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    StdPicture picture = StdPicture::Make(rgb.width(), rgb.height(), 32);
    if (picture.empty() || rgb.isNull()) {
        return {};
    }
    const auto rowBytes = static_cast<std::size_t>(rgb.width()) * 4;
    for (int y = 0; y < rgb.height(); ++y) {
        std::memcpy(picture.bits.data() + static_cast<std::size_t>(y) * picture.stride,
                    rgb.constScanLine(y), rowBytes);
    }
    return picture;
}

QImage ImageFromPicture(const StdPicture& picture) {
    if (picture.empty() || !picture.isValid()) {
        return {};
    }
    QImage image(picture.width, picture.height, QImage::Format_RGB32);
    if (image.isNull()) {
        return {};
    }
    // The source context only reads the picture's bits.
    gdi::PixelBuffer source{const_cast<std::uint8_t*>(picture.bits.data()),
                            picture.width,
                            picture.height,
                            picture.stride,
                            picture.bpp,
                            picture.palette.empty() ? nullptr : picture.palette.data(),
                            static_cast<std::int32_t>(picture.palette.size() / 4)};
    gdi::PixelBuffer target{image.bits(),
                            image.width(),
                            image.height(),
                            static_cast<std::int32_t>(image.bytesPerLine()),
                            32,
                            nullptr,
                            0};
    const ScopedDC from(source);
    const ScopedDC to(target);
    if (gdi::BitBlt(to.get(), 0, 0, picture.width, picture.height, from.get(), 0, 0,
                    gdi::SRCCOPY) == 0) {
        return {};
    }
    return image;
}

} // namespace platform
