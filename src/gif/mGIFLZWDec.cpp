#include "gif/mGIFLZWDec.h"

#include <bit>
#include <cstring>

namespace mGIFLZWDec {
namespace {

constexpr unsigned kMaxCodes = 4096;
// The work buffer starts with the 256 byte values, so that a literal code is a
// one-byte string like any other and takes the same copy path; the frame's
// pixels follow, back to back.
constexpr size_t kLiterals = 256;
// Strings are copied in 16-byte chunks that may run up to 15 bytes past their end.
constexpr size_t kSlack = 16;

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

// The LZW loop proper. Every code's string already stands somewhere in the buffer
// (a new code is the previous string plus the next pixel, and the two are adjacent
// in the output), so a string is written by copying it from there instead of
// walking a prefix chain pixel by pixel. Offsets are from the buffer's start.
DecodeResult runLzw(uint8_t* buf, size_t total, unsigned codeSize, const uint8_t* data, size_t size,
                    Decoder::Entry* table) {
    const unsigned clear = 1u << codeSize;
    const unsigned endCode = clear + 1;
    for (unsigned c = 0; c < clear; ++c) {
        table[c] = {uint32_t(c & 0xFF), 1};
    }
    unsigned width = codeSize + 1;
    unsigned mask = (1u << width) - 1;
    unsigned next = clear + 2;

    uint64_t bits = 0;
    unsigned nbits = 0;
    size_t pos = 0;

    uint8_t* const out = buf + kLiterals;
    size_t p = 0;
    size_t prevOff = 0;
    size_t prevLen = 0;
    bool havePrev = false;

    for (;;) {
        if (nbits < width) {
            if (pos + 8 <= size) {
                // Whole-word refill: bits above nbits already hold the same data, so
                // OR-ing the word again is harmless.
                bits |= loadLittle64(data + pos) << nbits;
                pos += (63 - nbits) >> 3;
                nbits |= 56;
            } else {
                while (nbits <= 56 && pos < size) {
                    bits |= uint64_t(data[pos++]) << nbits;
                    nbits += 8;
                }
                if (nbits < width) {
                    return {DecodeStatus::DataEnded, p};
                }
            }
        }
        const unsigned code = unsigned(bits) & mask;
        bits >>= width;
        nbits -= width;

        size_t len;
        if (code < next) {
            if (code - clear <= 1) {
                if (code == endCode) {
                    return {DecodeStatus::EndCode, p};
                }
                width = codeSize + 1;
                mask = (1u << width) - 1;
                next = clear + 2;
                havePrev = false;
                continue;
            }
            const Decoder::Entry e = table[code];
            len = e.length;
            if (len > total - p) {
                std::memcpy(out + p, buf + e.offset, total - p);
                return {DecodeStatus::Filled, total};
            }
            copyChunks(out + p, buf + e.offset, len);
        } else if (code == next && havePrev) {
            // The code being defined right now: previous string plus its own first pixel.
            len = prevLen + 1;
            if (len > total - p) {
                std::memcpy(out + p, buf + prevOff, total - p);
                return {DecodeStatus::Filled, total};
            }
            copyChunks(out + p, buf + prevOff, prevLen);
            out[p + prevLen] = buf[prevOff];
        } else {
            return {DecodeStatus::BadCode, p};
        }

        // A full table keeps its entries until the next clear code (deferred clear).
        if (havePrev && next < kMaxCodes) {
            table[next] = {uint32_t(prevOff), uint32_t(prevLen + 1)};
            ++next;
        }
        if (next > mask && width < 12) {
            ++width;
            mask = (1u << width) - 1;
        }
        prevOff = kLiterals + p;
        prevLen = len;
        havePrev = true;
        p += len;
        if (p >= total) {
            break;
        }
    }

    // The frame is full; a well-formed stream ends right here with the end code.
    while (nbits < width && pos < size) {
        bits |= uint64_t(data[pos++]) << nbits;
        nbits += 8;
    }
    const bool endsHere = nbits >= width && (unsigned(bits) & mask) == endCode;
    return {endsHere ? DecodeStatus::EndCode : DecodeStatus::Filled, total};
}

// Moves the rows decoded back to back into the surface (in pass order for an
// interlaced frame) and zeroes each row's padding.
void storeRows(const PixelView& v, const uint8_t* rows, bool interlaced) {
    const size_t w = size_t(v.width);
    const size_t s = size_t(v.stride);
    auto put = [&](int32_t y) {
        uint8_t* dst = v.bits + size_t(y) * s;
        std::memcpy(dst, rows, w);
        std::memset(dst + w, 0, s - w);
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

Decoder::Decoder() : m_table(kMaxCodes) {}

DecodeResult Decoder::Decode(const PixelView& target, bool interlaced, uint8_t codeSize,
                             const uint8_t* data, size_t size) {
    if (!target.bits || target.width <= 0 || target.height <= 0 || target.stride < target.width) {
        return {DecodeStatus::BadView, 0};
    }
    const size_t total = size_t(target.width) * size_t(target.height);
    if (codeSize < 1 || codeSize > 11 || (!data && size > 0)) {
        std::memset(target.bits, 0, size_t(target.stride) * size_t(target.height));
        return {DecodeStatus::BadCodeSize, 0};
    }

    m_scratch.resize(kLiterals + total + kSlack);
    uint8_t* buf = m_scratch.data();
    for (size_t i = 0; i < kLiterals; ++i) {
        buf[i] = uint8_t(i);
    }
    const DecodeResult r = runLzw(buf, total, codeSize, data, size, m_table.data());
    std::memset(buf + kLiterals + r.pixels, 0, total - r.pixels);
    storeRows(target, buf + kLiterals, interlaced);
    return r;
}

DecodeResult DecodeFrame(const PixelView& target, bool interlaced, uint8_t codeSize,
                         const uint8_t* data, size_t size) {
    Decoder d;
    return d.Decode(target, interlaced, codeSize, data, size);
}

int32_t InterlacedRow(int32_t index, int32_t height) {
    for (int pass = 0; pass < 4; ++pass) {
        const int32_t start = kPassStart[pass];
        const int32_t step = kPassStep[pass];
        const int32_t rows = start < height ? (height - start + step - 1) / step : 0;
        if (index < rows) {
            return start + index * step;
        }
        index -= rows;
    }
    return -1;
}

} // namespace mGIFLZWDec
