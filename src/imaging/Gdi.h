#pragma once

// A small raster layer with the shape of the classic device-context API:
// device contexts bound to pixel buffers, BitBlt, StretchBlt and FillRect with
// depth conversion through palettes. It depends on the standard library only.
//
// Pixel layout of every buffer: rows top-down, `stride` bytes apart; 1, 4 and
// 8 bpp are palette indices (most significant bits hold the leftmost pixel);
// 16 bpp is 5-5-5 (top bit unused); 24 bpp is B,G,R; 32 bpp is B,G,R,X.
// Whenever this layer writes a converted 32-bit pixel it sets X to 0xFF, so a
// 32-bit buffer is always a valid QImage::Format_RGB32 image; X is never read
// as part of a colour.

#include <cstdint>
#include <functional>

namespace gdi {

/// Colour reference 0x00BBGGRR; 0x800000nn names system colour nn.
using COLORREF = std::uint32_t;

/// Raster operations. Any other value makes a blit return 0.
inline constexpr std::uint32_t SRCCOPY = 0x00CC0020;
inline constexpr std::uint32_t SRCAND = 0x008800C6;
inline constexpr std::uint32_t SRCPAINT = 0x00EE0086;

/// Stretch modes. BLACKONWHITE and WHITEONBLACK are accepted and behave like
/// COLORONCOLOR (nearest pixel); HALFTONE averages the covered source area.
inline constexpr int BLACKONWHITE = 1;
inline constexpr int WHITEONBLACK = 2;
inline constexpr int COLORONCOLOR = 3;
inline constexpr int HALFTONE = 4;

/// Builds a colour reference from its channels (not named RGB, which is a
/// macro in the Windows headers).
constexpr COLORREF MakeRGB(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) |
           (static_cast<COLORREF>(b) << 16);
}

/// A rectangle from (left, top) inclusive to (right, bottom) exclusive.
struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

/// A non-owning view of a top-down pixel buffer. `palette` holds
/// `paletteEntries` RGBQUADs (B, G, R, 0); entries a palettized buffer lacks
/// read as black. The caller keeps the memory alive while a context is bound
/// to it.
struct PixelBuffer {
    std::uint8_t* bits = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t stride = 0;
    std::int32_t bpp = 0;
    const std::uint8_t* palette = nullptr;
    std::int32_t paletteEntries = 0;
};

/// Bytes per row under the rule ((width * bpp + 31) / 32) * 4, in 64 bits so
/// that no width or depth overflows.
std::int64_t StrideFor(std::int64_t width, std::int64_t bpp);

/// True for a depth this layer handles: 1, 4, 8, 16, 24 or 32.
bool IsSupportedDepth(std::int64_t bpp);

/// True when `buf` can be bound: bits present, positive size, supported depth,
/// stride at least the rule's minimum.
bool IsValidBuffer(const PixelBuffer& buf);

struct DeviceContext;
/// Handle of a device context. Null is "no context"; every function refuses
/// a null, deleted or foreign handle (result 0 / false) instead of following it.
using HDC = DeviceContext*;

/// A memory context with nothing bound; blits to or from it do nothing and
/// return 0 until a buffer is bound. Release with DeleteDC.
HDC CreateCompatibleDC();

/// A context bound to an external buffer (for instance a widget's backing
/// image); null when `buf` is not valid. Release with DeleteDC; the buffer
/// stays the caller's.
HDC CreateBufferDC(const PixelBuffer& buf);

/// Releases a context; false for a null or unknown handle.
bool DeleteDC(HDC dc);

/// Binds `buf` to `dc`, replacing any previous binding (an empty PixelBuffer
/// unbinds). False, binding unchanged, for an unknown handle or an invalid,
/// non-empty buffer. The palette pointer is kept, so a later change of the
/// palette bytes is seen by the next blit.
bool SelectBuffer(HDC dc, const PixelBuffer& buf);

/// The buffer bound to `dc`; an empty view (bits null) when none or unknown.
PixelBuffer GetBuffer(HDC dc);

/// Sets the stretch mode and returns the previous one; 0 (mode unchanged) for
/// an unknown handle or a mode outside 1..4. A new context starts with
/// BLACKONWHITE, as the classic API does.
int SetStretchBltMode(HDC dc, int mode);
/// The current stretch mode; 0 for an unknown handle.
int GetStretchBltMode(HDC dc);

/// Copies a w x h block from (xs, ys) of `src` to (x, y) of `dst`, converting
/// depths and applying `rop`. Only pixels inside both buffers are touched, for
/// any coordinates. Returns 1 on success (also when everything is clipped or
/// the size is 0) and 0 for an unknown or unbound context, an unsupported rop
/// or a negative size. Overlapping source and destination are handled.
///
/// Onto palettized targets a colour takes the nearest palette entry (squared
/// RGB distance, lowest index on ties); SRCAND and SRCPAINT then combine the
/// palette indices, on other targets the converted pixel values.
int BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int xs, int ys, std::uint32_t rop);

/// Maps the source rectangle (xs, ys, ws, hs) onto the destination rectangle
/// (x, y, w, h) with the destination's stretch mode. Nearest modes sample the
/// source at the centre of each destination pixel; HALFTONE averages the
/// source area a destination pixel covers. A destination pixel whose sample
/// point lies outside the source buffer is left unchanged. Results as for
/// BitBlt; negative sizes (mirroring) and a zero source size are refused (0).
int StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int xs, int ys, int ws, int hs,
               std::uint32_t rop);

/// Fills `rc` (clipped to the buffer) with `colour`, which is first resolved
/// through OleTranslateColor; on palettized buffers the nearest entry is used.
/// Returns 1, or 0 for an unknown or unbound context.
int FillRect(HDC dc, const Rect& rc, COLORREF colour);

/// Resolves a colour value to a plain 0x00BBGGRR reference: system colours
/// 0x800000nn through the installed resolver (or a built-in table of the
/// classic defaults, e.g. 0x8000000F button face = 0x00F0F0F0; unknown
/// indices give black); any other value keeps its low 24 bits.
COLORREF OleTranslateColor(std::uint32_t colour);

/// Installs the function that answers system colour indices (the platform
/// layer does this at start-up); an empty function restores the built-in table.
void SetSysColorResolver(std::function<COLORREF(int index)> resolver);

} // namespace gdi
