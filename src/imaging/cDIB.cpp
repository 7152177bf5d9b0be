#include "imaging/cDIB.h"

#include "imaging/BitmapFile.h"
#include "imaging/Units.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <utility>

namespace {

std::int32_t saturate(double v) {
    if (!(v >= std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    if (v > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(v);
}

} // namespace

cDIB::~cDIB() {
    Destroy();
}

cDIB::cDIB(cDIB&& other) noexcept
    : m_hDC(std::exchange(other.m_hDC, nullptr)), m_bits(std::move(other.m_bits)),
      m_palette(std::move(other.m_palette)), m_width(std::exchange(other.m_width, 0)),
      m_height(std::exchange(other.m_height, 0)), m_bpp(std::exchange(other.m_bpp, 0)),
      m_stride(std::exchange(other.m_stride, 0)), m_size(std::exchange(other.m_size, 0)) {
    other.m_palette.clear();
}

cDIB& cDIB::operator=(cDIB&& other) noexcept {
    if (this != &other) {
        Destroy();
        // The context stays bound to the same heap buffers, which move along.
        m_hDC = std::exchange(other.m_hDC, nullptr);
        m_bits = std::move(other.m_bits);
        m_palette = std::move(other.m_palette);
        other.m_palette.clear();
        m_width = std::exchange(other.m_width, 0);
        m_height = std::exchange(other.m_height, 0);
        m_bpp = std::exchange(other.m_bpp, 0);
        m_stride = std::exchange(other.m_stride, 0);
        m_size = std::exchange(other.m_size, 0);
    }
    return *this;
}

bool cDIB::Create(std::int32_t NewWidth, std::int32_t NewHeight, std::int32_t Newbpp) {
    if (!make(NewWidth, NewHeight, Newbpp, Newbpp != 32))
        return false;
    if (Newbpp == 32) // black, with the fourth byte set as Format_RGB32 expects
        std::fill_n(reinterpret_cast<std::uint32_t*>(m_bits.get()),
                    static_cast<std::size_t>(m_size) / 4, std::uint32_t{0xFF000000});
    return true;
}

bool cDIB::CreateFilled(std::int32_t NewWidth, std::int32_t NewHeight, std::uint32_t BackColor) {
    if (!make(NewWidth, NewHeight, 32, false))
        return false;
    Cls(BackColor); // writes every byte
    return true;
}

// The pixels are left for the caller to write unless `zeroed`.
bool cDIB::make(std::int32_t NewWidth, std::int32_t NewHeight, std::int32_t Newbpp, bool zeroed) {
    Destroy();
    if (NewWidth <= 0 || NewHeight <= 0 || !gdi::IsSupportedDepth(Newbpp))
        return false;
    const std::int64_t stride = gdi::StrideFor(NewWidth, Newbpp);
    if (stride > MaxBytes / NewHeight) // also keeps stride * height from overflowing
        return false;
    const auto bytes = static_cast<std::size_t>(stride * NewHeight);
    std::unique_ptr<std::uint8_t[]> bits(zeroed ? new (std::nothrow) std::uint8_t[bytes]()
                                                : new (std::nothrow) std::uint8_t[bytes]);
    if (!bits)
        return false;
    return adopt(std::move(bits), NewWidth, NewHeight, Newbpp, static_cast<std::int32_t>(stride));
}

bool cDIB::adopt(std::unique_ptr<std::uint8_t[]> bits, std::int32_t w, std::int32_t h,
                 std::int32_t bpp, std::int32_t stride) {
    try {
        m_palette.assign(bpp <= 8 ? (std::size_t{4} << bpp) : 0, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    m_hDC = gdi::CreateCompatibleDC();
    if (m_hDC == nullptr)
        return false;
    m_bits = std::move(bits);
    m_width = w;
    m_height = h;
    m_bpp = bpp;
    m_stride = stride;
    m_size = stride * h;
    bindBuffer();
    return true;
}

void cDIB::bindBuffer() {
    const bool indexed = m_bpp <= 8;
    gdi::SelectBuffer(m_hDC, gdi::PixelBuffer{m_bits.get(), m_width, m_height, m_stride, m_bpp,
                                              indexed ? m_palette.data() : nullptr,
                                              indexed ? (1 << m_bpp) : 0});
}

std::uint8_t cDIB::CreateFromStdPicture(const StdPicture& Image, bool Force32bpp) {
    if (!Image.isValid())
        return 0;
    if (!Create(Image.width, Image.height, Force32bpp ? 32 : Image.bpp))
        return 0;
    if (Image.bpp <= 8 && !Force32bpp) {
        std::vector<std::uint8_t> pal(std::size_t{4} << Image.bpp, 0);
        std::copy_n(Image.palette.begin(), std::min(pal.size(), Image.palette.size()), pal.begin());
        SetPalette(pal);
    }
    const gdi::PixelBuffer view{
        const_cast<std::uint8_t*>(Image.bits.data()), // read only
        Image.width,
        Image.height,
        Image.stride,
        Image.bpp,
        Image.palette.data(),
        static_cast<std::int32_t>(std::min<std::size_t>(Image.palette.size() / 4, 256))};
    gdi::HDC src = gdi::CreateBufferDC(view);
    if (src == nullptr)
        return 0;
    gdi::BitBlt(m_hDC, 0, 0, m_width, m_height, src, 0, 0, gdi::SRCCOPY);
    gdi::DeleteDC(src);
    return static_cast<std::uint8_t>(Image.bpp);
}

std::uint8_t cDIB::CreateFromBitmapFile(const std::string& FileName) {
    const StdPicture pic = bitmapfile::Read(FileName);
    if (pic.empty() || !Create(pic.width, pic.height, pic.bpp))
        return 0;
    SetPalette(pic.palette);
    std::memcpy(m_bits.get(), pic.bits.data(), static_cast<std::size_t>(m_size));
    return static_cast<std::uint8_t>(m_bpp);
}

void cDIB::CloneTo(cDIB& oDIB) const {
    if (&oDIB == this)
        return;
    if (hDIB() == 0) {
        oDIB.Destroy();
        return;
    }
    if (!oDIB.Create(m_width, m_height, m_bpp))
        return;
    std::copy(m_palette.begin(), m_palette.end(), oDIB.m_palette.begin());
    std::memcpy(oDIB.m_bits.get(), m_bits.get(), static_cast<std::size_t>(m_size));
}

void cDIB::Destroy() {
    if (m_hDC != nullptr)
        gdi::DeleteDC(m_hDC);
    m_hDC = nullptr;
    m_bits.reset();
    m_palette.clear();
    m_width = m_height = m_bpp = m_stride = m_size = 0;
}

std::int32_t cDIB::LoadBlt(gdi::HDC hSrcDC, std::int32_t x, std::int32_t y, std::int32_t nWidth,
                           std::int32_t nHeight) {
    if (hDIB() == 0)
        return 0;
    if (nWidth < 1)
        nWidth = m_width;
    if (nHeight < 1)
        nHeight = m_height;
    return gdi::BitBlt(m_hDC, 0, 0, nWidth, nHeight, hSrcDC, x, y, gdi::SRCCOPY);
}

std::int32_t cDIB::Stretch(gdi::HDC hDstDC, std::int32_t x, std::int32_t y, std::int32_t nWidth,
                           std::int32_t nHeight, std::int32_t xSrc, std::int32_t ySrc,
                           std::int32_t nSrcWidth, std::int32_t nSrcHeight, std::uint32_t lROP,
                           std::int32_t StretchMode) {
    if (hDIB() == 0)
        return 0;
    if (nSrcWidth < 1)
        nSrcWidth = m_width;
    if (nSrcHeight < 1)
        nSrcHeight = m_height;
    const int saved = gdi::GetStretchBltMode(hDstDC);
    gdi::SetStretchBltMode(hDstDC, StretchMode);
    const int r = gdi::StretchBlt(hDstDC, x, y, nWidth, nHeight, m_hDC, xSrc, ySrc, nSrcWidth,
                                  nSrcHeight, lROP);
    gdi::SetStretchBltMode(hDstDC, saved);
    return r;
}

void cDIB::Cls(std::uint32_t BackColor) {
    if (hDIB() != 0)
        gdi::FillRect(m_hDC, gdi::Rect{0, 0, m_width, m_height}, BackColor);
}

void cDIB::SetPalette(const std::vector<std::uint8_t>& palette) {
    if (hDIB() == 0 || m_bpp > 8)
        return;
    const std::size_t n = std::min(palette.size() / 4 * 4, m_palette.size());
    std::copy_n(palette.begin(), n, m_palette.begin());
}

void cDIB::GetPalette(std::vector<std::uint8_t>& palette) const {
    if (hDIB() == 0 || m_bpp > 8)
        return;
    palette = m_palette;
}

void cDIB::GetBestFitInfo(std::int32_t DstW, std::int32_t DstH, std::int32_t& bfx,
                          std::int32_t& bfy, std::int32_t& bfW, std::int32_t& bfH,
                          bool StretchFit) const {
    if (hDIB() == 0)
        return;
    if (m_width <= DstW && m_height <= DstH && !StretchFit) {
        bfW = m_width;
        bfH = m_height;
    } else {
        const double rx = static_cast<double>(DstW) / m_width;
        // The height ratio is kept in single precision, which decides ties.
        const double ry = static_cast<float>(static_cast<double>(DstH) / m_height);
        if (rx < ry) {
            bfW = DstW;
            bfH = units::RoundHalfEvenTo<std::int32_t>(m_height * rx);
        } else {
            bfH = DstH;
            bfW = units::RoundHalfEvenTo<std::int32_t>(m_width * ry);
        }
    }
    bfx = saturate(static_cast<double>((std::int64_t{DstW} - bfW) / 2));
    bfy = saturate(static_cast<double>((std::int64_t{DstH} - bfH) / 2));
}

StdPicture cDIB::Image() const {
    if (hDIB() == 0)
        return StdPicture::Make(1, 1, 32);
    StdPicture pic = StdPicture::Make(m_width, m_height, 32);
    gdi::HDC dc = gdi::CreateBufferDC(
        gdi::PixelBuffer{pic.bits.data(), pic.width, pic.height, pic.stride, 32, nullptr, 0});
    if (dc == nullptr)
        return StdPicture::Make(1, 1, 32);
    gdi::SetStretchBltMode(dc, gdi::COLORONCOLOR);
    gdi::StretchBlt(dc, 0, 0, m_width, m_height, m_hDC, 0, 0, m_width, m_height, gdi::SRCCOPY);
    gdi::DeleteDC(dc);
    return pic;
}
