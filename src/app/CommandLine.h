#pragma once

#include <QString>
#include <QStringList>

/// The exit status of a command line that cannot be run: a usage error.
inline constexpr int UsageErrorStatus = 2;

/// What the command line asks the program to do.
struct CommandLine {
    enum class Action {
        Run,       ///< start the program, in `folder` when it is not empty
        Help,      ///< print `text` to standard output and exit 0
        Version,   ///< print `text` to standard output and exit 0
        UsageError ///< print `text` to standard error and exit UsageErrorStatus
    };
    Action action = Action::Run;
    /// For Run: the folder the tree starts at for this run, absolute and cleaned
    /// (no trailing separator but for the root); empty when none was given, so
    /// that the settings choose.
    QString folder;
    /// For Run: the name of the file the argument named, to be selected and
    /// shown in `folder`; empty when the argument named a folder or none.
    QString file;
    /// The help or version text, or the error message followed by a hint to
    /// --help; each ends with a newline. Empty for Run.
    QString text;
};

/// The program's version, as the build names it ("0.1.0").
QString ProgramVersion();

/// Reads `arguments` (the program's name first, as in argv) without any
/// application object, so that --help, --version and mistakes are answered
/// before a display is needed. Accepts --help/-h, --version/-v and at most one
/// FOLDER or FILE: a relative path is taken from `currentFolder`, and the path
/// of a file (or anything else that is not a folder) stands for the folder
/// holding it, with the file's name in `file`. An unknown option, a second folder, an empty or
/// missing path gives UsageError. Never throws.
CommandLine ParseCommandLine(const QStringList& arguments, const QString& currentFolder);
