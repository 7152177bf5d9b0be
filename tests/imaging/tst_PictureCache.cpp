// The cache of decoded pictures against a plain reference model of a
// least-recently-used list with a byte budget, over random sequences of
// inserts and look-ups; and the key that keeps a rewritten file from being
// served stale.

#include "imaging/PictureCache.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <vector>

using imaging::Picture;
using imaging::PictureCache;
using imaging::PictureKey;

namespace {

PictureKey Key(int id) {
    return PictureKey{QStringLiteral("/pictures/%1.jpg").arg(id), QSize(700, 450), 1000, 5000};
}

Picture Decoded(int id, int side) {
    Picture p;
    p.path = Key(id).path;
    p.status = imaging::DecodeStatus::Ok;
    p.image = QImage(side, side, QImage::Format_RGB32);
    p.image.fill(qRgb(id, 0, 0));
    return p;
}

/// What the cache must hold: ids with their bytes, most recently used first.
struct Model {
    qint64 budget;
    std::vector<std::pair<int, qint64>> entries;

    qint64 bytes() const {
        qint64 sum = 0;
        for (const auto& e : entries)
            sum += e.second;
        return sum;
    }
    auto find(int id) {
        return std::find_if(entries.begin(), entries.end(),
                            [id](const auto& e) { return e.first == id; });
    }
    void insert(int id, qint64 size, bool ok) {
        if (const auto it = find(id); it != entries.end())
            entries.erase(it);
        if (!ok || size > budget)
            return;
        entries.insert(entries.begin(), {id, size});
        while (bytes() > budget)
            entries.pop_back();
    }
    bool touch(int id) {
        const auto it = find(id);
        if (it == entries.end())
            return false;
        const auto e = *it;
        entries.erase(it);
        entries.insert(entries.begin(), e);
        return true;
    }
};

} // namespace

class tst_PictureCache : public QObject {
    Q_OBJECT
private slots:
    void matchesTheReference_data();
    void matchesTheReference();
    void rewrittenFileIsAnotherKey();
};

void tst_PictureCache::matchesTheReference_data() {
    QTest::addColumn<qint64>("budget");
    QTest::addColumn<int>("maxSide");
    QTest::addColumn<quint32>("seed");
    QTest::newRow("a dozen pictures") << qint64(1) << 1 << 0u;
    QTest::newRow("room for about ten") << qint64(4'000'000) << 400 << 1u;
    QTest::newRow("some larger than the budget") << qint64(300'000) << 400 << 2u;
    QTest::newRow("default budget, full-HD previews") << PictureCache::DefaultBudget << 1900 << 3u;
}

void tst_PictureCache::matchesTheReference() {
    QFETCH(qint64, budget);
    QFETCH(int, maxSide);
    QFETCH(quint32, seed);
    PictureCache cache(budget);
    Model model{budget, {}};
    QRandomGenerator rng(seed);
    for (int step = 0; step < 3000; ++step) {
        const int id = int(rng.bounded(40));
        if (rng.bounded(3) == 0) {
            const Picture* found = cache.Find(Key(id));
            QCOMPARE(found != nullptr, model.touch(id));
            if (found)
                QCOMPARE(found->image.pixel(0, 0), qRgb(id, 0, 0));
        } else {
            Picture p = Decoded(id, 1 + int(rng.bounded(maxSide)));
            const bool ok = rng.bounded(8) != 0;
            if (!ok) {
                p.status = imaging::DecodeStatus::Unreadable;
                p.image = QImage();
            }
            model.insert(id, p.Bytes(), ok);
            cache.Insert(Key(id), p);
        }
        QCOMPARE(cache.Count(), int(model.entries.size()));
        QCOMPARE(cache.Bytes(), model.bytes());
        QVERIFY(cache.Bytes() <= budget);
    }
    for (int id = 0; id < 40; ++id)
        QCOMPARE(cache.Contains(Key(id)), model.find(id) != model.entries.end());
}

void tst_PictureCache::rewrittenFileIsAnotherKey() {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.jpg");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write("first") == 5);
    f.close();
    const PictureKey before = PictureKey::Of(path, QSize(10, 10));
    PictureCache cache;
    cache.Insert(before, Decoded(1, 4));
    QVERIFY(cache.Find(PictureKey::Of(path, QSize(10, 10))) != nullptr);
    QVERIFY(cache.Find(PictureKey::Of(path, QSize(20, 10))) == nullptr); // another size

    QVERIFY(f.open(QIODevice::WriteOnly) && f.write("second, longer") == 14);
    f.close();
    QVERIFY(cache.Find(PictureKey::Of(path, QSize(10, 10))) == nullptr);
    QVERIFY(QFile::remove(path));
    QCOMPARE(PictureKey::Of(path, QSize(10, 10)).length, qint64(-1));
}

QTEST_MAIN(tst_PictureCache)
#include "tst_PictureCache.moc"
