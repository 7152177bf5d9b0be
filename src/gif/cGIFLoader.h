#pragma once
// cGIFLoader: a GIF file loaded frame by frame, so that a viewer can show the
// first frame while the others are still being decoded (on another thread: the
// loader is used by one thread at a time and shares nothing with the model it
// filled the header of). The frames it gives, appended in order to that model,
// make exactly the model LoadFromStream makes of the same bytes.

#include "gif/cGIF.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class cGIFReader;

class cGIFLoader {
public:
    cGIFLoader();
    ~cGIFLoader();
    cGIFLoader(const cGIFLoader&) = delete;
    cGIFLoader& operator=(const cGIFLoader&) = delete;

    /// As Begin, with the bytes of a file: false, `gif` unchanged, when the file
    /// cannot be read; false with `gif` empty for an empty file.
    bool BeginFile(const std::string& FileName, cGIF& gif);
    /// Takes the bytes of a whole file, empties `gif` and gives it the header
    /// (signature, logical screen, global colour table, loop count) and its
    /// surface budget to the loader. False, as LoadFromStream, for a bad
    /// signature or version. Passes once over the blocks (no decoding) to learn
    /// how many frames will come and where they draw.
    bool Begin(std::vector<uint8_t> stream, cGIF& gif);

    /// Decodes the next frame into `frame`; false when none is left.
    bool Next(GIFFrame& frame);
    /// False once Next has given every frame (or before Begin).
    bool Loading() const { return m_reader != nullptr; }

    /// Frames the whole load gives; fewer only when memory runs out while decoding.
    int16_t FramesExpected() const { return m_expected; }
    /// The union of the frames' rectangles on the logical screen (frames without
    /// surfaces left out); right <= left when there is none.
    int32_t CoveredLeft() const { return m_left; }
    int32_t CoveredTop() const { return m_top; }
    int32_t CoveredRight() const { return m_right; }
    int32_t CoveredBottom() const { return m_bottom; }

private:
    std::vector<uint8_t> m_bytes;
    cGIF m_staging; // where the reader puts each frame before Next hands it out
    std::unique_ptr<cGIFReader> m_reader;
    int16_t m_expected = 0;
    int32_t m_left = 0;
    int32_t m_top = 0;
    int32_t m_right = 0;
    int32_t m_bottom = 0;
};
