#pragma once

// ucGIFViewer: loads a GIF into a cGIF model and plays it inside its own area,
// each frame composed by cGIFComposer onto 32-bit surfaces that cover the part
// of the logical screen the frames draw on, the screen drawn shrunk to fit (never
// enlarged) and centred. Playback loops without end and keeps the file's pace:
// every frame is scheduled from the time the previous one was due, not from when
// it was drawn. A load decodes the first frame and shows it at once; the others
// are counted and decoded on the viewer's worker thread and join the model as
// they come.

#include "gif/cGIF.h"
#include "gif/cGIFComposer.h"
#include "gif/cGIFLoader.h"
#include "platform/SysColors.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QFrame>
#include <QImage>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QTimer>
#include <cstdint>
#include <memory>

namespace platform {
class PropertyBag;
}

class ucGIFViewer : public QFrame {
    Q_OBJECT
public:
    /// Property defaults (also the property-bag defaults).
    static constexpr bool DefaultAutoPlay = false;
    static constexpr platform::ColorRef DefaultBackColor = platform::vbButtonFace;
    static constexpr int DefaultBorderStyle = 0;
    static constexpr bool DefaultEnabled = true;
    /// A frame this far behind its due time (ms) is not caught up on: the
    /// schedule starts again from now, so a stall never turns into a burst.
    static constexpr qint64 ResyncAfterMs = 250;

    /// Nothing loaded, timer off, AutoPlay false, button-face background.
    explicit ucGIFViewer(QWidget* parent = nullptr);
    ~ucGIFViewer() override;

    /// Loads a GIF file and starts it (playing when AutoPlay and it has two
    /// frames or more, else frame 1 shown still). Returns once frame 1 is shown;
    /// the other frames decode in the background. GIFFrames gives the whole count
    /// when the file is small or its frames' area needs it; else 1 until the
    /// worker has counted them, and GIFFramesChanged tells the count. True when
    /// at least one frame was loaded. On false nothing plays and the last picture
    /// stays shown.
    bool LoadFromFile(const QString& FileName);
    /// As LoadFromFile, from the Qt resource ":/<ResourceType>/<ResourceID>".
    /// A resource that does not exist gives false, like any failed load.
    bool LoadFromResource(const QString& ResourceID, const QString& ResourceType);

    /// Plays from the current frame when at least two frames are loaded; the
    /// first comes after the delay of the frame last drawn. Else the timer stays off.
    void Play();
    /// Stops at the frame last shown.
    void Pause();
    /// The next frame drawn will be frame 1; nothing is redrawn now.
    void Rewind();
    /// While stopped with frames loaded: draws the current frame and advances.
    /// Does nothing while playing.
    void NextFrame();
    /// Stops, empties the model and the surfaces and paints the background.
    void Destroy();

    bool GIFLoaded() const { return frameCount_ >= 1; }
    std::int16_t GIFWidth() const { return gif_.ScreenWidth(); }
    std::int16_t GIFHeight() const { return gif_.ScreenHeight(); }
    std::int16_t GIFFrames() const { return frameCount_; }
    /// Frames decoded so far (GIFFrames once the background decoding is over).
    std::int16_t GIFFramesDecoded() const { return gif_.FramesCount(); }
    /// Bytes of pixel data held: the frames decoded so far and the composition surfaces.
    std::int64_t SurfaceBytes() const;
    /// The next frame to be drawn (1-based).
    std::int16_t GIFCurrentFrame() const { return currentFrame_; }
    /// A copy of the picture shown (the frame buffer); 1 x 1 black when empty.
    QImage GIFCurrentFrameImage() const;
    bool GIFIsPlaying() const { return playing_; }

    /// Stored only: takes effect at the next load.
    bool AutoPlay() const { return autoPlay_; }
    void setAutoPlay(bool New_AutoPlay) { autoPlay_ = New_AutoPlay; }
    /// Background (system colours allowed). Setting it rebuilds the surfaces in
    /// the new colour and restarts at frame 1, playing again only if it was.
    platform::ColorRef BackColor() const { return backColor_; }
    void setBackColor(platform::ColorRef New_BackColor);
    /// 0 none, 1 fixed single (a one-pixel line); other values draw none.
    int BorderStyle() const { return borderStyle_; }
    void setBorderStyle(int New_BorderStyle);

    /// Milliseconds from the frame last drawn to the next one (its delay).
    int Interval() const { return interval_; }
    /// Where the logical screen is drawn, in widget coordinates (the frame
    /// buffer covers the part of it that frames draw on; the rest is background).
    QRect DisplayRect() const;
    /// The composition surfaces (frame buffer, canvas, background).
    const cGIFComposer& Composer() const { return composer_; }

    /// Property bag: "AutoPlay" (false), "BackColor" (button face),
    /// "BorderStyle" (0), "Enabled" (true).
    void ReadProperties(const platform::PropertyBag& bag);
    void WriteProperties(platform::PropertyBag& bag) const;

signals:
    void Click();
    void DblClick();
    /// A character key (see platform::KeyAsciiFromEvent).
    void KeyPress(int keyAscii);
    void MouseDown(int button, int shift, double x, double y);
    void MouseMove(int button, int shift, double x, double y);
    void MouseUp(int button, int shift, double x, double y);
    /// Frame `frame` has just been composed.
    void GIFFrameRendered(int frame);
    /// The frame count changed after LoadFromFile returned: the file's frames have
    /// been counted, or memory ran out while later frames were decoded (fewer
    /// frames than the file announced).
    void GIFFramesChanged(int frames);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Background;

    static QEvent::Type StartDecodingEvent();
    bool load(bool begun);
    void startBackground();
    void stopBackground();
    void endWorker();
    void framesArrived();
    void countChanged();
    /// Frames to come may still be uncounted: play on as if there were more.
    bool mayPlay() const { return frameCount_ >= 2 || (frameCount_ >= 1 && !countKnown_); }
    bool ensureFrame(std::int16_t n, bool wait);
    void StartAnimation(bool play);
    void SetupBuffers();
    void UpdateDisplayRect();
    void TimerStep();
    void DrawFrame();
    void tmrDelay_Timer();
    QRectF bufferRect() const;
    void startPlayback(qint64 firstDelay);
    void stopPlayback();

    bool autoPlay_ = DefaultAutoPlay;
    cGIF gif_;
    cGIFComposer composer_;
    std::unique_ptr<cGIFLoader> loader_;     // until handed to the worker
    std::shared_ptr<Background> background_; // the worker, kept from load to load
    bool decoding_ = false;                  // the worker has a load of ours
    bool countKnown_ = true;
    cGIFComposer::Area area_;   // where the surfaces stand on the canvas
    QSize canvas_;              // the logical screen as composed
    bool waitingFrame_ = false; // playback waits for a frame still being decoded
    std::int16_t frameCount_ = 0;
    std::int16_t currentFrame_ = 1;
    QRect display_; // relative to contentsRect()
    platform::ColorRef backColor_ = DefaultBackColor;
    int borderStyle_ = DefaultBorderStyle;
    QTimer tmrDelay_;
    QElapsedTimer clock_;
    qint64 due_ = 0;
    int interval_ = 1;
    bool playing_ = false;
    quint64 run_ = 0; // bumped on every start and stop of the timer
    bool leftPressed_ = false;
};
