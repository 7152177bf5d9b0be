// Listing a folder of 10,000 files: cFileView::ListFiles against Qt's own
// QFileSystemModel loading the same folder, and against a bare directory read
// with one stat per entry (the floor any listing pays).

#include "filelist/cFileView.h"
#include "platform/ListView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileSystemModel>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

constexpr int kFiles = 10000;

const QString& folder() {
    static QTemporaryDir dir;
    static const bool filled = [] {
        for (int i = 0; i < kFiles; ++i) {
            QFile f(dir.filePath(QStringLiteral("photo_%1.jpg").arg(i)));
            if (!f.open(QIODevice::WriteOnly) || f.write("x", 1) != 1)
                return false;
        }
        return true;
    }();
    static const QString path = filled ? dir.path() : QString();
    return path;
}

void BM_ListFiles(benchmark::State& state) {
    platform::ListView lv;
    for (const char* h : {"Name", "Size", "Type", "Date Modified"})
        lv.addColumn(QString::fromLatin1(h));
    cFileView fv;
    fv.setListView(&lv);
    fv.setPattern(QStringLiteral("*.jpg;*.png"));
    for (auto _ : state) {
        if (!fv.ListFiles(folder(), true) || lv.count() != kFiles)
            state.SkipWithError("listing failed");
    }
    state.counters["files"] = kFiles;
}
BENCHMARK(BM_ListFiles)->Unit(benchmark::kMillisecond);

void BM_QFileSystemModel(benchmark::State& state) {
    for (auto _ : state) {
        QFileSystemModel model;
        bool loaded = false;
        QObject::connect(&model, &QFileSystemModel::directoryLoaded,
                         [&](const QString& p) { loaded = loaded || p == folder(); });
        const QModelIndex root = model.setRootPath(folder());
        QElapsedTimer timer;
        timer.start();
        while ((!loaded || model.rowCount(root) < kFiles) && timer.elapsed() < 60000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
            if (model.canFetchMore(root))
                model.fetchMore(root);
        }
        if (model.rowCount(root) != kFiles)
            state.SkipWithError("model did not load the folder");
    }
}
BENCHMARK(BM_QFileSystemModel)->Unit(benchmark::kMillisecond);

void BM_BareReadWithStat(benchmark::State& state) {
    const QByteArray path = QFile::encodeName(folder());
    for (auto _ : state) {
        DIR* dir = opendir(path.constData());
        int n = 0;
        while (dirent* e = readdir(dir)) {
            struct stat st;
            if (fstatat(dirfd(dir), e->d_name, &st, 0) == 0 && S_ISREG(st.st_mode))
                ++n;
        }
        closedir(dir);
        if (n != kFiles)
            state.SkipWithError("bare read missed files");
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_BareReadWithStat)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (folder().isEmpty())
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
