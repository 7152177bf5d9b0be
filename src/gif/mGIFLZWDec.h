#pragma once
// LZW decompression of one GIF frame's image data into 8-bit palette indices.

#include <cstddef>
#include <cstdint>
#include <memory>
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

/// A 1-bit mask beside the target, rows `stride` bytes apart, leftmost pixel in
/// the most significant bit. Decode sets a bit exactly where the decoded index
/// equals `index` and clears every other bit of the mask's rows (padding too).
struct MaskView {
    uint8_t* bits = nullptr; ///< null: no mask is built
    int32_t stride = 0;      ///< at least (target width + 7) / 8
    uint8_t index = 0;
};

struct DecodeResult {
    DecodeStatus status = DecodeStatus::BadView;
    size_t pixels = 0; ///< pixels decoded, in data order
};

/// An LZW decoder. Between calls it keeps only scratch memory (the string table
/// and a work buffer of one frame's pixels, from which the rows are stored into
/// the surface), so one instance per thread lets several files decode at the
/// same time. Reuse one instance for the frames of a file: the work buffer only
/// grows, so equal frames cost no allocation.
class Decoder {
public:
    Decoder();

    /// Decodes `size` bytes of concatenated sub-block data (no size bytes) with
    /// the given minimum code size into `target`, in interlaced row order when
    /// `interlaced`. Never reads outside [data, data + size) nor writes outside
    /// the view's rows.
    DecodeResult Decode(const PixelView& target, bool interlaced, uint8_t codeSize,
                        const uint8_t* data, size_t size);
    /// As above, and fills `mask` (when its bits are set) in the same pass that
    /// stores the rows; never writes outside the mask's `target.height` rows of
    /// (width + 7) / 8 bytes.
    DecodeResult Decode(const PixelView& target, const MaskView& mask, bool interlaced,
                        uint8_t codeSize, const uint8_t* data, size_t size);

    struct Entry {
        uint32_t offset; // where the code's string already stands in the output
        uint32_t length; // its length in pixels
    };

private:
    std::vector<Entry> m_table;
    std::unique_ptr<uint8_t[]> m_scratch; // left uninitialised: every byte used is written first
    size_t m_capacity = 0;
};

/// Convenience for one-off decodes with a temporary decoder.
DecodeResult DecodeFrame(const PixelView& target, bool interlaced, uint8_t codeSize,
                         const uint8_t* data, size_t size);

} // namespace mGIFLZWDec
