#pragma once

// fFullview: the borderless, maximized window that shows the selected image at
// full size: a still image in imView, a GIF animation in ucGIFView above it.
// A double-click or Esc on either closes it. There is at most one; it is made
// on first use and deleted when closed.

#include <QPointer>
#include <QWidget>

class ImageAceX;
class ucGIFViewer;

class fFullview : public QWidget {
    Q_OBJECT
public:
    /// The program-wide window, created hidden and owned by `owner` (it stays
    /// above it and is deleted with it) when there is none yet.
    static fFullview* Instance(QWidget* owner);
    /// The window if it exists, else nullptr.
    static fFullview* Existing();

    ~fFullview() override;

    /// The still-image view (black, mode 0, no border). Owned by the window.
    ImageAceX* imView() const { return imView_; }
    /// The GIF view (black, AutoPlay true), hidden until it holds a GIF.
    /// Owned by the window.
    ucGIFViewer* ucGIFView() const { return ucGIFView_; }

    /// Shows the window modeless, maximized on its owner's screen, with the
    /// keyboard focus on the view in front.
    void ShowModeless();

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    explicit fFullview(QWidget* owner);
    void Form_Resize();
    void View_KeyPress(int keyAscii);

    ImageAceX* imView_ = nullptr;
    ucGIFViewer* ucGIFView_ = nullptr;
    static QPointer<fFullview> instance_;
};
