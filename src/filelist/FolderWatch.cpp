#include "filelist/FolderWatch.h"

#include <QFileSystemWatcher>
#include <QTimer>

namespace {
constexpr int kGatherMs = 300;
}

FolderWatch::FolderWatch(QObject* parent)
    : QObject(parent), watcher_(new QFileSystemWatcher(this)), gather_(new QTimer(this)) {
    gather_->setSingleShot(true);
    gather_->setInterval(kGatherMs);
    connect(gather_, &QTimer::timeout, this, &FolderWatch::changed);
    // Each change restarts the wait, so a burst ends in one report.
    connect(watcher_, &QFileSystemWatcher::directoryChanged, gather_, qOverload<>(&QTimer::start));
}

bool FolderWatch::watch(const QString& folder) {
    if (folder == folder_ && (folder.isEmpty() || !watcher_->directories().isEmpty()))
        return !folder.isEmpty();
    gather_->stop();
    if (!watcher_->directories().isEmpty())
        watcher_->removePaths(watcher_->directories());
    folder_.clear();
    if (folder.isEmpty() || !watcher_->addPath(folder))
        return false;
    folder_ = folder;
    return true;
}

void FolderWatch::setDelay(int milliseconds) {
    gather_->setInterval(milliseconds);
}
