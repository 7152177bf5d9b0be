#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

/// A path that Qt and the image loaders can open for the file whose path is
/// `rawPath` in the file system's own bytes. Usually the decoded path itself;
/// a path whose bytes do not survive decoding (not valid in the locale's
/// encoding) gets a stand-in: a link to it, with the same extension, in a
/// private folder of this run that is removed when the program ends. Empty
/// when no stand-in can be made.
QString OpenablePath(const QByteArray& rawPath);

} // namespace platform
