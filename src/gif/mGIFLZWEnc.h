#pragma once
// LZW compression of one GIF frame's 8-bit palette indices into data sub-blocks.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mGIFLZWEnc {

/// A read-only 8-bit surface seen as rows: `bits` is the top row, rows are
/// `stride` bytes apart (stride >= width). Not owned.
struct PixelSource {
    const uint8_t* bits = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t stride = 0;
};

/// Largest data sub-block the encoder writes (the writer's packets hold 254 bytes).
inline constexpr size_t kSubBlockSize = 254;

/// The highest palette index that occurs in the source (0 for an empty source).
uint8_t HighestIndex(const PixelSource& src);

/// Smallest LZW minimum code size (2..8) that can carry every index of the source
/// and a colour table of 2^tableBits entries.
uint8_t CodeSizeFor(const PixelSource& src, unsigned tableBits);

/// Compresses the source with the given minimum code size (2..8; the caller makes
/// sure every index is below 2^codeSize, see CodeSizeFor) and appends the data as
/// sub-blocks of at most kSubBlockSize bytes to `out`, without the closing
/// terminator. Rows are taken in interlaced order when `interlaced`. An empty
/// source appends nothing. The encoder keeps no state between calls.
void EncodeFrame(const PixelSource& src, uint8_t codeSize, bool interlaced,
                 std::vector<uint8_t>& out);

} // namespace mGIFLZWEnc
