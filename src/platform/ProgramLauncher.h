#pragma once

// Starting another program (the system-information tool), behind a seam so
// that tests decide whether a start succeeds without launching anything.

#include <QString>
#include <functional>

namespace platform {

/// Starts `program` detached from this process, in a normal window of its own.
/// Returns true when it was started. Goes to the launcher installed by a
/// `ScopedProgramLauncher`, else to QProcess::startDetached.
bool StartProgram(const QString& program);

/// Answers every `StartProgram` call with `launcher` for the lifetime of this
/// object; the previous launcher comes back afterwards. Scopes nest.
class ScopedProgramLauncher {
public:
    using Launcher = std::function<bool(const QString& program)>;
    explicit ScopedProgramLauncher(Launcher launcher);
    ~ScopedProgramLauncher();
    ScopedProgramLauncher(const ScopedProgramLauncher&) = delete;
    ScopedProgramLauncher& operator=(const ScopedProgramLauncher&) = delete;

private:
    Launcher previous_;
};

} // namespace platform
