#pragma once

// fFullview: the borderless window that covers the whole screen and shows the
// selected image: a still image in imView (zoomable), a GIF animation in
// ucGIFView above it. A double-click or Esc on either closes it. The main
// window makes it on first use; it is deleted when closed.
//
// Keys and the wheel that move through the list are turned into StepRequested
// for the host, which owns the list; zoom keys go to imView, P and the period
// to a GIF. For two seconds after each change a line at the bottom says what
// is shown.

#include <QTimer>
#include <QWidget>

class ImageAceX;
class QLabel;
class QKeyEvent;
class QWheelEvent;
class ucGIFViewer;

class fFullview : public QWidget {
    Q_OBJECT
public:
    /// The window, hidden, owned by `owner` (it stays above it and is deleted
    /// with it); the main window keeps at most one.
    explicit fFullview(QWidget* owner);

    ~fFullview() override;

    /// Where the host should move in its list.
    enum class Step { Next, Previous, First, Last };
    Q_ENUM(Step)

    /// The still-image view (black, mode 0, no border). Owned by the window.
    ImageAceX* imView() const { return imView_; }
    /// The GIF view (black, AutoPlay true), hidden until it holds a GIF.
    /// Owned by the window.
    ucGIFViewer* ucGIFView() const { return ucGIFView_; }

    /// Shows the window modeless over the whole of its owner's screen, with the
    /// keyboard focus on the view in front.
    void ShowModeless();

    /// What the on-screen line says about the place in the list: the file's
    /// name and its number (from 1) of `count`. Shows the line.
    void setPosition(const QString& name, int number, int count);
    /// The on-screen line (for tests and hosts); hidden two seconds after the
    /// last change.
    QLabel* lblInfo() const { return lblInfo_; }

signals:
    void StepRequested(fFullview::Step step);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Form_Resize();
    void View_KeyPress(int keyAscii);
    bool HandleKey(const QKeyEvent& key);
    bool HandleWheel(const QWheelEvent& wheel);
    bool ShowsGif() const;
    QString InfoText() const;
    void ShowInfo();

    ImageAceX* imView_ = nullptr;
    ucGIFViewer* ucGIFView_ = nullptr;
    QLabel* lblInfo_ = nullptr;
    QTimer infoTimer_;
    QString name_;
    int number_ = 0;
    int count_ = 0;
    int wheelRest_ = 0;
};
