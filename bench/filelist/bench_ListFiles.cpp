// Listing a folder of 10,000 and 100,000 files: cFileView::ListFiles against a
// bare directory read with one stat per entry (the floor any listing pays) and,
// for 10,000, Qt's own QFileSystemModel loading the same folder. BM_Stall lists
// the 100,000 as the main window does (the counter, then the list, shown) and
// reports the longest gap between the ticks of a 1 ms timer: how long the
// window could not answer.

#include "filelist/FileListBox.h"
#include "filelist/cFileView.h"
#include "platform/ListView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileSystemModel>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <memory>
#include <sys/stat.h>

namespace {

/// A folder of `files` generated photos, made once per size.
const QString& folder(int files) {
    static std::map<int, std::unique_ptr<QTemporaryDir>> dirs;
    static std::map<int, QString> paths;
    if (auto found = paths.find(files); found != paths.end())
        return found->second;
    auto dir = std::make_unique<QTemporaryDir>();
    bool filled = dir->isValid();
    for (int i = 0; filled && i < files; ++i) {
        QFile f(dir->filePath(QStringLiteral("photo_%1.jpg").arg(i)));
        filled = f.open(QIODevice::WriteOnly) && f.write("x", 1) == 1;
    }
    paths[files] = filled ? dir->path() : QString();
    dirs[files] = std::move(dir);
    return paths[files];
}

struct FileList {
    FileList() {
        for (const char* h : {"Name", "Size", "Type", "Date Modified"})
            lv.addColumn(QString::fromLatin1(h));
        fv.setListView(&lv);
        fv.setPattern(QStringLiteral("*.jpg;*.png"));
    }
    platform::ListView lv;
    cFileView fv;
};

void BM_ListFiles(benchmark::State& state) {
    const int files = static_cast<int>(state.range(0));
    const QString& path = folder(files);
    FileList list;
    for (auto _ : state) {
        if (!list.fv.ListFiles(path, true) || list.lv.count() != files)
            state.SkipWithError("listing failed");
    }
    state.counters["files"] = files;
}
BENCHMARK(BM_ListFiles)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BareReadWithStat(benchmark::State& state) {
    const int files = static_cast<int>(state.range(0));
    const QByteArray path = QFile::encodeName(folder(files));
    for (auto _ : state) {
        DIR* dir = opendir(path.constData());
        int n = 0;
        while (dirent* e = readdir(dir)) {
            struct stat st;
            if (fstatat(dirfd(dir), e->d_name, &st, 0) == 0 && S_ISREG(st.st_mode))
                ++n;
        }
        closedir(dir);
        if (n != files)
            state.SkipWithError("bare read missed files");
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_BareReadWithStat)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_QFileSystemModel(benchmark::State& state) {
    const int files = static_cast<int>(state.range(0));
    const QString& path = folder(files);
    for (auto _ : state) {
        QFileSystemModel model;
        bool loaded = false;
        QObject::connect(&model, &QFileSystemModel::directoryLoaded,
                         [&](const QString& p) { loaded = loaded || p == path; });
        const QModelIndex root = model.setRootPath(path);
        QElapsedTimer timer;
        timer.start();
        while ((!loaded || model.rowCount(root) < files) && timer.elapsed() < 60000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
            if (model.canFetchMore(root))
                model.fetchMore(root);
        }
        if (model.rowCount(root) != files)
            state.SkipWithError("model did not load the folder");
    }
}
BENCHMARK(BM_QFileSystemModel)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Stall(benchmark::State& state) {
    const int files = static_cast<int>(state.range(0));
    const QString& path = folder(files);
    FileList list;
    list.lv.resize(800, 600);
    list.lv.show();
    FileListBox box;
    box.setPattern(QStringLiteral("*.jpg;*.png"));
    for (auto _ : state) {
        QElapsedTimer clock;
        qint64 last = 0;
        qint64 longest = 0;
        QTimer ticker;
        ticker.setInterval(1);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            longest = std::max(longest, now - last);
            last = now;
        });
        clock.start();
        ticker.start();
        QCoreApplication::processEvents();
        const bool listed = box.setPath(path) && list.fv.ListFiles(path, true);
        // What the list does once the rows are in (layout, first paint).
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        ticker.stop();
        if (!listed || list.lv.count() != files || box.ListCount() != files)
            state.SkipWithError("listing failed");
        state.counters["longest_stall_ms"] = double(longest) / 1e6;
    }
}
BENCHMARK(BM_Stall)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    for (const int files : {10000, 100000})
        if (folder(files).isEmpty())
            return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
