#pragma once

#include <QObject>
#include <QString>

class QFileSystemWatcher;
class QTimer;

/// Watches the one folder that is shown and reports its changes gathered: a
/// burst of changes (a copy of many files, an editor's save in steps) gives one
/// `changed` about 300 ms after the last of them. A folder the system cannot
/// watch (the limit of watches reached, a file system without notifications)
/// is simply not watched; the list then follows only Refresh.
class FolderWatch : public QObject {
    Q_OBJECT
public:
    explicit FolderWatch(QObject* parent = nullptr);

    /// Watches `folder` instead of the folder watched so far; an empty path
    /// watches nothing. Returns whether the folder is watched.
    bool watch(const QString& folder);
    /// The folder watched, or empty.
    QString folder() const { return folder_; }

    /// How long changes are gathered; 300 ms unless changed.
    void setDelay(int milliseconds);

signals:
    /// The watched folder's entries changed (or the folder itself went).
    void changed();

private:
    QFileSystemWatcher* watcher_;
    QTimer* gather_;
    QString folder_;
};
