#pragma once

#include <QObject>
#include <QString>
#include <string>

class QTreeView;
class QWidget;

// The folder tree that lives in the main window's left pane: a tree of the
// file system's folders (hidden ones not shown). Every selection is announced
// through TreeNotifier(); the tree knows nothing of who lists the folder.

/// Announces the tree's selections.
class FolderTreeNotifier : public QObject {
    Q_OBJECT
signals:
    /// A folder was selected in the tree, by the user or by the program.
    void FolderChosen(const QString& path);
};

/// The tree's notifier (there is one tree in the program).
FolderTreeNotifier& TreeNotifier();

/// Remembers the pane that hosts the tree (the main window's pictreeview).
/// Not owned; the pane belongs to the main window.
void SetTreeHost(QWidget* pane);
/// The pane set by SetTreeHost, or nullptr once it has been destroyed.
QWidget* TreeHost();

/// Builds the tree in the host pane, sized to it, and selects startFolder (up
/// to its first NUL), expanding the folders above it as they load. When that
/// folder is missing or hidden, the nearest folder above it that is shown is
/// selected. The selection reports like any other. Returns at once; the
/// program's own event loop runs afterwards. Without a host pane it does
/// nothing.
void ShowFolderTree(std::string& startFolder);

/// Selects the nearest folder at or above `path` that the tree shows (for a
/// folder that has gone: its nearest remaining parent), which reports like
/// any selection. Does nothing without a tree.
void ShowNearestFolder(const QString& path);

/// Tears the tree down at the confirmed exit; no selection is reported after.
void DetachTree();

/// Places the tree inside the host pane (pixels of the pane).
void MoveTree(int left, int top, int width, int height);

/// The tree view while it exists (owned by the host pane), else nullptr.
QTreeView* FolderTree();
