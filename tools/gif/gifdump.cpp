// gifdump: prints the model the GIF engine reads from a file (screen, palettes,
// loop count, every frame's fields) and, given an output prefix, writes each
// composed frame as a binary PPM (<prefix>-NNN.ppm), as the animated viewer
// would show it over a black background.
//
//   gifdump <file.gif> [output-prefix]

#include "gif/cGIF.h"
#include "gif/cGIFComposer.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace {

void printPalette(const char* name, int entries, uint32_t (*entry)(const void*, int),
                  const void* ctx) {
    std::printf("%s (%d entries):", name, entries);
    for (int i = 0; i < entries && i < 256; ++i) {
        if (i % 8 == 0) {
            std::printf("\n  %3d:", i);
        }
        const uint32_t c = entry(ctx, i);
        std::printf(" %02X%02X%02X", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
    }
    std::printf("\n");
}

void printModel(const cGIF& gif) {
    std::printf("screen %d x %d, background index %u, pixel aspect %.6f\n",
                int(uint16_t(gif.ScreenWidth())), int(uint16_t(gif.ScreenHeight())),
                unsigned(gif.ScreenBackgroundColorIndex()), double(gif.ScreenPixelAspectRatio()));
    std::printf("loops %d, frames %d\n", int(gif.AnimationLoops()), int(gif.FramesCount()));
    if (gif.GlobalPaletteExists()) {
        std::printf("global palette%s: ", gif.GlobalPaletteSorted() ? " (sorted)" : "");
        printPalette(
            "", gif.GlobalPaletteEntries(),
            [](const void* g, int i) {
                return static_cast<const cGIF*>(g)->GlobalPaletteRGBEntry(uint8_t(i));
            },
            &gif);
    } else {
        std::printf("no global palette\n");
    }
    for (int16_t n = 1; n <= gif.FramesCount(); ++n) {
        const auto image = gif.FrameDIBXOR(n);
        std::printf("frame %d: at %d,%d size %d x %d%s delay %d disposal %d%s%s", int(n),
                    int(gif.FrameLeft(n)), int(gif.FrameTop(n)), image ? image->Width() : 0,
                    image ? image->Height() : 0, image ? "" : " (no pixels)",
                    int(gif.FrameDelay(n)), int(gif.FrameDisposalMethod(n)),
                    gif.FrameInterlaced(n) ? " interlaced" : "",
                    gif.FrameUserInput(n) ? " user-input" : "");
        if (gif.FrameUseTransparentColor(n)) {
            std::printf(" transparent %u", unsigned(gif.FrameTransparentColorIndex(n)));
        }
        std::printf(" %s palette %d entries%s\n", gif.LocalPaletteUsed(n) ? "local" : "global",
                    int(gif.LocalPaletteEntries(n)), gif.LocalPaletteSorted(n) ? " sorted" : "");
    }
}

bool writePpm(const std::string& path, const cDIB& surface) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << surface.Width() << ' ' << surface.Height() << "\n255\n";
    std::string row(size_t(surface.Width()) * 3, '\0');
    for (int32_t y = 0; y < surface.Height(); ++y) {
        const uint8_t* px = surface.lpBits() + size_t(y) * size_t(surface.BytesPerScanline());
        for (int32_t x = 0; x < surface.Width(); ++x) {
            row[size_t(x) * 3] = char(px[x * 4 + 2]);
            row[size_t(x) * 3 + 1] = char(px[x * 4 + 1]);
            row[size_t(x) * 3 + 2] = char(px[x * 4]);
        }
        out.write(row.data(), std::streamsize(row.size()));
    }
    return bool(out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s <file.gif> [output-prefix]\n", argv[0]);
        return 2;
    }
    cGIF gif;
    if (!gif.LoadFromFile(argv[1])) {
        std::fprintf(stderr, "%s: not a GIF file or not readable\n", argv[1]);
        return 1;
    }
    printModel(gif);
    if (argc == 3) {
        cGIFComposer composer;
        if (!composer.Setup(gif, 0)) {
            std::fprintf(stderr, "cannot make the composition surfaces\n");
            return 1;
        }
        for (int16_t n = 1; n <= gif.FramesCount(); ++n) {
            composer.DrawFrame(gif, n);
            char name[32];
            std::snprintf(name, sizeof name, "-%03d.ppm", int(n));
            if (!writePpm(argv[2] + std::string(name), composer.FrameBuffer())) {
                std::fprintf(stderr, "cannot write %s%s\n", argv[2], name);
                return 1;
            }
        }
    }
    return 0;
}
