#include "imaging/StdPicture.h"

#include "imaging/Gdi.h"

#include <algorithm>
#include <new>

bool StdPicture::isValid() const {
    if (width <= 0 || height <= 0 || !gdi::IsSupportedDepth(bpp) ||
        stride < gdi::StrideFor(width, bpp))
        return false;
    return static_cast<std::int64_t>(bits.size()) >=
           static_cast<std::int64_t>(stride) * static_cast<std::int64_t>(height);
}

StdPicture StdPicture::Make(std::int32_t width, std::int32_t height, std::int32_t bpp) {
    StdPicture p;
    if (width <= 0 || height <= 0 || !gdi::IsSupportedDepth(bpp))
        return p;
    const std::int64_t stride = gdi::StrideFor(width, bpp);
    if (stride > (std::int64_t{1} << 30) / height) // over 1 GiB; no overflow either
        return p;
    const std::int64_t bytes = stride * height;
    try {
        p.bits.assign(static_cast<std::size_t>(bytes), 0);
        if (bpp <= 8)
            p.palette.assign(std::size_t{4} << bpp, 0);
    } catch (const std::bad_alloc&) {
        return StdPicture{};
    }
    // Black with the fourth byte set, as a Format_RGB32 image expects.
    if (bpp == 32)
        for (std::size_t i = 3; i < p.bits.size(); i += 4)
            p.bits[i] = 0xFF;
    p.width = width;
    p.height = height;
    p.bpp = bpp;
    p.stride = static_cast<std::int32_t>(stride);
    return p;
}
