#pragma once
// cGIF: the in-memory model of one GIF file (GIF87a or GIF89a): the logical
// screen, the global colour table, the loop count and a list of frames numbered
// from 1, each frame decoded at load time into two surfaces, an 8-bit image of
// palette indices (DIBXOR) and a 1-bit transparency mask (DIBAND), so that
// showing a frame costs two blits and no decoding.
//
// Palettes are 1024-byte arrays of 256 entries, 4 bytes each: blue, green, red, 0.
//
// Where this engine departs from the GIF standard or from the behaviour it was
// first built with, and why:
//  - Out-of-range frame numbers (outside 1..FramesCount) and palette entries are
//    refused: getters give 0, false or an empty pointer, setters do nothing.
//  - Whole-file failures (no "GIF" signature, a version other than "87a"/"89a",
//    an unreadable file) make a load return false with the model empty. Damage
//    inside the file never does: a block cut short by the end of the data ends
//    the parse with the frames completed so far, a frame whose image data are
//    cut short or corrupt keeps the pixels decoded before the damage (the rest
//    are palette index 0) and still counts.
//  - LZW: a code above the next free code ends that frame's decoding; a full
//    string table (4096 codes, "deferred clear") keeps its entries and adds none
//    until the next clear code; minimum code sizes 1 to 11 decode, any other
//    leaves the frame at index 0; strings of any length (up to 4095 pixels) are
//    handled; decoding never reads past the data.
//  - The first code of an image need not be a clear code: it is decoded like any
//    other (dropping it, as once done, shifts every pixel of such a stream).
//  - Pixel data beyond the frame's width x height are ignored instead of being
//    written over the frame's top rows again.
//  - Interlaced frames use the standard four-pass row order for every height,
//    also for frames of 4 rows or fewer (0, 2, 1, 3 for 4 rows), when reading and
//    when writing, so that other decoders and encoders agree with this one.
//  - Extensions are read as sub-block sequences: a graphic control extension
//    takes its fields from its first sub-block (when it holds at least 4 bytes),
//    an application extension its identifier from its first sub-block; the
//    sizes in the file are trusted, so extra sub-blocks are skipped whole.
//  - A NETSCAPE2.0 block with fewer than three data bytes leaves AnimationLoops
//    unchanged.
//  - At most 32767 frames are read (FramesCount is 16-bit). The surfaces of one
//    model are held to a memory budget (1 GiB by default, setSurfaceBudget);
//    the parse stops before a frame that would pass it. A frame whose surfaces
//    cannot be made (zero or oversized dimensions) keeps no pixels, draws nothing
//    and still counts.
//  - Disposal methods above 3 are kept as read and composed like 3 (restore to
//    previous); see cGIFComposer.
//  - Frame and screen sizes are the file's unsigned 16-bit numbers wherever they
//    size or clip something (frame surfaces, ScreenCrop, the composer's canvas);
//    the properties keep their 16-bit signed interface. A logical screen that the
//    file leaves 0 wide or high is given the frames' extent by the composer.
//  - setScreenPixelAspectRatio refuses (false, byte unchanged) a value whose
//    byte would fall outside 0..255, instead of raising an overflow error.
//  - Save writes to a temporary file beside the target and renames it over the
//    target only when the whole file was written; on failure the old file stays.
//  - Save raises a frame's LZW code size when its pixels hold indices beyond its
//    colour table (so that such frames survive a round trip instead of turning
//    into a corrupt stream), and writes a model without any colour table (size
//    field 0) instead of failing.
//  - Save refuses (false) what the file format cannot hold: colour tables of more
//    than 256 entries and disposal methods above 7.
//  - The mask is built by comparing indices, not by a palette-converting blit;
//    the result is the same. A load builds it in the pass that stores the
//    decoded rows.
//  - cGIFLoader loads a file frame by frame (for a viewer that shows frame 1
//    before the others are decoded). It learns the frame count and the frames'
//    area from a first pass over the blocks that decodes nothing; a load that
//    runs out of memory midway gives fewer frames than that count.

#include "imaging/Gdi.h"
#include "imaging/cDIB.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

/// One frame of the model. A record copy shares the surfaces.
struct GIFFrame {
    std::shared_ptr<cDIB> DIBXOR; ///< 8-bpp palette indices; transparent entry black
    std::shared_ptr<cDIB> DIBAND; ///< 1-bpp mask: 1 (white) where transparent
    int16_t Left = 0;
    int16_t Top = 0;
    bool Interlaced = false;
    bool UseTransparentColor = false;
    uint8_t TransparentColorIndex = 0;
    int16_t Delay = 0; ///< hundredths of a second; file values from 32768 read negative
    uint8_t DisposalMethod = 0;
    bool UserInput = false;
    bool LocalPaletteUsed = false;
    bool LocalPaletteSorted = false;
    int16_t LocalPaletteEntries = 0;
    std::array<uint8_t, 1024> Palette{}; ///< effective palette: local, or a copy of the global
};

class cGIF {
public:
    static constexpr int16_t MaxFrames = 32767;
    static constexpr int64_t DefaultSurfaceBudget = int64_t{1} << 30;

    cGIF() = default;
    ~cGIF() = default;
    /// Copying would share every frame surface between two models; moving is fine.
    cGIF(const cGIF&) = delete;
    cGIF& operator=(const cGIF&) = delete;
    cGIF(cGIF&&) noexcept = default;
    cGIF& operator=(cGIF&&) noexcept = default;

    /// Loads a file. False, model unchanged, when the file cannot be read; false
    /// with the model empty for an empty file or a bad header; otherwise the
    /// result of LoadFromStream.
    bool LoadFromFile(const std::string& FileName);
    /// Parses a whole GIF file held in memory. Empties the model first. False
    /// only for a bad signature or version; damage further on ends the parse
    /// with what was read (see above) and the result is true.
    bool LoadFromStream(const std::vector<uint8_t>& stream);
    /// Writes the model as a GIF file (GIF89a with frames, GIF87a without). True
    /// when the whole file was written; on false an existing file is untouched.
    /// Stores the packed byte it composes into the screen descriptor.
    bool Save(const std::string& FileName);
    /// As Save, into memory: `stream` receives the file's bytes (cleared first).
    bool SaveToStream(std::vector<uint8_t>& stream);
    /// Empties the model: no frames, no palette, all fields 0.
    void Destroy();

    /// Draws frame nFrame onto hDC at its place on the logical screen, scaled by
    /// ScaleFactor and shifted by (Left, Top), with its transparency; with
    /// ScreenCrop the frame is clipped to the screen's right and bottom edges.
    void FrameDraw(gdi::HDC hDC, int16_t nFrame, int16_t Left, int16_t Top, float ScaleFactor,
                   bool ScreenCrop) const;
    /// Rebuilds the frame's mask and its image palette for TransparentColorIndex
    /// (when the frame's UseTransparentColor is set; else clears the mask).
    void FrameMask(int16_t nFrame, uint8_t TransparentColorIndex);
    /// Inserts a black Width x Height frame at nFrame (1..FramesCount+1; larger
    /// appends). The first frame of a model also sets the screen size. Does
    /// nothing when the model already holds MaxFrames frames.
    void FrameInsert(int16_t nFrame, int16_t Width, int16_t Height);
    void FrameRemove(int16_t nFrame);
    /// Appends a frame record as cGIFLoader gives it (sharing its surfaces); does
    /// nothing when the model already holds MaxFrames frames.
    void FrameAppend(GIFFrame frame);
    /// Swaps frames nFrame - 1 and nFrame (valid: 2..FramesCount).
    void FrameMoveUp(int16_t nFrame);
    /// Swaps frames nFrame and nFrame + 1 (valid: 1..FramesCount - 1).
    void FrameMoveDown(int16_t nFrame);

    /// Upper bound of the bytes all frame surfaces of one load may take.
    int64_t SurfaceBudget() const { return m_surfaceBudget; }
    void setSurfaceBudget(int64_t bytes) { m_surfaceBudget = bytes; }

    int16_t FramesCount() const { return int16_t(m_frames.size()); }
    int16_t AnimationLoops() const { return m_animationLoops; }
    void setAnimationLoops(int16_t New_AnimationLoops) { m_animationLoops = New_AnimationLoops; }
    int16_t ScreenWidth() const;
    void setScreenWidth(int16_t New_ScreenWidth);
    int16_t ScreenHeight() const;
    void setScreenHeight(int16_t New_ScreenHeight);
    uint8_t ScreenBackgroundColorIndex() const { return m_screen[5]; }
    void setScreenBackgroundColorIndex(uint8_t New_Index) { m_screen[5] = New_Index; }
    /// (aspect byte + 15) / 64.
    float ScreenPixelAspectRatio() const;
    /// Stores round(value * 64 - 15) (halves to even); false and no change when
    /// that falls outside 0..255 or is not a number.
    bool setScreenPixelAspectRatio(float New_ScreenPixelAspectRatio);

    /// The 1024-byte global palette, for bulk copies; owned by the model.
    uint8_t* lpGlobalPalette() { return m_globalPalette.data(); }
    const uint8_t* lpGlobalPalette() const { return m_globalPalette.data(); }
    /// Colour 0x00BBGGRR of a global entry; 0 without a global table.
    uint32_t GlobalPaletteRGBEntry(uint8_t nEntry) const;
    bool GlobalPaletteExists() const { return m_globalExists; }
    void setGlobalPaletteExists(bool New_Value) { m_globalExists = New_Value; }
    bool GlobalPaletteSorted() const { return m_globalSorted; }
    void setGlobalPaletteSorted(bool New_Value) { m_globalSorted = New_Value; }
    int16_t GlobalPaletteEntries() const { return m_globalEntries; }
    void setGlobalPaletteEntries(int16_t New_Value) { m_globalEntries = New_Value; }

    /// The frame's surfaces, shared with the model; empty for a bad frame number
    /// or a frame whose surfaces could not be made.
    std::shared_ptr<cDIB> FrameDIBXOR(int16_t nFrame) const;
    std::shared_ptr<cDIB> FrameDIBAND(int16_t nFrame) const;

    int16_t FrameDelay(int16_t nFrame) const;
    void setFrameDelay(int16_t nFrame, int16_t New_FrameDelay);
    bool FrameInterlaced(int16_t nFrame) const;
    void setFrameInterlaced(int16_t nFrame, bool New_FrameInterlaced);
    int16_t FrameLeft(int16_t nFrame) const;
    void setFrameLeft(int16_t nFrame, int16_t New_FrameLeft);
    int16_t FrameTop(int16_t nFrame) const;
    void setFrameTop(int16_t nFrame, int16_t New_FrameTop);
    int32_t FrameDisposalMethod(int16_t nFrame) const;
    /// Stores the low 8 bits.
    void setFrameDisposalMethod(int16_t nFrame, int32_t New_FrameDisposalMethod);
    bool FrameUseTransparentColor(int16_t nFrame) const;
    void setFrameUseTransparentColor(int16_t nFrame, bool New_Value);
    uint8_t FrameTransparentColorIndex(int16_t nFrame) const;
    void setFrameTransparentColorIndex(int16_t nFrame, uint8_t New_Value);
    bool FrameUserInput(int16_t nFrame) const;
    void setFrameUserInput(int16_t nFrame, bool New_FrameUserInput);

    /// The frame's 1024-byte palette (owned by the model); null for a bad number.
    uint8_t* lpLocalPalette(int16_t nFrame);
    const uint8_t* lpLocalPalette(int16_t nFrame) const;
    /// Colour 0x00BBGGRR of an entry of the frame's palette; 0 for a bad number.
    uint32_t LocalPaletteRGBEntry(int16_t nFrame, uint8_t nEntry) const;
    bool LocalPaletteUsed(int16_t nFrame) const;
    void setLocalPaletteUsed(int16_t nFrame, bool New_Value);
    bool LocalPaletteSorted(int16_t nFrame) const;
    void setLocalPaletteSorted(int16_t nFrame, bool New_Value);
    int16_t LocalPaletteEntries(int16_t nFrame) const;
    void setLocalPaletteEntries(int16_t nFrame, int16_t New_Value);

private:
    friend class cGIFReader;
    friend class cGIFLoader;

    /// The bytes of a regular file; false when it cannot be read whole.
    static bool readFile(const std::string& FileName, std::vector<uint8_t>& bytes);
    /// Empties the model and takes the signature and version; false when they are
    /// not a GIF's.
    bool startLoad(const uint8_t* data, size_t size);

    GIFFrame* frame(int16_t nFrame);
    const GIFFrame* frame(int16_t nFrame) const;
    bool buildFrameSurfaces(GIFFrame& f, int32_t width, int32_t height);
    bool writeTo(std::vector<uint8_t>& stream);

    std::array<char, 3> m_signature{};
    std::array<char, 3> m_version{};
    std::array<uint8_t, 7> m_screen{}; ///< the screen descriptor exactly as in the file
    int16_t m_animationLoops = 0;
    bool m_globalExists = false;
    bool m_globalSorted = false;
    int16_t m_globalEntries = 0;
    std::array<uint8_t, 1024> m_globalPalette{};
    std::vector<GIFFrame> m_frames; ///< frame n is m_frames[n - 1]
    int64_t m_surfaceBudget = DefaultSurfaceBudget;
};
