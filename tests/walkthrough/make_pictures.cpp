// Writes the folder of pictures that the walkthrough browses:
//   walkthrough_pictures FOLDER
// Each still image is one flat colour, so that a screenshot shows at a glance
// which one the preview holds; the GIF alternates between two colours.

#include "gif/cGIF.h"

#include <FreeImage.h>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

struct Still {
    const char* name;
    FREE_IMAGE_FORMAT format;
    std::uint8_t red, green, blue;
};

// The colours are far apart, so that JPEG's rounding cannot make one look like
// another. Keep them in step with walkthrough.py.
constexpr Still kStills[] = {{"red.png", FIF_PNG, 220, 40, 40},
                             {"green.jpg", FIF_JPEG, 40, 180, 60},
                             {"blue.bmp", FIF_BMP, 40, 60, 220},
                             {"yellow.tiff", FIF_TIFF, 230, 210, 40},
                             {".hidden.png", FIF_PNG, 120, 120, 120}};

bool WriteStill(const std::string& folder, const Still& still) {
    FIBITMAP* bitmap = FreeImage_Allocate(320, 240, 24);
    if (bitmap == nullptr) {
        return false;
    }
    RGBQUAD colour{still.blue, still.green, still.red, 0};
    FreeImage_FillBackground(bitmap, &colour);
    const bool saved = FreeImage_Save(still.format, bitmap, (folder + "/" + still.name).c_str(),
                                      still.format == FIF_JPEG ? JPEG_QUALITYSUPERB : 0) != 0;
    FreeImage_Unload(bitmap);
    return saved;
}

// Two 160 x 120 frames, magenta then cyan, 200 ms each, looping for ever.
bool WriteGif(const std::string& path) {
    cGIF gif;
    const std::uint8_t colours[][3] = {{0, 0, 0}, {230, 40, 230}, {40, 220, 230}};
    for (std::int16_t n = 1; n <= 2; ++n) {
        gif.FrameInsert(n, 160, 120);
        gif.setFrameDelay(n, 20);
        gif.setFrameDisposalMethod(n, 1);
        const auto image = gif.FrameDIBXOR(n);
        for (int y = 0; y < 120; ++y) {
            for (int x = 0; x < 160; ++x) {
                image->lpBits()[y * image->BytesPerScanline() + x] = std::uint8_t(n);
            }
        }
    }
    gif.setScreenWidth(160);
    gif.setScreenHeight(120);
    gif.setAnimationLoops(0);
    gif.setGlobalPaletteExists(true);
    gif.setGlobalPaletteEntries(4);
    for (int i = 0; i < 3; ++i) {
        std::uint8_t* entry = gif.lpGlobalPalette() + 4 * i;
        entry[0] = colours[i][2];
        entry[1] = colours[i][1];
        entry[2] = colours[i][0];
        entry[3] = 0;
    }
    return gif.Save(path);
}

bool WriteText(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
    return static_cast<bool>(file);
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fputs("usage: walkthrough_pictures FOLDER\n", stderr);
        return 2;
    }
    const std::string folder = argv[1];
    bool ok = true;
    for (const Still& still : kStills) {
        ok = WriteStill(folder, still) && ok;
    }
    ok = WriteGif(folder + "/anim.gif") && ok;
    // A PNG signature followed by rubbish: listed like any PNG, unreadable.
    ok = WriteText(folder + "/broken.png",
                   std::string("\x89PNG\r\n\x1a\n", 8) + std::string(200, '\x5a')) &&
         ok;
    ok = WriteText(folder + "/notes.txt", "Not a picture.\n") && ok;
    if (!ok) {
        std::fprintf(stderr, "walkthrough_pictures: cannot write into %s\n", folder.c_str());
    }
    return ok ? 0 : 1;
}
