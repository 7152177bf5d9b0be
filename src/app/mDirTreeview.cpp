#include "app/mDirTreeview.h"

#include <QPointer>
#include <QWidget>

namespace {

QPointer<QWidget>& HostPane() {
    static QPointer<QWidget> pane;
    return pane;
}

} // namespace

void SetTreeHost(QWidget* pane) {
    HostPane() = pane;
}

QWidget* TreeHost() {
    return HostPane();
}

void ShowFolderTree(std::string& /*startFolder*/) {
    // Seam: the folder tree is not built yet, so there is nothing to show.
}

void DetachTree() {
    // Seam: nothing is attached yet.
}

void MoveTree(int /*left*/, int /*top*/, int /*width*/, int /*height*/) {
    // Seam: no tree to move yet.
}
