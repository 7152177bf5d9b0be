#pragma once
// cGIFLoader: a GIF file loaded frame by frame, so that a viewer can show the
// first frame while the others are still being decoded (on another thread: the
// loader is used by one thread at a time and shares nothing with the model it
// filled the header of). The frames it gives, appended in order to that model,
// make exactly the model LoadFromStream makes of the same bytes.

#include "gif/cGIF.h"

#include <cstdint>
#include <cstdio>
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

    /// As Begin, with a file, of which it reads only as much as the header and
    /// frame 1 take (a small file whole): the count, area and loop count stay
    /// unknown (Known false) until ReadRest. False, `gif` unchanged, when the file
    /// cannot be opened; false with `gif` empty for an empty file. A file that
    /// turns out shorter than it was is read as cut short there.
    bool BeginFile(const std::string& FileName, cGIF& gif);
    /// Reads the rest of the file and passes once over it for the count, area and
    /// loop count. Next calls it itself before frame 2.
    void ReadRest();
    /// True once the count, area and loop count are known.
    bool Known() const { return m_known; }
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
    /// The file's loop count (as AnimationLoops after a whole load), once known.
    int16_t AnimationLoops() const { return m_loops; }

private:
    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };

    bool readTo(size_t want);
    bool firstFrameWithin(const cGIF& gif) const;
    void scan(cGIF& gif);
    void startReader(cGIF& gif, bool count);

    std::vector<uint8_t> m_bytes;                // Begin's stream
    std::unique_ptr<uint8_t[]> m_file;           // a file's bytes, filled as far as m_have
    std::unique_ptr<std::FILE, FileCloser> m_in; // until the file is read whole
    const uint8_t* m_data = nullptr;
    size_t m_have = 0;
    size_t m_size = 0;
    bool m_known = false;
    int16_t m_loops = 0;
    cGIF m_staging; // where the reader puts each frame before Next hands it out
    std::unique_ptr<cGIFReader> m_reader;
    int16_t m_expected = 0;
    int32_t m_left = 0;
    int32_t m_top = 0;
    int32_t m_right = 0;
    int32_t m_bottom = 0;
};
