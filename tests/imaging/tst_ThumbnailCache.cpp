// The shared thumbnail cache: names and URIs must match what the desktop's
// other programs compute, and what they wrote must be used only when it
// describes the file as it is now.

#include "imaging/ThumbnailCache.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTest>

using imaging::ThumbnailCache;
using imaging::ThumbnailSize;
using Status = imaging::ThumbnailCache::Status;

namespace {

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void SetMTime(const QString& path, qint64 secs) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime::fromSecsSinceEpoch(secs), QFile::FileModificationTime));
}

/// A thumbnail as another program writes it: only the keys the standard requires.
void WriteForeign(const QString& path, const QSize& size, const QMap<QString, QString>& text) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::red);
    for (auto it = text.begin(); it != text.end(); ++it)
        image.setText(it.key(), it.value());
    image.setText(QStringLiteral("Software"), QStringLiteral("GNOME::ThumbnailFactory"));
    QVERIFY(QImageWriter(path, "png").write(image));
}

} // namespace

class tst_ThumbnailCache : public QObject {
    Q_OBJECT

    QTemporaryDir home_;
    QString pictures_;

private slots:
    void initTestCase() {
        QVERIFY(home_.isValid());
        // Never the real cache of whoever runs the tests.
        qputenv("XDG_CACHE_HOME", QFile::encodeName(home_.filePath(QStringLiteral("cache"))));
        pictures_ = home_.filePath(QStringLiteral("pictures"));
        QVERIFY(QDir().mkpath(pictures_));
    }

    // Expected URIs follow GLib's g_filename_to_uri: bytes outside letters,
    // digits and !$&'()*+,-./:=@_~ become %XX in upper-case hex (its
    // UNSAFE_PATH table), bytes of 128 and up included, so raw non-UTF-8
    // names keep their bytes. The first row is the standard's own example;
    // the others were cross-checked once against libglib 2.74's
    // g_filename_to_uri and Python's hashlib.md5.
    void uriAndName_data() {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QByteArray>("uri");
        QTest::addColumn<QString>("name");
        QTest::newRow("standard's example") << QByteArray("/home/jens/photos/me.png")
                                            << QByteArray("file:///home/jens/photos/me.png")
                                            << "c6ee772d9e49320e97ec29a7eb5b1697.png";
        QTest::newRow("space, percent, hash")
            << QByteArray("/tmp/a b%c#d.png") << QByteArray("file:///tmp/a%20b%25c%23d.png")
            << "a3a364f0c4b004c418c8afa86240f6d1.png";
        QTest::newRow("UTF-8") << QString::fromUtf8("/tmp/Ünïcödé 日本.jpg").toUtf8()
                               << QByteArray("file:///tmp/%C3%9Cn%C3%AFc%C3%B6d%C3%A9%20%E6%97%A5"
                                             "%E6%9C%AC.jpg")
                               << "3738a703287dfb0465b37ce957a73bdd.png";
        QTest::newRow("not UTF-8")
            << QByteArray("/tmp/raw\xff\xfe.jpg") << QByteArray("file:///tmp/raw%FF%FE.jpg")
            << "bd5e27875705b936feb44317f8e9a14d.png";
        QTest::newRow("kept punctuation") << QByteArray("/tmp/x?y;z[1]{2}~!$&'()*+,=:@.png")
                                          << QByteArray("file:///tmp/x%3Fy%3Bz%5B1%5D%7B2%7D~!$&'()"
                                                        "*+,=:@.png")
                                          << "499bed039840dc6b5850c10addbbda8c.png";
        QByteArray ascii("/");
        for (int c = ' '; c <= 0x7F; ++c) {
            if (c != '/')
                ascii.append(char(c));
        }
        QTest::newRow("every printable byte")
            << ascii
            << QByteArray(
                   "file:///%20!%22%23$%25&'()*+,-.0123456789:%3B%3C=%3E%3F@ABCDEFGHIJKLMNOPQRST"
                   "UVWXYZ%5B%5C%5D%5E_%60abcdefghijklmnopqrstuvwxyz%7B%7C%7D~%7F")
            << "ac51f37a17838c5d4667d9df1a0dc3d4.png";
        QTest::newRow("control byte") << QByteArray("/a\tb") << QByteArray("file:///a%09b")
                                      << ThumbnailCache::FileName("file:///a%09b");
    }
    void uriAndName() {
        QFETCH(QByteArray, path);
        QFETCH(QByteArray, uri);
        QFETCH(QString, name);
        QCOMPARE(ThumbnailCache::FileUri(path), uri);
        QCOMPARE(ThumbnailCache::FileName(uri), name);
    }

    void storedThumbnailReadsBackAsAnyPngReaderSeesIt() {
        const QString file = pictures_ + QStringLiteral("/stored picture.jpg");
        WriteFile(file, QByteArray(1234, 'x'));
        SetMTime(file, 1700000000);
        const ThumbnailCache cache;
        const auto source = ThumbnailCache::Describe(file);
        QImage picture(400, 200, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        QVERIFY(cache.Store(source, ThumbnailSize::Normal, picture, QSize(4000, 2000)));

        const QString png = cache.ThumbnailPath(source.uri, ThumbnailSize::Normal);
        QCOMPARE(png,
                 ThumbnailCache::DefaultRoot() + "/normal/" +
                     ThumbnailCache::FileName(ThumbnailCache::FileUri(QFile::encodeName(file))));
        QImageReader reader(png);
        const QImage read = reader.read();
        QCOMPARE(read.size(), QSize(128, 64));
        QCOMPARE(read.text("Thumb::URI").toUtf8(),
                 "file://" + QFile::encodeName(file).replace(" ", "%20"));
        QCOMPARE(read.text("Thumb::MTime"), QStringLiteral("1700000000"));
        QCOMPARE(read.text("Thumb::Size"), QStringLiteral("1234"));
        QCOMPARE(read.text("Thumb::Image::Width"), QStringLiteral("4000"));
        QCOMPARE(read.text("Thumb::Image::Height"), QStringLiteral("2000"));
        QCOMPARE(read.text("Software"), QStringLiteral("Vistrel " VISTREL_VERSION));

        const auto others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                            QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
        QCOMPARE(QFile::permissions(png) & (others | QFile::ExeOwner), QFile::Permissions());
        for (const QString& dir : {cache.Root(), cache.Root() + "/normal"})
            QCOMPARE(QFile::permissions(dir) & others, QFile::Permissions());
        QCOMPARE(QDir(cache.Root() + "/normal").entryList(QDir::Files | QDir::Hidden).size(), 1);
        const auto found = cache.Find(source, ThumbnailSize::Normal);
        QCOMPARE(found.status, Status::Hit);
        QCOMPARE(found.image.size(), QSize(128, 64));
    }

    // What another program left in the cache: used when it describes this
    // file as it is now, otherwise ignored and replaced by ours.
    void foreignThumbnail_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("uri");
        QTest::addColumn<QString>("mtime");
        QTest::addColumn<QString>("size");
        QTest::addColumn<bool>("corrupt");
        QTest::addColumn<int>("status");
        QTest::addColumn<QSize>("shown");
        const QString ok("*"); // the file's own URI
        QTest::newRow("valid, no size") << "normal" << ok << "1600000000"
                                        << "" << false << int(Status::Hit) << QSize(100, 80);
        QTest::newRow("valid with size") << "normal" << ok << "1600000000"
                                         << "10" << false << int(Status::Hit) << QSize(100, 80);
        QTest::newRow("large used for normal") << "large" << ok << "1600000000"
                                               << "" << false << int(Status::Hit) << QSize(128, 64);
        QTest::newRow("stale mtime") << "normal" << ok << "1599999999"
                                     << "" << false << int(Status::Miss) << QSize();
        QTest::newRow("other size") << "normal" << ok << "1600000000"
                                    << "11" << false << int(Status::Miss) << QSize();
        QTest::newRow("other URI") << "normal"
                                   << "file:///elsewhere/p.jpg"
                                   << "1600000000"
                                   << "" << false << int(Status::Miss) << QSize();
        QTest::newRow("no mtime") << "normal" << ok << ""
                                  << "" << false << int(Status::Miss) << QSize();
        QTest::newRow("corrupt PNG") << "normal" << ok << "1600000000"
                                     << "" << true << int(Status::Miss) << QSize();
    }
    void foreignThumbnail() {
        QFETCH(QString, folder);
        QFETCH(QString, uri);
        QFETCH(QString, mtime);
        QFETCH(QString, size);
        QFETCH(bool, corrupt);
        QFETCH(int, status);
        QFETCH(QSize, shown);
        const QString file = pictures_ + "/" + QTest::currentDataTag() + ".png";
        WriteFile(file, "0123456789");
        SetMTime(file, 1600000000);
        const ThumbnailCache cache;
        const auto source = ThumbnailCache::Describe(file);
        const auto big = folder == "large" ? ThumbnailSize::Large : ThumbnailSize::Normal;
        const QString png = cache.ThumbnailPath(source.uri, big);
        QMap<QString, QString> text{
            {"Thumb::URI", uri == "*" ? QString::fromLatin1(source.uri) : uri}};
        if (!mtime.isEmpty())
            text["Thumb::MTime"] = mtime;
        if (!size.isEmpty())
            text["Thumb::Size"] = size;
        WriteForeign(png, big == ThumbnailSize::Large ? QSize(256, 128) : QSize(100, 80), text);
        if (corrupt)
            QVERIFY(QFile::resize(png, 60));

        const auto found = cache.Find(source, ThumbnailSize::Normal);
        QCOMPARE(int(found.status), status);
        QCOMPARE(found.image.isNull() ? QSize() : found.image.size(), shown);
        if (found.status == Status::Miss) {
            QImage ours(50, 50, QImage::Format_RGB32);
            ours.fill(Qt::green);
            QVERIFY(cache.Store(source, ThumbnailSize::Normal, ours));
            QCOMPARE(cache.Find(source, ThumbnailSize::Normal).image.size(), QSize(50, 50));
        }
    }

    void failureHoldsUntilTheFileChanges() {
        const QString file = pictures_ + QStringLiteral("/broken.jpg");
        WriteFile(file, "not a picture");
        SetMTime(file, 1500000000);
        const ThumbnailCache cache;
        auto source = ThumbnailCache::Describe(file);
        QVERIFY(cache.StoreFailure(source));
        QCOMPARE(cache.FailurePath(source.uri), cache.Root() +
                                                    "/fail/vistrel-" VISTREL_VERSION "/" +
                                                    ThumbnailCache::FileName(source.uri));
        QVERIFY(QFileInfo::exists(cache.FailurePath(source.uri)));
        QCOMPARE(cache.Find(source, ThumbnailSize::Normal).status, Status::Failed);
        SetMTime(file, 1500000100);
        source = ThumbnailCache::Describe(file);
        QCOMPARE(cache.Find(source, ThumbnailSize::Normal).status, Status::Miss);
    }

    // Files the cache must leave alone, or that it cannot take.
    void refusals() {
        const ThumbnailCache cache;
        QVERIFY(QDir().mkpath(cache.Root() + "/normal"));
        const QString inside = cache.Root() + "/normal/some.png";
        WriteFile(inside, "x");
        const auto insideSource = ThumbnailCache::Describe(inside);
        QCOMPARE(cache.Find(insideSource, ThumbnailSize::Normal).status, Status::Skipped);
        QVERIFY(
            !cache.Store(insideSource, ThumbnailSize::Normal, QImage(8, 8, QImage::Format_RGB32)));
        QVERIFY(!cache.StoreFailure(insideSource));

        // A root below a plain file can never be made, whoever runs the test.
        const QString blocker = home_.filePath("blocker");
        WriteFile(blocker, "x");
        const ThumbnailCache unwritable(blocker + "/thumbnails");
        const QString file = pictures_ + "/fine.jpg";
        WriteFile(file, "x");
        const auto source = ThumbnailCache::Describe(file);
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::white);
        QVERIFY(!unwritable.Store(source, ThumbnailSize::Normal, image));
        QVERIFY(!unwritable.StoreFailure(source));
        QCOMPARE(unwritable.Find(source, ThumbnailSize::Normal).status, Status::Miss);

        // A link is known by its own name, not by what it points to.
        const QString link = pictures_ + "/link to fine.jpg";
        QVERIFY(QFile::link(file, link));
        QCOMPARE(ThumbnailCache::Describe(link).uri,
                 ThumbnailCache::FileUri(QFile::encodeName(link)));
        QVERIFY(ThumbnailCache::Describe(link).exists);
    }
};

QTEST_GUILESS_MAIN(tst_ThumbnailCache)
#include "tst_ThumbnailCache.moc"
