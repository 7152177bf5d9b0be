// The folder tree in its host pane: start folder, hidden folders and
// selections (the stored folder's bytes: mSetupTest).

#include "app/mDirTreeview.h"

#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <memory>

namespace {

QString selectedPath() {
    QTreeView* tree = FolderTree();
    if (!tree)
        return {};
    auto* model = qobject_cast<QFileSystemModel*>(tree->model());
    return model ? model->filePath(tree->currentIndex()) : QString();
}

} // namespace

class tst_mDirTreeview : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void startsWithTheStoredFolder_data();
    void startsWithTheStoredFolder();
    void showsFoldersOnly();
    void everySelectionIsReported();

private:
    std::unique_ptr<QWidget> host_;
    std::unique_ptr<QTemporaryDir> dir_;
};

void tst_mDirTreeview::init() {
    host_ = std::make_unique<QWidget>();
    host_->resize(200, 300);
    host_->show();
    QVERIFY(QTest::qWaitForWindowExposed(host_.get()));
    SetTreeHost(host_.get());
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir(dir_->path()).mkpath("a/b/c/d/e"));
    QVERIFY(QDir(dir_->path()).mkpath(".hidden/inner"));
    QVERIFY(QDir(dir_->path()).mkpath("plain"));
    QFile f(dir_->filePath("file.png"));
    QVERIFY(f.open(QIODevice::WriteOnly));
}

void tst_mDirTreeview::cleanup() {
    DetachTree();
    host_.reset();
    dir_.reset();
}

void tst_mDirTreeview::startsWithTheStoredFolder_data() {
    QTest::addColumn<QString>("start");    // relative to the test folder
    QTest::addColumn<QString>("selected"); // what the tree selects
    QTest::newRow("deep folder, loaded level by level") << "a/b/c/d/e"
                                                        << "a/b/c/d/e";
    QTest::newRow("trailing separator") << "a/b/"
                                        << "a/b";
    QTest::newRow("missing: nearest folder above") << "a/b/missing/x"
                                                   << "a/b";
    QTest::newRow("hidden: nearest shown folder") << ".hidden/inner"
                                                  << "";
}

void tst_mDirTreeview::startsWithTheStoredFolder() {
    QFETCH(QString, start);
    QFETCH(QString, selected);
    std::string startFolder = QFile::encodeName(dir_->filePath(start)).toStdString();
    QSignalSpy chosen(&TreeNotifier(), &FolderTreeNotifier::FolderChosen);
    ShowFolderTree(startFolder);
    const QString expected = selected.isEmpty() ? dir_->path() : dir_->filePath(selected);
    QTRY_COMPARE(selectedPath(), expected);
    QCOMPARE(chosen.last().at(0).toString(), expected);
    // The levels above are opened and the folder scrolled into view.
    QTreeView* tree = FolderTree();
    QTRY_VERIFY(tree->isExpanded(tree->currentIndex().parent()));
    QTRY_VERIFY(tree->viewport()->rect().intersects(tree->visualRect(tree->currentIndex())));
}

void tst_mDirTreeview::showsFoldersOnly() {
    std::string start = QFile::encodeName(dir_->path()).toStdString();
    ShowFolderTree(start);
    QTreeView* tree = FolderTree();
    QVERIFY(tree);
    auto* model = qobject_cast<QFileSystemModel*>(tree->model());
    const QModelIndex folder = model->index(dir_->path());
    tree->expand(folder);
    QTRY_COMPARE(model->rowCount(folder), 2);
    QStringList names;
    for (int i = 0; i < model->rowCount(folder); ++i)
        names << model->fileName(model->index(i, 0, folder));
    names.sort();
    QCOMPARE(names, (QStringList{"a", "plain"}));
}

void tst_mDirTreeview::everySelectionIsReported() {
    std::string start = QFile::encodeName(dir_->filePath("a")).toStdString() + '\0';
    ShowFolderTree(start);
    QTRY_COMPARE(selectedPath(), dir_->filePath("a"));
    QTreeView* tree = FolderTree();
    auto* model = qobject_cast<QFileSystemModel*>(tree->model());
    QSignalSpy chosen(&TreeNotifier(), &FolderTreeNotifier::FolderChosen);
    tree->setCurrentIndex(model->index(dir_->filePath("plain")));
    QCOMPARE(chosen.size(), 1);
    QCOMPARE(chosen.at(0).at(0).toString(), dir_->filePath("plain"));
}

QTEST_MAIN(tst_mDirTreeview)
#include "tst_mDirTreeview.moc"
