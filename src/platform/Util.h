#pragma once

#include <QString>
#include <QUrl>
#include <functional>

namespace platform {

/// Asks the desktop to open `target` with its default application: an existing
/// file or folder as a local file, else an address with a scheme (http:,
/// https:, mailto:, file:...) as it is, anything else as a local file. Returns whether the desktop
/// accepted the request; the program's callers ignore failures, as nothing is reported to the user.
/// An empty target does nothing and gives false.
bool ShellOpen(const QString& target);

/// The URL that ShellOpen hands to the desktop for `target` (empty for an empty
/// target).
QUrl ShellOpenUrl(const QString& target);

/// Test seam: while alive, ShellOpen passes each URL to `observer` instead of
/// the desktop and returns the observer's answer. Instances nest.
class ScopedShellOpenObserver {
public:
    explicit ScopedShellOpenObserver(std::function<bool(const QUrl&)> observer);
    ~ScopedShellOpenObserver();
    ScopedShellOpenObserver(const ScopedShellOpenObserver&) = delete;
    ScopedShellOpenObserver& operator=(const ScopedShellOpenObserver&) = delete;

private:
    friend bool ShellOpen(const QString&);
    std::function<bool(const QUrl&)> observer_;
    ScopedShellOpenObserver* previous_ = nullptr;
};

} // namespace platform
