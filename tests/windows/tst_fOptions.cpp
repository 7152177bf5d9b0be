// The options dialog against a real splitter and the settings file in a
// temporary folder: what a click applies at once and what only its two
// buttons write (ticking and Apply are also in the walkthrough).

#include "controls/Splitter.h"
#include "platform/ProgramFolder.h"
#include "settings/mSetup.h"
#include "windows/fOptions.h"

#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

using settings::Setup;

namespace {

QByteArray FileBytes() {
    QFile file(settings::SetupFilePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The file image with the three fields the dialog writes replaced by hand.
QByteArray WithOptions(QByteArray bytes, qint16 lastPath, qint16 thumbnails, qint16 orientation) {
    const auto put = [&bytes](int offset, qint16 value) {
        bytes[offset] = char(value & 0xFF);
        bytes[offset + 1] = char((value >> 8) & 0xFF);
    };
    put(0, lastPath);
    put(2, thumbnails);
    put(6, orientation);
    return bytes;
}

} // namespace

class TestOptions : public QObject {
    Q_OBJECT
private slots:

    void init() {
        QVERIFY(folder_.isValid());
        platform::SetProgramFolderOverride(folder_.path());
        QFile::remove(settings::SetupFilePath());
        Setup = settings::DefaultSetup();
        Setup.LastPath = "/pictures/holiday";
        QVERIFY(settings::SaveSetup());
        saved_ = FileBytes();
        QCOMPARE(saved_.size(), 20 + 17);
        split_.SetChild1(new QWidget);
        split_.SetChild2(new QWidget);
        split_.SetOrientation(-1);
        owner_.setGeometry(100, 100, 600, 400);
        owner_.show();
    }

    void cleanup() {
        delete dialog_.data();
        platform::SetProgramFolderOverride({});
    }

    // A picture or option click applies at once and writes nothing; the close
    // box writes nothing.
    void imageClickThenCloseBox() {
        fOptions* dialog = Open();
        dialog->ckOptions(0)->setChecked(true);
        QTest::mouseClick(dialog->Image2(), Qt::LeftButton);
        QVERIFY(dialog->optSplitters(0)->isChecked() && !dialog->optSplitters(1)->isChecked());
        QCOMPARE(split_.Orientation(), 0);
        QTest::mouseClick(dialog->optSplitters(1), Qt::LeftButton);
        QCOMPARE(split_.Orientation(), -1);
        const settings::SetupRecord before = Setup;

        QPointer<fOptions> guard(dialog);
        dialog->close();
        QTRY_VERIFY(guard.isNull());
        QCOMPARE(split_.Orientation(), -1); // stays applied for the rest of the run
        QCOMPARE(FileBytes(), saved_);
        QVERIFY(Setup == before);
    }

    void buttons_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<qint16>("stored");
        QTest::addColumn<int>("tick0"); // Qt::CheckState
        QTest::addColumn<int>("tick1");
        QTest::addColumn<QString>("picture"); // clicked before the button; "" none
        QTest::addColumn<qint16>("lastPath");
        QTest::addColumn<qint16>("thumbnails");
        QTest::addColumn<qint16>("orientation");

        QTest::newRow("apply: both ticked, side by side")
            << 0 << qint16(-1) << int(Qt::Checked) << int(Qt::Checked) << "Image2" << qint16(-1)
            << qint16(-1) << qint16(0);
        QTest::newRow("ok: nothing ticked, stacked")
            << 1 << qint16(0) << int(Qt::Unchecked) << int(Qt::Unchecked) << "Image1" << qint16(0)
            << qint16(0) << qint16(-1);
        QTest::newRow("apply: grey counts as ticked")
            << 0 << qint16(-1) << int(Qt::PartiallyChecked) << int(Qt::Unchecked) << ""
            << qint16(-1) << qint16(0) << qint16(-1);
        QTest::newRow("ok: damaged orientation stores 0")
            << 1 << qint16(9) << int(Qt::Unchecked) << int(Qt::Checked) << "" << qint16(0)
            << qint16(-1) << qint16(0);
    }

    void buttons() {
        QFETCH(int, button);
        QFETCH(qint16, stored);
        QFETCH(int, tick0);
        QFETCH(int, tick1);
        QFETCH(QString, picture);
        QFETCH(qint16, orientation);
        Setup.PaneSplitOrientation = stored;
        fOptions* dialog = Open();
        dialog->ckOptions(0)->setCheckState(Qt::CheckState(tick0));
        dialog->ckOptions(1)->setCheckState(Qt::CheckState(tick1));
        if (!picture.isEmpty())
            QTest::mouseClick(dialog->findChild<QWidget*>(picture), Qt::LeftButton);
        QCOMPARE(FileBytes(), saved_); // nothing written before the button
        QPointer<fOptions> guard(dialog);
        QTest::mouseClick(dialog->cmdAction(button), Qt::LeftButton);
        QFETCH(qint16, lastPath);
        QFETCH(qint16, thumbnails);
        QCOMPARE(FileBytes(), WithOptions(saved_, lastPath, thumbnails, orientation));
        QCOMPARE(Setup.PaneSplitOrientation, orientation);
        QTRY_COMPARE(guard.isNull(), button == 1); // OK closes, Apply does not
    }

private:
    fOptions* Open() {
        dialog_ = new fOptions(&owner_, &split_);
        dialog_->show();
        return dialog_;
    }

    QPointer<fOptions> dialog_;

    QTemporaryDir folder_;
    QWidget owner_;
    Splitter split_;
    QByteArray saved_; // the settings file before the dialog opens
};

QTEST_MAIN(TestOptions)
#include "tst_fOptions.moc"
