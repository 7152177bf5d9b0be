// The command line: what each argument list asks for, and that the real
// executable answers help, version and mistakes with the right exit status
// before it needs a display.

#include "app/CommandLine.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Action = CommandLine::Action;

// A folder tree to point the arguments at. The working folder of each row is
// <root>/pics.
const QStringList kFolders = {"pics", "pics/sub", "with space", "-dash", "Bilder \u00fc"};
const QStringList kFiles = {"pics/a.png", "pics/sub/b.gif"};

} // namespace

class tst_CommandLine : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void parse_data();
    void parse();
    void executable_data();
    void executable();

private:
    QTemporaryDir root_;
};

void tst_CommandLine::initTestCase() {
    QVERIFY(root_.isValid());
    for (const QString& folder : kFolders) {
        QVERIFY(QDir(root_.path()).mkpath(folder));
    }
    for (const QString& name : kFiles) {
        QFile file(root_.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
}

void tst_CommandLine::parse_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("action");
    // For Run: the expected folder below the root ("." is the root itself, an
    // empty string no folder), then the file's name when one is named.
    // Otherwise: texts the message must hold.
    QTest::addColumn<QStringList>("expected");

    const int run = int(Action::Run);
    const int error = int(Action::UsageError);
    QTest::newRow("nothing: the settings choose") << QStringList{} << run << QStringList{""};
    QTest::newRow("a relative folder") << QStringList{"sub"} << run << QStringList{"pics/sub"};
    QTest::newRow("non-ASCII name")
        << QStringList{"../Bilder \u00fc"} << run << QStringList{"Bilder \u00fc"};
    QTest::newRow("a file opens its folder, to be shown")
        << QStringList{"sub/b.gif"} << run << QStringList{"pics/sub", "b.gif"};
    QTest::newRow("a folder that looks like an option, after --")
        << QStringList{"--", "../-dash"} << run << QStringList{"-dash"};
    QTest::newRow("--help") << QStringList{"--help"} << int(Action::Help)
                            << QStringList{"Usage: vistrel", "[FOLDER | FILE]", "--version"};
    QTest::newRow("--version") << QStringList{"--version"} << int(Action::Version)
                               << QStringList{"Vistrel " + ProgramVersion() + "\n"};
    QTest::newRow("unknown long option")
        << QStringList{"--bogus"} << error << QStringList{"vistrel: ", "bogus", "--help"};
    QTest::newRow("an option meant as a folder")
        << QStringList{"-dash"} << error << QStringList{"dash"};
    QTest::newRow("two folders") << QStringList{"sub", "."} << error
                                 << QStringList{"at most one folder"};
    QTest::newRow("a folder that does not exist")
        << QStringList{"missing/deeper"} << error << QStringList{"missing/deeper"};
    QTest::newRow("an empty name") << QStringList{""} << error << QStringList{"empty"};
}

void tst_CommandLine::parse() {
    QFETCH(QStringList, arguments);
    QFETCH(int, action);
    QFETCH(QStringList, expected);
    const CommandLine line =
        ParseCommandLine(QStringList{"vistrel"} + arguments, root_.filePath("pics"));
    QCOMPARE(int(line.action), action);
    if (action == int(Action::Run)) {
        const QString folder = expected.first();
        QCOMPARE(line.folder,
                 folder.isEmpty() ? QString() : QDir::cleanPath(root_.filePath(folder)));
        QCOMPARE(line.file, expected.value(1));
        QVERIFY(line.text.isEmpty());
        return;
    }
    QVERIFY(line.folder.isEmpty());
    QVERIFY(line.text.endsWith('\n'));
    for (const QString& part : expected) {
        QVERIFY2(line.text.contains(part), qPrintable(line.text));
    }
}

void tst_CommandLine::executable_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");

    QTest::newRow("--version") << QStringList{"--version"} << 0
                               << "Vistrel " + ProgramVersion() + "\n"
                               << QString();
    QTest::newRow("--help") << QStringList{"--help"} << 0 << "Usage: vistrel" << QString();
    QTest::newRow("unknown option")
        << QStringList{"--bogus"} << UsageErrorStatus << QString() << "Try 'vistrel --help'";
}

void tst_CommandLine::executable() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    // No display at all: a program that tried to open a window here would fail
    // instead of answering.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    environment.insert("QT_QPA_PLATFORM", "xcb");
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(root_.path());
    process.start(VISTREL_EXECUTABLE, arguments);
    QVERIFY(process.waitForFinished(60000));
    const QString stdOut = QString::fromLocal8Bit(process.readAllStandardOutput());
    const QString stdErr = QString::fromLocal8Bit(process.readAllStandardError());
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QVERIFY2(process.exitCode() == status, qPrintable(stdErr));
    QVERIFY2(out.isEmpty() ? stdOut.isEmpty() : stdOut.startsWith(out) || stdOut.contains(out),
             qPrintable(stdOut));
    QVERIFY2(err.isEmpty() ? stdErr.isEmpty() : stdErr.contains(err), qPrintable(stdErr));
}

QTEST_GUILESS_MAIN(tst_CommandLine)
#include "tst_CommandLine.moc"
