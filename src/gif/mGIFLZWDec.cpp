#include "gif/mGIFLZWDec.h"

#include <bit>
#include <cstring>

namespace mGIFLZWDec {
namespace {

static_assert(std::endian::native == std::endian::little ||
              std::endian::native == std::endian::big);

constexpr unsigned kMaxCodes = 4096;
// Strings are copied in 16-byte chunks that may run up to 15 bytes past their end;
// the output buffer keeps this much room behind the last pixel where it can.
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

// Copies `len` bytes from an earlier, non-overlapping place of the output. The
// chunked path reads and writes up to 15 bytes beyond `len`; the caller made sure
// that stays inside the buffer and that those bytes are rewritten later.
inline void copyString(uint8_t* dst, const uint8_t* src, size_t len, bool chunked) {
    if (chunked) {
        for (size_t i = 0; i < len; i += 16) {
            uint8_t chunk[16];
            std::memcpy(chunk, src + i, 16);
            std::memcpy(dst + i, chunk, 16);
        }
    } else {
        std::memcpy(dst, src, len);
    }
}

// The LZW loop proper. Every code's string already stands somewhere in the output
// (a new code is the previous string plus the next pixel, and the two are adjacent
// in the output), so a string is written by copying it from there instead of
// walking a prefix chain pixel by pixel.
DecodeResult runLzw(uint8_t* out, size_t total, size_t cap, unsigned codeSize, const uint8_t* data,
                    size_t size, Decoder::Entry* table) {
    const unsigned clear = 1u << codeSize;
    const unsigned endCode = clear + 1;
    unsigned width = codeSize + 1;
    unsigned mask = (1u << width) - 1;
    unsigned next = clear + 2;

    uint64_t bits = 0;
    unsigned nbits = 0;
    size_t pos = 0;

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
        if (code < clear) {
            out[p] = uint8_t(code);
            len = 1;
        } else if (code > endCode && code < next) {
            const Decoder::Entry e = table[code];
            len = e.length;
            if (len > total - p) {
                std::memcpy(out + p, out + e.offset, total - p);
                return {DecodeStatus::Filled, total};
            }
            copyString(out + p, out + e.offset, len, p + len + kSlack <= cap);
        } else if (code == clear) {
            width = codeSize + 1;
            mask = (1u << width) - 1;
            next = clear + 2;
            havePrev = false;
            continue;
        } else if (code == endCode) {
            return {DecodeStatus::EndCode, p};
        } else if (code == next && havePrev) {
            // The code being defined right now: previous string plus its own first pixel.
            len = prevLen + 1;
            if (len > total - p) {
                std::memcpy(out + p, out + prevOff, total - p);
                return {DecodeStatus::Filled, total};
            }
            copyString(out + p, out + prevOff, prevLen, p + len + kSlack <= cap);
            out[p + prevLen] = out[prevOff];
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
        prevOff = p;
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

// Moves rows decoded back to back (row r at r * width) to their places in a
// padded surface, from the last row up so that nothing is overwritten before it
// has moved, and zeroes the padding.
void spreadRows(const PixelView& v) {
    const size_t w = size_t(v.width);
    const size_t s = size_t(v.stride);
    if (s == w) {
        return;
    }
    for (size_t r = size_t(v.height); r-- > 0;) {
        if (r > 0) {
            std::memmove(v.bits + r * s, v.bits + r * w, w);
        }
        std::memset(v.bits + r * s + w, 0, s - w);
    }
}

void scatterInterlaced(const PixelView& v, const uint8_t* rows) {
    const size_t w = size_t(v.width);
    const size_t s = size_t(v.stride);
    for (int pass = 0; pass < 4; ++pass) {
        for (int32_t y = kPassStart[pass]; y < v.height; y += kPassStep[pass]) {
            std::memcpy(v.bits + size_t(y) * s, rows, w);
            std::memset(v.bits + size_t(y) * s + w, 0, s - w);
            rows += w;
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
    const size_t surfaceBytes = size_t(target.stride) * size_t(target.height);
    if (codeSize < 1 || codeSize > 11 || (!data && size > 0)) {
        std::memset(target.bits, 0, surfaceBytes);
        return {DecodeStatus::BadCodeSize, 0};
    }

    // Sequential frames decode straight into the surface, back to back, and are
    // spread into padded rows afterwards; interlaced ones go through a scratch
    // buffer and are scattered into pass order.
    const bool direct = !interlaced || target.height <= 2;
    uint8_t* out = target.bits;
    size_t cap = surfaceBytes;
    if (!direct) {
        m_scratch.resize(total + kSlack);
        out = m_scratch.data();
        cap = m_scratch.size();
    }

    const DecodeResult r = runLzw(out, total, cap, codeSize, data, size, m_table.data());
    std::memset(out + r.pixels, 0, total - r.pixels);

    if (direct) {
        spreadRows(target);
    } else {
        scatterInterlaced(target, out);
    }
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
