#include "app/fMain.h"

#include "app/FilterTable.h"
#include "app/ToolbarIcons.h"
#include "app/mDirTreeview.h"
#include "app/mStartup.h"
#include "controls/Qv_Progbar.h"
#include "controls/Splitter.h"
#include "controls/ucGIFViewer.h"
#include "filelist/FileListBox.h"
#include "filelist/cFileView.h"
#include "imaging/PictureDecoder.h"
#include "imaging/PictureLoader.h"
#include "imaging/Thumbnailer.h"
#include "platform/ListView.h"
#include "platform/PictureBox.h"
#include "settings/mSetup.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <iterator>
#include <utility>

using platform::PictureBox;

namespace {

constexpr int kSplitterWidthTwips = 90;
constexpr int kStatusHeight = 19;
constexpr int kPanelWidth = 130;

PictureBox* NewPane(QWidget* parent, const char* name, platform::ScaleMode mode) {
    auto* pane = new PictureBox(parent);
    pane->setObjectName(QLatin1String(name));
    pane->setScaleMode(mode);
    return pane;
}

} // namespace

fMain::fMain(QWidget* parent, std::unique_ptr<imaging::PictureDecoder> decoder) : QWidget(parent) {
    setObjectName(QStringLiteral("fMain"));
    quit_ = [] { QCoreApplication::exit(0); };
    CreatePicLoad(std::move(decoder));
    CreateControls();
    CreateThumbnailer();
    Form_Load();
    // Only the window that hosts the tree lists what it selects.
    connect(&TreeNotifier(), &FolderTreeNotifier::FolderChosen, this, [this](const QString& path) {
        const QWidget* host = TreeHost();
        if (host && host->window() == this)
            ChooseFolder(path);
    });
}

fMain::~fMain() {
    // The thumbnailer cancels its requests as it goes, so it must go before
    // the decoder it asks.
    delete thumbnailer_;
    thumbnailer_ = nullptr;
}

void fMain::CreateControls() {
    resize(603, 483); // the default outer size of 9045 x 7245 twips
    CreateToolbar();

    hSplit_ = new Splitter(this);
    hSplit_->setObjectName(QStringLiteral("hSplit"));
    hSplit_->SetSplitterWidth(kSplitterWidthTwips);
    vSplit_ = new Splitter(this);
    vSplit_->setObjectName(QStringLiteral("vSplit"));
    vSplit_->SetSplitterWidth(kSplitterWidthTwips);

    pictreeview_ = NewPane(hSplit_, "pictreeview", platform::ScaleMode::Pixels);
    picLV_ = NewPane(hSplit_, "picLV", platform::ScaleMode::Twips);
    ComboFilter_ = new QComboBox(picLV_);
    ComboFilter_->setObjectName(QStringLiteral("ComboFilter"));
    ComboFilter_->setMaxVisibleItems(static_cast<int>(FilterTable.size()));
    lvFiles_ = new platform::ListView(picLV_);
    lvFiles_->setObjectName(QStringLiteral("lvFiles"));

    picPreview_ = NewPane(vSplit_, "picPreview", platform::ScaleMode::Pixels);
    picPreview_->setDeviceResolution(true); // sharp previews on fine screens
    ucGIF1_ = new ucGIFViewer(picPreview_);
    ucGIF1_->setObjectName(QStringLiteral("ucGIF1"));

    cmdAbout_ = new QPushButton(QStringLiteral("&About this program"), this);
    cmdAbout_->setObjectName(QStringLiteral("cmdAbout"));
    cmdAbout_->resize(cmdAbout_->sizeHint());
    cmdVisit_ = new QPushButton(this);
    cmdVisit_->setObjectName(QStringLiteral("cmdVisit"));
    cmdVisit_->resize(cmdAbout_->size());
    CreateStatusStrip();
    CentreOnScreen();

    connect(picLV_, &PictureBox::Resize, this, &fMain::picLV_Resize);
    connect(picStatus_, &PictureBox::Resize, this, &fMain::picStatus_Resize);
    connect(pictreeview_, &PictureBox::Resize, this, &fMain::pictreeview_Resize);
    connect(picPreview_, &PictureBox::Resize, this, &fMain::picPreview_Resize);
    connect(cmdAbout_, &QPushButton::clicked, this, &fMain::cmdAbout_Click);
    connect(cmdVisit_, &QPushButton::clicked, this, &fMain::cmdVisit_Click);
    // Esc anywhere in the window starts the confirmed exit.
    auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(esc, &QShortcut::activated, this, &QWidget::close);
}

void fMain::CreateToolbar() {
    tbrMain_ = new QToolBar(this);
    tbrMain_->setObjectName(QStringLiteral("tbrMain"));
    tbrMain_->setMovable(false);
    tbrMain_->setFloatable(false);
    tbrMain_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    // One button each: caption, key, image key, tool tip and what it does. An
    // empty caption marks a separator.
    struct Button {
        const char* caption;
        const char* key;
        const char* imageKey;
        const char* toolTip;
        void (fMain::*action)();
    };
    static constexpr Button kButtons[] = {
        {"", "", "", "", nullptr},
        {"&Edit", "Edit", "Edit", "Open selected image in default image editor",
         &fMain::OpenInEditor},
        {"&Refresh", "Refresh", "Refresh", "Refresh File List", &fMain::nPathchange},
        {"", "", "", "", nullptr},
        {"E&xit", "Exit", "Exit", "Exit Program", &fMain::Exit},
        {"", "", "", "", nullptr},
        {"&View", "", "Browse", "Change File List View", &fMain::ToggleListView},
        {"&Options", "", "Options", "Program Options", &fMain::ShowOptions},
        {"&Help", "", "Help", "Help", &fMain::ShowHelp},
    };
    static_assert(std::size(kButtons) == std::tuple_size_v<decltype(toolButtons_)>);
    for (std::size_t i = 0; i < std::size(kButtons); ++i) {
        const Button& spec = kButtons[i];
        if (spec.action == nullptr) {
            toolButtons_[i] = tbrMain_->addSeparator();
            continue;
        }
        QAction* action = tbrMain_->addAction(ToolbarIcon(QLatin1String(spec.imageKey)),
                                              QString::fromLatin1(spec.caption));
        action->setObjectName(QLatin1String(spec.key));
        action->setData(QLatin1String(spec.key));
        action->setToolTip(QLatin1String(spec.toolTip));
        connect(action, &QAction::triggered, this, spec.action);
        toolButtons_[i] = action;
    }
    // The image count sits at the far end of the toolbar.
    auto* spacer = new QWidget(tbrMain_);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    tbrMain_->addWidget(spacer);
    picCount_ = NewPane(tbrMain_, "picCount", platform::ScaleMode::Pixels);
    lblCount_ = new QLabel(picCount_);
    lblCount_->setObjectName(QStringLiteral("lblCount"));
    lblCount_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblCount_->setGeometry(0, 0, 140, 30);
    picCount_->setFixedSize(150, 30);
    tbrMain_->addWidget(picCount_);
    tbrMain_->resize(width(), tbrMain_->sizeHint().height());
}

void fMain::CreateStatusStrip() {
    picStatus_ = NewPane(this, "picStatus", platform::ScaleMode::Pixels);
    picStatus_->resize(width() - 20, kStatusHeight);
    sbInfo_ = new QStatusBar(picStatus_);
    sbInfo_->setObjectName(QStringLiteral("sbInfo"));
    sbInfo_->setSizeGripEnabled(false);
    for (int i = 0; i < 3; ++i) {
        auto* panel = new QLabel(sbInfo_);
        panel->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        if (i > 0) {
            panel->setFixedWidth(kPanelWidth);
        }
        sbInfo_->addPermanentWidget(panel, i == 0 ? 1 : 0);
        panels_[i] = panel;
    }
    pbThumbs_ = new Qv_Progbar(picStatus_);
    pbThumbs_->setObjectName(QStringLiteral("pbThumbs"));
    pbThumbs_->SetBorderStyle(3); // thin sunken, like the panel it lies on
    pbThumbs_->SetBarstyle(1);
    pbThumbs_->SetBarOffset(1);
    pbThumbs_->SetBarcolor(platform::vbHighlight);
    // An idle bar would hide the frame count of the panel beneath it, so it only
    // shows while it has progress to show.
    pbThumbs_->hide();
    connect(pbThumbs_, &Qv_Progbar::PropertyChanged, this, [this](const QString& name) {
        if (name == QLatin1String("Value"))
            pbThumbs_->setVisible(pbThumbs_->Value() != 0);
    });
}

void fMain::Form_Load() {
    const settings::SetupRecord& setup = settings::Setup;
    FileView_ = std::make_unique<cFileView>();
    Flfiles_ = std::make_unique<FileListBox>();
    // The stored window state; a minimized state is never stored.
    if (setup.WindowState == settings::WindowMaximized) {
        setWindowState(Qt::WindowMaximized);
    }
    lblCount_->clear();
    // Tree above (or beside) the list.
    hSplit_->SetChild1(pictreeview_);
    hSplit_->SetChild2(picLV_);
    hSplit_->SetOrientation(setup.PaneSplitOrientation);
    hSplit_->SetSplitPercent(setup.PaneSplitPercent);
    // That pair beside (or above) the preview.
    vSplit_->SetChild1(hSplit_);
    vSplit_->SetChild2(picPreview_);
    vSplit_->SetOrientation(setup.MainSplitOrientation);
    vSplit_->SetSplitPercent(setup.MainSplitPercent);
    // The filter box, entry 0 selected; selecting it runs the filter handler once.
    {
        const QSignalBlocker block(ComboFilter_);
        for (const FilterEntry& entry : FilterTable) {
            ComboFilter_->addItem(QString::fromUtf8(entry.caption.data(),
                                                    static_cast<qsizetype>(entry.caption.size())));
        }
        ComboFilter_->setCurrentIndex(0);
    }
    connect(ComboFilter_, &QComboBox::currentIndexChanged, this, [this] {
        ComboFilter_Click();
        filterJustChanged_ = true;
        QTimer::singleShot(0, this, [this] { filterJustChanged_ = false; });
    });
    // Picking the entry already shown lists the folder again.
    connect(ComboFilter_, &QComboBox::activated, this, [this] {
        if (!std::exchange(filterJustChanged_, false))
            ComboFilter_Click();
    });
    ComboFilter_Click();
    // The view chosen in the options (report or large icons) and the columns.
    lvFiles_->setView(StartView(setup));
    lvFiles_->reportView()->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvFiles_->reportView()->setAlternatingRowColors(true);
    lvFiles_->addColumn(QStringLiteral("Name"), 2200);
    lvFiles_->addColumn(QStringLiteral("Size"), -1, Qt::AlignRight);
    lvFiles_->addColumn(QStringLiteral("Type"), 1500);
    lvFiles_->addColumn(QStringLiteral("Date Modified"));
    // The file counter, the file list binding and its icons.
    BindFileList();
    // The GIF player shows only while a GIF is previewed.
    ucGIF1_->hide();
    setWindowTitle(QStringLiteral("Vistrel"));
    cmdVisit_->setText(QStringLiteral("Visit ") + QStringLiteral("Corvantis"));
}

void fMain::CentreOnScreen() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - frameGeometry().center() + pos());
    }
}

QAction* fMain::ToolbarButton(int index) const {
    if (index < 1 || index > static_cast<int>(toolButtons_.size())) {
        return nullptr;
    }
    return toolButtons_[static_cast<std::size_t>(index - 1)];
}

QLabel* fMain::StatusPanel(int index) const {
    if (index < 1 || index > static_cast<int>(panels_.size())) {
        return nullptr;
    }
    return panels_[static_cast<std::size_t>(index - 1)];
}

void fMain::SetQuitAction(std::function<void()> quit) {
    quit_ = std::move(quit);
}
