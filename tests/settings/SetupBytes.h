#pragma once

// Helpers shared by the settings tests: byte images written out by hand, so that
// the tests check the layout independently of the encoder.

#include <QByteArray>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace setup_test {

inline std::vector<std::uint8_t> bytesOf(const QByteArray& data) {
    return {data.begin(), data.end()};
}

inline std::span<const std::uint8_t> spanOf(const std::vector<std::uint8_t>& data) {
    return {data.data(), data.size()};
}

/// The 20 fixed bytes of a record with the defaults, followed by the count.
inline QByteArray defaultHead(std::uint16_t count) {
    QByteArray head = QByteArray::fromHex("0000"   // StartWithLastPath 0
                                          "ffff"   // StartInThumbnailView -1
                                          "0000"   // MainSplitOrientation 0
                                          "ffff"   // PaneSplitOrientation -1
                                          "0100"   // Reserved 1
                                          "5523"   // WindowWidth 9045
                                          "4d1c"   // WindowHeight 7245
                                          "32"     // PaneSplitPercent 50
                                          "32"     // MainSplitPercent 50
                                          "0000"); // WindowState 0
    head.append(static_cast<char>(count & 0xFF));
    head.append(static_cast<char>(count >> 8));
    return head;
}

/// The current-folder buffer form: path, NUL, spaces up to 260 characters.
inline std::string folderBuffer(const std::string& path) {
    std::string buffer = path;
    buffer.push_back('\0');
    if (buffer.size() < 260) {
        buffer.append(260 - buffer.size(), ' ');
    }
    return buffer;
}

} // namespace setup_test
