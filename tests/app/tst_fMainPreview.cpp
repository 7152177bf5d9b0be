// The still preview driven through the real main window with a scripted
// decoder: what reaches the pane and the status panels, what is asked for,
// cancelled and served from the cache.

#include "RealDecoder.h"
#include "SettingsSandbox.h"
#include "app/fMain.h"
#include "app/mDirTreeview.h"
#include "controls/ImageAceX.h"
#include "imaging/FakeDecoder.h"
#include "platform/ListView.h"
#include "platform/MessageBox.h"
#include "platform/PictureBox.h"
#include "windows/fFullview.h"

#include <QAbstractItemView>
#include <QLabel>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

using imaging::DecodePriority;
using imaging::DecodeStatus;

Q_DECLARE_METATYPE(imaging::DecodeStatus)

namespace {

constexpr int kFiles = 20;

QString Name(int i) {
    return QStringLiteral("p%1.png").arg(i, 2, 10, QLatin1Char('0'));
}

} // namespace

class tst_fMainPreview : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void staleAnswerNeverReachesThePreview();
    void heldDownShowsWhereTheKeyIsReleased();
    void neighbourStepIsServedAhead_data();
    void neighbourStepIsServedAhead();
    void failureClearsThePreview_data();
    void failureClearsThePreview();
    void fullViewEnlargesThenShowsTheFullPicture_data();
    void fullViewEnlargesThenShowsTheFullPicture();
    void eventLoopRunsWhileTheRealDecoderWorks();

private:
    void start(std::unique_ptr<imaging::PictureDecoder> decoder);
    void select(int row);
    QRgb centre() const;
    QString panel(int i) const { return w_->StatusPanel(i)->text(); }

    std::unique_ptr<SettingsSandbox> sandbox_;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<fMain> w_;
    FakeDecoder* fake_ = nullptr;
};

void tst_fMainPreview::init() {
    sandbox_ = std::make_unique<SettingsSandbox>();
    settings::Setup.StartInThumbnailView = 0;
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    // The fake never reads them; they only need to be listed and not be GIFs.
    for (int i = 0; i < kFiles; ++i) {
        QFile f(dir_->filePath(Name(i)));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("not read") > 0);
    }
    auto fake = std::make_unique<FakeDecoder>();
    fake_ = fake.get();
    start(std::move(fake));
}

void tst_fMainPreview::start(std::unique_ptr<imaging::PictureDecoder> decoder) {
    w_ = std::make_unique<fMain>(nullptr, std::move(decoder));
    w_->SetQuitAction([] {});
    w_->show();
    QVERIFY(QTest::qWaitForWindowExposed(w_.get()));
    w_->ChooseFolder(dir_->path());
}

void tst_fMainPreview::cleanup() {
    platform::ScopedMessageBoxResponder yes(platform::MsgResult::Yes);
    w_.reset();
    dir_.reset();
    sandbox_.reset();
}

void tst_fMainPreview::select(int row) {
    w_->lvFiles()->selectRow(row);
    w_->lvFiles_ItemClick();
}

QRgb tst_fMainPreview::centre() const {
    const QImage pane = w_->picPreview()->Image();
    return pane.pixel(pane.width() / 2, pane.height() / 2) | 0xFF000000u;
}

void tst_fMainPreview::staleAnswerNeverReachesThePreview() {
    const QRgb blank = centre();
    select(0);
    select(1);
    QCOMPARE(fake_->cancels.size(), std::size_t(1));
    QCOMPARE(fake_->cancels[0], fake_->requests[0].ticket);
    // The decoder answers the cancelled file anyway.
    fake_->Answer(fake_->requests[0].ticket);
    QCOMPARE(centre(), blank);
    QCOMPARE(panel(1), QString());
    QVERIFY(fake_->AnswerFile(Name(1)));
    QCOMPARE(centre(), FakeDecoder::ColourOf(Name(1)));
    QCOMPARE(panel(1), Name(1));
    QCOMPARE(panel(2), QStringLiteral("640x480"));
    // ... and once more, late, after the right one is on screen.
    fake_->Answer(fake_->requests[0].ticket);
    QCOMPARE(centre(), FakeDecoder::ColourOf(Name(1)));
    QCOMPARE(panel(1), Name(1));
}

void tst_fMainPreview::heldDownShowsWhereTheKeyIsReleased() {
    select(0);
    QAbstractItemView* view = w_->lvFiles()->currentView();
    view->setFocus();
    for (int i = 1; i < kFiles; ++i)
        QTest::keyPress(view, Qt::Key_Down, {}, -1);
    QTest::keyRelease(view, Qt::Key_Down);
    QCOMPARE(w_->lvFiles()->selectedRow(), kFiles - 1);
    // One request per file passed, each cancelled by the next; nothing stale
    // is left waiting, and nothing is decoded ahead until a picture is shown.
    QCOMPARE(fake_->Count(DecodePriority::Shown), kFiles);
    QCOMPARE(fake_->cancels.size(), std::size_t(kFiles - 1));
    QCOMPARE(fake_->open.size(), std::size_t(1));
    const QSize box = w_->picPreview()->size() * w_->picPreview()->devicePixelRatioF();
    QCOMPARE(fake_->open.begin()->second.box, box);
    QVERIFY(fake_->AnswerFile(Name(kFiles - 1)));
    QCOMPARE(panel(1), Name(kFiles - 1));
    QCOMPARE(centre(), FakeDecoder::ColourOf(Name(kFiles - 1)));
    // The last file has only a previous neighbour.
    QCOMPARE(fake_->open.size(), std::size_t(1));
    QCOMPARE(fake_->CountFor(Name(kFiles - 2), DecodePriority::Neighbour), 1);
}

void tst_fMainPreview::neighbourStepIsServedAhead_data() {
    QTest::addColumn<bool>("neighbourAnswered"); // else still on its way at the step
    QTest::newRow("neighbour in the cache") << true;
    QTest::newRow("neighbour still decoding") << false;
}

void tst_fMainPreview::neighbourStepIsServedAhead() {
    QFETCH(bool, neighbourAnswered);
    select(5);
    QCOMPARE(fake_->Count(DecodePriority::Neighbour), 0);
    QVERIFY(fake_->AnswerFile(Name(5)));
    // Next and previous, at the shown picture's size.
    QCOMPARE(fake_->CountFor(Name(6), DecodePriority::Neighbour), 1);
    QCOMPARE(fake_->CountFor(Name(4), DecodePriority::Neighbour), 1);
    for (const auto& [ticket, request] : fake_->open)
        QCOMPARE(request.box, fake_->requests[0].request.box);
    if (neighbourAnswered) {
        QVERIFY(fake_->AnswerFile(Name(6)));
        QVERIFY(fake_->AnswerFile(Name(4)));
    }
    const std::size_t asked = fake_->requests.size();

    QAbstractItemView* view = w_->lvFiles()->currentView();
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Down);
    QCOMPARE(w_->SelectedName(), Name(6));
    QCOMPARE(fake_->CountFor(Name(6), DecodePriority::Shown), 0);
    if (!neighbourAnswered) {
        // The decode under way is taken over, not started again; the file
        // left behind (4) is no neighbour any more.
        QCOMPARE(panel(1), Name(5));
        QCOMPARE(fake_->requests.size(), asked);
        QVERIFY(fake_->AnswerFile(Name(6)));
    }
    QCOMPARE(panel(1), Name(6));
    QCOMPARE(centre(), FakeDecoder::ColourOf(Name(6)));
    // Ahead again: 7 is new; 5 is in the cache.
    QCOMPARE(fake_->CountFor(Name(7), DecodePriority::Neighbour), 1);
    QCOMPARE(fake_->CountFor(Name(5), DecodePriority::Neighbour), 0);
    QCOMPARE(fake_->requests.size(), asked + 1);

    QTest::keyClick(view, Qt::Key_Up);
    QCOMPARE(panel(1), Name(5));
    QCOMPARE(centre(), FakeDecoder::ColourOf(Name(5)));
    QCOMPARE(fake_->CountFor(Name(5), DecodePriority::Shown), 1); // the first click only
}

void tst_fMainPreview::failureClearsThePreview_data() {
    QTest::addColumn<DecodeStatus>("status");
    QTest::newRow("not a listed format") << DecodeStatus::Unsupported;
    QTest::newRow("damaged") << DecodeStatus::Unreadable;
    QTest::newRow("too large") << DecodeStatus::TooLarge;
    QTest::newRow("worker crashed") << DecodeStatus::WorkerFailed;
}

void tst_fMainPreview::failureClearsThePreview() {
    QFETCH(DecodeStatus, status);
    const QRgb blank = centre();
    fake_->scripts[Name(1)].status = status;
    select(0);
    QVERIFY(fake_->AnswerFile(Name(0)));
    QCOMPARE(centre(), FakeDecoder::ColourOf(Name(0)));
    select(1);
    QVERIFY(fake_->AnswerFile(Name(1)));
    QCOMPARE(centre(), blank);
    QImage cleared(w_->picPreview()->size(), QImage::Format_RGB32);
    cleared.fill(blank);
    QCOMPARE(w_->picPreview()->Image(), cleared);
    QCOMPARE(panel(1), Name(1));
    QCOMPARE(panel(2), QStringLiteral("Cannot display this file"));
    QCOMPARE(panel(3), QString());
}

void tst_fMainPreview::fullViewEnlargesThenShowsTheFullPicture_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<DecodeStatus>("fullStatus"); // the file is rewritten in between
    QTest::newRow("fits the screen") << QSize(700, 500) << DecodeStatus::Ok;
    QTest::newRow("larger than the screen") << QSize(4000, 1000) << DecodeStatus::Ok;
    QTest::newRow("unreadable at full size") << QSize(700, 500) << DecodeStatus::Unreadable;
}

void tst_fMainPreview::fullViewEnlargesThenShowsTheFullPicture() {
    QFETCH(QSize, size);
    QFETCH(DecodeStatus, fullStatus);
    fake_->scripts[Name(3)].size = size;
    select(3);
    QVERIFY(fake_->AnswerFile(Name(3)));
    QVERIFY(fake_->AnswerFile(Name(4)) && fake_->AnswerFile(Name(2)));
    fake_->scripts[Name(3)].status = fullStatus;

    w_->picPreview_DblClick();
    fFullview* full = w_->Fullview();
    QVERIFY(full != nullptr);
    QTRY_VERIFY(full->isVisible());
    // The preview stands in for the picture of the original size at once.
    const QImage standIn = full->imView()->Picture();
    QCOMPARE(full->imView()->OriginalSize(), size);
    QCOMPARE(standIn.pixel(standIn.width() / 2, standIn.height() / 2) | 0xFF000000u,
             FakeDecoder::ColourOf(Name(3)));

    QCOMPARE(fake_->open.size(), std::size_t(1));
    const imaging::DecodeRequest asked = fake_->open.begin()->second;
    QVERIFY(asked.box.isEmpty());
    QCOMPARE(asked.priority, DecodePriority::Shown);
    QVERIFY(fake_->AnswerFile(Name(3)));
    if (fullStatus == DecodeStatus::Ok)
        QCOMPARE(full->imView()->Picture().size(), size);
    else
        QVERIFY(full->imView()->Picture().isNull());

    // Closing the view drops a full-size request still under way.
    w_->picPreview_DblClick();
    QCOMPARE(fake_->open.size(), std::size_t(1));
    const auto ticket = fake_->open.begin()->first;
    full->close();
    QTRY_VERIFY(w_->Fullview() == nullptr);
    QVERIFY(fake_->open.empty());
    QCOMPARE(fake_->cancels.back(), ticket);
}

void tst_fMainPreview::eventLoopRunsWhileTheRealDecoderWorks() {
    // A noisy picture: slow to decode, so that the decode is under way for
    // many turns of the event loop.
    QImage noise(2400, 1600, QImage::Format_RGB32);
    auto* rng = QRandomGenerator::global();
    for (int y = 0; y < noise.height(); ++y)
        rng->fillRange(reinterpret_cast<quint32*>(noise.scanLine(y)), noise.width());
    QVERIFY(noise.save(dir_->filePath(Name(0)), "PNG"));
    fake_ = nullptr;
    w_.reset();
    start(RealDecoder()); // the program's own decoder, worker processes and all

    int ticks = 0;
    QTimer timer;
    timer.setInterval(1);
    connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start();
    select(0);
    // The click has returned; the answer cannot have been painted yet.
    QCOMPARE(panel(2), QString());
    QTRY_COMPARE_WITH_TIMEOUT(panel(2), QStringLiteral("2400x1600"), 30000);
    QVERIFY2(ticks > 3, qPrintable(QString::number(ticks)));
}

QTEST_MAIN(tst_fMainPreview)
#include "tst_fMainPreview.moc"
