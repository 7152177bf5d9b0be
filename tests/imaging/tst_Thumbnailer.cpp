// The background thumbnailer against a scripted decoder: what it asks for,
// what it reports, what it leaves in the cache, and that a new listing
// silences the old one completely.

#include "FakeDecoder.h"
#include "gif/cGIF.h"
#include "imaging/Thumbnailer.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <sys/resource.h>

using imaging::DecodePriority;
using imaging::DecodeStatus;
using imaging::ThumbnailCache;
using imaging::Thumbnailer;

class tst_Thumbnailer : public QObject {
    Q_OBJECT

    QTemporaryDir home_;
    int folders_ = 0;

    /// A fresh folder of `count` small files named p000.jpg, p001.jpg, ...
    QString MakeFolder(int count, QStringList& names) {
        const QString folder = home_.filePath(QStringLiteral("f%1/").arg(++folders_));
        QDir().mkpath(folder);
        for (int i = 0; i < count; ++i) {
            const QString name = QStringLiteral("p%1.jpg").arg(i, 3, 10, QLatin1Char('0'));
            QFile file(folder + name);
            file.open(QIODevice::WriteOnly);
            file.write(name.toLatin1());
            names << name;
        }
        return folder;
    }

private slots:
    void initTestCase() {
        QVERIFY(home_.isValid());
        qputenv("XDG_CACHE_HOME", QFile::encodeName(home_.filePath(QStringLiteral("cache"))));
    }

    void makesCachesAndReusesThumbnails() {
        QStringList names;
        const QString folder = MakeFolder(30, names);
        const int ownPriority = ::getpriority(PRIO_PROCESS, 0);
        FakeDecoder decoder;
        decoder.answerAtOnce = true;
        decoder.otherFiles.size = QSize(4000, 2000);
        decoder.scripts[QStringLiteral("p003.jpg")].status = DecodeStatus::Unreadable;
        decoder.scripts[QStringLiteral("p005.jpg")].status = DecodeStatus::WorkerFailed;
        {
            Thumbnailer thumbs(&decoder);
            QSignalSpy ready(&thumbs, &Thumbnailer::thumbnailReady);
            QSignalSpy progress(&thumbs, &Thumbnailer::progress);
            QSignalSpy finished(&thumbs, &Thumbnailer::finished);
            thumbs.start(folder, names);
            thumbs.prioritize({"p029.jpg"});
            QTRY_COMPARE(finished.size(), 1);
            QCOMPARE(ready.size(), 28);
            QCOMPARE(progress.first(), QVariantList({0, 30}));
            QCOMPARE(progress.last(), QVariantList({30, 30}));
            QCOMPARE(int(decoder.requests.size()), 30);
            // The one on screen went first, in the standard's box, at the
            // lowest priority. Its lookup is the first handed to the pool, but
            // a busy machine may hold its thread while the other thread's
            // lookups finish: asked in the first half, not last as listed.
            bool early = false;
            for (int i = 0; i < 15; ++i)
                early = early || decoder.requests[i].request.path == folder + "p029.jpg";
            QVERIFY(early);
            QCOMPARE(decoder.requests.front().request.box, QSize(128, 128));
            QCOMPARE(decoder.requests.front().request.priority, DecodePriority::Background);
            QCOMPARE(thumbs.thumbnail("p000.jpg").size(), QSize(128, 64));
            // Its pool threads ran lowered; the window's thread did not.
            QCOMPARE(::getpriority(PRIO_PROCESS, 0), ownPriority);
        }
        // A second visit: every answer comes from the cache, the unreadable
        // file from its failure record; only the file whose worker failed
        // (maybe the pool's fault, not the file's) is asked for again.
        const ThumbnailCache cache;
        QTRY_VERIFY(QDir(cache.Root() + "/normal").entryList(QDir::Files).size() == 28);
        QTRY_VERIFY(
            QFile::exists(cache.FailurePath(ThumbnailCache::Describe(folder + "p003.jpg").uri)));
        decoder.requests.clear();
        Thumbnailer again(&decoder);
        QSignalSpy ready(&again, &Thumbnailer::thumbnailReady);
        QSignalSpy finished(&again, &Thumbnailer::finished);
        again.start(folder, names);
        QTRY_COMPARE(finished.size(), 1);
        QCOMPARE(ready.size(), 28);
        QCOMPARE(int(decoder.requests.size()), 1);
        QCOMPARE(decoder.requests.front().request.path, folder + "p005.jpg");
    }

    void folderChangeCancelsEverythingPending() {
        QStringList first;
        QStringList second;
        const QString a = MakeFolder(20, first);
        const QString b = MakeFolder(3, second);
        FakeDecoder decoder;
        Thumbnailer thumbs(&decoder);
        QSignalSpy ready(&thumbs, &Thumbnailer::thumbnailReady);
        QSignalSpy progress(&thumbs, &Thumbnailer::progress);
        thumbs.start(a, first);
        QTRY_VERIFY(!decoder.open.empty());
        const auto outstanding = decoder.OpenTickets();

        const auto before = int(decoder.requests.size());
        thumbs.start(b, second);
        for (const auto ticket : outstanding)
            QVERIFY(decoder.WasCancelled(ticket));
        // The old answers arrive anyway; none may show.
        for (const auto ticket : outstanding)
            decoder.Answer(ticket);
        QTRY_COMPARE(int(decoder.open.size()), 3);
        for (const auto ticket : decoder.OpenTickets())
            decoder.Answer(ticket);
        QTRY_COMPARE(progress.last(), QVariantList({3, 3}));
        QCOMPARE(ready.size(), 3);
        for (const auto& signal : ready)
            QVERIFY(second.contains(signal.first().toString()));
        for (auto i = before; i < int(decoder.requests.size()); ++i)
            QVERIFY(decoder.requests[i].request.path.startsWith(b));
    }

    void gifsUseTheEngineAndMemoryStaysWithinBudget() {
        QStringList names;
        const QString folder = MakeFolder(3, names);
        cGIF gif;
        gif.FrameInsert(1, 300, 150);
        QVERIFY(gif.Save(QFile::encodeName(folder + "anim.gif").toStdString()));
        names << "anim.gif";
        FakeDecoder decoder;
        decoder.answerAtOnce = true;
        decoder.otherFiles.size = QSize(4000, 2000);
        Thumbnailer thumbs(&decoder);
        // Room for one thumbnail of 128 x 64 only.
        thumbs.setMemoryBudget(128 * 64 * 4);
        QSignalSpy ready(&thumbs, &Thumbnailer::thumbnailReady);
        QSignalSpy dropped(&thumbs, &Thumbnailer::thumbnailDropped);
        QSignalSpy finished(&thumbs, &Thumbnailer::finished);
        thumbs.start(folder, names);
        QTRY_COMPARE(finished.size(), 1);
        QCOMPARE(int(decoder.requests.size()), 3); // not the GIF
        QCOMPARE(ready.size(), 4);
        QCOMPARE(dropped.size(), 3);
        // The one kept is the last to arrive (lookups run in parallel, so
        // which file that is varies).
        QVERIFY(!thumbs.thumbnail(ready.last().first().toString()).isNull());

        // Scrolling back brings a dropped one back from the cache, not the decoder.
        const QString gone = dropped.first().first().toString();
        const ThumbnailCache cache;
        QTRY_VERIFY(QFile::exists(cache.ThumbnailPath(ThumbnailCache::Describe(folder + gone).uri,
                                                      imaging::ThumbnailSize::Normal)));
        thumbs.prioritize({gone});
        QTRY_VERIFY(!thumbs.thumbnail(gone).isNull());
        QCOMPARE(int(decoder.requests.size()), 3);
        QCOMPARE(thumbs.done(), 4);
    }
};

QTEST_GUILESS_MAIN(tst_Thumbnailer)
#include "tst_Thumbnailer.moc"
