#pragma once

// Exif blocks for the orientation tests, written on the spot: a TIFF header
// whose first IFD holds one entry to skip and the orientation entry, with
// every field a test may want to break, and the JPEG APP1 segment carrying it.

#include <QByteArray>
#include <QtEndian>

namespace exiftest {

/// The fields of the block; the defaults make a well-formed one.
struct Tiff {
    bool big = false;
    quint16 value = 1;
    quint16 type = 3;
    quint32 count = 1;
    quint32 ifdOffset = 8;
    quint16 entries = 1;
};

inline void Put16(QByteArray& out, bool big, quint16 v) {
    char b[2];
    big ? qToBigEndian(v, b) : qToLittleEndian(v, b);
    out.append(b, 2);
}

inline void Put32(QByteArray& out, bool big, quint32 v) {
    char b[4];
    big ? qToBigEndian(v, b) : qToLittleEndian(v, b);
    out.append(b, 4);
}

inline QByteArray TiffHeader(const Tiff& t) {
    QByteArray out(t.big ? "MM" : "II");
    Put16(out, t.big, 42);
    Put32(out, t.big, t.ifdOffset);
    Put16(out, t.big, t.entries);
    Put16(out, t.big, 0x010F); // Make, ASCII: an entry to skip before ours
    Put16(out, t.big, 2);
    Put32(out, t.big, 4);
    out.append("Cam\0", 4);
    Put16(out, t.big, 0x0112);
    Put16(out, t.big, t.type);
    Put32(out, t.big, t.count);
    Put16(out, t.big, t.value);
    Put16(out, t.big, 0);
    Put32(out, t.big, 0);
    return out;
}

inline QByteArray Segment(quint8 marker, const QByteArray& payload) {
    QByteArray out;
    out.append(char(0xFF)).append(char(marker));
    Put16(out, true, quint16(payload.size() + 2));
    return out + payload;
}

inline QByteArray App1(const Tiff& t) {
    return Segment(0xE1, QByteArray("Exif\0\0", 6) + TiffHeader(t));
}

/// `segments` put right after a JPEG's start-of-image marker.
inline QByteArray SpliceAfterSoi(const QByteArray& jpeg, const QByteArray& segments) {
    return jpeg.left(2) + segments + jpeg.mid(2);
}

} // namespace exiftest
