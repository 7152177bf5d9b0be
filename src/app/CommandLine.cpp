#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

namespace {

const QString kProgram = QStringLiteral("vistrel");

QString HelpText() {
    return QStringLiteral("Usage: %1 [OPTIONS] [FOLDER | FILE]\n"
                          "Browse the images of FOLDER, or of the folder holding FILE with FILE\n"
                          "selected and shown; without either, start where the settings say.\n"
                          "\n"
                          "Options:\n"
                          "  -h, --help     show this help and exit\n"
                          "  -v, --version  show the version and exit\n")
        .arg(kProgram);
}

CommandLine UsageError(const QString& message) {
    return {
        CommandLine::Action::UsageError,
        {},
        {},
        QStringLiteral("%1: %2\nTry '%1 --help' for more information.\n").arg(kProgram, message)};
}

/// What a FOLDER or FILE argument asks for: the folder to browse (empty when
/// the argument names nothing) and, for anything but a folder, its name.
CommandLine RunIn(const QString& argument, const QString& currentFolder) {
    const QFileInfo info(QDir(currentFolder).absoluteFilePath(argument));
    if (!info.exists()) {
        return {CommandLine::Action::Run, {}, {}, {}};
    }
    if (info.isDir()) {
        return {CommandLine::Action::Run, QDir::cleanPath(info.absoluteFilePath()), {}, {}};
    }
    return {CommandLine::Action::Run, QDir::cleanPath(info.absolutePath()), info.fileName(), {}};
}

} // namespace

QString ProgramVersion() {
    return QStringLiteral(VISTREL_VERSION);
}

CommandLine ParseCommandLine(const QStringList& arguments, const QString& currentFolder) {
    QCommandLineParser parser;
    // A lone "-abc" is one unknown option rather than three letters, so the
    // message names what was typed.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOption(help);
    parser.addOption(version);
    parser.addPositionalArgument(QStringLiteral("folder"), QString(),
                                 QStringLiteral("[FOLDER | FILE]"));

    // QCommandLineParser skips the first argument as the program's name.
    if (!parser.parse(arguments.isEmpty() ? QStringList{kProgram} : arguments)) {
        return UsageError(parser.errorText());
    }
    if (parser.isSet(help)) {
        return {CommandLine::Action::Help, {}, {}, HelpText()};
    }
    if (parser.isSet(version)) {
        return {CommandLine::Action::Version,
                {},
                {},
                QStringLiteral("Vistrel %1\n").arg(ProgramVersion())};
    }
    const QStringList folders = parser.positionalArguments();
    if (folders.size() > 1) {
        return UsageError(QStringLiteral("give at most one folder (got %1)").arg(folders.size()));
    }
    if (folders.isEmpty()) {
        return {};
    }
    if (folders.first().isEmpty()) {
        return UsageError(QStringLiteral("the folder name is empty"));
    }
    const CommandLine run = RunIn(folders.first(), currentFolder);
    if (run.folder.isEmpty()) {
        return UsageError(QStringLiteral("no such file or folder: %1").arg(folders.first()));
    }
    return run;
}
