#include "gif/cGIFComposer.h"

#include <algorithm>

// The logical screen; files that leave it 0 get the extent of their frames.
void cGIFComposer::CanvasSize(const cGIF& gif, int32_t& w, int32_t& h) {
    w = uint16_t(gif.ScreenWidth());
    h = uint16_t(gif.ScreenHeight());
    int32_t right = 0;
    int32_t bottom = 0;
    for (int16_t n = 1; n <= gif.FramesCount(); ++n) {
        if (const auto image = gif.FrameDIBXOR(n)) {
            right = std::max(right, gif.FrameLeft(n) + image->Width());
            bottom = std::max(bottom, gif.FrameTop(n) + image->Height());
        }
    }
    if (w == 0) {
        w = right;
    }
    if (h == 0) {
        h = bottom;
    }
}

bool cGIFComposer::Setup(const cGIF& gif, uint32_t BackColor) {
    Reset();
    m_backColor = BackColor;
    int32_t w = 0;
    int32_t h = 0;
    CanvasSize(gif, w, h);
    if (!m_frameBuffer.Create(w, h, 32) || !m_canvas.Create(w, h, 32) ||
        !m_background.Create(w, h, 32)) {
        Reset();
        return false;
    }
    m_frameBuffer.Cls(BackColor);
    m_canvas.Cls(BackColor);
    m_background.Cls(BackColor);
    return true;
}

void cGIFComposer::Reset() {
    m_frameBuffer.Destroy();
    m_canvas.Destroy();
    m_background.Destroy();
}

bool cGIFComposer::DrawFrame(const cGIF& gif, int16_t nFrame) {
    if (!m_frameBuffer.hDIB() || nFrame < 1 || nFrame > gif.FramesCount()) {
        return false;
    }
    if (nFrame == 1) {
        m_canvas.Cls(m_backColor);
    }
    m_frameBuffer.LoadBlt(m_canvas.hDC());
    gif.FrameDraw(m_frameBuffer.hDC(), nFrame, 0, 0, 1.0f, false);
    switch (gif.FrameDisposalMethod(nFrame)) {
    case 0:
    case 1:
        m_canvas.LoadBlt(m_frameBuffer.hDC());
        break;
    case 2:
        if (const auto image = gif.FrameDIBXOR(nFrame)) {
            m_background.Stretch(m_canvas.hDC(), gif.FrameLeft(nFrame), gif.FrameTop(nFrame),
                                 image->Width(), image->Height(), 0, 0, 0, 0, gdi::SRCCOPY,
                                 gdi::COLORONCOLOR);
        }
        break;
    default: // 3 (restore to previous) and the undefined values 4 to 7
        break;
    }
    return true;
}

void cGIFComposer::setBackColor(uint32_t New_BackColor) {
    m_backColor = New_BackColor;
    m_background.Cls(New_BackColor);
}

int32_t cGIFComposer::FrameInterval(int16_t Delay) {
    if (Delay < 0) {
        return 60000;
    }
    if (Delay == 0) {
        return 100;
    }
    if (Delay < 5) {
        return 50;
    }
    return int32_t(Delay) * 10;
}
