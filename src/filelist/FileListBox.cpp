#include "filelist/FileListBox.h"

#include "filelist/FolderReader.h"
#include "filelist/NaturalOrder.h"
#include "platform/Events.h"

#include <QDir>
#include <algorithm>

namespace {

/// Reads the matching names of `folder`; false when it cannot be opened.
bool readNames(const QString& folder, const QString& pattern, QStringList& names) {
    filelist::FolderReader reader(folder);
    if (!reader.isOpen())
        return false;
    std::vector<filelist::FolderEntry> files;
    // Only names are counted: sizes and times would cost a status query each.
    // A big folder is read aside so that the window keeps painting.
    platform::RunAside([&] { reader.readAll(pattern, files, false); });
    names.clear();
    names.reserve(qsizetype(files.size()));
    for (filelist::FolderEntry& f : files)
        names.push_back(std::move(f.name));
    return true;
}

QString withoutTrailingSeparator(QString path) {
    while (path.size() > 1 && (path.endsWith(u'/') || path.endsWith(QDir::separator())) &&
           !QDir(path).isRoot())
        path.chop(1);
    return path;
}

} // namespace

bool FileListBox::setPath(const QString& New_Path) {
    QStringList names;
    if (!readNames(New_Path, pattern_, names))
        return false;
    path_ = withoutTrailingSeparator(New_Path);
    names_ = std::move(names);
    sorted_ = false;
    return true;
}

void FileListBox::setPattern(const QString& New_Pattern) {
    pattern_ = New_Pattern;
    Refresh();
}

void FileListBox::Refresh() {
    if (path_.isEmpty() || !readNames(path_, pattern_, names_))
        names_.clear();
    sorted_ = false;
}

QString FileListBox::List(int index) const {
    if (!sorted_) {
        std::sort(names_.begin(), names_.end(), filelist::NaturalLess);
        sorted_ = true;
    }
    return names_.value(index);
}
