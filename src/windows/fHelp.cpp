#include "windows/fHelp.h"

#include "platform/Twips.h"

#include <QLabel>
#include <QPainter>
#include <QStringList>

namespace {

// Holds the page exactly, carriage returns and all, and shows each carriage
// return as a line break (Qt's label would show it as a space).
class HelpLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(contentsRect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                         text().replace(QChar(u'\r'), QChar(u'\n')));
    }
};

// Client area and label size as laid out in twips.
constexpr int kClientWidth = 4680;
constexpr int kClientHeight = 5040;
constexpr int kLabelWidth = 4530;
constexpr int kLabelHeight = 4755;

} // namespace

QString HelpText() {
    const QStringList lines = {
        QStringLiteral("  Using the Image Viewer is quite easy. Simply navigate to folders which "
                       "contain images"
                       " by using the standard folder tree on the main interface."),
        QString(),
        QStringLiteral(" From the toolbar, you can set program options, change browser views, load "
                       "images into the Windows default"
                       " editor, refresh the browser, read this help, and exit the program."),
        QString(),
        QStringLiteral(" To view the selected image at its actual size, dblclick on the image in "
                       "the preview or press the <ENTER> key."
                       " dblclick again or press <ESC> to return to the browser."),
        QStringLiteral("--------------"),
        QStringLiteral(" This program utilizes portions of the Freeimage Image library. For more"
                       " information, visit "
                       "https://freeimage.sourceforge.io/"
                       "."),
        QStringLiteral("--------------"),
        QStringLiteral(" Corvantis"),
    };
    return lines.join(QChar(u'\r'));
}

fHelp::fHelp(QWidget* owner) : QDialog(owner) {
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(QStringLiteral("Vistrel") + QStringLiteral(" Help "));
    setFixedSize(platform::TwipsToPixels(kClientWidth), platform::TwipsToPixels(kClientHeight));

    lblhelp_ = new HelpLabel(this);
    lblhelp_->setObjectName(QStringLiteral("lblhelp"));
    lblhelp_->setFont(QFont(QStringLiteral("Arial"), 9));
    lblhelp_->setWordWrap(true);
    lblhelp_->setTextFormat(Qt::PlainText);
    lblhelp_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Centred with the label's laid-out size, before the text goes in.
    const double left = kClientWidth / 2.0 - kLabelWidth / 2.0;
    const double top = kClientHeight / 2.0 - kLabelHeight / 2.0;
    lblhelp_->setGeometry(platform::TwipsToPixels(left), platform::TwipsToPixels(top),
                          platform::TwipsToPixels(kLabelWidth),
                          platform::TwipsToPixels(kLabelHeight));
    lblhelp_->setText(HelpText());
}

fHelp::~fHelp() = default;
