// The still preview: the loaded picture (PicLoad) asked for at the preview
// pane's size, painted into picPreview when the decoder answers, the status
// panels that describe it, and the full view's full-size picture.

#include "app/fMain.h"
#include "app/mStartup.h"
#include "controls/ImageAceX.h"
#include "controls/ucGIFViewer.h"
#include "filelist/cFileView.h"
#include "imaging/PictureLoader.h"
#include "imaging/mScaleImage.h"
#include "platform/ListView.h"
#include "platform/PictureBox.h"
#include "windows/fFullview.h"

#include <QLabel>

namespace {

/// The words of panel 2 for a still file that cannot be shown.
const QString kCannotDisplay = QStringLiteral("Cannot display this file");

bool IsGifName(const QString& name) {
    return name.endsWith(QLatin1String(".gif"), Qt::CaseInsensitive);
}

} // namespace

void fMain::CreatePicLoad(std::unique_ptr<imaging::PictureDecoder> decoder) {
    decoder_ = decoder ? std::move(decoder) : MakePictureDecoder();
    PicLoad_ = std::make_unique<imaging::PictureLoader>(*decoder_);
    connect(PicLoad_.get(), &imaging::PictureLoader::Shown, this, &fMain::PicLoad_Shown);
    connect(PicLoad_.get(), &imaging::PictureLoader::FullSize, this, &fMain::PicLoad_FullSize);
}

QSize fMain::PreviewBox() const {
    return (QSizeF(picPreview_->size()) * picPreview_->devicePixelRatioF()).toSize();
}

QStringList fMain::PreviewNeighbours() const {
    // The next file first: stepping forward is the common way through a folder.
    QStringList paths;
    const int row = lvFiles_->selectedRow();
    for (const int near : {row + 1, row - 1}) {
        // GIFs play in their own engine; decoding them here would be wasted.
        if (row >= 0 && near >= 0 && near < lvFiles_->count() &&
            !IsGifName(lvFiles_->item(near).text))
            paths << FileView_->FilePath(near);
    }
    return paths;
}

void fMain::PaintPreview() {
    // The pane holds device pixels and the picture was decoded for them, so
    // it is placed in device pixels, 1:1; the ratio goes back on for drawing.
    QImage& surface = picPreview_->Surface();
    const qreal dpr = surface.devicePixelRatio();
    surface.setDevicePixelRatio(1.0);
    imaging::ScalePreview(PicLoad_->Current().image, surface,
                          platform::RgbFromRef(picPreview_->BackColor()), 0, true);
    surface.setDevicePixelRatio(dpr);
    picPreview_->update();
}

void fMain::PicLoad_Shown(const imaging::Picture& picture) {
    // Unreadable means visible: the pane is cleared rather than left showing
    // the previous picture under the new name.
    PaintPreview();
    StatusPanel(1)->setText(SelectedName_.trimmed());
    StatusPanel(2)->setText(picture.IsOk() ? QStringLiteral("%1x%2")
                                                 .arg(picture.originalSize.width())
                                                 .arg(picture.originalSize.height())
                                           : kCannotDisplay);
    StatusPanel(3)->clear();
}

void fMain::PicLoad_FullSize(const imaging::Picture& picture) {
    fFullview* full = Fullview_;
    if (!full)
        return;
    // Without a stand-in (the preview had not arrived) the full picture is
    // the first one the view gets.
    if (picture.IsOk() && full->imView()->OriginalSize() == picture.originalSize)
        full->imView()->setSharperPicture(picture.image);
    else if (picture.IsOk())
        full->imView()->setPicture(picture.image, picture.originalSize);
    else
        full->imView()->setPicture(QImage(), QSize());
}

void fMain::ShowStillPreview(const QString& path) {
    ucGIF1_->hide();
    if (Fullview_)
        Fullview_->ucGIFView()->hide();
    // Transparent parts show the pane's own colour, as they always have.
    PicLoad_->SetBackground(platform::RgbFromRef(picPreview_->BackColor()));
    PicLoad_->LoadImageFile(path, PreviewBox(), PreviewNeighbours());
}

void fMain::picPreview_DblClick() {
    fFullview* full = FullviewWindow();
    const QString& path = SelectedPath_;
    const imaging::Picture& shown = PicLoad_->Current();
    const bool current = !SelectedName_.isEmpty() && shown.path == path && shown.IsOk();
    // The preview stands in, drawn enlarged, until the full-size picture
    // replaces it.
    full->imView()->setPicture(current ? shown.image : QImage(),
                               current ? shown.originalSize : QSize());
    connect(full, &QObject::destroyed, PicLoad_.get(), &imaging::PictureLoader::CancelFullSize,
            Qt::UniqueConnection);
    if (SelectedName_.isEmpty())
        PicLoad_->CancelFullSize();
    else
        PicLoad_->LoadFullSize(path);
    full->ShowModeless();
}

void fMain::picPreview_Resize() {
    PaintPreview();
    ucGIF1_->setGeometry(0, 0, picPreview_->width(), picPreview_->height());
    // A pane grown past the decoded picture asks for it again at the new size.
    const imaging::Picture& shown = PicLoad_->Current();
    const QSize box = PreviewBox();
    const bool shrunk = shown.IsOk() && shown.image.size() != shown.originalSize;
    const bool grown = box.width() > shown.box.width() || box.height() > shown.box.height();
    if (shrunk && grown && !PicLoad_->Pending() && !ucGIF1_->isVisible() &&
        shown.path == SelectedPath_)
        PicLoad_->LoadImageFile(shown.path, box, PreviewNeighbours());
}
