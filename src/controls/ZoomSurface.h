#pragma once

// ZoomSurface: the part of ImageAceX that draws a picture at any zoom in the
// full view. It paints straight onto the window's backing store at device
// pixels, so that on a screen with a device pixel ratio above 1 a picture at
// 100% puts one picture pixel on one screen pixel instead of being drawn at
// logical size and scaled up. Shrinking goes through an area-averaging filter
// (never nearest neighbour) and is cached; enlarging draws only what is in
// sight. A left-button drag asks the host to pan.

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QWidget>

class ZoomSurface : public QWidget {
    Q_OBJECT
public:
    explicit ZoomSurface(QWidget* parent = nullptr);

    /// Shows `picture`, which stands for a picture of `original` pixels (it
    /// may hold fewer while a sharper copy is on its way), at `zoom` device
    /// pixels per original pixel, its top-left corner at `origin` (logical
    /// pixels, relative to this widget). Repaints.
    void Show(const QImage& picture, QSize original, double zoom, QPointF origin);
    void setBackground(QColor colour);

signals:
    void DblClick();
    /// The pointer moved by `delta` (logical pixels) with the left button held.
    void Dragged(QPointF delta);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    const QImage& Shrunk(QSize size);

    QImage picture_;
    QSize original_;
    double zoom_ = 1.0;
    QPointF origin_;
    QColor background_ = Qt::black;
    QImage shrunk_;
    qint64 shrunkFrom_ = 0;
    bool dragging_ = false;
    QPointF dragFrom_;
};
