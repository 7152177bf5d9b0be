// The main window's large-icon view with thumbnails, driven through its real
// widgets with a scripted decoder: what shows in the cells and what pbThumbs
// does (a folder change cancelling the old work: tst_Thumbnailer).

#include "SettingsSandbox.h"
#include "app/fMain.h"
#include "app/mDirTreeview.h"
#include "imaging/FakeDecoder.h"

using imaging::DecodeStatus;
#include "imaging/Thumbnailer.h"
#include "platform/ListView.h"
#include "platform/MessageBox.h"
#include "platform/PictureBox.h"

#include <QLabel>
#include <QListView>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <algorithm>
#include <memory>

class tst_fMainThumbs : public QObject {
    Q_OBJECT

    std::unique_ptr<SettingsSandbox> sandbox_;
    std::unique_ptr<QTemporaryDir> dir_;
    FakeDecoder* decoder_ = nullptr; // owned by the window
    std::unique_ptr<fMain> w_;

    /// A folder of `count` files named a00.png, a01.png, ... (their content
    /// does not matter: the scripted decoder answers for them).
    QString MakeFolder(const QString& name, int count) {
        const QString folder = dir_->filePath(name);
        QDir().mkpath(folder);
        for (int i = 0; i < count; ++i) {
            QFile file(folder + QStringLiteral("/a%1.png").arg(i, 2, 10, QLatin1Char('0')));
            file.open(QIODevice::WriteOnly);
            file.write("x");
        }
        return folder;
    }
    void Browse(const QString& folder) { w_->ChooseFolder(folder); }

private slots:
    void init() {
        sandbox_ = std::make_unique<SettingsSandbox>();
        settings::Setup.StartInThumbnailView = -1;
        dir_ = std::make_unique<QTemporaryDir>();
        auto decoder = std::make_unique<FakeDecoder>();
        decoder_ = decoder.get();
        w_ = std::make_unique<fMain>(nullptr, std::move(decoder));
        w_->SetQuitAction([] {});
        w_->show();
        QVERIFY(QTest::qWaitForWindowExposed(w_.get()));
    }
    void cleanup() {
        platform::ScopedMessageBoxResponder yes(platform::MsgResult::Yes);
        w_.reset();
        decoder_ = nullptr;
        dir_.reset();
        sandbox_.reset();
    }

    void thumbnailsFillTheCellsAndTheBarStepsAside() {
        const QString folder = MakeFolder("photos", 4);
        decoder_->answerAtOnce = true;
        decoder_->scripts[QStringLiteral("a02.png")].status = DecodeStatus::Unreadable;
        for (const char* name : {"a00.png", "a01.png", "a03.png"})
            decoder_->scripts[QString::fromLatin1(name)].size = QSize(4000, 2000);
        QList<int> values; // each Value the bar is given, as it is given
        connect(w_->pbThumbs(), &Qv_Progbar::PropertyChanged, this, [&](const QString& name) {
            if (name == "Value")
                values << w_->pbThumbs()->Value();
        });
        w_->StatusPanel(3)->setText("3 Frames");
        Browse(folder);
        platform::ListView* lv = w_->lvFiles();
        QCOMPARE(lv->View(), int(platform::ListView::LargeIcon));
        QTRY_COMPARE(int(decoder_->requests.size()), 4);
        QTRY_VERIFY(!lv->largeIcon(3).isNull());
        QTRY_VERIFY(!w_->pbThumbs()->isVisible());

        // The bar counted up to its Max and went back to 0 (hidden), so panel
        // 3 shows its text again.
        QCOMPARE(w_->pbThumbs()->Max(), 4);
        QVERIFY2(values.contains(4), qPrintable(QDebug::toString(values)));
        QCOMPARE(values.last(), 0);
        // The count only goes up, or back to 0 when the listing is made anew
        // (a change in the folder) and at the end.
        for (int i = 1; i < values.size(); ++i)
            QVERIFY2(values[i] >= values[i - 1] || values[i] == 0,
                     qPrintable(QDebug::toString(values)));
        QVERIFY(w_->StatusPanel(3)->isVisible());
        QCOMPARE(w_->StatusPanel(3)->text(), QStringLiteral("3 Frames"));

        // Pictures where they could be made; the type icon stays for the other.
        for (int row : {0, 1, 3})
            QVERIFY(!lv->largeIcon(row).isNull());
        QVERIFY(lv->largeIcon(2).isNull());

        // The picture (128 x 64) is drawn fitted in the square, centred.
        QListView* icons = lv->iconView();
        // Row 0 is selected, and a selected icon is drawn tinted.
        const QRect cell = icons->visualRect(icons->model()->index(1, 0));
        const QImage shot = icons->viewport()->grab().toImage();
        const QRgb colour = FakeDecoder::ColourOf(QStringLiteral("a01.png")) & 0xFFFFFF;
        auto isPicture = [&](int x, int y) { return (shot.pixel(x, y) & 0xFFFFFF) == colour; };
        int top = -1;
        int rows = 0;
        for (int y = cell.top(); y <= cell.bottom(); ++y) {
            if (isPicture(cell.center().x(), y)) {
                top = top < 0 ? y : top;
                ++rows;
            }
        }
        QCOMPARE(rows, 64);
        int columns = 0;
        for (int x = cell.left(); x <= cell.right(); ++x)
            columns += isPicture(x, top + 32) ? 1 : 0;
        QCOMPARE(columns, 128);
        QVERIFY(isPicture(cell.center().x() - 63, top) || isPicture(cell.center().x() + 63, top));
        // The report view keeps the small type icons.
        lv->setView(platform::ListView::Report);
        QCOMPARE(lv->reportView()->iconSize(), QSize(16, 16));
    }
};

QTEST_MAIN(tst_fMainThumbs)
#include "tst_fMainThumbs.moc"
