#include "gif/mGIFLZWEnc.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace mGIFLZWEnc {
namespace {

constexpr unsigned kMaxCodes = 4096;
constexpr unsigned kHashBits = 13;
constexpr unsigned kHashSize = 1u << kHashBits;
constexpr uint32_t kEmpty = 0xFFFFFFFFu;

constexpr int32_t kPassStart[4] = {0, 4, 2, 1};
constexpr int32_t kPassStep[4] = {8, 8, 4, 2};

// Packs codes least significant bit first into a flat byte stream; the stream is
// cut into sub-blocks once the frame is done.
class BitWriter {
public:
    explicit BitWriter(std::vector<uint8_t>& buf) : m_buf(buf) {}

    void put(unsigned code, unsigned width) {
        m_acc |= uint64_t(code) << m_count;
        m_count += width;
        if (m_count >= 32) {
            for (int i = 0; i < 4; ++i) {
                m_buf.push_back(uint8_t(m_acc >> (8 * i)));
            }
            m_acc >>= 32;
            m_count -= 32;
        }
    }

    void finish() {
        while (m_count > 0) {
            m_buf.push_back(uint8_t(m_acc));
            m_acc >>= 8;
            m_count = m_count > 8 ? m_count - 8 : 0;
        }
    }

private:
    std::vector<uint8_t>& m_buf;
    uint64_t m_acc = 0;
    unsigned m_count = 0;
};

// The dictionary: (prefix code, pixel) -> code, open addressing with linear probing.
// The layout of the table does not change the output, only the speed.
struct Dictionary {
    uint32_t keys[kHashSize];
    uint16_t codes[kHashSize];

    void clear() { std::memset(keys, 0xFF, sizeof keys); }

    static unsigned slotOf(uint32_t key) { return (key * 0x9E3779B1u) >> (32 - kHashBits); }
};

class Compressor {
public:
    Compressor(uint8_t codeSize, std::vector<uint8_t>& stream)
        : m_bits(stream), m_initialWidth(codeSize + 1u), m_clear(1u << codeSize) {
        m_dict = std::make_unique<Dictionary>();
        m_width = m_initialWidth;
        m_next = m_clear + 2;
        m_dict->clear();
        output(m_clear);
    }

    // Feeds one row; the first pixel of the frame only starts the first string.
    void row(const uint8_t* px, int32_t width) {
        int32_t x = 0;
        if (!m_started) {
            m_prefix = px[0];
            m_started = true;
            x = 1;
        }
        Dictionary& d = *m_dict;
        unsigned prefix = m_prefix;
        for (; x < width; ++x) {
            const unsigned c = px[x];
            const uint32_t key = (uint32_t(prefix) << 8) | c;
            unsigned slot = Dictionary::slotOf(key);
            while (d.keys[slot] != kEmpty && d.keys[slot] != key) {
                slot = (slot + 1) & (kHashSize - 1);
            }
            if (d.keys[slot] == key) {
                prefix = d.codes[slot];
                continue;
            }
            output(prefix);
            prefix = c;
            if (m_next < kMaxCodes) {
                d.keys[slot] = key;
                d.codes[slot] = uint16_t(m_next++);
            } else {
                d.clear();
                m_next = m_clear + 2;
                output(m_clear);
                m_width = m_initialWidth;
            }
        }
        m_prefix = prefix;
    }

    void finish() {
        if (m_started) {
            output(m_prefix);
        }
        output(m_clear + 1);
        m_bits.finish();
    }

private:
    // The width grows once the next code to assign no longer fits, at the same
    // point of the stream where the decoder grows it.
    void output(unsigned code) {
        m_bits.put(code, m_width);
        if (m_next > (1u << m_width) - 1 && m_width < 12) {
            ++m_width;
        }
    }

    BitWriter m_bits;
    std::unique_ptr<Dictionary> m_dict;
    unsigned m_initialWidth;
    unsigned m_clear;
    unsigned m_width = 0;
    unsigned m_next = 0;
    unsigned m_prefix = 0;
    bool m_started = false;
};

void appendSubBlocks(const std::vector<uint8_t>& stream, std::vector<uint8_t>& out) {
    const size_t blocks = (stream.size() + kSubBlockSize - 1) / kSubBlockSize;
    const size_t base = out.size();
    out.resize(base + stream.size() + blocks);
    uint8_t* dst = out.data() + base;
    for (size_t at = 0; at < stream.size(); at += kSubBlockSize) {
        const size_t n = std::min(kSubBlockSize, stream.size() - at);
        *dst++ = uint8_t(n);
        std::memcpy(dst, stream.data() + at, n);
        dst += n;
    }
}

bool isEmpty(const PixelSource& src) {
    return !src.bits || src.width <= 0 || src.height <= 0 || src.stride < src.width;
}

} // namespace

uint8_t HighestIndex(const PixelSource& src) {
    if (isEmpty(src)) {
        return 0;
    }
    uint8_t highest = 0;
    for (int32_t y = 0; y < src.height; ++y) {
        const uint8_t* row = src.bits + size_t(y) * size_t(src.stride);
        for (int32_t x = 0; x < src.width; ++x) {
            highest = std::max(highest, row[x]);
        }
    }
    return highest;
}

uint8_t CodeSizeFor(const PixelSource& src, unsigned tableBits) {
    unsigned size = std::clamp(tableBits, 2u, 8u);
    const unsigned highest = HighestIndex(src);
    while (size < 8 && highest >= (1u << size)) {
        ++size;
    }
    return uint8_t(size);
}

void EncodeFrame(const PixelSource& src, uint8_t codeSize, bool interlaced,
                 std::vector<uint8_t>& out) {
    if (isEmpty(src)) {
        return;
    }
    codeSize = std::clamp<uint8_t>(codeSize, 2, 8);
    std::vector<uint8_t> stream;
    stream.reserve(size_t(src.width) * size_t(src.height) / 2 + 64);
    Compressor lzw(codeSize, stream);
    const size_t stride = size_t(src.stride);
    if (interlaced) {
        for (int pass = 0; pass < 4; ++pass) {
            for (int32_t y = kPassStart[pass]; y < src.height; y += kPassStep[pass]) {
                lzw.row(src.bits + size_t(y) * stride, src.width);
            }
        }
    } else {
        for (int32_t y = 0; y < src.height; ++y) {
            lzw.row(src.bits + size_t(y) * stride, src.width);
        }
    }
    lzw.finish();
    appendSubBlocks(stream, out);
}

} // namespace mGIFLZWEnc
