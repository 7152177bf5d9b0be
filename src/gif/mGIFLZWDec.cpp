#include "gif/mGIFLZWDec.h"

#include <bit>
#include <cstring>
#include <new>

namespace mGIFLZWDec {
namespace {

constexpr unsigned kMaxCodes = 4096;
// The work buffer starts with the 256 byte values, so that a literal code is a
// one-byte string like any other and takes the same copy path; the frame's
// pixels follow, back to back.
constexpr size_t kLiterals = 256;
// After the frame's pixels: room for the longest string (fewer than 4096 pixels)
// plus the 15 bytes a chunked copy may run over, so that a string is copied whole
// before the loop asks whether the frame is full - one test per code, not two.
constexpr size_t kSlack = kMaxCodes + 16;

constexpr int32_t kPassStart[4] = {0, 4, 2, 1};
constexpr int32_t kPassStep[4] = {8, 8, 4, 2};

inline uint64_t loadLittle64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
    if constexpr (std::endian::native == std::endian::big) {
        v = __builtin_bswap64(v);
    }
    return v;
}

// Copies `len` bytes from an earlier, non-overlapping place of the buffer in
// 16-byte chunks; up to 15 bytes past `len` are read and written, which the
// buffer's slack allows and later strings overwrite.
inline void copyChunks(uint8_t* dst, const uint8_t* src, size_t len) {
    size_t i = 0;
    do {
        uint8_t chunk[16];
        std::memcpy(chunk, src + i, 16);
        std::memcpy(dst + i, chunk, 16);
        i += 16;
    } while (i < len);
}

// The code stream, read little-endian a word at a time while eight bytes remain.
struct CodeReader {
    const uint8_t* data;
    size_t size;
    size_t pos = 0;
    uint64_t bits = 0;
    unsigned nbits = 0;

    // False when the data end before `width` more bits.
    bool fill(unsigned width) {
        if (nbits >= width) {
            return true;
        }
        if (pos + 8 <= size) {
            // Bits above nbits already hold the same data, so OR-ing the word
            // again is harmless.
            bits |= loadLittle64(data + pos) << nbits;
            pos += (63 - nbits) >> 3;
            nbits |= 56;
            return true;
        }
        while (nbits <= 56 && pos < size) {
            bits |= uint64_t(data[pos++]) << nbits;
            nbits += 8;
        }
        return nbits >= width;
    }

    unsigned take(unsigned width, unsigned mask) {
        const unsigned code = unsigned(bits) & mask;
        bits >>= width;
        nbits -= width;
        return code;
    }
};

// The LZW loop proper. Every code's string already stands somewhere in the buffer
// (a new code is the previous string plus the next pixel, and the two are adjacent
// in the output), so a string is written by copying it from there instead of
// walking a prefix chain pixel by pixel. Offsets are from the buffer's start.
DecodeResult runLzw(uint8_t* buf, size_t total, unsigned codeSize, CodeReader& in,
                    Decoder::Entry* table) {
    const unsigned clear = 1u << codeSize;
    const unsigned endCode = clear + 1;
    for (unsigned c = 0; c < clear; ++c) {
        table[c] = {uint32_t(c & 0xFF), 1};
    }
    uint8_t* const out = buf + kLiterals;
    size_t p = 0;
    unsigned width = 0;
    unsigned mask = 0;

    for (;;) {
        // Right after a clear code (or at the start) the table holds no strings:
        // the next code must be a literal, which becomes the first "previous".
        width = codeSize + 1;
        mask = (1u << width) - 1;
        unsigned next = clear + 2;
        unsigned code = clear;
        while (code == clear) {
            if (!in.fill(width)) {
                return {DecodeStatus::DataEnded, p};
            }
            code = in.take(width, mask);
        }
        if (code == endCode) {
            return {DecodeStatus::EndCode, p};
        }
        if (code > endCode) {
            return {DecodeStatus::BadCode, p};
        }
        if (next > mask) {
            // Only with a code size of 1: the first free code (4) needs 3 bits.
            ++width;
            mask = (1u << width) - 1;
        }
        out[p] = uint8_t(code);
        size_t prevOff = kLiterals + p;
        size_t prevLen = 1;
        p += 1;
        if (p >= total) {
            break;
        }

        for (;;) {
            if (!in.fill(width)) {
                return {DecodeStatus::DataEnded, p};
            }
            code = in.take(width, mask);
            size_t len;
            if (code < next) {
                if (code - clear <= 1) {
                    if (code == endCode) {
                        return {DecodeStatus::EndCode, p};
                    }
                    break; // clear code
                }
                const Decoder::Entry e = table[code];
                len = e.length;
                copyChunks(out + p, buf + e.offset, len);
            } else if (code == next) {
                // The code being defined right now: previous string plus its own first pixel.
                len = prevLen + 1;
                copyChunks(out + p, buf + prevOff, prevLen);
                out[p + prevLen] = buf[prevOff];
            } else {
                return {DecodeStatus::BadCode, p};
            }
            // A full table keeps its entries until the next clear code (deferred
            // clear); the table has one spare entry for the write that is not kept.
            table[next] = {uint32_t(prevOff), uint32_t(prevLen + 1)};
            next += next < kMaxCodes;
            if (next > mask && width < 12) {
                ++width;
                mask = (1u << width) - 1;
            }
            prevOff = kLiterals + p;
            prevLen = len;
            p += len;
            if (p >= total) {
                if (p > total) {
                    return {DecodeStatus::Filled, total};
                }
                break;
            }
        }
        if (p >= total) {
            break;
        }
    }

    // The frame is full; a well-formed stream ends right here with the end code.
    const bool endsHere = in.fill(width) && in.take(width, mask) == endCode;
    return {endsHere ? DecodeStatus::EndCode : DecodeStatus::Filled, total};
}

// One mask row: bit 7 of byte 0 is the leftmost pixel, set where it holds `index`.
void maskRow(uint8_t* dst, const uint8_t* src, size_t w, size_t stride, uint8_t index) {
    constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
    const uint64_t pattern = 0x0101010101010101ull * index;
    size_t x = 0;
    for (; x + 8 <= w; x += 8) {
        // 0x80 in each byte equal to the index (no false hits from carries), then
        // the eight flags gathered into one byte, first pixel highest.
        const uint64_t v = loadLittle64(src + x) ^ pattern;
        const uint64_t zero = ~(((v & kLow7) + kLow7) | v | kLow7);
        dst[x >> 3] = uint8_t((__builtin_bswap64(zero >> 7) * 0x0102040810204080ull) >> 56);
    }
    if (x < w) {
        uint8_t last = 0;
        for (size_t k = x; k < w; ++k) {
            last |= uint8_t((src[k] == index) << (7 - (k & 7)));
        }
        dst[x >> 3] = last;
    }
    const size_t used = (w + 7) / 8;
    std::memset(dst + used, 0, stride - used);
}

// Moves the rows decoded back to back into the surface (in pass order for an
// interlaced frame), zeroes each row's padding and builds the mask row from the
// same bytes while they are in cache.
void storeRows(const PixelView& v, const MaskView& m, const uint8_t* rows, bool interlaced) {
    const size_t w = size_t(v.width);
    const size_t s = size_t(v.stride);
    auto put = [&](int32_t y) {
        uint8_t* dst = v.bits + size_t(y) * s;
        std::memcpy(dst, rows, w);
        std::memset(dst + w, 0, s - w);
        if (m.bits) {
            maskRow(m.bits + size_t(y) * size_t(m.stride), rows, w, size_t(m.stride), m.index);
        }
        rows += w;
    };
    if (!interlaced) {
        for (int32_t y = 0; y < v.height; ++y) {
            put(y);
        }
        return;
    }
    for (int pass = 0; pass < 4; ++pass) {
        for (int32_t y = kPassStart[pass]; y < v.height; y += kPassStep[pass]) {
            put(y);
        }
    }
}

} // namespace

Decoder::Decoder() : m_table(kMaxCodes + 1) {}

DecodeResult Decoder::Decode(const PixelView& target, bool interlaced, uint8_t codeSize,
                             const uint8_t* data, size_t size) {
    return Decode(target, MaskView{}, interlaced, codeSize, data, size);
}

DecodeResult Decoder::Decode(const PixelView& target, const MaskView& maskView, bool interlaced,
                             uint8_t codeSize, const uint8_t* data, size_t size) {
    if (!target.bits || target.width <= 0 || target.height <= 0 || target.stride < target.width) {
        return {DecodeStatus::BadView, 0};
    }
    MaskView mask = maskView;
    if (mask.stride < (target.width + 7) / 8) {
        mask.bits = nullptr;
    }
    const size_t total = size_t(target.width) * size_t(target.height);
    const size_t need = kLiterals + total + kSlack;
    if (need > m_capacity) {
        m_scratch.reset();
        m_capacity = 0;
        m_scratch.reset(new uint8_t[need]);
        m_capacity = need;
        for (size_t i = 0; i < kLiterals; ++i) {
            m_scratch[i] = uint8_t(i);
        }
    }
    uint8_t* buf = m_scratch.get();
    DecodeResult r{DecodeStatus::BadCodeSize, 0};
    if (codeSize >= 1 && codeSize <= 11 && (data || size == 0)) {
        CodeReader in{data, size};
        r = runLzw(buf, total, codeSize, in, m_table.data());
    }
    std::memset(buf + kLiterals + r.pixels, 0, total - r.pixels);
    storeRows(target, mask, buf + kLiterals, interlaced);
    return r;
}

DecodeResult DecodeFrame(const PixelView& target, bool interlaced, uint8_t codeSize,
                         const uint8_t* data, size_t size) {
    Decoder d;
    return d.Decode(target, interlaced, codeSize, data, size);
}

} // namespace mGIFLZWDec
