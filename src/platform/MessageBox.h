#pragma once

// Every message box of the program goes through MsgBox, so that tests can answer
// boxes through a responder instead of leaving a modal box open.

#include <QString>
#include <functional>
#include <vector>

class QWidget;

namespace platform {

/// The button sets a box can offer.
enum class MsgButtons { OK, OKCancel, AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel };

/// The icon shown beside the text.
enum class MsgIcon { None, Critical, Question, Exclamation, Information };

/// The button that closed the box. Closing a box without a button (Esc, the close
/// box) gives the box's escape button: Cancel, No for Yes/No, OK for OK alone.
enum class MsgResult { OK = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

/// The title used when the caller passes none.
inline constexpr const char* DefaultMsgTitle = "Vistrel";

/// What a box was asked to show; `title` is already the effective title.
struct MsgRequest {
    QString text;
    QString title;
    MsgButtons buttons = MsgButtons::OK;
    MsgIcon icon = MsgIcon::None;
};

/// Answers a request in place of a visible box.
using MsgResponder = std::function<MsgResult(const MsgRequest&)>;

/// Shows a modal message box and returns the button pressed. An empty `title`
/// becomes "Vistrel". `parent` may be null. When a responder is installed
/// (ScopedMessageBoxResponder) no box is shown and the responder's answer is
/// returned instead.
MsgResult MsgBox(const QString& text, MsgButtons buttons = MsgButtons::OK,
                 MsgIcon icon = MsgIcon::None, const QString& title = {},
                 QWidget* parent = nullptr);

/// Test seam: while alive, every MsgBox request is recorded and answered by the
/// responder (or by a fixed answer) without showing a box. Instances nest; the
/// innermost one answers, and the previous one is back in force when it ends.
/// Use on the user-interface thread only.
class ScopedMessageBoxResponder {
public:
    explicit ScopedMessageBoxResponder(MsgResponder responder);
    explicit ScopedMessageBoxResponder(MsgResult fixedAnswer);
    ~ScopedMessageBoxResponder();
    ScopedMessageBoxResponder(const ScopedMessageBoxResponder&) = delete;
    ScopedMessageBoxResponder& operator=(const ScopedMessageBoxResponder&) = delete;

    /// Requests answered by this responder, oldest first.
    const std::vector<MsgRequest>& requests() const { return requests_; }

private:
    friend MsgResult MsgBox(const QString&, MsgButtons, MsgIcon, const QString&, QWidget*);
    MsgResult answer(const MsgRequest& request);

    MsgResponder responder_;
    std::vector<MsgRequest> requests_;
    ScopedMessageBoxResponder* previous_ = nullptr;
};

} // namespace platform
