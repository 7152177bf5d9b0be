#include "platform/ProgramLauncher.h"

#include <QProcess>
#include <utility>

namespace platform {

namespace {
ScopedProgramLauncher::Launcher& Installed() {
    static ScopedProgramLauncher::Launcher launcher;
    return launcher;
}
} // namespace

bool StartProgram(const QString& program) {
    if (Installed())
        return Installed()(program);
    if (program.isEmpty())
        return false;
    return QProcess::startDetached(program, {});
}

ScopedProgramLauncher::ScopedProgramLauncher(Launcher launcher)
    : previous_(std::exchange(Installed(), std::move(launcher))) {}

ScopedProgramLauncher::~ScopedProgramLauncher() {
    Installed() = std::move(previous_);
}

} // namespace platform
