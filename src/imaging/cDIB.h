#pragma once

// cDIB: an in-memory, top-down raster surface with its own device context, so
// that the same pixels can be written directly through lpBits() and used as
// the source or target of blits through hDC().

#include "imaging/Gdi.h"
#include "imaging/StdPicture.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class cDIB {
public:
    /// Largest pixel data Create accepts (1 GiB).
    static constexpr std::int64_t MaxBytes = std::int64_t{1} << 30;

    cDIB() = default;
    ~cDIB();
    cDIB(const cDIB&) = delete;
    cDIB& operator=(const cDIB&) = delete;
    /// Moving hands over the surface and its context; the source is left empty.
    cDIB(cDIB&& other) noexcept;
    cDIB& operator=(cDIB&& other) noexcept;

    /// Replaces the surface by a zero-filled one (black; palettized depths get
    /// an all-black palette of 2^bpp entries). Refuses, leaving the surface
    /// empty and every property 0, a non-positive size, a depth other than
    /// 1, 4, 8, 16, 24, 32, pixel data over MaxBytes, or a failed allocation.
    bool Create(std::int32_t NewWidth, std::int32_t NewHeight, std::int32_t Newbpp);
    /// As Create at 32 bpp, the surface filled with BackColor (as Cls) instead.
    bool CreateFilled(std::int32_t NewWidth, std::int32_t NewHeight, std::uint32_t BackColor);

    /// Makes the surface a copy of `Image` (32 bpp when `Force32bpp`, else the
    /// picture's depth, with its palette). Returns the picture's own depth, or
    /// 0 for an empty or inconsistent picture or a failed creation.
    std::uint8_t CreateFromStdPicture(const StdPicture& Image, bool Force32bpp = false);

    /// Loads an uncompressed (BI_RGB) BMP file with its palette, keeping the
    /// file's own row order: a bottom-up file gives a surface whose first row
    /// is the image's bottom row. Returns the depth, or 0 - surface unchanged -
    /// for a missing, empty, unreadable, truncated or unsupported file.
    std::uint8_t CreateFromBitmapFile(const std::string& FileName);

    /// Makes `oDIB` a copy of this surface (size, depth, palette, pixels). An
    /// empty source, or a target that cannot be created, leaves `oDIB` empty.
    void CloneTo(cDIB& oDIB) const;

    /// Releases the surface and its context; safe on an empty surface.
    void Destroy();

    /// Copies a block of `hSrcDC` from (x, y) into the surface's top-left
    /// corner; a width or height below 1 means the surface's own. Returns the
    /// BitBlt result, 0 when the surface is empty.
    std::int32_t LoadBlt(gdi::HDC hSrcDC, std::int32_t x = 0, std::int32_t y = 0,
                         std::int32_t nWidth = 0, std::int32_t nHeight = 0);

    /// Draws the surface (or its part xSrc, ySrc, nSrcWidth, nSrcHeight; a
    /// source size below 1 means the surface's own) into the rectangle of
    /// `hDstDC`, restoring the destination's stretch mode afterwards. Returns
    /// the StretchBlt result, 0 when the surface is empty.
    std::int32_t Stretch(gdi::HDC hDstDC, std::int32_t x, std::int32_t y, std::int32_t nWidth,
                         std::int32_t nHeight, std::int32_t xSrc = 0, std::int32_t ySrc = 0,
                         std::int32_t nSrcWidth = 0, std::int32_t nSrcHeight = 0,
                         std::uint32_t lROP = gdi::SRCCOPY,
                         std::int32_t StretchMode = gdi::COLORONCOLOR);

    /// Fills the whole surface with `BackColor` (system colours resolved;
    /// nearest palette entry on palettized surfaces). No-op when empty.
    void Cls(std::uint32_t BackColor = 0);

    /// Sets palette entries 0..n-1 from `palette` (4 bytes B, G, R, 0 each,
    /// n = size / 4, limited to the table's 2^bpp entries). No-op unless the
    /// surface exists and bpp <= 8.
    void SetPalette(const std::vector<std::uint8_t>& palette);

    /// Resizes `palette` to 2^bpp * 4 bytes and fills it with the table.
    /// Leaves it unchanged unless the surface exists and bpp <= 8.
    void GetPalette(std::vector<std::uint8_t>& palette) const;

    /// Where the surface goes, aspect kept and centred, in a DstW x DstH box:
    /// its own size when it fits (unless StretchFit), else scaled to touch the
    /// box. Outputs untouched when the surface is empty. Results saturate at
    /// the int32 range.
    void GetBestFitInfo(std::int32_t DstW, std::int32_t DstH, std::int32_t& bfx, std::int32_t& bfy,
                        std::int32_t& bfW, std::int32_t& bfH, bool StretchFit = false) const;

    /// A new 32-bit picture holding a copy of the surface (palette applied);
    /// a 1 x 1 black picture for an empty surface.
    StdPicture Image() const;

    /// The surface's own context (null when empty); owned by the surface.
    gdi::HDC hDC() const { return m_hDC; }
    /// Identity of the pixel buffer: non-zero exactly when the surface exists.
    std::uintptr_t hDIB() const { return reinterpret_cast<std::uintptr_t>(m_bits.get()); }
    /// First byte of the top row (null when empty); valid until Destroy/Create.
    std::uint8_t* lpBits() const { return m_bits.get(); }
    std::int32_t Width() const { return m_width; }
    std::int32_t Height() const { return m_height; }
    std::int32_t bpp() const { return m_bpp; }
    std::int32_t BytesPerScanline() const { return m_stride; }
    std::int32_t size() const { return m_size; }

private:
    bool make(std::int32_t NewWidth, std::int32_t NewHeight, std::int32_t Newbpp, bool zeroed);
    bool adopt(std::unique_ptr<std::uint8_t[]> bits, std::int32_t w, std::int32_t h,
               std::int32_t bpp, std::int32_t stride);
    void bindBuffer();

    gdi::HDC m_hDC = nullptr;
    std::unique_ptr<std::uint8_t[]> m_bits;
    std::vector<std::uint8_t> m_palette; // heap storage: its address survives a move
    std::int32_t m_width = 0;
    std::int32_t m_height = 0;
    std::int32_t m_bpp = 0;
    std::int32_t m_stride = 0;
    std::int32_t m_size = 0;
};
