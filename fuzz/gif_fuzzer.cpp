// libFuzzer target for the GIF engine: load whatever comes, compose every frame,
// draw scaled and cropped, save, and check that the saved file loads back to the
// same frames.

#include "gif/cGIF.h"
#include "gif/cGIFComposer.h"
#include "imaging/cDIB.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// Keeps single runs fast; the engine's own limits are tested elsewhere.
constexpr int64_t kBudget = int64_t{2} << 20;
constexpr int64_t kMaxScreenPixels = int64_t{1} << 16;

void check(bool ok) {
    if (!ok) {
        __builtin_trap();
    }
}

bool samePixels(const cDIB* a, const cDIB* b) {
    if (!a || !b) {
        return !a == !b;
    }
    if (a->Width() != b->Width() || a->Height() != b->Height()) {
        return false;
    }
    const size_t rowBytes = (size_t(a->Width()) * size_t(a->bpp()) + 7) / 8;
    for (int32_t y = 0; y < a->Height(); ++y) {
        const uint8_t* ra = a->lpBits() + size_t(y) * size_t(a->BytesPerScanline());
        const uint8_t* rb = b->lpBits() + size_t(y) * size_t(b->BytesPerScanline());
        if (std::memcmp(ra, rb, rowBytes) != 0) {
            return false;
        }
    }
    return true;
}

void compose(const cGIF& gif) {
    int32_t w = 0;
    int32_t h = 0;
    cGIFComposer::CanvasSize(gif, w, h);
    if (int64_t(w) * h > kMaxScreenPixels) {
        return;
    }
    cGIFComposer composer;
    if (composer.Setup(gif, 0x00FF00FF)) {
        for (int16_t n = 1; n <= gif.FramesCount() && n <= 16; ++n) {
            check(composer.DrawFrame(gif, n));
        }
    }
    cDIB small;
    if (small.Create(64, 48, 32)) {
        for (int16_t n = 0; n <= gif.FramesCount() + 1 && n <= 8; ++n) {
            gif.FrameDraw(small.hDC(), n, -3, 5, 0.37f, true);
            gif.FrameDraw(small.hDC(), n, 1, 1, 2.0f, false);
        }
    }
}

void roundTrip(cGIF& gif) {
    std::vector<uint8_t> saved;
    if (!gif.SaveToStream(saved)) {
        return;
    }
    cGIF again;
    again.setSurfaceBudget(kBudget);
    check(again.LoadFromStream(saved));
    check(again.FramesCount() == gif.FramesCount());
    for (int16_t n = 1; n <= gif.FramesCount(); ++n) {
        check(again.FrameLeft(n) == gif.FrameLeft(n) && again.FrameTop(n) == gif.FrameTop(n));
        check(again.FrameDelay(n) == gif.FrameDelay(n));
        check(again.FrameDisposalMethod(n) == gif.FrameDisposalMethod(n));
        check(again.FrameInterlaced(n) == gif.FrameInterlaced(n));
        check(again.FrameUseTransparentColor(n) == gif.FrameUseTransparentColor(n));
        if (gif.FrameUseTransparentColor(n)) {
            check(again.FrameTransparentColorIndex(n) == gif.FrameTransparentColorIndex(n));
        }
        check(samePixels(again.FrameDIBXOR(n).get(), gif.FrameDIBXOR(n).get()));
        check(samePixels(again.FrameDIBAND(n).get(), gif.FrameDIBAND(n).get()));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    cGIF gif;
    gif.setSurfaceBudget(kBudget);
    if (!gif.LoadFromStream(bytes)) {
        check(gif.FramesCount() == 0);
        return 0;
    }
    compose(gif);
    roundTrip(gif);
    return 0;
}
