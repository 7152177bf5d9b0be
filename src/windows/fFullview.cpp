#include "windows/fFullview.h"

#include "controls/ImageAceX.h"
#include "controls/ZoomLayout.h"
#include "controls/ucGIFViewer.h"
#include "platform/PictureBox.h"
#include "settings/Preferences.h"

#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QWheelEvent>
#include <optional>

namespace {

constexpr int InfoMilliseconds = 2000;
constexpr int WheelNotch = 120;

std::optional<fFullview::Step> StepOfKey(int key) {
    switch (key) {
    case Qt::Key_Right:
    case Qt::Key_Down:
    case Qt::Key_PageDown:
    case Qt::Key_Space:
        return fFullview::Step::Next;
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_PageUp:
    case Qt::Key_Backspace:
        return fFullview::Step::Previous;
    case Qt::Key_Home:
        return fFullview::Step::First;
    case Qt::Key_End:
        return fFullview::Step::Last;
    default:
        return std::nullopt;
    }
}

} // namespace

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
    imView_->setZoomable(true);
    if (settings::Preferences::Sizing() == settings::FullviewSizing::Actual)
        imView_->ZoomActual();
    else
        imView_->ZoomFit();
    connect(imView_, &ImageAceX::ZoomChanged, this, [this] {
        // A pan changes nothing the line says.
        if (!ShowsGif() && InfoText() != lblInfo_->text())
            ShowInfo();
    });
    lblInfo_ = new QLabel(this);
    lblInfo_->setObjectName(QStringLiteral("lblInfo"));
    lblInfo_->setAttribute(Qt::WA_TransparentForMouseEvents);
    lblInfo_->setStyleSheet(QStringLiteral(
        "QLabel { color: white; background: rgba(0, 0, 0, 160); padding: 4px 10px; }"));
    lblInfo_->hide();
    infoTimer_.setSingleShot(true);
    infoTimer_.setInterval(InfoMilliseconds);
    connect(&infoTimer_, &QTimer::timeout, lblInfo_, &QWidget::hide);
    // Keys go to whichever part has the focus and the wheel to the part under
    // the pointer; watching them all at the application keeps one handler.
    qApp->installEventFilter(this);
}

fFullview::~fFullview() = default;

void fFullview::ShowModeless() {
    if (const QWidget* owner = parentWidget()) {
        // The whole screen, panels included, on the owner's screen; already at
        // the screen's size, since without a window manager a full-screen
        // request is not acted on.
        if (QScreen* screen = owner->screen()) {
            setGeometry(screen->geometry());
        }
    }
    const bool wasVisible = isVisible();
    showFullScreen();
    if (wasVisible) {
        raise(); // already open, perhaps behind the main window
    }
    activateWindow();
    if (ucGIFView_->isVisible()) {
        ucGIFView_->setFocus();
    } else {
        imView_->setFocus();
    }
    ShowInfo();
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
    lblInfo_->raise();
    if (lblInfo_->isVisible())
        ShowInfo();
}

void fFullview::View_KeyPress(int keyAscii) {
    if (keyAscii == platform::KeyAsciiEscape) {
        close();
    }
}

void fFullview::setPosition(const QString& name, int number, int count) {
    name_ = QFileInfo(name.trimmed()).fileName();
    number_ = number;
    count_ = count;
    ShowInfo();
}

bool fFullview::ShowsGif() const {
    return ucGIFView_->isVisible() && ucGIFView_->GIFLoaded();
}

QString fFullview::InfoText() const {
    QStringList parts;
    if (!name_.isEmpty())
        parts << name_;
    if (count_ > 0)
        parts << QStringLiteral("%1 / %2").arg(number_).arg(count_);
    if (ShowsGif()) {
        const QSize gif(quint16(ucGIFView_->GIFWidth()), quint16(ucGIFView_->GIFHeight()));
        parts << QStringLiteral("%1x%2").arg(gif.width()).arg(gif.height());
        const double shown = zoom::FitZoom(QSizeF(gif), QSizeF(ucGIFView_->size()));
        parts << QStringLiteral("%1%").arg(zoom::Percent(shown));
        parts << QStringLiteral("%1 Frames").arg(ucGIFView_->GIFFrames());
    } else if (!imView_->OriginalSize().isEmpty()) {
        const QSize size = imView_->OriginalSize();
        parts << QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
        parts << QStringLiteral("%1%").arg(zoom::Percent(imView_->Zoom()));
    }
    return parts.join(QStringLiteral("    "));
}

void fFullview::ShowInfo() {
    lblInfo_->setText(InfoText());
    lblInfo_->adjustSize();
    lblInfo_->move(16, std::max(0, height() - lblInfo_->height() - 16));
    lblInfo_->show();
    lblInfo_->raise();
    infoTimer_.start();
}

bool fFullview::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::Wheel)
        return false;
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this)
        return false;
    if (type == QEvent::KeyPress)
        return HandleKey(static_cast<const QKeyEvent&>(*event));
    return HandleWheel(static_cast<const QWheelEvent&>(*event));
}

bool fFullview::HandleKey(const QKeyEvent& key) {
    if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    if (const auto step = StepOfKey(key.key())) {
        emit StepRequested(*step);
        return true;
    }
    const bool still = !ShowsGif();
    switch (key.key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        if (still)
            imView_->ZoomIn();
        return true;
    case Qt::Key_Minus:
        if (still)
            imView_->ZoomOut();
        return true;
    case Qt::Key_1:
        if (still) {
            imView_->ZoomActual();
            settings::Preferences::SetSizing(settings::FullviewSizing::Actual);
        }
        return true;
    case Qt::Key_F:
    case Qt::Key_0:
        if (still) {
            imView_->ZoomFit();
            settings::Preferences::SetSizing(settings::FullviewSizing::Fit);
        }
        return true;
    case Qt::Key_P:
        if (!still) {
            if (ucGIFView_->GIFIsPlaying())
                ucGIFView_->Pause();
            else
                ucGIFView_->Play();
            ShowInfo();
        }
        return true;
    case Qt::Key_Period:
        if (!still && !ucGIFView_->GIFIsPlaying())
            ucGIFView_->NextFrame();
        return true;
    default:
        return false;
    }
}

bool fFullview::HandleWheel(const QWheelEvent& wheel) {
    const int dy = wheel.angleDelta().y();
    if (dy == 0)
        return false;
    if (wheel.modifiers() & Qt::ControlModifier) {
        if (!ShowsGif()) {
            const QPointF at = imView_->mapFromGlobal(wheel.globalPosition());
            if (dy > 0)
                imView_->ZoomIn(at);
            else
                imView_->ZoomOut(at);
        }
        return true;
    }
    // Fine-grained wheels send parts of a notch; a step is a whole notch.
    wheelRest_ += dy;
    while (wheelRest_ <= -WheelNotch) {
        wheelRest_ += WheelNotch;
        emit StepRequested(Step::Next);
    }
    while (wheelRest_ >= WheelNotch) {
        wheelRest_ -= WheelNotch;
        emit StepRequested(Step::Previous);
    }
    return true;
}
