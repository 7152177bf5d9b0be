// cGIF: properties, frame list editing and file loading. The block parser is in
// cGIFReader.cpp, drawing in cGIFFrames.cpp, writing in cGIFWriter.cpp.

#include "gif/cGIF.h"

#include "imaging/Units.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <utility>

namespace {

uint32_t rgbOf(const std::array<uint8_t, 1024>& palette, uint8_t entry) {
    const size_t at = size_t(entry) * 4;
    return uint32_t(palette[at + 2]) | (uint32_t(palette[at + 1]) << 8) |
           (uint32_t(palette[at]) << 16);
}

int16_t readWord(const std::array<uint8_t, 7>& screen, size_t at) {
    return int16_t(uint16_t(screen[at] | (screen[at + 1] << 8)));
}

void writeWord(std::array<uint8_t, 7>& screen, size_t at, int16_t value) {
    screen[at] = uint8_t(uint16_t(value) & 0xFF);
    screen[at + 1] = uint8_t(uint16_t(value) >> 8);
}

} // namespace

GIFFrame* cGIF::frame(int16_t nFrame) {
    if (nFrame < 1 || nFrame > FramesCount()) {
        return nullptr;
    }
    return &m_frames[size_t(nFrame) - 1];
}

const GIFFrame* cGIF::frame(int16_t nFrame) const {
    if (nFrame < 1 || nFrame > FramesCount()) {
        return nullptr;
    }
    return &m_frames[size_t(nFrame) - 1];
}

bool cGIF::readFile(const std::string& FileName, std::vector<uint8_t>& bytes) {
    // Only regular files: a folder, a pipe or a device is not a GIF and reading one
    // could fail midway or never end.
    try {
        const std::filesystem::path path(FileName);
        std::error_code ec;
        if (!std::filesystem::is_regular_file(path, ec)) {
            return false;
        }
        const uintmax_t length = std::filesystem::file_size(path, ec);
        if (ec) {
            return false;
        }
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            return false;
        }
        bytes.resize(size_t(length));
        in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(length));
        return uintmax_t(in.gcount()) == length;
    } catch (...) {
        return false;
    }
}

bool cGIF::LoadFromFile(const std::string& FileName) {
    std::vector<uint8_t> bytes;
    if (!readFile(FileName, bytes)) {
        return false;
    }
    if (bytes.empty()) {
        Destroy();
        return false;
    }
    return LoadFromStream(bytes);
}

void cGIF::Destroy() {
    m_signature = {};
    m_version = {};
    m_screen = {};
    m_globalPalette = {};
    m_globalExists = false;
    m_globalSorted = false;
    m_globalEntries = 0;
    m_animationLoops = 0;
    m_frames.clear();
}

bool cGIF::buildFrameSurfaces(GIFFrame& f, int32_t width, int32_t height) {
    auto image = std::make_shared<cDIB>();
    auto mask = std::make_shared<cDIB>();
    if (!image->Create(width, height, 8) || !mask->Create(width, height, 1)) {
        f.DIBXOR.reset();
        f.DIBAND.reset();
        return false;
    }
    mask->SetPalette({0, 0, 0, 0, 255, 255, 255, 0});
    f.DIBXOR = std::move(image);
    f.DIBAND = std::move(mask);
    return true;
}

void cGIF::FrameInsert(int16_t nFrame, int16_t Width, int16_t Height) {
    if (FramesCount() >= MaxFrames) {
        return;
    }
    GIFFrame fresh;
    buildFrameSurfaces(fresh, Width, Height);
    const size_t n = m_frames.size();
    const size_t at = (nFrame < 1 || size_t(nFrame) > n) ? n : size_t(nFrame) - 1;
    m_frames.insert(m_frames.begin() + std::ptrdiff_t(at), std::move(fresh));
    if (m_frames.size() == 1) {
        setScreenWidth(Width);
        setScreenHeight(Height);
    }
}

void cGIF::FrameRemove(int16_t nFrame) {
    if (frame(nFrame)) {
        m_frames.erase(m_frames.begin() + (nFrame - 1));
    }
}

void cGIF::FrameAppend(GIFFrame frame) {
    if (FramesCount() < MaxFrames) {
        m_frames.push_back(std::move(frame));
    }
}

void cGIF::FrameMoveUp(int16_t nFrame) {
    if (nFrame >= 2 && nFrame <= FramesCount()) {
        std::swap(m_frames[size_t(nFrame) - 2], m_frames[size_t(nFrame) - 1]);
    }
}

void cGIF::FrameMoveDown(int16_t nFrame) {
    if (nFrame >= 1 && nFrame < FramesCount()) {
        std::swap(m_frames[size_t(nFrame) - 1], m_frames[size_t(nFrame)]);
    }
}

int16_t cGIF::ScreenWidth() const {
    return readWord(m_screen, 0);
}
void cGIF::setScreenWidth(int16_t New_ScreenWidth) {
    writeWord(m_screen, 0, New_ScreenWidth);
}
int16_t cGIF::ScreenHeight() const {
    return readWord(m_screen, 2);
}
void cGIF::setScreenHeight(int16_t New_ScreenHeight) {
    writeWord(m_screen, 2, New_ScreenHeight);
}

float cGIF::ScreenPixelAspectRatio() const {
    return (float(m_screen[6]) + 15.0f) / 64.0f;
}

bool cGIF::setScreenPixelAspectRatio(float New_ScreenPixelAspectRatio) {
    const double v = units::RoundHalfEven(double(New_ScreenPixelAspectRatio) * 64.0 - 15.0);
    if (!(v >= 0.0 && v <= 255.0)) {
        return false;
    }
    m_screen[6] = uint8_t(v);
    return true;
}

uint32_t cGIF::GlobalPaletteRGBEntry(uint8_t nEntry) const {
    return m_globalExists ? rgbOf(m_globalPalette, nEntry) : 0;
}

std::shared_ptr<cDIB> cGIF::FrameDIBXOR(int16_t nFrame) const {
    const GIFFrame* f = frame(nFrame);
    return f ? f->DIBXOR : nullptr;
}

std::shared_ptr<cDIB> cGIF::FrameDIBAND(int16_t nFrame) const {
    const GIFFrame* f = frame(nFrame);
    return f ? f->DIBAND : nullptr;
}

// Getter and setter pairs of the frame fields: out of range reads give the
// field's zero, writes do nothing.
#define GIF_FRAME_PROPERTY(Type, Name, setName, Field)                                             \
    Type cGIF::Name(int16_t nFrame) const {                                                        \
        const GIFFrame* f = frame(nFrame);                                                         \
        return f ? Type(f->Field) : Type{};                                                        \
    }                                                                                              \
    void cGIF::setName(int16_t nFrame, Type value) {                                               \
        if (GIFFrame* f = frame(nFrame)) {                                                         \
            f->Field = decltype(f->Field)(value);                                                  \
        }                                                                                          \
    }

GIF_FRAME_PROPERTY(int16_t, FrameDelay, setFrameDelay, Delay)
GIF_FRAME_PROPERTY(bool, FrameInterlaced, setFrameInterlaced, Interlaced)
GIF_FRAME_PROPERTY(int16_t, FrameLeft, setFrameLeft, Left)
GIF_FRAME_PROPERTY(int16_t, FrameTop, setFrameTop, Top)
GIF_FRAME_PROPERTY(int32_t, FrameDisposalMethod, setFrameDisposalMethod, DisposalMethod)
GIF_FRAME_PROPERTY(bool, FrameUseTransparentColor, setFrameUseTransparentColor, UseTransparentColor)
GIF_FRAME_PROPERTY(uint8_t, FrameTransparentColorIndex, setFrameTransparentColorIndex,
                   TransparentColorIndex)
GIF_FRAME_PROPERTY(bool, FrameUserInput, setFrameUserInput, UserInput)
GIF_FRAME_PROPERTY(bool, LocalPaletteUsed, setLocalPaletteUsed, LocalPaletteUsed)
GIF_FRAME_PROPERTY(bool, LocalPaletteSorted, setLocalPaletteSorted, LocalPaletteSorted)
GIF_FRAME_PROPERTY(int16_t, LocalPaletteEntries, setLocalPaletteEntries, LocalPaletteEntries)

#undef GIF_FRAME_PROPERTY

uint8_t* cGIF::lpLocalPalette(int16_t nFrame) {
    GIFFrame* f = frame(nFrame);
    return f ? f->Palette.data() : nullptr;
}

const uint8_t* cGIF::lpLocalPalette(int16_t nFrame) const {
    const GIFFrame* f = frame(nFrame);
    return f ? f->Palette.data() : nullptr;
}

uint32_t cGIF::LocalPaletteRGBEntry(int16_t nFrame, uint8_t nEntry) const {
    const GIFFrame* f = frame(nFrame);
    return f ? rgbOf(f->Palette, nEntry) : 0;
}
