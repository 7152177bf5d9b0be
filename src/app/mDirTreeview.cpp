#include "app/mDirTreeview.h"

#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QTimer>
#include <QTreeView>
#include <QWidget>
#include <algorithm>

namespace {

QPointer<QWidget>& HostPane() {
    static QPointer<QWidget> pane;
    return pane;
}

struct Tree {
    QPointer<QTreeView> view;
    QPointer<QFileSystemModel> model;
    /// The start folder while the levels above it are still loading.
    QString pending;
    /// Where the selection goes once the selected folder's removal is over.
    QPersistentModelIndex landing;
};

Tree& TheTree() {
    static Tree tree;
    return tree;
}

/// Whether `path` or a folder above it is hidden.
bool HiddenOnTheWay(const QString& path) {
    for (QString p = path;;) {
        if (QFileInfo(p).isHidden())
            return true;
        const QString up = QFileInfo(p).path();
        if (up == p)
            return false;
        p = up;
    }
}

/// The nearest folder at or above `path` that the tree shows (hidden folders
/// are not shown), or an invalid index when none is.
QModelIndex ShownFolder(QFileSystemModel& model, QString path) {
    while (!path.isEmpty()) {
        const QModelIndex index = model.index(path);
        if (index.isValid() && QFileInfo(path).isDir() && !HiddenOnTheWay(path))
            return index;
        const QString up = QFileInfo(path).path();
        if (up == path)
            break;
        path = up;
    }
    return {};
}

/// Expands every level above `index` and scrolls it into view. Expanding a
/// level that has not been read yet starts reading it.
void Reveal(QTreeView& view, const QModelIndex& index) {
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
        view.expand(up);
    view.scrollTo(index);
}

/// Scrolls the start folder back into view while the tree is still filling in:
/// the model reads folders in the background and inserts and sorts their rows
/// after reporting them loaded, which moves the start folder out of sight.
void OnRowsChanged() {
    Tree& tree = TheTree();
    if (!tree.view || !tree.model || tree.pending.isEmpty())
        return;
    const QModelIndex target = tree.model->index(tree.pending);
    if (target.isValid())
        Reveal(*tree.view, target);
}

/// Ends the start-up reveal as soon as the user takes the tree in hand, so that
/// folders appearing later never pull the view away from where the user is.
class UserTakesOver : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::Wheel:
        case QEvent::KeyPress:
            TheTree().pending.clear();
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }
};

void OnSelection(const QModelIndex& current) {
    Tree& tree = TheTree();
    // While a selected folder is being removed the selection passes through
    // its neighbours; only where it lands is listed.
    if (!current.isValid() || !tree.model || tree.landing.isValid())
        return;
    emit TreeNotifier().FolderChosen(tree.model->filePath(current));
}

/// Moves the selection to `parent` when the selected folder, or a folder above
/// it, is among the rows about to go.
void OnFoldersGoing(const QModelIndex& parent, int first, int last) {
    Tree& tree = TheTree();
    if (!tree.view)
        return;
    for (QModelIndex up = tree.view->currentIndex(); up.isValid(); up = up.parent()) {
        if (up.parent() == parent && up.row() >= first && up.row() <= last) {
            // Listing runs an event loop: not inside the model's removal.
            tree.landing = parent;
            QTimer::singleShot(0, tree.view, [] {
                Tree& t = TheTree();
                const QModelIndex target = t.landing;
                t.landing = QPersistentModelIndex();
                if (!t.view || !target.isValid())
                    return;
                if (t.view->currentIndex() == target)
                    OnSelection(target);
                else
                    t.view->setCurrentIndex(target);
            });
            return;
        }
    }
}

void AttachTree(QWidget& host) {
    Tree& tree = TheTree();
    tree.view->setParent(&host);
    MoveTree(0, 0, host.width(), host.height());
    tree.view->show();
}

} // namespace

FolderTreeNotifier& TreeNotifier() {
    static FolderTreeNotifier notifier;
    return notifier;
}

void SetTreeHost(QWidget* pane) {
    HostPane() = pane;
}

QWidget* TreeHost() {
    return HostPane();
}

QTreeView* FolderTree() {
    return TheTree().view;
}

void ShowFolderTree(std::string& startFolder) {
    QWidget* host = TreeHost();
    if (!host)
        return;
    DetachTree();
    Tree& tree = TheTree();
    tree.view = new QTreeView;
    tree.view->setObjectName(QStringLiteral("FolderTree"));
    tree.model = new QFileSystemModel(tree.view);
    tree.model->setFilter(QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot);
    tree.model->setRootPath(QDir::rootPath());
    // Connected before the view's selection model exists, so that it runs
    // first: the selection model would move to a sibling of a selected folder
    // that goes away, and the parent is where the user expects to land.
    QObject::connect(tree.model, &QFileSystemModel::rowsAboutToBeRemoved, tree.view,
                     &OnFoldersGoing);
    tree.view->setModel(tree.model);
    tree.view->setHeaderHidden(true);
    for (int column = 1; column < tree.model->columnCount(); ++column)
        tree.view->hideColumn(column);
    tree.view->setSelectionMode(QAbstractItemView::SingleSelection);
    QObject::connect(tree.model, &QFileSystemModel::directoryLoaded, tree.view, &OnRowsChanged);
    QObject::connect(tree.model, &QFileSystemModel::rowsInserted, tree.view, &OnRowsChanged);
    QObject::connect(tree.model, &QFileSystemModel::layoutChanged, tree.view, &OnRowsChanged);
    auto* takeOver = new UserTakesOver(tree.view);
    tree.view->installEventFilter(takeOver);
    tree.view->viewport()->installEventFilter(takeOver);
    QObject::connect(tree.view->selectionModel(), &QItemSelectionModel::currentChanged, tree.view,
                     [](const QModelIndex& current) { OnSelection(current); });
    AttachTree(*host);

    const std::string start = startFolder.substr(0, startFolder.find('\0'));
    const QString path = QDir::cleanPath(QFile::decodeName(QByteArray::fromStdString(start)));
    const QModelIndex index = ShownFolder(*tree.model, path);
    if (!index.isValid())
        return;
    tree.pending = tree.model->filePath(index);
    Reveal(*tree.view, index);
    tree.view->setCurrentIndex(index);
}

void DetachTree() {
    Tree& tree = TheTree();
    tree.pending.clear();
    tree.landing = QPersistentModelIndex();
    // The model lives in the view, so this ends both and their connections.
    delete tree.view.data();
}

void MoveTree(int left, int top, int width, int height) {
    if (QTreeView* view = TheTree().view)
        view->setGeometry(left, top, std::max(0, width), std::max(0, height));
}

void ShowNearestFolder(const QString& path) {
    Tree& tree = TheTree();
    if (!tree.view || !tree.model)
        return;
    const QModelIndex index = ShownFolder(*tree.model, QDir::cleanPath(path));
    if (!index.isValid())
        return;
    tree.view->scrollTo(index);
    tree.view->setCurrentIndex(index);
}
