// fMain's behaviour when the folder, the filter or the selected file changes:
// the listing, the image count, the preview and the status panels.

#include "app/FilterTable.h"
#include "app/fMain.h"
#include "app/mDirTreeview.h"
#include "app/mStartup.h"
#include "controls/ImageAceX.h"
#include "controls/ucGIFViewer.h"
#include "filelist/FileListBox.h"
#include "filelist/FolderWatch.h"
#include "filelist/cFileView.h"
#include "imaging/PictureLoader.h"
#include "platform/ListView.h"
#include "platform/MessageBox.h"
#include "platform/PictureBox.h"
#include "platform/Util.h"
#include "platform/WaitCursor.h"
#include "settings/Preferences.h"
#include "settings/mSetup.h"
#include "windows/fFullview.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QScopedValueRollback>
#include <QTimer>

namespace {

QString FromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString WithBackslash(const QString& path) {
    std::string bytes = QFile::encodeName(path).toStdString();
    return QFile::decodeName(QByteArray::fromStdString(AddBackslash(bytes)));
}

} // namespace

void fMain::BindFileList() {
    const QString all = FromView(AllFormatsPattern);
    // Every listed format until a filter is chosen.
    Flfiles_->setPattern(all);
    FileView_->setListView(lvFiles_);
    FileView_->setPattern(all);
    FilterPattern_ = FileView_->Pattern();
    // The list borrows the desktop's small file icons.
    if (!FileView_->AssignSysIL()) {
        platform::MsgBox(QStringLiteral("Error in AssignSysIl"), platform::MsgButtons::OK,
                         platform::MsgIcon::None, QStringLiteral("Vistrel"), this);
    }
    // The order chosen last time, by name ascending on the first start.
    lvFiles_->sortBy(settings::Preferences::SortColumn(), settings::Preferences::SortDescending()
                                                              ? Qt::DescendingOrder
                                                              : Qt::AscendingOrder);
    connect(lvFiles_, &platform::ListView::sortChanged, this, [](int column, Qt::SortOrder order) {
        settings::Preferences::SetSort(column, order == Qt::DescendingOrder);
    });
    Watch_ = new FolderWatch(this);
    connect(Watch_, &FolderWatch::changed, this, &fMain::FolderChanged);
    connect(lvFiles_, &platform::ListView::itemClick, this, [this] { lvFiles_ItemClick(); });
    connect(lvFiles_, &platform::ListView::keyPress, this, &fMain::lvFiles_KeyPress);
    connect(picPreview_, &platform::PictureBox::DblClick, this, &fMain::picPreview_DblClick);
    connect(ucGIF1_, &ucGIFViewer::DblClick, this, &fMain::ucGIF1_DblClick);
}

void fMain::ChooseFolder(const QString& folder) {
    CurrentFolder_ = folder;
    nPathchange();
}

void fMain::nPathchange() {
    if (!FileView_ || !Flfiles_)
        return;
    // Nothing of the old folder stays on show or in work.
    picPreview_->Cls();
    PicLoad_->CancelShown();
    DestroyPreviewGif();
    CancelThumbnails();
    const QScopedValueRollback busy(readingFolder_, true);
    // A folder that cannot be read shows as such; only a blank folder (none
    // named) lists the counter's folder again.
    const QString& wanted = CurrentFolder_;
    if (!Flfiles_->setPath(wanted) && !wanted.trimmed().isEmpty()) {
        ShowUnreadableFolder();
        return;
    }
    FolderPath_ = Flfiles_->Path();
    FileView_->setPattern(FilterPattern_);
    // Until a folder has been accepted there is nothing to list (an empty
    // path would become the root folder).
    if (FolderPath_.isEmpty())
        return;
    FolderPath_ = WithBackslash(FolderPath_);
    if (!FileView_->ListFiles(FolderPath_, true))
        return;
    ++listing_; // its thumbnails start once the large-icon view shows it
    if (Watch_)
        Watch_->watch(Flfiles_->Path());
    // A blank folder names no folder; it is not worth remembering.
    if (!wanted.trimmed().isEmpty())
        settings::Setup.LastPath = settings::StoredFolder(wanted);
    lblCount_->setText(QStringLiteral("%1 Image Files").arg(Flfiles_->ListCount()));
}

void fMain::ShowUnreadableFolder() {
    lvFiles_->clear();
    if (Watch_)
        Watch_->watch({});
    lblCount_->setText(QStringLiteral("0 Image Files"));
    StatusPanel(1)->setText(QStringLiteral("Cannot read this folder"));
    StatusPanel(2)->clear();
    StatusPanel(3)->clear();
}

void fMain::FolderChanged() {
    // A listing under way lets timers run; this one waits for it to end.
    if (readingFolder_) {
        QTimer::singleShot(300, this, &fMain::FolderChanged);
        return;
    }
    const QString folder = Watch_->folder();
    if (folder.isEmpty() || folder != Flfiles_->Path())
        return;
    const QScopedValueRollback busy(readingFolder_, true);
    if (!QFileInfo(folder).isDir()) {
        // The folder shown has gone: the tree moves up to what is left of it.
        Watch_->watch({});
        ShowNearestFolder(folder);
        return;
    }
    Flfiles_->Refresh();
    if (FileView_->Relist(FolderPath_, true)) {
        lblCount_->setText(QStringLiteral("%1 Image Files").arg(Flfiles_->ListCount()));
        // The rows were laid anew: their thumbnails come back from memory or
        // the cache, and new files get theirs.
        ++listing_;
        lvFiles_RowsInView();
    }
    Watch_->watch(folder); // a folder replaced under its name needs a new watch
}

bool fMain::ShowFile(const QString& name) {
    const int row = FileView_->FindRow(QFile::encodeName(name));
    if (row < 0)
        return false;
    lvFiles_->selectRow(row);
    lvFiles_->ensureVisible(row);
    lvFiles_ItemClick();
    return true;
}

void fMain::ComboFilter_Click() {
    const int index = ComboFilter_->currentIndex();
    if (index >= 0 && index < static_cast<int>(FilterTable.size()))
        FilterPattern_ = FromView(FilterTable[static_cast<std::size_t>(index)].pattern);
    if (Flfiles_)
        Flfiles_->setPattern(FilterPattern_);
    nPathchange();
}

void fMain::lvFiles_ItemClick() {
    SelectedFolder_ = WithBackslash(FolderPath_);
    SelectedName_ = lvFiles_->selectedText();
    // The row keeps the name's own bytes: the shown name may differ from it.
    const QString path = FileView_->FilePath(lvFiles_->selectedRow());
    SelectedPath_ = path;
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return;
    // A file shorter than the signature leaves the rest zero, so it never
    // reads as "GIF".
    SelectedSignature_ = file.read(10).leftJustified(10, '\0', true);
    file.close();

    if (SelectedSignature_.startsWith("GIF")) {
        // A still picture still on its way must not paint over the GIF.
        PicLoad_->CancelShown();
        const platform::WaitCursor hourglass;
        ShowGifPreview(path);
    } else {
        ShowStillPreview(path);
    }
}

void fMain::ShowGifPreview(const QString& path) {
    ucGIF1_->setAutoPlay(true);
    ucGIF1_->Destroy();
    ucGIF1_->LoadFromFile(path);
    ucGIF1_->show();
    StatusPanel(1)->setText(SelectedName_.trimmed());
    // The logical screen's size is unsigned 16-bit in the file.
    StatusPanel(2)->setText(QStringLiteral("%1x%2")
                                .arg(quint16(ucGIF1_->GIFWidth()))
                                .arg(quint16(ucGIF1_->GIFHeight())));
    StatusPanel(3)->setText(QStringLiteral("%1 Frames").arg(ucGIF1_->GIFFrames()));
}

void fMain::lvFiles_KeyPress(int keyAscii) {
    if (keyAscii == platform::KeyAsciiEscape) {
        close();
    } else if (keyAscii == platform::KeyAsciiReturn) {
        if (SelectedSignature_.startsWith("GIF"))
            ucGIF1_DblClick();
        else
            picPreview_DblClick();
    }
}

void fMain::ucGIF1_DblClick() {
    if (!ucGIF1_->GIFLoaded()) {
        picPreview_DblClick();
        return;
    }
    fFullview* full = FullviewWindow();
    full->ucGIFView()->LoadFromFile(SelectedPath_);
    full->ucGIFView()->show();
    full->ShowModeless();
}

void fMain::OpenInEditor() {
    if (!SelectedName_.isEmpty())
        platform::ShellOpen(SelectedPath_);
}

void fMain::ToggleListView() {
    if (lvFiles_->View() != platform::ListView::Report) {
        lvFiles_->setView(platform::ListView::Report);
    } else {
        lvFiles_->setView(platform::ListView::LargeIcon);
        if (FileView_)
            FileView_->AssignSysIL();
    }
}

void fMain::DestroyPreviewGif() {
    ucGIF1_->Destroy();
}
