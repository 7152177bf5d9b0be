#pragma once

// The options dialog: the two start-up choices and the arrangement of the folder
// tree and the file list. An arrangement clicked applies to the main window's
// tree/list splitter at once; only the Apply and Ok buttons write the settings.

#include <QDialog>
#include <QPointer>
#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class Splitter;

class fOptions : public QDialog {
    Q_OBJECT
public:
    /// A modeless options dialog owned by `owner` (the main window, which keeps
    /// at most one open and shows the open one as it is), loaded from the
    /// settings and acting on `hSplit` (the tree/list splitter; not owned, may
    /// be null or go away). Not yet shown; it deletes itself when closed.
    fOptions(QWidget* owner, Splitter* hSplit);

    ~fOptions() override;

    QLabel* lblOpts() const { return lblOpts_; }
    /// 0: "start with last browsed image path"; 1: "start in thumbnail view".
    QCheckBox* ckOptions(int index) const;
    QGroupBox* frsplitter1() const { return frsplitter1_; }
    /// 0: tree and list side by side; 1: tree above the list.
    QRadioButton* optSplitters(int index) const;
    /// The pictures of the two arrangements: Image1 stacked, Image2 side by side.
    QWidget* Image1() const { return image1_; }
    QWidget* Image2() const { return image2_; }
    /// 0: "&Apply"; 1: "&Ok".
    QPushButton* cmdAction(int index) const;

    /// Stores the dialog's choices in the settings and saves them; index 1 then
    /// closes the dialog. Any other index does nothing.
    void cmdAction_Click(int index);

private:
    void CreateControls();
    void Form_Load();
    void optSplitters_Click(int index);
    void SelectOption(int index);

    QPointer<Splitter> hSplit_;
    QLabel* lblOpts_ = nullptr;
    std::array<QCheckBox*, 2> ckOptions_{};
    QGroupBox* frsplitter1_ = nullptr;
    std::array<QRadioButton*, 2> optSplitters_{};
    QWidget* image1_ = nullptr;
    QWidget* image2_ = nullptr;
    std::array<QPushButton*, 2> cmdAction_{};
};
