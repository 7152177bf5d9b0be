#pragma once

// The About window: the program's name, version and description, and a button
// that starts the system's own system-information tool.

#include <QDialog>

class QLabel;
class QPushButton;

/// "Version " and the project's major.minor.patch version (e.g. "Version 1.2.15").
QString VersionText();

/// The description: the title, what the program is for, and the maker's address.
QString DescriptionText();

/// Starts the system-information tool named by the registry ("PATH" of the
/// MSINFO key, else MSINFO32.EXE in the folder of "MSINFO" when that file
/// exists); when neither is found or the start fails, shows "System Information
/// Is Unavailable At This Time" with an OK button (through the message box
/// seam). Program starts go through the StartProgram seam.
void StartSysInfo(QWidget* parent = nullptr);

class fAbout : public QDialog {
    Q_OBJECT
public:
    /// A modeless About window owned by `owner` (the main window, which keeps
    /// at most one open), not yet shown. It deletes itself when closed.
    explicit fAbout(QWidget* owner);
    ~fAbout() override;

    QLabel* lblTitle() const { return lblTitle_; }
    QLabel* lblVersion() const { return lblVersion_; }
    QLabel* lblDescription() const { return lblDescription_; }
    QLabel* lblDisclaimer() const { return lblDisclaimer_; }
    QPushButton* cmdOK() const { return cmdOK_; }
    QPushButton* cmdSysInfo() const { return cmdSysInfo_; }

protected:
    /// Draws the etched separator above the buttons.
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* picIcon_ = nullptr;
    QLabel* lblTitle_ = nullptr;
    QLabel* lblVersion_ = nullptr;
    QLabel* lblDescription_ = nullptr;
    QLabel* lblDisclaimer_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdSysInfo_ = nullptr;
};
