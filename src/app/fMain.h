#pragma once

// Where the program as a whole departs from the original program and from
// earlier versions, and why, is listed in docs/mends.md.

#include "controls/Qv_Progbar.h"
#include "imaging/PictureDecoder.h"
#include "windows/fFullview.h"

#include <QByteArray>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QPushButton;
class QStatusBar;
class QToolBar;
class Splitter;
class cFileView;
class FolderWatch;
class ucGIFViewer;
class FileListBox;
class fAbout;
class fHelp;
class fOptions;

namespace platform {
class ListView;
class PictureBox;
} // namespace platform

namespace imaging {
class PictureLoader;
struct Picture;
class PictureDecoder;
class Thumbnailer;
} // namespace imaging

/// The program's main window: the toolbar, the folder tree pane and the file list
/// (split by hSplit), the preview pane (split from them by vSplit), the About and
/// Visit buttons and the status strip. Its scale is pixels; its outer size is
/// stored in twips. Closing it asks for confirmation and, on Yes, saves the
/// settings and ends the program.
///
/// Controls are owned by the window (Qt parent-child); the accessors hand out
/// non-owning pointers that stay valid as long as the window lives.
class fMain : public QWidget {
    Q_OBJECT
public:
    /// Runs the creation handler: builds the controls and applies the stored
    /// window state and splitter settings. The window stays hidden. Still
    /// pictures are decoded by `decoder` (owned by the window from now on);
    /// without one, by MakePictureDecoder()'s.
    explicit fMain(QWidget* parent = nullptr,
                   std::unique_ptr<imaging::PictureDecoder> decoder = nullptr);
    ~fMain() override;

    QToolBar* tbrMain() const { return tbrMain_; }
    Splitter* vSplit() const { return vSplit_; }
    Splitter* hSplit() const { return hSplit_; }
    platform::PictureBox* pictreeview() const { return pictreeview_; }
    platform::PictureBox* picLV() const { return picLV_; }
    platform::PictureBox* picPreview() const { return picPreview_; }
    /// The loaded still picture: what the preview and the full view show.
    imaging::PictureLoader& PicLoad() const { return *PicLoad_; }
    imaging::PictureDecoder& Decoder() const { return *decoder_; }
    platform::PictureBox* picStatus() const { return picStatus_; }
    platform::PictureBox* picCount() const { return picCount_; }
    QComboBox* ComboFilter() const { return ComboFilter_; }
    platform::ListView* lvFiles() const { return lvFiles_; }
    /// The GIF viewer that lies over the preview pane (shown for GIF files).
    ucGIFViewer* ucGIF1() const { return ucGIF1_; }
    QPushButton* cmdAbout() const { return cmdAbout_; }
    QPushButton* cmdVisit() const { return cmdVisit_; }
    QStatusBar* sbInfo() const { return sbInfo_; }
    /// The progress bar over status panel 3; shown only while its Value is not 0.
    Qv_Progbar* pbThumbs() const { return pbThumbs_; }
    QLabel* lblCount() const { return lblCount_; }

    /// Toolbar button by its 1-based index (1..9); buttons 1, 4 and 6 are
    /// separators. nullptr outside the range.
    QAction* ToolbarButton(int index) const;
    /// Status bar panel by its 1-based index (1..3); nullptr outside the range.
    QLabel* StatusPanel(int index) const;

    /// Sets the outer size (frame included) in twips; a maximized window keeps its
    /// state and takes the size as its normal size.
    void SetOuterSizeTwips(int widthTwips, int heightTwips);
    /// The outer size in twips (frame included).
    QSize OuterSizeTwips() const;
    /// Places the window in the middle of the primary screen's free area.
    void CentreOnScreen();

    /// Makes `folder` the current folder and lists it (what a selection in
    /// the folder tree does).
    void ChooseFolder(const QString& folder);
    /// Re-lists the current folder (for the tree, the filter and Refresh):
    /// clears the preview, points Flfiles at the current folder, lists the
    /// folder it shows through FileView and, when that worked, stores LastPath
    /// and shows the image count. Every step runs even when an earlier one
    /// failed.
    void nPathchange();

    /// Selects the listed file called `name` (as Qt decodes file names) and
    /// shows it as a click on it would. Returns false when it is not listed.
    bool ShowFile(const QString& name);
    /// Watches the listed folder so that the list follows its changes.
    FolderWatch& Watch() const { return *Watch_; }

    /// The file list object bound to lvFiles, and the hidden file counter.
    cFileView& FileView() const { return *FileView_; }
    FileListBox& Flfiles() const { return *Flfiles_; }
    /// The folder listed last, with a trailing separator after a listing.
    const QString& FolderPath() const { return FolderPath_; }
    /// The ";"-separated wildcard pattern of the selected filter entry; the
    /// all-formats pattern from creation on.
    const QString& FilterPattern() const { return FilterPattern_; }
    /// FolderPath and the file name taken at the last item click.
    const QString& SelectedFolder() const { return SelectedFolder_; }
    const QString& SelectedName() const { return SelectedName_; }
    /// The first 10 bytes of the last clicked file (zeros past a short file's
    /// end); empty before the first click.
    const QByteArray& SelectedSignature() const { return SelectedSignature_; }

    /// Handlers of lvFiles (item click, key press), of the preview pane and of
    /// ucGIF1 (double clicks), public so that hosts and tests can run them.
    /// The double clicks open the full view (owned by this window)
    /// with PicLoad's preview enlarged, replaced by the full-size picture when
    /// it is decoded; or with the selected GIF when ucGIF1 holds one.
    void lvFiles_ItemClick();
    void lvFiles_KeyPress(int keyAscii);
    void picPreview_DblClick();
    void ucGIF1_DblClick();
    /// Moves the list's selection as the full view asks (no wrap-around: the
    /// ends stay), runs the item click so the preview and the panels follow,
    /// and shows the new file in the full view (fMainFullview.cpp).
    void FullviewStep(fFullview::Step step);

    /// Makes the thumbnails of the listed folder while the large-icon view is
    /// shown; its progress shows on pbThumbs.
    imaging::Thumbnailer* thumbnailer() const { return thumbnailer_; }
    /// The full view while it is open (made on the first double click or
    /// Enter, gone when closed), else nullptr.
    fFullview* Fullview() const { return Fullview_; }

    /// What the confirmed exit does last, to end the program; by default
    /// QCoreApplication::exit(0). Tests replace it.
    void SetQuitAction(std::function<void()> quit);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    /// The full view, connected to FullviewStep and told where in the list
    /// the selected file is.
    fFullview* FullviewWindow();

    // Creation (fMain.cpp)
    void CreateControls();
    void CreateToolbar();
    void CreateStatusStrip();
    void Form_Load();
    // Geometry (fMainLayout.cpp)
    void Form_Resize();
    void picLV_Resize();
    void picStatus_Resize();
    void pictreeview_Resize();
    bool EnforceMinimumSize();
    // Commands (fMainCommands.cpp)
    void Exit();
    bool ConfirmExit();
    void StoreWindowSettings();
    void cmdAbout_Click();
    void cmdVisit_Click();
    void ShowOptions();
    void ShowHelp();
    // Behaviour of the folder, filter, list and preview (fMainBehaviour.cpp)
    void ComboFilter_Click();
    void ShowUnreadableFolder();
    void FolderChanged();
    void OpenInEditor();
    void ToggleListView();
    void picPreview_Resize();
    void DestroyPreviewGif();
    void BindFileList();
    void ShowGifPreview(const QString& path);
    void ShowStillPreview(const QString& path);
    // The still preview (fMainPreview.cpp)
    void CreatePicLoad(std::unique_ptr<imaging::PictureDecoder> decoder);
    QSize PreviewBox() const;
    QStringList PreviewNeighbours() const;
    void PaintPreview();
    void PicLoad_Shown(const imaging::Picture& picture);
    void PicLoad_FullSize(const imaging::Picture& picture);
    // Thumbnails of the large-icon view (fMainThumbs.cpp)
    void CreateThumbnailer();
    void CancelThumbnails();
    void lvFiles_RowsInView();
    void ShowThumbnailProgress();

    QToolBar* tbrMain_ = nullptr;
    std::array<QAction*, 9> toolButtons_{};
    Splitter* vSplit_ = nullptr;
    Splitter* hSplit_ = nullptr;
    platform::PictureBox* pictreeview_ = nullptr;
    platform::PictureBox* picLV_ = nullptr;
    platform::PictureBox* picPreview_ = nullptr;
    platform::PictureBox* picStatus_ = nullptr;
    platform::PictureBox* picCount_ = nullptr;
    QComboBox* ComboFilter_ = nullptr;
    platform::ListView* lvFiles_ = nullptr;
    ucGIFViewer* ucGIF1_ = nullptr;
    QPushButton* cmdAbout_ = nullptr;
    QPushButton* cmdVisit_ = nullptr;
    QStatusBar* sbInfo_ = nullptr;
    std::array<QLabel*, 3> panels_{};
    Qv_Progbar* pbThumbs_ = nullptr;
    QLabel* lblCount_ = nullptr;
    // The windows this one opens, at most one of each; each deletes itself
    // when closed (and goes with this window).
    QPointer<fAbout> About_;
    QPointer<fHelp> Help_;
    QPointer<fOptions> Options_;
    QPointer<fFullview> Fullview_;
    std::function<void()> quit_;
    bool exiting_ = false;
    std::unique_ptr<cFileView> FileView_;
    std::unique_ptr<FileListBox> Flfiles_;
    // The loader refers to the decoder, so it goes first.
    std::unique_ptr<imaging::PictureDecoder> decoder_;
    std::unique_ptr<imaging::PictureLoader> PicLoad_;
    FolderWatch* Watch_ = nullptr;
    /// The filter box's index changed just now; its activation that follows
    /// must not list the folder a second time.
    bool filterJustChanged_ = false;
    /// A folder is being listed (listing lets timers run).
    bool readingFolder_ = false;
    /// The folder chosen last in the tree; empty before the first choice.
    QString CurrentFolder_;
    QString FolderPath_;
    QString FilterPattern_;
    QString SelectedFolder_;
    QString SelectedName_;
    /// The clicked file as it can be opened (the name's own bytes kept).
    QString SelectedPath_;
    QByteArray SelectedSignature_;
    imaging::Thumbnailer* thumbnailer_ = nullptr;
    int listing_ = 0;       // counts successful listings
    int thumbsListing_ = 0; // the listing the thumbnailer works on (0: none)
    int thumbsDone_ = 0;
    int thumbsTotal_ = 0;
    bool thumbsProgressPending_ = false;
};
