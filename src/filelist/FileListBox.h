#pragma once

#include <QString>
#include <QStringList>

/// A non-visual list of one folder's files that match a pattern: what the main
/// window counts for its image count. It holds the same files cFileView lists
/// (regular files and links to them, hidden ones included), by name, in
/// natural order.
class FileListBox {
public:
    /// The folder shown, as it was accepted (no trailing separator except for a
    /// root); empty until a folder has been accepted.
    QString Path() const { return path_; }
    /// Points the list at `New_Path` and reads it. A folder that cannot be
    /// opened is refused: the result is false and the list stays at its
    /// previous folder, with its previous files.
    bool setPath(const QString& New_Path);

    /// ";"-separated wildcard specs; default "*.*". Setting it reads the folder
    /// again.
    QString Pattern() const { return pattern_; }
    void setPattern(const QString& New_Pattern);

    /// Reads the folder again; a folder that has gone leaves the list empty.
    void Refresh();

    int ListCount() const { return static_cast<int>(names_.size()); }
    /// The name of file `index` (0-based); empty for a bad index.
    QString List(int index) const;

private:
    QString path_;
    QString pattern_ = QStringLiteral("*.*");
    /// Sorted only when a name is asked for: the main window only counts, and
    /// sorting a big folder's names would stall it.
    mutable QStringList names_;
    mutable bool sorted_ = true;
};
