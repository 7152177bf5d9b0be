#include "windows/fFullview.h"

#include "controls/ImageAceX.h"
#include "controls/ucGIFViewer.h"

#include <QKeyEvent>
#include <QScreen>

QPointer<fFullview> fFullview::instance_;

fFullview* fFullview::Instance(QWidget* owner) {
    if (instance_.isNull()) {
        instance_ = new fFullview(owner);
    }
    return instance_.data();
}

fFullview* fFullview::Existing() {
    return instance_.data();
}

fFullview::fFullview(QWidget* owner) : QWidget(owner, Qt::Window | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("fFullview"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString());
    // Created in this order so that the GIF view lies above the still image.
    imView_ = new ImageAceX(this);
    imView_->setObjectName(QStringLiteral("imView"));
    imView_->setBackColor(0);
    ucGIFView_ = new ucGIFViewer(this);
    ucGIFView_->setObjectName(QStringLiteral("ucGIFView"));
    ucGIFView_->setBackColor(0);
    ucGIFView_->setAutoPlay(true);
    // A fresh window shows the still image; the GIF view shows once it holds a GIF.
    ucGIFView_->hide();
    connect(imView_, &ImageAceX::DblClick, this, &QWidget::close);
    connect(ucGIFView_, &ucGIFViewer::DblClick, this, &QWidget::close);
    connect(imView_, &ImageAceX::KeyPress, this, &fFullview::View_KeyPress);
    connect(ucGIFView_, &ucGIFViewer::KeyPress, this, &fFullview::View_KeyPress);
}

fFullview::~fFullview() = default;

void fFullview::ShowModeless() {
    if (const QWidget* owner = parentWidget()) {
        // Maximizing fills the screen the window is on: put it on the owner's,
        // already at the screen's size, since without a window manager a
        // maximize request is not acted on.
        if (QScreen* screen = owner->screen()) {
            setGeometry(screen->availableGeometry());
        }
    }
    const bool wasVisible = isVisible();
    showMaximized();
    if (wasVisible) {
        raise(); // already open, perhaps behind the main window
    }
    activateWindow();
    if (ucGIFView_->isVisible()) {
        ucGIFView_->setFocus();
    } else {
        imView_->setFocus();
    }
}

bool fFullview::event(QEvent* event) {
    // Esc belongs to this window: claimed before any shortcut of the owner
    // (the main window's Esc asks to quit) can take it, so that it reaches
    // the view with the focus as a key press.
    if (event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

void fFullview::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void fFullview::Form_Resize() {
    if (isMinimized()) {
        return;
    }
    ucGIFView_->setGeometry(rect());
    if (ucGIFView_->GIFLoaded()) {
        ucGIFView_->show();
        ucGIFView_->raise();
    }
    imView_->setGeometry(rect());
}

void fFullview::View_KeyPress(int keyAscii) {
    if (keyAscii == 27) {
        close();
    }
}
