// fMain's side of the full view: stepping through the list from inside it.
// The list stays the one place that knows the order and the filter, so the
// full view only asks for a step and the normal click path does the rest.

#include "app/fMain.h"
#include "controls/ImageAceX.h"
#include "controls/ucGIFViewer.h"
#include "platform/ListView.h"

#include <QFileInfo>
#include <algorithm>

fFullview* fMain::FullviewWindow() {
    if (!Fullview_) {
        Fullview_ = new fFullview(this);
        connect(Fullview_, &fFullview::StepRequested, this, &fMain::FullviewStep);
    }
    fFullview* full = Fullview_;
    full->setPosition(SelectedName_, lvFiles_->selectedRow() + 1, lvFiles_->count());
    return full;
}

void fMain::FullviewStep(fFullview::Step step) {
    const int count = lvFiles_->count();
    const int current = lvFiles_->selectedRow();
    if (count == 0)
        return;
    int target = current;
    switch (step) {
    case fFullview::Step::Next:
        target = std::min(current + 1, count - 1);
        break;
    case fFullview::Step::Previous:
        target = std::max(current - 1, 0);
        break;
    case fFullview::Step::First:
        target = 0;
        break;
    case fFullview::Step::Last:
        target = count - 1;
        break;
    }
    if (target == current) {
        FullviewWindow(); // at an end: the line says so again
        return;
    }
    lvFiles_->selectRow(target);
    lvFiles_->ensureVisible(target);
    lvFiles_ItemClick();
    if (!QFileInfo(SelectedPath_).isFile()) {
        // Gone since the list was read: show nothing rather than the last
        // picture under the new name.
        fFullview* full = FullviewWindow();
        full->ucGIFView()->Destroy();
        full->ucGIFView()->hide();
        full->imView()->setPicture(QImage());
        full->setPosition(SelectedName_, target + 1, count);
        return;
    }
    if (SelectedSignature_.startsWith("GIF")) {
        ucGIF1_DblClick();
    } else {
        picPreview_DblClick();
        // A GIF left behind the still keeps no timer running.
        FullviewWindow()->ucGIFView()->Destroy();
    }
}
