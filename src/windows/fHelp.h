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
    /// Shows the one program-wide help window, modeless, owned by `owner` (the
    /// main window); creates it first when it is not open. The window deletes
    /// itself when closed.
    static fHelp* ShowHelp(QWidget* owner);

    /// The open help window, or null.
    static fHelp* Instance();

    ~fHelp() override;

    /// The label holding the page.
    QLabel* lblhelp() const { return lblhelp_; }

private:
    explicit fHelp(QWidget* owner);

    QLabel* lblhelp_ = nullptr;
};
