#pragma once
// Writes small animated GIFs for the viewer tests with the engine's own model
// and writer, so that no sample files are needed.

#include "gif/cGIF.h"

#include <QColor>
#include <QFile>
#include <QString>
#include <cstdint>
#include <vector>

namespace giftest {

/// Colour indices of the global table that MakeGif writes.
enum Index : std::uint8_t { Black, Red, Green, Blue, White, Yellow, Hole };

/// The colours of those indices as QRgb.
inline const QRgb kIndexRgb[] = {0xFF000000, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF,
                                 0xFFFFFFFF, 0xFFFFFF00, 0xFF808080};

/// One frame: a w x h rectangle at (left, top) of one colour; with
/// `holeTransparent` its left half is the transparent index Hole.
struct FrameSpec {
    int left = 0;
    int top = 0;
    int width = 1;
    int height = 1;
    std::uint8_t index = Red;
    std::int16_t delay = 0;
    int disposal = 1;
    bool holeTransparent = false;
};

/// Writes a GIF with the given logical screen and frames to `path`.
inline bool MakeGif(const QString& path, int screenW, int screenH,
                    const std::vector<FrameSpec>& frames) {
    cGIF gif;
    std::int16_t n = 0;
    for (const FrameSpec& f : frames) {
        ++n;
        gif.FrameInsert(n, std::int16_t(f.width), std::int16_t(f.height));
        gif.setFrameLeft(n, std::int16_t(f.left));
        gif.setFrameTop(n, std::int16_t(f.top));
        gif.setFrameDelay(n, f.delay);
        gif.setFrameDisposalMethod(n, f.disposal);
        const auto image = gif.FrameDIBXOR(n);
        for (int y = 0; y < f.height; ++y) {
            for (int x = 0; x < f.width; ++x) {
                const bool hole = f.holeTransparent && x < f.width / 2;
                image->lpBits()[y * image->BytesPerScanline() + x] =
                    hole ? std::uint8_t(Hole) : f.index;
            }
        }
        if (f.holeTransparent) {
            gif.setFrameUseTransparentColor(n, true);
            gif.setFrameTransparentColorIndex(n, Hole);
        }
    }
    gif.setScreenWidth(std::int16_t(screenW));
    gif.setScreenHeight(std::int16_t(screenH));
    gif.setGlobalPaletteExists(true);
    gif.setGlobalPaletteEntries(8);
    for (int i = 0; i <= Hole; ++i) {
        const QRgb c = kIndexRgb[i];
        std::uint8_t* entry = gif.lpGlobalPalette() + 4 * i;
        entry[0] = std::uint8_t(qBlue(c));
        entry[1] = std::uint8_t(qGreen(c));
        entry[2] = std::uint8_t(qRed(c));
        entry[3] = 0;
    }
    return gif.Save(QFile::encodeName(path).toStdString());
}

} // namespace giftest
