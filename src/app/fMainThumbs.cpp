// fMain's thumbnails: the large-icon view shows each listed picture as soon as
// the thumbnailer has it, rows on screen first, and pbThumbs shows how far it
// has got. A new listing (folder, filter or refresh) drops what is pending.

#include "app/fMain.h"
#include "imaging/Thumbnailer.h"
#include "platform/ListView.h"

#include <QTimer>

namespace {

/// The large-icon square in the window's own pixels: the standard's size in
/// device pixels, at the ratio its thumbnails are made for.
constexpr int kThumbnailSquare = 128;

qreal RatioOf(imaging::ThumbnailSize size) {
    return size == imaging::ThumbnailSize::Large ? 2.0 : 1.0;
}

} // namespace

void fMain::CreateThumbnailer() {
    thumbnailer_ = new imaging::Thumbnailer(decoder_.get(), imaging::ThumbnailCache(), this);
    thumbnailer_->setSize(imaging::ThumbnailSizeFor(devicePixelRatioF()));
    lvFiles_->setLargeIconSize(kThumbnailSquare);
    connect(thumbnailer_, &imaging::Thumbnailer::thumbnailReady, this,
            [this](const QString& name, const QImage& image) {
                QImage shown = image;
                shown.setDevicePixelRatio(RatioOf(thumbnailer_->size()));
                lvFiles_->setLargeIcon(name, shown);
            });
    connect(thumbnailer_, &imaging::Thumbnailer::thumbnailDropped, this,
            [this](const QString& name) { lvFiles_->setLargeIcon(name, QImage()); });
    connect(thumbnailer_, &imaging::Thumbnailer::progress, this, [this](int done, int total) {
        thumbsDone_ = done;
        thumbsTotal_ = total;
        // The bar repaints and runs pending events on every write; one write
        // per event-loop turn keeps that from nesting.
        if (!thumbsProgressPending_) {
            thumbsProgressPending_ = true;
            QTimer::singleShot(0, this, &fMain::ShowThumbnailProgress);
        }
    });
    connect(lvFiles_, &platform::ListView::rowsInViewChanged, this, &fMain::lvFiles_RowsInView);
}

void fMain::CancelThumbnails() {
    thumbnailer_->cancel();
    thumbsListing_ = 0;
    thumbsDone_ = thumbsTotal_ = 0;
    if (pbThumbs_->Value() != 0)
        pbThumbs_->SetValue(0);
}

void fMain::lvFiles_RowsInView() {
    if (lvFiles_->View() != platform::ListView::LargeIcon || listing_ == 0)
        return;
    QStringList onScreen;
    for (const int row : lvFiles_->rowsInView())
        onScreen << lvFiles_->item(row).text;
    if (thumbsListing_ != listing_) {
        thumbsListing_ = listing_;
        thumbnailer_->setSize(imaging::ThumbnailSizeFor(devicePixelRatioF()));
        QStringList names;
        names.reserve(lvFiles_->count());
        for (int row = 0; row < lvFiles_->count(); ++row)
            names << lvFiles_->item(row).text;
        thumbnailer_->start(FolderPath_, names);
        pbThumbs_->SetMax(thumbnailer_->total());
    }
    thumbnailer_->prioritize(onScreen);
}

void fMain::ShowThumbnailProgress() {
    thumbsProgressPending_ = false;
    if (thumbsTotal_ == 0)
        return;
    pbThumbs_->SetMax(thumbsTotal_);
    pbThumbs_->SetValue(thumbsDone_);
    // Done: the bar steps aside so panel 3 shows its text again.
    if (thumbsDone_ >= thumbsTotal_)
        pbThumbs_->SetValue(0);
}
