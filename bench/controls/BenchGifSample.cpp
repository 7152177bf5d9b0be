#include "BenchGifSample.h"

#include "gif/cGIF.h"

#include <QFile>
#include <algorithm>

namespace benchgif {

bool WriteSample(const QString& path, int size, int frames, int delay) {
    cGIF gif;
    for (int n = 1; n <= frames; ++n) {
        // Frame 1 covers the screen; later ones cover a quarter to a half of it.
        const int w = n == 1 ? size : size / 4 + (n * 37) % (size / 4);
        const int h = n == 1 ? size : size / 4 + (n * 53) % (size / 4);
        const int left = n == 1 ? 0 : (n * 71) % (size - w);
        const int top = n == 1 ? 0 : (n * 29) % (size - h);
        const auto frame = std::int16_t(n);
        gif.FrameInsert(frame, std::int16_t(w), std::int16_t(h));
        gif.setFrameLeft(frame, std::int16_t(left));
        gif.setFrameTop(frame, std::int16_t(top));
        gif.setFrameDelay(frame, std::int16_t(delay));
        gif.setFrameDisposalMethod(frame, n == 1 ? 1 : n % 4);
        const bool transparent = n > 1 && n % 2 == 0;
        const auto image = gif.FrameDIBXOR(frame);
        for (int y = 0; y < h; ++y) {
            std::uint8_t* row = image->lpBits() + std::ptrdiff_t(y) * image->BytesPerScanline();
            for (int x = 0; x < w; ++x) {
                // Bands and diagonals: compressible like real artwork, not flat.
                row[x] = std::uint8_t(((x / 8 + y / 8 + n) % 16) * 16 + (x + y) % 16);
                if (transparent && ((x / 16 + y / 16) % 3 == 0)) {
                    row[x] = 255;
                }
            }
        }
        if (transparent) {
            gif.setFrameUseTransparentColor(frame, true);
            gif.setFrameTransparentColorIndex(frame, 255);
        }
    }
    gif.setScreenWidth(std::int16_t(size));
    gif.setScreenHeight(std::int16_t(size));
    gif.setGlobalPaletteExists(true);
    gif.setGlobalPaletteEntries(256);
    for (int i = 0; i < 256; ++i) {
        std::uint8_t* entry = gif.lpGlobalPalette() + 4 * i;
        entry[0] = std::uint8_t(i);
        entry[1] = std::uint8_t(255 - i);
        entry[2] = std::uint8_t((i * 7) & 0xFF);
        entry[3] = 0;
    }
    return gif.Save(QFile::encodeName(path).toStdString());
}

} // namespace benchgif
