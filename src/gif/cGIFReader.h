#pragma once
// The block parser behind cGIF::LoadFromStream and cGIFLoader. Every read is
// checked against the end of the data; a block cut short ends the parse with the
// frames completed. Private to the GIF engine.

#include "gif/cGIF.h"
#include "gif/mGIFLZWDec.h"

#include <algorithm>
#include <cstring>

class cGIFReader {
public:
    /// Scan: the same parse, limits and budget, but no surfaces are made and no
    /// image data decoded or kept; only the frames are counted and measured.
    enum class Mode { Decode, Scan };

    /// `data` (a whole file, checked signature) must outlive the reader.
    cGIFReader(cGIF& gif, const uint8_t* data, size_t size, Mode mode)
        : m_gif(gif), m_s(data), m_size(size), m_mode(mode) {}

    /// Reads the logical screen and the global colour table into the model.
    void readHeader() { readScreen(); }

    /// Reads blocks up to and including the next image: true when it gave a frame
    /// (appended to the model's list when decoding), false at the end of the parse.
    bool nextFrame() {
        const int32_t before = m_count;
        while (!m_stop && m_pos < m_size && m_count == before) {
            const uint8_t b = m_s[m_pos++];
            if (b == 0x21) {
                readExtension();
            } else if (b == 0x2C) {
                readImage();
            } else if (b == 0x3B) {
                m_stop = true;
            }
            // Any other byte between blocks is passed over.
        }
        return m_count != before;
    }

    int32_t frames() const { return m_count; }
    /// Bytes parsed so far.
    size_t pos() const { return m_pos; }
    /// More of the same buffer has been filled: the parse may go on up to `size`.
    void extend(size_t size) { m_size = size; }
    /// The union of the rectangles of the frames that have surfaces, in screen
    /// pixels (right and bottom exclusive); empty (right <= left) when none has.
    int32_t left() const { return m_left; }
    int32_t top() const { return m_top; }
    int32_t right() const { return m_right; }
    int32_t bottom() const { return m_bottom; }

private:
    bool has(size_t n) const { return n <= m_size - m_pos; }

    static int16_t word(const uint8_t* p) { return int16_t(uint16_t(p[0] | (p[1] << 8))); }

    // Reads `entries` RGB triples into a B,G,R,0 palette; false when cut short.
    bool readPalette(int entries, std::array<uint8_t, 1024>& palette) {
        if (!has(size_t(entries) * 3)) {
            m_stop = true;
            return false;
        }
        const uint8_t* p = m_s + m_pos;
        for (int i = 0; i < entries; ++i) {
            palette[size_t(i) * 4] = p[3 * i + 2];
            palette[size_t(i) * 4 + 1] = p[3 * i + 1];
            palette[size_t(i) * 4 + 2] = p[3 * i];
        }
        m_pos += size_t(entries) * 3;
        return true;
    }

    void readScreen() {
        m_pos = 6;
        if (!has(7)) {
            std::memcpy(m_gif.m_screen.data(), m_s + m_pos, m_size - m_pos);
            m_stop = true;
            return;
        }
        std::memcpy(m_gif.m_screen.data(), m_s + m_pos, 7);
        m_pos += 7;
        const uint8_t packed = m_gif.m_screen[4];
        m_gif.m_globalExists = (packed & 0x80) != 0;
        if (m_gif.m_globalExists) {
            m_gif.m_globalSorted = (packed & 0x08) != 0;
            m_gif.m_globalEntries = int16_t(2 << (packed & 0x07));
            readPalette(m_gif.m_globalEntries, m_gif.m_globalPalette);
        }
    }

    // Gathers a run of data sub-blocks up to and including the terminator into
    // `into` (when given). False, and the parse stops, when the data end first.
    bool readSubBlocks(std::vector<uint8_t>* into) {
        if (into) {
            into->clear();
        }
        while (has(1)) {
            const size_t n = m_s[m_pos++];
            if (n == 0) {
                return true;
            }
            const size_t take = has(n) ? n : m_size - m_pos;
            if (into) {
                into->insert(into->end(), m_s + m_pos, m_s + m_pos + take);
            }
            m_pos += take;
        }
        m_stop = true;
        return false;
    }

    void readExtension() {
        if (!has(1)) {
            m_stop = true;
            return;
        }
        const uint8_t label = m_s[m_pos++];
        const size_t firstBlock = has(1) ? m_s[m_pos] : 0;
        if (label == 0xF9) {
            if (readSubBlocks(&m_ext) && firstBlock >= 4 && m_ext.size() >= 4) {
                const uint8_t packed = m_ext[0];
                m_pending.Delay = word(&m_ext[1]);
                m_pending.DisposalMethod = uint8_t((packed & 0x1C) >> 2);
                m_pending.UserInput = (packed & 0x02) != 0;
                m_pending.UseTransparentColor = (packed & 0x01) != 0;
                if (m_pending.UseTransparentColor) {
                    m_pending.TransparentColorIndex = m_ext[3];
                }
            }
        } else if (label == 0xFF) {
            if (readSubBlocks(&m_ext) && firstBlock == 11 && m_ext.size() >= 14 &&
                std::memcmp(m_ext.data(), "NETSCAPE2.0", 11) == 0) {
                m_gif.m_animationLoops = word(&m_ext[12]);
            }
        } else {
            readSubBlocks(nullptr);
        }
    }

    // Creates the frame's surfaces unless they would pass the model's budget;
    // false when the parse has to stop there.
    bool makeSurfaces(GIFFrame& f, int32_t w, int32_t h) {
        const int64_t xorBytes = int64_t((w + 3) & ~3) * h;
        const int64_t andBytes = int64_t(((w + 31) / 32) * 4) * h;
        const bool makeable = w > 0 && h > 0 && xorBytes <= cDIB::MaxBytes;
        if (makeable && m_used + xorBytes + andBytes > m_gif.m_surfaceBudget) {
            return false;
        }
        if (makeable && (m_mode == Mode::Scan || m_gif.buildFrameSurfaces(f, w, h))) {
            m_used += xorBytes + andBytes;
            cover(f.Left, f.Top, w, h);
        }
        return true;
    }

    void readImage() {
        if (!has(9) || m_count >= cGIF::MaxFrames) {
            m_stop = true;
            return;
        }
        GIFFrame f = m_pending;
        m_pending = GIFFrame{};
        const uint8_t* d = m_s + m_pos;
        f.Left = word(d);
        f.Top = word(d + 2);
        const int32_t w = uint16_t(word(d + 4));
        const int32_t h = uint16_t(word(d + 6));
        const uint8_t q = d[8];
        m_pos += 9;
        f.Interlaced = (q & 0x40) != 0;
        f.LocalPaletteUsed = (q & 0x80) != 0;
        if (f.LocalPaletteUsed) {
            f.LocalPaletteSorted = (q & 0x20) != 0;
            f.LocalPaletteEntries = int16_t(2 << (q & 0x07));
            if (!readPalette(f.LocalPaletteEntries, f.Palette)) {
                return;
            }
        } else {
            f.LocalPaletteSorted = m_gif.m_globalSorted;
            f.LocalPaletteEntries = m_gif.m_globalEntries;
            f.Palette = m_gif.m_globalPalette;
        }
        if (!makeSurfaces(f, w, h)) {
            m_stop = true;
            return;
        }
        // From here on the frame counts, whatever its image data hold.
        ++m_count;
        uint8_t codeSize = 0;
        if (has(1)) {
            codeSize = m_s[m_pos++];
            readSubBlocks(m_mode == Mode::Decode ? &m_data : nullptr);
        } else {
            m_data.clear();
            m_stop = true;
        }
        if (m_mode == Mode::Scan) {
            return;
        }
        if (f.DIBXOR) {
            decodeInto(f, codeSize);
        }
        m_gif.m_frames.push_back(std::move(f));
    }

    void cover(int32_t x, int32_t y, int32_t w, int32_t h) {
        if (m_right <= m_left) {
            m_left = x;
            m_top = y;
            m_right = x + w;
            m_bottom = y + h;
            return;
        }
        m_left = std::min(m_left, x);
        m_top = std::min(m_top, y);
        m_right = std::max(m_right, x + w);
        m_bottom = std::max(m_bottom, y + h);
    }

    // Decodes the frame's indices and, in the same pass, its mask (as FrameMask
    // would build it); the surfaces are fresh, so a frame without transparency
    // keeps its all-zero mask untouched.
    void decodeInto(GIFFrame& f, uint8_t codeSize) {
        cDIB& image = *f.DIBXOR;
        mGIFLZWDec::MaskView mask;
        if (f.UseTransparentColor && f.DIBAND) {
            mask = {f.DIBAND->lpBits(), f.DIBAND->BytesPerScanline(), f.TransparentColorIndex};
        }
        m_decoder.Decode({image.lpBits(), image.Width(), image.Height(), image.BytesPerScanline()},
                         mask, f.Interlaced, codeSize, m_data.data(), m_data.size());
        m_palette.assign(f.Palette.begin(), f.Palette.end());
        if (f.UseTransparentColor) {
            // Black in the image palette lets the colour pass OR over what the mask kept.
            std::memset(&m_palette[size_t(f.TransparentColorIndex) * 4], 0, 3);
        }
        image.SetPalette(m_palette);
    }

    cGIF& m_gif;
    const uint8_t* m_s;
    size_t m_size;
    Mode m_mode;
    size_t m_pos = 0;
    int32_t m_count = 0;
    int32_t m_left = 0;
    int32_t m_top = 0;
    int32_t m_right = 0;
    int32_t m_bottom = 0;
    bool m_stop = false;
    int64_t m_used = 0;
    GIFFrame m_pending;             // graphic control values waiting for their image
    std::vector<uint8_t> m_ext;     // extension data
    std::vector<uint8_t> m_data;    // image data of the frame being read
    std::vector<uint8_t> m_palette; // the image palette being set, reused
    mGIFLZWDec::Decoder m_decoder;  // reused for every frame of the file
};
