#include "platform/MessageBox.h"

#include <QMessageBox>

namespace platform {
namespace {

ScopedMessageBoxResponder*& currentResponder() {
    static ScopedMessageBoxResponder* responder = nullptr;
    return responder;
}

QMessageBox::StandardButtons standardButtons(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::OK:
        return QMessageBox::Ok;
    case MsgButtons::OKCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::AbortRetryIgnore:
        return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    case MsgButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MsgButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::RetryCancel:
        return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon standardIcon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::None:
        return QMessageBox::NoIcon;
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Information:
        return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

// The answer when the box is closed without a button; Abort/Retry/Ignore has
// no escape button in the old toolkit, and Ignore leaves things as they are.
MsgResult escapeResult(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::OK:
        return MsgResult::OK;
    case MsgButtons::YesNo:
        return MsgResult::No;
    case MsgButtons::AbortRetryIgnore:
        return MsgResult::Ignore;
    case MsgButtons::OKCancel:
    case MsgButtons::YesNoCancel:
    case MsgButtons::RetryCancel:
        return MsgResult::Cancel;
    }
    return MsgResult::Cancel;
}

MsgResult resultOf(int button, MsgButtons buttons) {
    switch (button) {
    case QMessageBox::Ok:
        return MsgResult::OK;
    case QMessageBox::Cancel:
        return MsgResult::Cancel;
    case QMessageBox::Abort:
        return MsgResult::Abort;
    case QMessageBox::Retry:
        return MsgResult::Retry;
    case QMessageBox::Ignore:
        return MsgResult::Ignore;
    case QMessageBox::Yes:
        return MsgResult::Yes;
    case QMessageBox::No:
        return MsgResult::No;
    default:
        return escapeResult(buttons);
    }
}

} // namespace

MsgResult MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title,
                 QWidget* parent) {
    const MsgRequest request{text, title.isEmpty() ? QString::fromLatin1(DefaultMsgTitle) : title,
                             buttons, icon};
    if (ScopedMessageBoxResponder* responder = currentResponder()) {
        return responder->answer(request);
    }
    QMessageBox box(standardIcon(icon), request.title, request.text, standardButtons(buttons),
                    parent);
    return resultOf(box.exec(), buttons);
}

ScopedMessageBoxResponder::ScopedMessageBoxResponder(MsgResponder responder)
    : responder_(std::move(responder)), previous_(currentResponder()) {
    currentResponder() = this;
}

ScopedMessageBoxResponder::ScopedMessageBoxResponder(MsgResult fixedAnswer)
    : ScopedMessageBoxResponder([fixedAnswer](const MsgRequest&) { return fixedAnswer; }) {}

ScopedMessageBoxResponder::~ScopedMessageBoxResponder() {
    currentResponder() = previous_;
}

MsgResult ScopedMessageBoxResponder::answer(const MsgRequest& request) {
    requests_.push_back(request);
    return responder_ ? responder_(request) : escapeResult(request.buttons);
}

} // namespace platform
