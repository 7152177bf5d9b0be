#include "imaging/Gdi.h"

#include "imaging/GdiInternal.h"

#include <algorithm>
#include <array>
#include <mutex>
#include <unordered_set>
#include <utility>

namespace gdi {
namespace {

// Live contexts. A handle is looked up before use so that a stale or made-up
// handle is refused instead of dereferenced.
struct Registry {
    std::mutex lock;
    std::unordered_set<DeviceContext*> live;
};

Registry& registry() {
    static Registry r;
    return r;
}

HDC registerContext(const PixelBuffer& buf) {
    auto* dc = new DeviceContext{buf, BLACKONWHITE};
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    r.live.insert(dc);
    return dc;
}

PixelBuffer normalised(const PixelBuffer& buf) {
    PixelBuffer b = buf;
    const std::int32_t maxEntries = b.bpp <= 8 ? (1 << b.bpp) : 0;
    b.paletteEntries = b.palette == nullptr ? 0 : std::clamp(b.paletteEntries, 0, maxEntries);
    return b;
}

std::mutex& resolverLock() {
    static std::mutex m;
    return m;
}
std::function<COLORREF(int)>& resolver() {
    static std::function<COLORREF(int)> f;
    return f;
}

constexpr COLORREF rgb(std::uint32_t hexRrggbb) {
    return ((hexRrggbb >> 16) & 0xFF) | (hexRrggbb & 0xFF00) | ((hexRrggbb & 0xFF) << 16);
}

// The classic desktop defaults, indexed by system colour number (written as
// 0xRRGGBB for readability).
constexpr std::array<COLORREF, 31> kSysColours = {
    rgb(0xC8C8C8), rgb(0x000000), rgb(0x99B4D1), rgb(0xBFCDDB), rgb(0xF0F0F0), rgb(0xFFFFFF),
    rgb(0x646464), rgb(0x000000), rgb(0x000000), rgb(0x000000), rgb(0xB4B4B4), rgb(0xF4F7FC),
    rgb(0xABABAB), rgb(0x0078D7), rgb(0xFFFFFF), rgb(0xF0F0F0), rgb(0xA0A0A0), rgb(0x6D6D6D),
    rgb(0x000000), rgb(0x000000), rgb(0xFFFFFF), rgb(0x696969), rgb(0xE3E3E3), rgb(0x000000),
    rgb(0xFFFFE1), rgb(0xB5B5B5), rgb(0x0066CC), rgb(0xB9D1EA), rgb(0xD7E4F2), rgb(0x3399FF),
    rgb(0xF0F0F0)};

} // namespace

namespace detail {

DeviceContext* Resolve(HDC dc) {
    if (dc == nullptr)
        return nullptr;
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    return r.live.count(dc) != 0 ? dc : nullptr;
}

const PixelBuffer* BoundBuffer(HDC dc) {
    DeviceContext* c = Resolve(dc);
    return c != nullptr && c->buf.bits != nullptr ? &c->buf : nullptr;
}

bool DecodeRop(std::uint32_t code, Rop& rop) {
    switch (code) {
    case SRCCOPY:
        rop = Rop::Copy;
        return true;
    case SRCAND:
        rop = Rop::And;
        return true;
    case SRCPAINT:
        rop = Rop::Paint;
        return true;
    default:
        return false;
    }
}

} // namespace detail

std::int64_t StrideFor(std::int64_t width, std::int64_t bpp) {
    return ((width * bpp + 31) / 32) * 4;
}

bool IsSupportedDepth(std::int64_t bpp) {
    return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
}

bool IsValidBuffer(const PixelBuffer& buf) {
    return buf.bits != nullptr && buf.width > 0 && buf.height > 0 && IsSupportedDepth(buf.bpp) &&
           buf.stride >= StrideFor(buf.width, buf.bpp);
}

HDC CreateCompatibleDC() {
    return registerContext(PixelBuffer{});
}

HDC CreateBufferDC(const PixelBuffer& buf) {
    if (!IsValidBuffer(buf))
        return nullptr;
    return registerContext(normalised(buf));
}

bool DeleteDC(HDC dc) {
    if (dc == nullptr)
        return false;
    {
        Registry& r = registry();
        std::lock_guard guard(r.lock);
        if (r.live.erase(dc) == 0)
            return false;
    }
    delete dc;
    return true;
}

bool SelectBuffer(HDC dc, const PixelBuffer& buf) {
    DeviceContext* c = detail::Resolve(dc);
    if (c == nullptr)
        return false;
    if (buf.bits == nullptr) {
        c->buf = PixelBuffer{};
        return true;
    }
    if (!IsValidBuffer(buf))
        return false;
    c->buf = normalised(buf);
    return true;
}

PixelBuffer GetBuffer(HDC dc) {
    const PixelBuffer* b = detail::BoundBuffer(dc);
    return b != nullptr ? *b : PixelBuffer{};
}

int SetStretchBltMode(HDC dc, int mode) {
    DeviceContext* c = detail::Resolve(dc);
    if (c == nullptr || mode < BLACKONWHITE || mode > HALFTONE)
        return 0;
    return std::exchange(c->stretchMode, mode);
}

int GetStretchBltMode(HDC dc) {
    DeviceContext* c = detail::Resolve(dc);
    return c != nullptr ? c->stretchMode : 0;
}

int FillRect(HDC dc, const Rect& rc, COLORREF colour) {
    const PixelBuffer* b = detail::BoundBuffer(dc);
    if (b == nullptr)
        return 0;
    const std::int64_t x0 = std::max<std::int64_t>(rc.left, 0);
    const std::int64_t y0 = std::max<std::int64_t>(rc.top, 0);
    const std::int64_t x1 = std::min<std::int64_t>(rc.right, b->width);
    const std::int64_t y1 = std::min<std::int64_t>(rc.bottom, b->height);
    if (x0 >= x1 || y0 >= y1)
        return 1;
    const COLORREF c = OleTranslateColor(colour);
    // COLORREF is R,G,B from the low byte up; pixels hold B,G,R.
    const std::uint32_t word = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
    detail::ColourMapper mapper(*b);
    const auto n = static_cast<std::int32_t>(x1 - x0);
    std::vector<std::uint32_t> row(static_cast<std::size_t>(n), mapper(word));
    for (std::int64_t y = y0; y < y1; ++y)
        detail::StoreRow(*b, detail::RowPtr(*b, y), static_cast<std::int32_t>(x0), n, row.data(),
                         detail::Rop::Copy);
    return 1;
}

COLORREF OleTranslateColor(std::uint32_t colour) {
    if ((colour & 0xFF000000u) != 0x80000000u)
        return colour & 0x00FFFFFFu;
    const std::uint32_t index = colour & 0x00FFFFFFu;
    std::function<COLORREF(int)> f;
    {
        std::lock_guard guard(resolverLock());
        f = resolver();
    }
    // Called outside the lock: a resolver may itself translate colours.
    if (f)
        return f(static_cast<int>(index)) & 0x00FFFFFFu;
    return index < kSysColours.size() ? kSysColours[index] : 0;
}

void SetSysColorResolver(std::function<COLORREF(int index)> f) {
    std::lock_guard guard(resolverLock());
    resolver() = std::move(f);
}

} // namespace gdi
