// The decoder pool with real worker processes: what each kind of file,
// good or bad, answers, that the pool goes on working after every bad one,
// the order, cancelling and failure handling of requests, and pictures
// turned upright by their Exif orientation.

#include "DecoderTestFiles.h"
#include "ExifTestFiles.h"
#include "imaging/DecoderPool.h"
#include "imaging/DecoderProtocol.h"
#include "imaging/FreeImageLoader.h"
#include "imaging/mScaleImage.h"
#include "platform/Sandbox.h"
#include "platform/ThreadPriority.h"

#include <QBuffer>
#include <QImageWriter>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTransform>
#include <cmath>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using imaging::DecodedPicture;
using imaging::DecodePriority;
using imaging::DecoderPool;
using imaging::DecodeStatus;
using Ticket = imaging::PictureDecoder::Ticket;

Q_DECLARE_METATYPE(imaging::DecodeStatus)

namespace {

DecoderPool::Options options(const QString& fault = {}, int deadlineMs = 4000, int workers = 2) {
    DecoderPool::Options o;
    o.workerPath = QStringLiteral(VISTREL_DECODER_PATH);
    o.workers = workers;
    o.deadlineMs = deadlineMs;
    o.fault = fault;
    return o;
}

/// The answer to one request, waited for without blocking the event loop.
DecodedPicture decode(DecoderPool& pool, const QString& path, QSize box = {}) {
    QSignalSpy spy(&pool, &imaging::PictureDecoder::Decoded);
    const Ticket ticket = pool.Request({path, box, DecodePriority::Shown, 0xFFFFFFFF});
    for (int i = 0; i < 2000; ++i) {
        for (const QList<QVariant>& args : spy)
            if (args.at(0).value<Ticket>() == ticket)
                return args.at(1).value<DecodedPicture>();
        spy.wait(50);
    }
    DecodedPicture none;
    none.status = DecodeStatus(-1);
    return none;
}

double psnr(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* p = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* q = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            const int dr = qRed(p[x]) - qRed(q[x]), dg = qGreen(p[x]) - qGreen(q[x]),
                      db = qBlue(p[x]) - qBlue(q[x]);
            sum += dr * dr + dg * dg + db * db;
        }
    }
    const double mse = sum / (3.0 * a.width() * a.height());
    return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

} // namespace

class tst_DecoderPool : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString pngPath_;

    QString path(const QString& name) const { return dir_.filePath(name); }

private slots:
    void initTestCase();
    void answers_data();
    void answers();
    void killedMidDecode();
    void failingWorkersReportOnce();
    void priorityAndCancel();
    void exifOrientation_data();
    void exifOrientation();
};

void tst_DecoderPool::initTestCase() {
    QVERIFY(dir_.isValid());
    pngPath_ = path(QStringLiteral("photo.png"));
    QVERIFY(decodertest::PhotoLike(400, 300).save(pngPath_));
}

void tst_DecoderPool::answers_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QSize>("box");
    QTest::addColumn<DecodeStatus>("status");
    QTest::addColumn<QSize>("size");

    using namespace decodertest;
    const auto bytesOf = [](const QImage& image, const char* format, bool progressive = false) {
        QByteArray out;
        QBuffer buffer(&out);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, format);
        writer.setProgressiveScanWrite(progressive);
        writer.setQuality(90);
        writer.write(image);
        return out;
    };
    const QImage photo = PhotoLike(640, 480);
    const QByteArray progressive = bytesOf(photo, "jpg", true);
    const QSize none(0, 0), box(160, 160);
    const QByteArray fault = QByteArray(imaging::protocol::kFaultMarker);

    QTest::newRow("png at a box") << "a.png" << bytesOf(photo, "png") << "" << box
                                  << DecodeStatus::Ok << QSize(160, 120);
    QTest::newRow("jpeg at a box") << "a.jpg" << bytesOf(photo, "jpg") << "" << QSize(100, 300)
                                   << DecodeStatus::Ok << QSize(100, 75);
    QTest::newRow("jpeg at full size")
        << "b.jpg" << bytesOf(photo, "jpg") << "" << none << DecodeStatus::Ok << QSize(640, 480);
    QTest::newRow("jpeg named .png")
        << "c.png" << bytesOf(photo, "jpg") << "" << box << DecodeStatus::Ok << QSize(160, 120);
    QTest::newRow("unlisted format by content")
        << "hdr.png"
        << QByteArray("#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n\n-Y 1 +X 1\n\x80\x80\x80\x80") << ""
        << box << DecodeStatus::Unsupported << none;
    QTest::newRow("not a picture")
        << "text.jpg" << QByteArray("hello") << "" << box << DecodeStatus::Unreadable << none;
    QTest::newRow("truncated progressive jpeg")
        << "cut.jpg" << progressive.left(progressive.size() / 2) << "" << box
        << DecodeStatus::Unreadable << none;
    const QSize huge(60000, 60000);
    QTest::newRow("png 60000^2") << "huge.png" << PngHeader(60000, 60000) << "" << box
                                 << DecodeStatus::TooLarge << none;
    QTest::newRow("tiff 60000^2") << "huge.tif" << TiffHeader(60000, 60000) << "" << box
                                  << DecodeStatus::TooLarge << none;
    QTest::newRow("psd 60000^2") << "huge.psd" << PsdHeader(60000, 60000, 2) << "" << box
                                 << DecodeStatus::TooLarge << none;
    QTest::newRow("dds 60000^2") << "huge.dds" << DdsHeader(60000, 60000) << "" << box
                                 << DecodeStatus::TooLarge << none;
    QTest::newRow("wbmp 60000^2") << "huge.wbmp" << WbmpHeader(60000, 60000) << "" << box
                                  << DecodeStatus::TooLarge << none;
    QTest::newRow("iff 60000^2") << "huge.iff" << IffHeader(60000, 60000) << "" << box
                                 << DecodeStatus::TooLarge << none;
    QTest::newRow("xbm 60000^2") << "huge.xbm" << XbmHeader(60000, 60000) << "" << box
                                 << DecodeStatus::TooLarge << none;
    QTest::newRow("psd corrupt") << "bad.psd" << PsdHeader(64, 64, 7) << "" << box
                                 << DecodeStatus::Unreadable << none;
    QByteArray tiff = TiffHeader(64, 64);
    tiff[4] = '\xF0'; // the directory lies past the end
    QTest::newRow("tiff corrupt") << "bad.tif" << tiff << "" << box << DecodeStatus::Unreadable
                                  << none;
    QTest::newRow("pcx corrupt") << "bad.pcx"
                                 << QByteArray("\x0a\x05\x01\x08\xff\xff\xff\xff\x00\x00\x00\x00",
                                               12) +
                                        QByteArray(116, 0)
                                 << "" << box << DecodeStatus::Unreadable << none;
    QTest::newRow("tga corrupt") << "bad.tga" << QByteArray("\x00\x00\x7f", 3) + QByteArray(40, 1)
                                 << "" << box << DecodeStatus::Unreadable << none;
    QTest::newRow("decoder crashes")
        << "f.png" << fault << "crash" << box << DecodeStatus::WorkerFailed << none;
    QTest::newRow("decoder hangs")
        << "f.png" << fault << "hang" << box << DecodeStatus::WorkerFailed << none;
    if (platform::AddressSpaceLimitApplies())
        QTest::newRow("decoder allocates without bound")
            << "f.png" << fault << "alloc" << box << DecodeStatus::WorkerFailed << none;
    // The worker tries to open a file after confinement: refused, it answers
    // Unreadable (a breach would answer Unsupported).
    QTest::newRow("decoder opens a file")
        << "f.png" << fault << "open" << box << DecodeStatus::Unreadable << none;
    // A worker that answers Ok with pixels that break the rules.
    for (const char* lie : {"lie-size", "lie-short", "lie-unsealed"})
        QTest::newRow(lie) << "f.png" << fault << lie << QSize(8, 8) << DecodeStatus::WorkerFailed
                           << none;
    QTest::newRow("fifo named .jpg")
        << "fifo.jpg" << QByteArray() << "" << box << DecodeStatus::Unreadable << none;
    QTest::newRow("device named .jpg")
        << "zero.jpg" << QByteArray() << "" << box << DecodeStatus::Unreadable << none;
    QTest::newRow("deleted before the decode")
        << "gone.jpg" << QByteArray() << "" << box << DecodeStatus::Unreadable << none;
}

void tst_DecoderPool::answers() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, fault);
    QFETCH(QSize, box);
    QFETCH(DecodeStatus, status);
    QFETCH(QSize, size);

    const QString file = path(QTest::currentDataTag() + QStringLiteral("-") + name);
    if (name == QLatin1String("fifo.jpg"))
        QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    else if (name == QLatin1String("zero.jpg"))
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), file));
    else if (name != QLatin1String("gone.jpg"))
        QVERIFY(decodertest::WriteFile(file, bytes));

    DecoderPool pool(options(fault, 2000));
    const DecodedPicture got = decode(pool, file, box);
    QCOMPARE(got.status, status);
    QCOMPARE(got.path, file);
    QCOMPARE(got.image.size(), size);
    if (status == DecodeStatus::Ok) {
        QCOMPARE(got.image.format(), QImage::Format_RGB32);
        QCOMPARE(imaging::protocol::FittedSize(got.originalSize, box), size);
    }
    // Whatever happened, the pool goes on decoding.
    const DecodedPicture after = decode(pool, pngPath_, QSize(200, 200));
    QCOMPARE(after.status, DecodeStatus::Ok);
    QCOMPARE(after.image.size(), QSize(200, 150));
}

void tst_DecoderPool::killedMidDecode() {
    const QString file = path(QStringLiteral("kill.png"));
    QVERIFY(decodertest::WriteFile(file, QByteArray(imaging::protocol::kFaultMarker)));
    // A deadline longer than the wait: only the kill can end this decode.
    DecoderPool pool(options(QStringLiteral("hang"), 600000));
    QSignalSpy spy(&pool, &imaging::PictureDecoder::Decoded);
    pool.Request({file, QSize(100, 100)});
    QTRY_COMPARE(pool.Running(), 1);
    // The workers run below the browser's threads, which keep their priority.
    const int own = ::getpriority(PRIO_PROCESS, 0);
    for (const qint64 pid : pool.WorkerPids())
        QCOMPARE(::getpriority(PRIO_PROCESS, id_t(pid)),
                 std::max(own, platform::kBackgroundNiceness));
    for (const qint64 pid : pool.WorkerPids())
        ::kill(pid_t(pid), SIGKILL);
    QTRY_COMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(1).value<DecodedPicture>().status, DecodeStatus::WorkerFailed);
    // The idle worker was killed too; once both are replaced, all is well.
    QTRY_COMPARE(pool.Started(), 4);
    QCOMPARE(decode(pool, pngPath_, QSize(40, 40)).status, DecodeStatus::Ok);
}

void tst_DecoderPool::failingWorkersReportOnce() {
    DecoderPool pool(options(QStringLiteral("start")));
    QSignalSpy failing(&pool, &DecoderPool::WorkersFailing);
    QTRY_COMPARE(failing.count(), 1);
    // While no worker is ready, requests are answered rather than kept.
    QCOMPARE(decode(pool, pngPath_).status, DecodeStatus::WorkerFailed);
    const int started = pool.Started();
    QTRY_VERIFY(pool.Started() >= started + 4);
    QCOMPARE(failing.count(), 1);
}

void tst_DecoderPool::priorityAndCancel() {
    const QString stuck = path(QStringLiteral("stuck.png"));
    QVERIFY(decodertest::WriteFile(stuck, QByteArray(imaging::protocol::kFaultMarker)));
    DecoderPool pool(options(QStringLiteral("hang"), 600000, 1));
    QSignalSpy spy(&pool, &imaging::PictureDecoder::Decoded);
    const Ticket blocker = pool.Request({stuck, {}, DecodePriority::Background});
    QTRY_COMPARE(pool.Running(), 1);
    const auto ask = [&](DecodePriority p) { return pool.Request({pngPath_, QSize(8, 8), p}); };
    const Ticket a = ask(DecodePriority::Background), b = ask(DecodePriority::Neighbour),
                 c = ask(DecodePriority::Shown), d = ask(DecodePriority::Shown),
                 e = ask(DecodePriority::Background);
    pool.Cancel(d);
    // Cancelling the stuck decode lets the waiting Shown request take its worker.
    pool.Cancel(blocker);
    QTRY_COMPARE(spy.count(), 4);
    QList<Ticket> order;
    for (const QList<QVariant>& args : spy) {
        order.append(args.at(0).value<Ticket>());
        QCOMPARE(args.at(1).value<DecodedPicture>().status, DecodeStatus::Ok);
    }
    QCOMPARE(order, (QList<Ticket>{c, b, a, e}));
}

void tst_DecoderPool::exifOrientation_data() {
    QTest::addColumn<QByteArray>("exif");
    QTest::addColumn<int>("upright"); // the orientation the decoders must apply
    QTest::addColumn<QSize>("box");
    using exiftest::App1;
    const QSize full(0, 0), box(60, 30); // a wide box: a quarter turn fits it differently
    for (int v = 1; v <= 8; ++v)
        for (const QSize b : {box, full})
            QTest::addRow("%d %s", v, b.isEmpty() ? "full" : "box")
                << App1({.big = v % 2 == 0, .value = quint16(v), .entries = 2}) << v << b;
    QTest::newRow("value 9") << App1({.value = 9, .entries = 2}) << 1 << box;
    QTest::newRow("damaged block")
        << App1({.value = 6, .ifdOffset = 4000, .entries = 2}) << 1 << full;
}

void tst_DecoderPool::exifOrientation() {
    QFETCH(QByteArray, exif);
    QFETCH(int, upright);
    QFETCH(QSize, box);
    // Flat blocks off the centre over a gentle gradient: every turn and mirror
    // of it differs plainly, and JPEG keeps it close.
    QImage stored(192, 128, QImage::Format_RGB32);
    for (int y = 0; y < stored.height(); ++y)
        for (int x = 0; x < stored.width(); ++x)
            stored.setPixel(x, y, qRgb(x < 120 ? 220 : 40, y < 40 ? 200 : 60, (x + y) / 2));
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(QImageWriter(&buffer, "jpg").write(stored));
    const QString file = path(QStringLiteral("exif-%1.jpg").arg(QTest::currentDataTag()));
    QVERIFY(decodertest::WriteFile(file, exiftest::SpliceAfterSoi(jpeg, exif)));

    // The Exif table as matrices acting on (x, y), y pointing down.
    static const qreal turns[9][4] = {
        {},           {1, 0, 0, 1},  {-1, 0, 0, 1},  {-1, 0, 0, -1}, {1, 0, 0, -1},
        {0, 1, 1, 0}, {0, 1, -1, 0}, {0, -1, -1, 0}, {0, -1, 1, 0}};
    const qreal* m = turns[upright];
    QImage reference = stored.transformed(QTransform(m[0], m[1], m[2], m[3], 0, 0));
    const QSize uprightSize = reference.size();
    reference = reference.scaled(imaging::protocol::FittedSize(uprightSize, box),
                                 Qt::IgnoreAspectRatio, Qt::SmoothTransformation);

    DecoderPool pool(options());
    const DecodedPicture got = decode(pool, file, box);
    QCOMPARE(got.status, DecodeStatus::Ok);
    QCOMPARE(got.originalSize, uprightSize);
    QCOMPARE(got.image.size(), reference.size());
    const double db = psnr(got.image, reference.convertToFormat(QImage::Format_RGB32));
    QVERIFY2(db >= 30, qPrintable(QString::number(db)));
}

QTEST_GUILESS_MAIN(tst_DecoderPool)
#include "tst_DecoderPool.moc"
