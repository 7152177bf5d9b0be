#include "platform/Util.h"

#include <QDesktopServices>
#include <QFileInfo>

namespace platform {
namespace {

ScopedShellOpenObserver*& currentObserver() {
    static ScopedShellOpenObserver* observer = nullptr;
    return observer;
}

} // namespace

QUrl ShellOpenUrl(const QString& target) {
    if (target.isEmpty()) {
        return {};
    }
    // An existing file wins over an address look-alike ("pic:1.png"), and a
    // one-letter scheme is a drive letter ("c:\x"), not an address.
    if (QFileInfo::exists(target)) {
        return QUrl::fromLocalFile(target);
    }
    const QUrl url(target, QUrl::StrictMode);
    if (url.isValid() && url.scheme().size() > 1) {
        return url;
    }
    return QUrl::fromLocalFile(target);
}

bool ShellOpen(const QString& target) {
    const QUrl url = ShellOpenUrl(target);
    if (url.isEmpty()) {
        return false;
    }
    if (ScopedShellOpenObserver* observer = currentObserver()) {
        return observer->observer_ ? observer->observer_(url) : false;
    }
    return QDesktopServices::openUrl(url);
}

ScopedShellOpenObserver::ScopedShellOpenObserver(std::function<bool(const QUrl&)> observer)
    : observer_(std::move(observer)), previous_(currentObserver()) {
    currentObserver() = this;
}

ScopedShellOpenObserver::~ScopedShellOpenObserver() {
    currentObserver() = previous_;
}

} // namespace platform
