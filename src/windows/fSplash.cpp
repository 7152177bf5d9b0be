#include "windows/fSplash.h"

#include "imaging/Units.h"

#include <QEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace {

constexpr int kClientWidth = 400;
constexpr int kClientHeight = 250;
constexpr int kTitleFontSize = 14;

// Verdana where it is installed; the system font's family where it is not, rather
// than whatever the font matcher would substitute.
QFont SplashFont(bool bold) {
    QFont font = QGuiApplication::font();
    if (QFontDatabase::hasFamily(QStringLiteral("Verdana"))) {
        font.setFamily(QStringLiteral("Verdana"));
    }
    font.setPointSize(kTitleFontSize);
    font.setBold(bold);
    return font;
}

} // namespace

QString fSplash::MakerLine() {
    return QStringLiteral("Made by Corvantis");
}

QString fSplash::LegalNotice() {
    return QStringLiteral("Copyright \u00A9 Corvantis. All rights reserved. Vistrel is provided "
                          "as is, without warranty of any kind. Image formats are read with "
                          "the FreeImage library under its own licence.");
}

fSplash::fSplash(std::chrono::milliseconds delay, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), lblprogramname_(new QLabel(this)),
      lblcompanyname_(new QLabel(this)), lblLegal_(new QLabel(this)), tmrDelay_(new QTimer(this)) {
    setObjectName(QStringLiteral("fSplash"));
    setWindowTitle(QStringLiteral("Vistrel"));
    resize(kClientWidth, kClientHeight);
    lblprogramname_->setObjectName(QStringLiteral("lblprogramname"));
    lblcompanyname_->setObjectName(QStringLiteral("lblcompanyname"));
    lblLegal_->setObjectName(QStringLiteral("lblLegal"));
    lblprogramname_->setGeometry(33, 18, 328, 51);
    lblcompanyname_->setGeometry(33, 75, 328, 103);
    lblLegal_->setGeometry(12, 195, 373, 44);
    lblprogramname_->setAlignment(Qt::AlignCenter);
    lblcompanyname_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblcompanyname_->setWordWrap(true);
    lblLegal_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblLegal_->setWordWrap(true);

    // Load
    lblprogramname_->setText(QStringLiteral("Vistrel"));
    lblprogramname_->setFont(SplashFont(true));
    lblcompanyname_->setText(MakerLine());
    lblcompanyname_->setFont(SplashFont(false));
    lblLegal_->setText(LegalNotice());
    readyToClose_ = delay.count() <= 0;
    if (!readyToClose_) {
        tmrDelay_->setSingleShot(true);
        tmrDelay_->setInterval(delay);
        connect(tmrDelay_, &QTimer::timeout, this, &fSplash::tmrDelay_Timer);
        tmrDelay_->start();
    }

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    LayoutLabels();
}

int fSplash::CentredLeft(int childWidth) const {
    return units::RoundHalfEvenTo<int>(width() / 2.0 - childWidth / 2.0);
}

void fSplash::tmrDelay_Timer() {
    tmrDelay_->stop();
    readyToClose_ = true;
    emit Ready();
}

void fSplash::LayoutLabels() {
    lblprogramname_->move(CentredLeft(lblprogramname_->width()), lblprogramname_->y());
    lblcompanyname_->setGeometry(lblprogramname_->x(),
                                 lblprogramname_->y() + lblprogramname_->height() + 5,
                                 lblprogramname_->width(), lblcompanyname_->height());
    lblLegal_->move(CentredLeft(lblLegal_->width()), lblLegal_->y());
}

void fSplash::resizeEvent(QResizeEvent* /*event*/) {
    LayoutLabels();
}

void fSplash::paintEvent(QPaintEvent* /*event*/) {
    // An etched separator between the maker line and the legal notice.
    QPainter painter(this);
    const int right = width() - 10;
    painter.setPen(QColor(0, 0, 0));
    painter.drawLine(10, 186, right, 186);
    painter.setPen(QColor(255, 255, 255));
    painter.drawLine(10, 187, right, 187);
}

void fSplash::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && isVisible()) {
        // Losing the focus unloads the window; the start-up sequence holds a
        // guarded pointer and stops waiting for a splash that is gone.
        setAttribute(Qt::WA_DeleteOnClose);
        close();
    }
}
