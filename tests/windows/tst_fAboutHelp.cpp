// The About and Help windows' words, typed out here as the program must show
// them.

#include "windows/fAbout.h"
#include "windows/fHelp.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

class TestAboutHelp : public QObject {
    Q_OBJECT
private slots:

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
        auto* help = new fHelp(&owner);
        QCOMPARE(help->windowTitle(), QStringLiteral("Vistrel Help ")); // ends in a space
        QCOMPARE(help->lblhelp()->text(), HelpText());
    }

    void aboutTexts() {
        QWidget owner;
        auto* about = new fAbout(&owner);
        about->show();
        QCOMPARE(about->windowTitle(), QStringLiteral("About Vistrel"));
        QCOMPARE(about->lblTitle()->text(), QStringLiteral("Vistrel"));
        QCOMPARE(about->lblVersion()->text(), QStringLiteral("Version " VISTREL_EXPECTED_VERSION));
        QCOMPARE(about->lblDescription()->text(),
                 QStringLiteral("Vistrel is a handy tool which you can use for a variety of Image "
                                "Browsing tasks. For more information on this and other software, "
                                "Please contact us at: https://vistrel.example/"));
        QCOMPARE(about->cmdSysInfo()->text(), QStringLiteral("&System Info..."));
    }
};

QTEST_MAIN(TestAboutHelp)
#include "tst_fAboutHelp.moc"
