#include "app/CommandLine.h"
#include "app/mStartup.h"
#include "platform/SysColors.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <cstdio>

namespace {

/// The application icon from the PNG sizes compiled in (vistrel.qrc), so that
/// no image plugin is needed to show it.
QIcon ApplicationIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

} // namespace

int main(int argc, char* argv[]) {
    // The command line is answered before the application object exists, so
    // that --help, --version and usage errors need no display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    const CommandLine line = ParseCommandLine(arguments, QDir::currentPath());
    switch (line.action) {
    case CommandLine::Action::Help:
    case CommandLine::Action::Version:
        std::fputs(line.text.toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLine::Action::UsageError:
        std::fputs(line.text.toLocal8Bit().constData(), stderr);
        return UsageErrorStatus;
    case CommandLine::Action::Run:
        break;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vistrel"));
    QApplication::setOrganizationName(QStringLiteral("Corvantis"));
    QApplication::setApplicationVersion(ProgramVersion());
    // Lets the desktop match the windows with the installed entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.vistrel.Vistrel"));
    QApplication::setWindowIcon(ApplicationIcon());
    // System colours painted into our own buffers (a GIF's backdrop, the
    // progress bar) follow the desktop's palette, not the classic defaults.
    platform::InstallSysColorResolver();
    return Main(QFile::encodeName(line.folder).toStdString(), line.file);
}
