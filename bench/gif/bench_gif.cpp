// GIF decode and encode speed: cGIF against giflib on the same bytes in memory.
//
//   bench_gif [--benchmark_filter=...]
//
// Decode: LoadFromStream (parse, decode every frame into its surfaces, masks)
// against DGifSlurp (parse, decode every frame into RasterBits), in Mpixel/s of
// frame pixels. Encode: SaveToStream against giflib's EGifPutLine writer on the
// same frames, in MB/s of pixel indices, with the output size as a counter.

#include "gif/cGIF.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstring>
#include <fstream>
#include <gif_lib.h>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

const std::string kCorpus = VISTREL_CORPUS_DIR "/gif/wuffs/test/data/";

// A 40-frame 640 x 480 animation of smooth moving shapes with some dither noise,
// written by our own encoder: large, animated and realistic to compress.
std::vector<uint8_t> makeAnimation() {
    cGIF gif;
    constexpr int w = 640;
    constexpr int h = 480;
    uint32_t seed = 12345;
    for (int16_t n = 1; n <= 40; ++n) {
        gif.FrameInsert(n, w, h);
        gif.setFrameDelay(n, 4);
        const auto image = gif.FrameDIBXOR(n);
        for (int y = 0; y < h; ++y) {
            uint8_t* row = image->lpBits() + size_t(y) * size_t(image->BytesPerScanline());
            for (int x = 0; x < w; ++x) {
                seed = seed * 1664525u + 1013904223u;
                const double v = std::sin(x * 0.02 + n * 0.3) + std::cos(y * 0.03 - n * 0.2) +
                                 std::sin((x + y) * 0.01);
                const int noise = (seed >> 28) == 0 ? int(seed >> 24 & 7) : 0;
                row[x] = uint8_t(int((v + 3.0) * 40.0 + noise) & 0xFF);
            }
        }
    }
    gif.setGlobalPaletteExists(true);
    gif.setGlobalPaletteEntries(256);
    for (int i = 0; i < 256; ++i) {
        uint8_t* e = gif.lpGlobalPalette() + 4 * i;
        e[0] = uint8_t(i);
        e[1] = uint8_t(255 - i);
        e[2] = uint8_t(i * 3);
    }
    std::vector<uint8_t> bytes;
    gif.SaveToStream(bytes);
    return bytes;
}

const std::vector<uint8_t>& input(const std::string& name) {
    static std::map<std::string, std::vector<uint8_t>> cache;
    auto it = cache.find(name);
    if (it == cache.end()) {
        std::vector<uint8_t> bytes;
        if (name == "generated-640x480x40") {
            bytes = makeAnimation();
        } else {
            std::ifstream in(kCorpus + name, std::ios::binary);
            bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        it = cache.emplace(name, std::move(bytes)).first;
    }
    return it->second;
}

int64_t framePixels(const cGIF& gif) {
    int64_t total = 0;
    for (int16_t n = 1; n <= gif.FramesCount(); ++n) {
        if (const auto image = gif.FrameDIBXOR(n)) {
            total += int64_t(image->Width()) * image->Height();
        }
    }
    return total;
}

struct Source {
    const uint8_t* data;
    size_t size;
    size_t pos;
};

int readMemory(GifFileType* gif, GifByteType* buf, int len) {
    auto* s = static_cast<Source*>(gif->UserData);
    const size_t n = std::min(size_t(len), s->size - s->pos);
    std::memcpy(buf, s->data + s->pos, n);
    s->pos += n;
    return int(n);
}

int writeMemory(GifFileType* gif, const GifByteType* buf, int len) {
    auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
    out->insert(out->end(), buf, buf + len);
    return len;
}

bool prepare(benchmark::State& state, const std::vector<uint8_t>& bytes, cGIF& gif) {
    if (bytes.empty() || !gif.LoadFromStream(bytes) || gif.FramesCount() == 0) {
        state.SkipWithError("input not available (corpus missing?)");
        return false;
    }
    return true;
}

void setRate(benchmark::State& state, double perIteration, const char* name) {
    state.counters[name] = benchmark::Counter(perIteration * double(state.iterations()) / 1e6,
                                              benchmark::Counter::kIsRate);
}

void BM_DecodeVistrel(benchmark::State& state, const std::string& name) {
    const auto& bytes = input(name);
    cGIF gif;
    if (!prepare(state, bytes, gif)) {
        return;
    }
    const double pixels = double(framePixels(gif));
    for (auto _ : state) {
        cGIF g;
        benchmark::DoNotOptimize(g.LoadFromStream(bytes));
    }
    setRate(state, pixels, "Mpixel/s");
}

void BM_DecodeGiflib(benchmark::State& state, const std::string& name) {
    const auto& bytes = input(name);
    cGIF gif;
    if (!prepare(state, bytes, gif)) {
        return;
    }
    const double pixels = double(framePixels(gif));
    for (auto _ : state) {
        Source src{bytes.data(), bytes.size(), 0};
        int error = 0;
        GifFileType* g = DGifOpen(&src, readMemory, &error);
        if (!g || DGifSlurp(g) != GIF_OK) {
            state.SkipWithError("giflib failed");
            DGifCloseFile(g, &error);
            return;
        }
        benchmark::DoNotOptimize(g->SavedImages);
        DGifCloseFile(g, &error);
    }
    setRate(state, pixels, "Mpixel/s");
}

void BM_EncodeVistrel(benchmark::State& state, const std::string& name) {
    cGIF gif;
    if (!prepare(state, input(name), gif)) {
        return;
    }
    std::vector<uint8_t> out;
    for (auto _ : state) {
        gif.SaveToStream(out);
        benchmark::DoNotOptimize(out.data());
    }
    setRate(state, double(framePixels(gif)), "MB/s");
    state.counters["bytes"] = double(out.size());
}

// giflib's writer fed with the same frames, palettes and control blocks.
size_t giflibEncode(const cGIF& gif, std::vector<uint8_t>& out, std::vector<GifPixelType>& line) {
    out.clear();
    int error = 0;
    GifFileType* g = EGifOpen(&out, writeMemory, &error);
    auto toMap = [](const uint8_t* bgr, int entries) {
        std::vector<GifColorType> c(size_t(std::max(entries, 2)));
        for (int i = 0; i < entries; ++i) {
            c[size_t(i)] = {bgr[4 * i + 2], bgr[4 * i + 1], bgr[4 * i]};
        }
        return GifMakeMapObject(int(c.size()), c.data());
    };
    ColorMapObject* global = toMap(gif.lpGlobalPalette(), gif.GlobalPaletteEntries());
    EGifSetGifVersion(g, true);
    EGifPutScreenDesc(g, uint16_t(gif.ScreenWidth()), uint16_t(gif.ScreenHeight()), 8, 0, global);
    for (int16_t n = 1; n <= gif.FramesCount(); ++n) {
        const auto image = gif.FrameDIBXOR(n);
        GraphicsControlBlock gcb{};
        gcb.DelayTime = gif.FrameDelay(n);
        gcb.DisposalMode = gif.FrameDisposalMethod(n);
        gcb.TransparentColor = gif.FrameUseTransparentColor(n) ? gif.FrameTransparentColorIndex(n)
                                                               : NO_TRANSPARENT_COLOR;
        GifByteType ext[4];
        EGifGCBToExtension(&gcb, ext);
        EGifPutExtension(g, GRAPHICS_EXT_FUNC_CODE, 4, ext);
        ColorMapObject* local = gif.LocalPaletteUsed(n)
                                    ? toMap(gif.lpLocalPalette(n), gif.LocalPaletteEntries(n))
                                    : nullptr;
        EGifPutImageDesc(g, gif.FrameLeft(n), gif.FrameTop(n), image->Width(), image->Height(),
                         false, local);
        line.resize(size_t(image->Width()));
        for (int32_t y = 0; y < image->Height(); ++y) {
            std::memcpy(line.data(),
                        image->lpBits() + size_t(y) * size_t(image->BytesPerScanline()),
                        line.size());
            EGifPutLine(g, line.data(), image->Width());
        }
        GifFreeMapObject(local);
    }
    EGifCloseFile(g, &error);
    GifFreeMapObject(global);
    return out.size();
}

void BM_EncodeGiflib(benchmark::State& state, const std::string& name) {
    cGIF gif;
    if (!prepare(state, input(name), gif)) {
        return;
    }
    std::vector<uint8_t> out;
    std::vector<GifPixelType> line;
    for (auto _ : state) {
        benchmark::DoNotOptimize(giflibEncode(gif, out, line));
    }
    setRate(state, double(framePixels(gif)), "MB/s");
    state.counters["bytes"] = double(out.size());
}

void registerAll() {
    for (const char* name : {"harvesters.gif", "muybridge.gif", "generated-640x480x40"}) {
        const std::string file = name;
        benchmark::RegisterBenchmark(("Decode/vistrel/" + file).c_str(), BM_DecodeVistrel, file)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Decode/giflib/" + file).c_str(), BM_DecodeGiflib, file)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Encode/vistrel/" + file).c_str(), BM_EncodeVistrel, file)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Encode/giflib/" + file).c_str(), BM_EncodeGiflib, file)
            ->Unit(benchmark::kMillisecond);
    }
}

} // namespace

int main(int argc, char** argv) {
    registerAll();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
