#pragma once
// cGIFComposer: composes the frames of an animated GIF one after another onto
// 32-bit surfaces the way the animated viewer shows them, honouring each frame's
// position, transparency and disposal method. Qt-free, so that the viewer control,
// the tests and the tools share it.

#include "gif/cGIF.h"
#include "imaging/cDIB.h"

#include <cstdint>

class cGIFComposer {
public:
    /// A rectangle of the logical screen, in screen pixels.
    struct Area {
        int32_t x = 0;
        int32_t y = 0;
        int32_t width = 0;
        int32_t height = 0;
    };

    /// Makes the frame buffer, canvas and background (32 bpp, the size of the
    /// model's logical screen; where a screen dimension is 0, the frames' extent
    /// instead) and clears all three to BackColor. False, with no surfaces, when
    /// they cannot be made.
    bool Setup(const cGIF& gif, uint32_t BackColor);

    /// As Setup, with surfaces that hold only `area` of the canvas: frames are
    /// drawn shifted by (-area.x, -area.y), and the canvas outside the area (which
    /// no frame touches) stays the background colour by definition.
    bool Setup(const Area& area, uint32_t BackColor);

    /// The part of the canvas (see CanvasSize) that frames draw on, given the
    /// union of their rectangles (right and bottom exclusive; right <= left when
    /// no frame draws): that union clipped to the canvas, or 1 x 1 at the origin
    /// when nothing of it remains on a canvas that is not empty.
    static Area CoveredArea(const cGIF& gif, int32_t left, int32_t top, int32_t right,
                            int32_t bottom);
    /// As above, the union taken from the model's frames.
    static Area CoveredArea(const cGIF& gif);

    /// Where the surfaces stand on the canvas.
    const Area& SurfaceArea() const { return m_area; }
    /// Bytes of pixel data the three surfaces hold.
    int64_t SurfaceBytes() const;

    /// Releases the three surfaces.
    void Reset();

    /// Composes frame nFrame: on frame 1 the canvas is cleared to the background
    /// colour; the canvas is copied into the frame buffer and the frame drawn on it
    /// at its place; then the canvas takes the frame's disposal: 0 and 1 keep the
    /// frame (canvas = frame buffer), 2 restores the frame's rectangle to the
    /// background, 3 and above leave the canvas as before the frame. False when
    /// not set up or nFrame is out of range. The result is in FrameBuffer().
    bool DrawFrame(const cGIF& gif, int16_t nFrame);

    /// Changes the background colour (clears the background surface to it).
    void setBackColor(uint32_t New_BackColor);
    uint32_t BackColor() const { return m_backColor; }

    /// The composed image of the last DrawFrame. Owned by the composer.
    const cDIB& FrameBuffer() const { return m_frameBuffer; }
    cDIB& FrameBuffer() { return m_frameBuffer; }
    /// What the next frame is drawn over.
    const cDIB& Canvas() const { return m_canvas; }
    const cDIB& Background() const { return m_background; }

    /// Size of the surfaces Setup makes for `gif`: the logical screen, with a
    /// dimension that the file leaves 0 taken from the frames' extent.
    static void CanvasSize(const cGIF& gif, int32_t& Width, int32_t& Height);
    /// As above, with the frames' right and bottom extent given.
    static void CanvasSize(const cGIF& gif, int32_t right, int32_t bottom, int32_t& Width,
                           int32_t& Height);

    /// Milliseconds to show a frame of the given delay (hundredths of a second):
    /// negative 60000, 0 gives 100, 1 to 4 give 50, others delay * 10.
    static int32_t FrameInterval(int16_t Delay);

private:
    void drawShifted(const cGIF& gif, int16_t nFrame, cDIB& image);

    cDIB m_frameBuffer;
    cDIB m_canvas;
    cDIB m_background;
    uint32_t m_backColor = 0;
    Area m_area;
};
