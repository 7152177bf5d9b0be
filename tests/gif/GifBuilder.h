#pragma once
// Builds GIF files byte by byte for the reader and writer tests.

#include "gif/mGIFLZWEnc.h"

#include <QByteArray>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace giftest {

class GifBuilder {
public:
    explicit GifBuilder(const char* header = "GIF89a") { str(header); }

    GifBuilder& raw(std::initializer_list<int> bytes) {
        for (int v : bytes) {
            m_b.push_back(uint8_t(v));
        }
        return *this;
    }
    GifBuilder& str(const char* s) {
        while (*s) {
            m_b.push_back(uint8_t(*s++));
        }
        return *this;
    }
    GifBuilder& word(int v) { return raw({v & 0xFF, (v >> 8) & 0xFF}); }

    GifBuilder& screen(int w, int h, int packed = 0, int background = 0, int aspect = 0) {
        word(w).word(h);
        return raw({packed, background, aspect});
    }
    // Entry i is (r, g, b) = (i, 255 - i, i * 7 mod 256), so every entry differs.
    GifBuilder& table(int entries) {
        for (int i = 0; i < entries; ++i) {
            raw({i, 255 - i, (i * 7) & 0xFF});
        }
        return *this;
    }
    // Explicit colours 0xRRGGBB.
    GifBuilder& colours(std::initializer_list<uint32_t> rgb) {
        for (uint32_t c : rgb) {
            raw({int(c >> 16) & 0xFF, int(c >> 8) & 0xFF, int(c) & 0xFF});
        }
        return *this;
    }
    GifBuilder& gce(int packed, int delay, int transparent) {
        raw({0x21, 0xF9, 0x04, packed});
        word(delay);
        return raw({transparent, 0x00});
    }
    GifBuilder& netscape(int loops) {
        raw({0x21, 0xFF, 0x0B}).str("NETSCAPE2.0").raw({0x03, 0x01});
        return word(loops).raw({0x00});
    }
    GifBuilder& descriptor(int left, int top, int w, int h, int packed = 0) {
        raw({0x2C});
        word(left).word(top).word(w).word(h);
        return raw({packed});
    }
    // Code size byte, the LZW data in sub-blocks of up to 255 bytes, terminator.
    GifBuilder& data(int codeSize, const std::vector<uint8_t>& lzw) {
        raw({codeSize});
        for (size_t at = 0; at < lzw.size(); at += 255) {
            const size_t n = std::min<size_t>(255, lzw.size() - at);
            m_b.push_back(uint8_t(n));
            m_b.insert(m_b.end(), lzw.begin() + std::ptrdiff_t(at),
                       lzw.begin() + std::ptrdiff_t(at + n));
        }
        return raw({0x00});
    }
    // Code size byte and the pixels compressed by the engine's encoder, with
    // sub-blocks and terminator.
    GifBuilder& pixels(int codeSize, int w, int h, const std::vector<uint8_t>& px,
                       bool interlaced = false) {
        raw({codeSize});
        mGIFLZWEnc::EncodeFrame({px.data(), w, h, w}, uint8_t(codeSize), interlaced, m_b);
        return raw({0x00});
    }
    // A whole frame without extensions: descriptor, no local table, pixels.
    GifBuilder& frame(int left, int top, int w, int h, const std::vector<uint8_t>& px,
                      int codeSize = 2) {
        descriptor(left, top, w, h);
        return pixels(codeSize, w, h, px);
    }
    GifBuilder& trailer() { return raw({0x3B}); }

    const std::vector<uint8_t>& bytes() const { return m_b; }
    QByteArray qbytes() const {
        return QByteArray(reinterpret_cast<const char*>(m_b.data()), qsizetype(m_b.size()));
    }

private:
    std::vector<uint8_t> m_b;
};

inline std::vector<uint8_t> toVector(const QByteArray& a) {
    return std::vector<uint8_t>(a.begin(), a.end());
}

} // namespace giftest
