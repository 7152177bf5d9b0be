#include "gif/cGIFComposer.h"

#include <algorithm>

// The logical screen; files that leave it 0 get the extent of their frames.
void cGIFComposer::CanvasSize(const cGIF& gif, int32_t& w, int32_t& h) {
    int32_t right = 0;
    int32_t bottom = 0;
    for (int16_t n = 1; n <= gif.FramesCount(); ++n) {
        if (const auto image = gif.FrameDIBXOR(n)) {
            right = std::max(right, gif.FrameLeft(n) + image->Width());
            bottom = std::max(bottom, gif.FrameTop(n) + image->Height());
        }
    }
    CanvasSize(gif, right, bottom, w, h);
}

void cGIFComposer::CanvasSize(const cGIF& gif, int32_t right, int32_t bottom, int32_t& w,
                              int32_t& h) {
    w = uint16_t(gif.ScreenWidth());
    h = uint16_t(gif.ScreenHeight());
    if (w == 0) {
        w = std::max(0, right);
    }
    if (h == 0) {
        h = std::max(0, bottom);
    }
}

bool cGIFComposer::Setup(const cGIF& gif, uint32_t BackColor) {
    Area whole;
    CanvasSize(gif, whole.width, whole.height);
    return Setup(whole, BackColor);
}

bool cGIFComposer::Setup(const Area& area, uint32_t BackColor) {
    Reset();
    m_backColor = BackColor;
    const int32_t w = area.width;
    const int32_t h = area.height;
    if (!m_frameBuffer.CreateFilled(w, h, BackColor) || !m_canvas.CreateFilled(w, h, BackColor) ||
        !m_background.CreateFilled(w, h, BackColor)) {
        Reset();
        return false;
    }
    m_area = area;
    return true;
}

cGIFComposer::Area cGIFComposer::CoveredArea(const cGIF& gif, int32_t left, int32_t top,
                                             int32_t right, int32_t bottom) {
    const bool any = right > left && bottom > top;
    int32_t w = 0;
    int32_t h = 0;
    CanvasSize(gif, any ? right : 0, any ? bottom : 0, w, h);
    if (w <= 0 || h <= 0) {
        return {};
    }
    Area a;
    if (any) {
        a.x = std::clamp(left, 0, w);
        a.y = std::clamp(top, 0, h);
        a.width = std::clamp(right, 0, w) - a.x;
        a.height = std::clamp(bottom, 0, h) - a.y;
    }
    if (a.width <= 0 || a.height <= 0) {
        return {0, 0, 1, 1};
    }
    return a;
}

cGIFComposer::Area cGIFComposer::CoveredArea(const cGIF& gif) {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    for (int16_t n = 1; n <= gif.FramesCount(); ++n) {
        const auto image = gif.FrameDIBXOR(n);
        if (!image) {
            continue;
        }
        const int32_t l = gif.FrameLeft(n);
        const int32_t t = gif.FrameTop(n);
        const bool first = right <= left;
        left = first ? l : std::min(left, l);
        top = first ? t : std::min(top, t);
        right = std::max(first ? l : right, l + image->Width());
        bottom = std::max(first ? t : bottom, t + image->Height());
    }
    return CoveredArea(gif, left, top, right, bottom);
}

int64_t cGIFComposer::SurfaceBytes() const {
    return int64_t(m_frameBuffer.size()) + m_canvas.size() + m_background.size();
}

void cGIFComposer::Reset() {
    m_area = {};
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
    const auto image = gif.FrameDIBXOR(nFrame);
    if (!image || !image->hDIB()) {
        // Nothing drawn; the disposal still applies to what the frame buffer holds.
    } else if (m_area.x == 0 && m_area.y == 0) {
        gif.FrameDraw(m_frameBuffer.hDC(), nFrame, 0, 0, 1.0f, false);
    } else {
        drawShifted(gif, nFrame, *image);
    }
    switch (gif.FrameDisposalMethod(nFrame)) {
    case 0:
    case 1:
        m_canvas.LoadBlt(m_frameBuffer.hDC());
        break;
    case 2:
        if (image) {
            m_background.Stretch(m_canvas.hDC(), gif.FrameLeft(nFrame) - m_area.x,
                                 gif.FrameTop(nFrame) - m_area.y, image->Width(), image->Height(),
                                 0, 0, 0, 0, gdi::SRCCOPY, gdi::COLORONCOLOR);
        }
        break;
    default: // 3 (restore to previous) and the undefined values 4 to 7
        break;
    }
    return true;
}

// FrameDraw at scale 1 without crop, for an origin that its 16-bit shift cannot hold.
void cGIFComposer::drawShifted(const cGIF& gif, int16_t nFrame, cDIB& image) {
    const int32_t x = gif.FrameLeft(nFrame) - m_area.x;
    const int32_t y = gif.FrameTop(nFrame) - m_area.y;
    const int32_t w = image.Width();
    const int32_t h = image.Height();
    const auto mask = gif.FrameDIBAND(nFrame);
    if (gif.FrameUseTransparentColor(nFrame) && mask) {
        mask->Stretch(m_frameBuffer.hDC(), x, y, w, h, 0, 0, w, h, gdi::SRCAND, gdi::COLORONCOLOR);
        image.Stretch(m_frameBuffer.hDC(), x, y, w, h, 0, 0, w, h, gdi::SRCPAINT,
                      gdi::COLORONCOLOR);
    } else {
        image.Stretch(m_frameBuffer.hDC(), x, y, w, h, 0, 0, w, h, gdi::SRCCOPY, gdi::COLORONCOLOR);
    }
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
