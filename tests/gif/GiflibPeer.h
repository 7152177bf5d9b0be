#pragma once
// giflib (Debian libgif-dev, 5.2 API) as the reference decoder: decodes a GIF held
// in memory into plain structures that the conformance tests compare with ours.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <gif_lib.h>
#include <vector>

namespace giflibpeer {

struct Frame {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool interlaced = false;
    int delay = 0;
    int disposal = 0;
    int transparent = -1; // NO_TRANSPARENT_COLOR
    bool userInput = false;
    std::vector<uint8_t> indices; // width * height, rows top-down
};

struct File {
    bool ok = false;
    int screenWidth = 0;
    int screenHeight = 0;
    std::vector<Frame> frames;
};

struct Source {
    const uint8_t* data;
    size_t size;
    size_t pos;
};

inline int readFromMemory(GifFileType* gif, GifByteType* buf, int len) {
    auto* s = static_cast<Source*>(gif->UserData);
    const size_t n = std::min(size_t(len), s->size - s->pos);
    std::memcpy(buf, s->data + s->pos, n);
    s->pos += n;
    return int(n);
}

inline File decode(const std::vector<uint8_t>& bytes) {
    File out;
    Source src{bytes.data(), bytes.size(), 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&src, readFromMemory, &error);
    if (!gif) {
        return out;
    }
    if (DGifSlurp(gif) == GIF_OK) {
        out.ok = true;
        out.screenWidth = gif->SWidth;
        out.screenHeight = gif->SHeight;
        for (int i = 0; i < gif->ImageCount; ++i) {
            const SavedImage& im = gif->SavedImages[i];
            Frame f;
            f.left = im.ImageDesc.Left;
            f.top = im.ImageDesc.Top;
            f.width = im.ImageDesc.Width;
            f.height = im.ImageDesc.Height;
            f.interlaced = im.ImageDesc.Interlace;
            // Several graphic control extensions before one image: the last one
            // counts (as in the reader under test and in browsers), while
            // DGifSavedExtensionToGCB would take the first.
            for (int e = 0; e < im.ExtensionBlockCount; ++e) {
                const ExtensionBlock& block = im.ExtensionBlocks[e];
                GraphicsControlBlock gcb{};
                if (block.Function == GRAPHICS_EXT_FUNC_CODE &&
                    DGifExtensionToGCB(size_t(block.ByteCount), block.Bytes, &gcb) == GIF_OK) {
                    f.delay = gcb.DelayTime;
                    f.disposal = gcb.DisposalMode;
                    f.transparent = gcb.TransparentColor;
                    f.userInput = gcb.UserInputFlag;
                }
            }
            if (im.RasterBits) {
                f.indices.assign(im.RasterBits, im.RasterBits + size_t(f.width) * size_t(f.height));
            }
            out.frames.push_back(std::move(f));
        }
    }
    DGifCloseFile(gif, &error);
    return out;
}

} // namespace giflibpeer
