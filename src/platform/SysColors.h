#pragma once

// Colours travel through the program as 32-bit colour references 0x00BBGGRR;
// references 0x800000nn name system colours, which are resolved here through the
// application palette so that controls follow the desktop's theme.

#include <QColor>
#include <cstdint>

namespace platform {

using ColorRef = std::uint32_t;

/// System colour references (index in the low byte) used by the program.
inline constexpr ColorRef vbScrollBars = 0x80000000;
inline constexpr ColorRef vbDesktop = 0x80000001;
inline constexpr ColorRef vbMenuBar = 0x80000004;
inline constexpr ColorRef vbWindowBackground = 0x80000005;
inline constexpr ColorRef vbWindowFrame = 0x80000006;
inline constexpr ColorRef vbMenuText = 0x80000007;
inline constexpr ColorRef vbWindowText = 0x80000008;
inline constexpr ColorRef vbApplicationWorkspace = 0x8000000C;
inline constexpr ColorRef vbHighlight = 0x8000000D;
inline constexpr ColorRef vbHighlightText = 0x8000000E;
inline constexpr ColorRef vbButtonFace = 0x8000000F;
inline constexpr ColorRef vbButtonShadow = 0x80000010;
inline constexpr ColorRef vbGrayText = 0x80000011;
inline constexpr ColorRef vbButtonText = 0x80000012;
inline constexpr ColorRef vb3DHighlight = 0x80000014;
inline constexpr ColorRef vb3DDKShadow = 0x80000015;
inline constexpr ColorRef vb3DLight = 0x80000016;
inline constexpr ColorRef vbInfoText = 0x80000017;
inline constexpr ColorRef vbInfoBackground = 0x80000018;

/// True for a system colour reference (high byte 0x80).
constexpr bool IsSysColor(ColorRef ref) {
    return (ref & 0xFF000000u) == 0x80000000u;
}

/// The opaque colour a reference stands for. Plain references use their low 24
/// bits (the high byte is ignored); system references are looked up in the
/// application palette (QApplication::palette, or QGuiApplication's when no
/// widgets application exists); an index outside the table gives black, as the
/// system does for an unknown index.
QColor ColorFromRef(ColorRef ref);

/// The same as ColorFromRef, as an opaque QRgb (0xFFRRGGBB).
QRgb RgbFromRef(ColorRef ref);

/// A colour as a plain reference 0x00BBGGRR (alpha dropped).
ColorRef RefFromColor(const QColor& color);

/// Builds a plain reference from its parts.
constexpr ColorRef RGBRef(int red, int green, int blue) {
    return (static_cast<ColorRef>(blue & 0xFF) << 16) | (static_cast<ColorRef>(green & 0xFF) << 8) |
           static_cast<ColorRef>(red & 0xFF);
}

/// Hands ColorFromRef to the blit layer, so that brushes and fills given system
/// colour references show the palette's colours. Call once after the
/// application object exists; calling again is harmless.
void InstallSysColorResolver();

} // namespace platform
