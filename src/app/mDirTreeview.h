#pragma once

#include <string>

class QWidget;

// The folder tree that lives in the main window's left pane. These entry points are
// called by the start-up sequence and the main window; the tree itself is built
// behind them.

/// Remembers the pane that hosts the tree (the main window's pictreeview).
/// Not owned; the pane belongs to the main window.
void SetTreeHost(QWidget* pane);
/// The pane set by SetTreeHost, or nullptr once it has been destroyed.
QWidget* TreeHost();

/// Shows the tree in the host pane with startFolder selected and returns; the
/// program's own event loop runs afterwards.
void ShowFolderTree(std::string& startFolder);

/// Tears the tree down at the confirmed exit.
void DetachTree();

/// Places the tree inside the host pane (pixels of the pane).
void MoveTree(int left, int top, int width, int height);
