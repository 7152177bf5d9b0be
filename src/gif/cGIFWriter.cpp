// Writing the model as a GIF89a file, and the safe replacement of the target.

#include "gif/cGIF.h"
#include "gif/mGIFLZWEnc.h"

#include <filesystem>
#include <fstream>
#include <new>
#include <random>
#include <system_error>

namespace {

void putWord(std::vector<uint8_t>& out, int32_t v) {
    out.push_back(uint8_t(uint32_t(v) & 0xFF));
    out.push_back(uint8_t((uint32_t(v) >> 8) & 0xFF));
}

// Smallest k >= 1 with 2^k >= entries; 0 when the table cannot be written.
unsigned tableBits(int32_t entries) {
    if (entries > 256) {
        return 0;
    }
    unsigned k = 1;
    while ((1 << k) < entries) {
        ++k;
    }
    return k;
}

void putTable(std::vector<uint8_t>& out, const std::array<uint8_t, 1024>& palette, int32_t entries,
              unsigned bits) {
    const int32_t size = 1 << bits;
    for (int32_t i = 0; i < size; ++i) {
        if (i < entries) {
            out.push_back(palette[size_t(i) * 4 + 2]);
            out.push_back(palette[size_t(i) * 4 + 1]);
            out.push_back(palette[size_t(i) * 4]);
        } else {
            out.insert(out.end(), 3, 0);
        }
    }
}

mGIFLZWEnc::PixelSource sourceOf(const GIFFrame& f) {
    if (!f.DIBXOR || !f.DIBXOR->hDIB() || f.DIBXOR->bpp() != 8) {
        return {};
    }
    const cDIB& d = *f.DIBXOR;
    return {d.lpBits(), d.Width(), d.Height(), d.BytesPerScanline()};
}

// One frame: graphic control extension, image descriptor, local table, data.
bool putFrame(std::vector<uint8_t>& out, const GIFFrame& f, unsigned kg) {
    if (f.DisposalMethod > 7) {
        return false;
    }
    const uint8_t gce =
        uint8_t((f.UseTransparentColor ? 1 : 0) | (f.UserInput ? 2 : 0) | (f.DisposalMethod << 2));
    out.insert(out.end(), {0x21, 0xF9, 0x04, gce});
    putWord(out, f.Delay);
    out.insert(out.end(), {f.UseTransparentColor ? f.TransparentColorIndex : uint8_t(0), 0x00});

    unsigned kl = 0;
    if (f.LocalPaletteUsed) {
        kl = tableBits(f.LocalPaletteEntries);
        if (kl == 0) {
            return false;
        }
    }
    const mGIFLZWEnc::PixelSource src = sourceOf(f);
    out.push_back(0x2C);
    putWord(out, f.Left);
    putWord(out, f.Top);
    putWord(out, src.bits ? src.width : 0);
    putWord(out, src.bits ? src.height : 0);
    const unsigned sizeField = f.LocalPaletteUsed ? kl - 1 : (kg > 0 ? kg - 1 : 0);
    out.push_back(uint8_t((f.LocalPaletteUsed ? 0x80 : 0) | (f.Interlaced ? 0x40 : 0) |
                          (f.LocalPaletteSorted ? 0x20 : 0) | sizeField));
    if (f.LocalPaletteUsed) {
        putTable(out, f.Palette, f.LocalPaletteEntries, kl);
    }
    const uint8_t codeSize = mGIFLZWEnc::CodeSizeFor(src, f.LocalPaletteUsed ? kl : kg);
    out.push_back(codeSize);
    mGIFLZWEnc::EncodeFrame(src, codeSize, f.Interlaced, out);
    out.push_back(0x00);
    return true;
}

std::filesystem::path temporaryBeside(const std::filesystem::path& target) {
    std::random_device rd;
    std::string name(1, '.');
    name.append(target.filename().string());
    name.append(".").append(std::to_string(rd())).append(std::to_string(rd())).append(".tmp");
    return target.parent_path() / name;
}

} // namespace

bool cGIF::SaveToStream(std::vector<uint8_t>& stream) {
    try {
        return writeTo(stream);
    } catch (const std::bad_alloc&) {
        stream.clear();
        return false;
    }
}

bool cGIF::writeTo(std::vector<uint8_t>& stream) {
    stream.clear();
    unsigned kg = 0;
    if (m_globalExists) {
        kg = tableBits(m_globalEntries);
        if (kg == 0) {
            return false;
        }
    }
    m_screen[4] = m_globalExists
                      ? uint8_t(0x80 | ((kg - 1) << 4) | (m_globalSorted ? 0x08 : 0) | (kg - 1))
                      : 0;
    const bool animated = !m_frames.empty();
    const char* header = animated ? "GIF89a" : "GIF87a";
    stream.insert(stream.end(), header, header + 6);
    stream.insert(stream.end(), m_screen.begin(), m_screen.end());
    if (m_globalExists) {
        putTable(stream, m_globalPalette, m_globalEntries, kg);
    }
    if (animated) {
        static const char app[] = "\x21\xFF\x0BNETSCAPE2.0\x03\x01";
        stream.insert(stream.end(), app, app + 16);
        putWord(stream, m_animationLoops);
        stream.push_back(0x00);
    }
    for (const GIFFrame& f : m_frames) {
        if (!putFrame(stream, f, kg)) {
            stream.clear();
            return false;
        }
    }
    stream.push_back(0x3B);
    return true;
}

bool cGIF::Save(const std::string& FileName) {
    std::vector<uint8_t> bytes;
    if (FileName.empty() || !SaveToStream(bytes)) {
        return false;
    }
    // The target is replaced only by a complete file; until the rename it stays
    // as it was.
    std::filesystem::path temp;
    try {
        const std::filesystem::path target(FileName);
        temp = temporaryBeside(target);
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        out.close();
        if (!out) {
            throw std::ios_base::failure("incomplete write");
        }
        std::filesystem::rename(temp, target);
        return true;
    } catch (...) {
        if (!temp.empty()) {
            std::error_code ignored;
            std::filesystem::remove(temp, ignored);
        }
        return false;
    }
}
