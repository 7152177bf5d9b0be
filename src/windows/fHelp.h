#pragma once

// The help window: one fixed page of usage hints.

#include <QDialog>

class QLabel;

/// The help page: its lines joined by single carriage returns (U+000D), with no
/// break after the last line.
QString HelpText();

class fHelp : public QDialog {
    Q_OBJECT
public:
    /// A modeless help window owned by `owner` (the main window, which keeps at
    /// most one open), not yet shown. It deletes itself when closed.
    explicit fHelp(QWidget* owner);

    ~fHelp() override;

    /// The label holding the page.
    QLabel* lblhelp() const { return lblhelp_; }

private:
    QLabel* lblhelp_ = nullptr;
};
