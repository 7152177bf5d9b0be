#pragma once
// LZW decompression of one GIF frame's image data into 8-bit palette indices.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mGIFLZWDec {

/// A writable 8-bit surface seen as rows: `bits` is the top row, rows are `stride`
/// bytes apart (stride >= width). The view does not own the memory.
struct PixelView {
    uint8_t* bits = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t stride = 0;
};

/// How the decoding of a frame ended. In every case the whole surface has been
/// written: pixels that were not decoded are palette index 0, row padding is 0.
enum class DecodeStatus {
    EndCode,     ///< the end-of-information code was read
    Filled,      ///< every pixel of the frame was written; later data are ignored
    DataEnded,   ///< the data ran out before the end code (a truncated frame)
    BadCode,     ///< a code above the next free code; decoding stopped there
    BadCodeSize, ///< the minimum code size is outside 1..11; nothing decoded
    BadView,     ///< the view has no memory or a non-positive size; nothing written
};

struct DecodeResult {
    DecodeStatus status = DecodeStatus::BadView;
    size_t pixels = 0; ///< pixels decoded, in data order
};

/// An LZW decoder. Between calls it keeps only scratch memory (the string table
/// and a work buffer of one frame's pixels, from which the rows are stored into
/// the surface), so one instance per thread lets several files decode at the
/// same time. Reuse one instance for the frames of a file.
class Decoder {
public:
    Decoder();

    /// Decodes `size` bytes of concatenated sub-block data (no size bytes) with
    /// the given minimum code size into `target`, in interlaced row order when
    /// `interlaced`. Never reads outside [data, data + size) nor writes outside
    /// the view's rows.
    DecodeResult Decode(const PixelView& target, bool interlaced, uint8_t codeSize,
                        const uint8_t* data, size_t size);

    struct Entry {
        uint32_t offset; // where the code's string already stands in the output
        uint32_t length; // its length in pixels
    };

private:
    std::vector<Entry> m_table;
    std::vector<uint8_t> m_scratch;
};

/// Convenience for one-off decodes with a temporary decoder.
DecodeResult DecodeFrame(const PixelView& target, bool interlaced, uint8_t codeSize,
                         const uint8_t* data, size_t size);

/// Row of the frame that the `index`-th decoded row (0-based, data order) lands on,
/// following the four-pass GIF interlace for any height.
int32_t InterlacedRow(int32_t index, int32_t height);

} // namespace mGIFLZWDec
