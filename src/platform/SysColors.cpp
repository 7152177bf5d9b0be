#include "platform/SysColors.h"

#include "imaging/Gdi.h"

#include <QGuiApplication>
#include <QPalette>

namespace platform {
namespace {

struct SysColorEntry {
    unsigned index;
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The indices the program and its controls use, mapped to the palette role that
// plays the same part in a Qt theme.
constexpr SysColorEntry sysColorTable[] = {
    {0x00, QPalette::Active, QPalette::Button},          // scroll bars
    {0x01, QPalette::Active, QPalette::Dark},            // desktop
    {0x04, QPalette::Active, QPalette::Window},          // menu bar
    {0x05, QPalette::Active, QPalette::Base},            // window background
    {0x06, QPalette::Active, QPalette::Shadow},          // window frame
    {0x07, QPalette::Active, QPalette::WindowText},      // menu text
    {0x08, QPalette::Active, QPalette::Text},            // window text
    {0x0C, QPalette::Active, QPalette::Mid},             // application workspace
    {0x0D, QPalette::Active, QPalette::Highlight},       // highlight
    {0x0E, QPalette::Active, QPalette::HighlightedText}, // highlight text
    {0x0F, QPalette::Active, QPalette::Button},          // button face
    {0x10, QPalette::Active, QPalette::Dark},            // button shadow
    {0x11, QPalette::Disabled, QPalette::Text},          // grey text
    {0x12, QPalette::Active, QPalette::ButtonText},      // button text
    {0x14, QPalette::Active, QPalette::Light},           // 3-D highlight
    {0x15, QPalette::Active, QPalette::Shadow},          // 3-D dark shadow
    {0x16, QPalette::Active, QPalette::Midlight},        // 3-D light
    {0x17, QPalette::Active, QPalette::ToolTipText},     // info text
    {0x18, QPalette::Active, QPalette::ToolTipBase},     // info background
};

QPalette currentPalette() {
    // QGuiApplication::palette is the widgets application's palette as well.
    return QGuiApplication::palette();
}

} // namespace

QColor ColorFromRef(ColorRef ref) {
    if (!IsSysColor(ref)) {
        return QColor(static_cast<int>(ref & 0xFF), static_cast<int>((ref >> 8) & 0xFF),
                      static_cast<int>((ref >> 16) & 0xFF));
    }
    const unsigned index = ref & 0x00FFFFFFu;
    for (const SysColorEntry& entry : sysColorTable) {
        if (entry.index == index) {
            QColor color = currentPalette().color(entry.group, entry.role);
            color.setAlpha(255);
            return color;
        }
    }
    return QColor(0, 0, 0);
}

QRgb RgbFromRef(ColorRef ref) {
    return ColorFromRef(ref).rgb() | 0xFF000000u;
}

ColorRef RefFromColor(const QColor& color) {
    return RGBRef(color.red(), color.green(), color.blue());
}

void InstallSysColorResolver() {
    gdi::SetSysColorResolver([](int index) {
        return RefFromColor(ColorFromRef(0x80000000u | (static_cast<ColorRef>(index) & 0xFFFFFFu)));
    });
}

} // namespace platform
