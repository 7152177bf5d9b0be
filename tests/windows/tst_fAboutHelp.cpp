// The About and Help windows: their texts, their one-instance life, and the
// three ways of starting the system-information tool.

#include "platform/MessageBox.h"
#include "platform/ProgramLauncher.h"
#include "platform/Registry.h"
#include "windows/fAbout.h"
#include "windows/fHelp.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace platform;

namespace {
const QString kMsInfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kLocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");

RegistryValue Text(const QString& text) {
    return {REG_SZ, text.toLocal8Bit() + '\0'};
}
} // namespace

class TestAboutHelp : public QObject {
    Q_OBJECT
private slots:

    void windowLife_data() {
        QTest::addColumn<bool>("about");
        QTest::addColumn<QString>("title");
        QTest::newRow("About") << true << "About Vistrel";
        QTest::newRow("Help (caption ends in a space)") << false << "Vistrel Help ";
    }

    void windowLife() {
        QFETCH(bool, about);
        QFETCH(QString, title);
        QWidget owner;
        owner.show();
        QDialog* window = about ? static_cast<QDialog*>(new fAbout(&owner)) : new fHelp(&owner);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QCOMPARE(window->windowTitle(), title);
        QVERIFY(!window->isModal());

        QPointer<QDialog> guard(window);
        if (about)
            QTest::mouseClick(static_cast<fAbout*>(window)->cmdOK(), Qt::LeftButton);
        else
            window->close();
        QTRY_VERIFY(guard.isNull());
    }

    void helpPage() {
        const QByteArray expected =
            "  Using the Image Viewer is quite easy. Simply navigate to folders which contain "
            "images "
            "by "
            "using the standard folder tree on the main interface.\r"
            "\r"
            " From the toolbar, you can set program options, change browser views, load images "
            "into "
            "the "
            "Windows default editor, refresh the browser, read this help, and exit the program.\r"
            "\r"
            " To view the selected image at its actual size, dblclick on the image in the preview "
            "or "
            "press the <ENTER> key. dblclick again or press <ESC> to return to the browser.\r"
            "--------------\r"
            " This program utilizes portions of the Freeimage Image library. For more information, "
            "visit https://freeimage.sourceforge.io/.\r"
            "--------------\r"
            " Corvantis";
        QCOMPARE(HelpText().toUtf8(), expected);

        QWidget owner;
        QCOMPARE(fHelp(&owner).lblhelp()->text(), HelpText());
    }

    void aboutTexts() {
        QWidget owner;
        auto* about = new fAbout(&owner);
        about->show();
        QCOMPARE(about->lblTitle()->text(), QStringLiteral("Vistrel"));
        QCOMPARE(about->lblVersion()->text(), QStringLiteral("Version " VISTREL_EXPECTED_VERSION));
        QCOMPARE(about->lblDescription()->text(),
                 QStringLiteral("Vistrel is a handy tool which you can use for a variety of Image "
                                "Browsing tasks. For more information on this and other software, "
                                "Please contact us at: https://vistrel.example/"));
        QCOMPARE(about->cmdSysInfo()->text(), QStringLiteral("&System Info..."));
    }

    void startSysInfo_data() {
        QTest::addColumn<QString>("pathValue");    // "PATH" of the MSINFO key; empty: none
        QTest::addColumn<bool>("withFolderValue"); // "MSINFO" names a temporary folder
        QTest::addColumn<bool>("fileInFolder");    // MSINFO32.EXE exists in that folder
        QTest::addColumn<bool>("startSucceeds");
        QTest::addColumn<QString>("expectedStart"); // "<folder>" stands for the folder
        QTest::addColumn<bool>("expectMessage");

        QTest::newRow("PATH runs without checking the file")
            << "/nowhere/sysinfo" << true << true << true << "/nowhere/sysinfo" << false;
        QTest::newRow("PATH fails to start: message, folder not tried")
            << "/nowhere/sysinfo" << true << true << false << "/nowhere/sysinfo" << true;
        QTest::newRow("folder with the file runs it")
            << "" << true << true << true << "<folder>/MSINFO32.EXE" << false;
        QTest::newRow("folder without the file: message")
            << "" << true << false << true << "" << true;
        QTest::newRow("no values: message") << "" << false << false << true << "" << true;
    }

    void startSysInfo() {
        QFETCH(QString, pathValue);
        QFETCH(bool, withFolderValue);
        QFETCH(bool, fileInFolder);
        QFETCH(bool, startSucceeds);
        QFETCH(QString, expectedStart);
        QFETCH(bool, expectMessage);

        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        if (fileInFolder) {
            QFile file(folder.filePath("MSINFO32.EXE"));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        TableRegistry registry;
        registry.AddKey(HKEY_LOCAL_MACHINE, kMsInfoKey);
        registry.AddKey(HKEY_LOCAL_MACHINE, kLocationKey);
        if (!pathValue.isEmpty())
            registry.SetValue(HKEY_LOCAL_MACHINE, kMsInfoKey, "PATH", Text(pathValue));
        if (withFolderValue)
            registry.SetValue(HKEY_LOCAL_MACHINE, kLocationKey, "MSINFO", Text(folder.path()));
        ScopedRegistry registryScope(registry);
        QStringList started;
        ScopedProgramLauncher launcher([&](const QString& program) {
            started << program;
            return startSucceeds;
        });
        ScopedMessageBoxResponder boxes(MsgResult::OK);

        // Through the About window's button, which stays open after a message.
        QWidget owner;
        auto* about = new fAbout(&owner);
        about->show();
        QTest::mouseClick(about->cmdSysInfo(), Qt::LeftButton);

        expectedStart.replace("<folder>", folder.path());
        QCOMPARE(started, expectedStart.isEmpty() ? QStringList() : QStringList{expectedStart});
        QCOMPARE(boxes.requests().size(), std::size_t(expectMessage ? 1 : 0));
        if (expectMessage) {
            const MsgRequest& box = boxes.requests().front();
            QCOMPARE(box.text, QStringLiteral("System Information Is Unavailable At This Time"));
            QVERIFY(box.buttons == MsgButtons::OK && box.icon == MsgIcon::None);
            QCOMPARE(box.title, QStringLiteral("Vistrel")); // an empty title is the program name
        }
        QVERIFY(about->isVisible());
    }
};

QTEST_MAIN(TestAboutHelp)
#include "tst_fAboutHelp.moc"
