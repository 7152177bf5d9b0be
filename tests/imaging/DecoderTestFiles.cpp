#include "DecoderTestFiles.h"

#include <QFile>
#include <QRandomGenerator>
#include <QtEndian>
#include <cmath>

namespace decodertest {

namespace {

quint32 crc32(const QByteArray& data) {
    quint32 c = 0xFFFFFFFFu;
    for (const char ch : data) {
        c ^= quint8(ch);
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return ~c;
}

void be32(QByteArray& b, quint32 v) {
    char raw[4];
    qToBigEndian(v, raw);
    b.append(raw, 4);
}
void be16(QByteArray& b, quint16 v) {
    char raw[2];
    qToBigEndian(v, raw);
    b.append(raw, 2);
}
void le32(QByteArray& b, quint32 v) {
    char raw[4];
    qToLittleEndian(v, raw);
    b.append(raw, 4);
}
void le16(QByteArray& b, quint16 v) {
    char raw[2];
    qToLittleEndian(v, raw);
    b.append(raw, 2);
}

void pngChunk(QByteArray& out, const char* type, const QByteArray& data) {
    be32(out, quint32(data.size()));
    const QByteArray body = QByteArray(type, 4) + data;
    out += body;
    be32(out, crc32(body));
}

/// A TIFF directory entry of one SHORT or LONG value.
void tiffEntry(QByteArray& b, quint16 tag, quint16 type, quint32 value) {
    le16(b, tag);
    le16(b, type);
    le32(b, 1);
    if (type == 3) {
        le16(b, quint16(value));
        le16(b, 0);
    } else {
        le32(b, value);
    }
}

void wbmpInt(QByteArray& b, quint32 v) {
    QByteArray groups;
    do {
        groups.prepend(char(v & 0x7F));
        v >>= 7;
    } while (v);
    for (int i = 0; i + 1 < groups.size(); ++i)
        groups[i] = char(groups[i] | 0x80);
    b += groups;
}

} // namespace

QImage PhotoLike(int width, int height, quint32 seed) {
    QImage img(width, height, QImage::Format_RGB32);
    QRandomGenerator rng(seed);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const double u = double(x) / width, v = double(y) / height;
            const int n = int(rng.bounded(9)) - 4;
            // Soft shapes and one hard edge, like a sky over a horizon.
            const int r = int(120 + 90 * std::sin(6 * u + 2 * v)) + n;
            const int g = int(110 + 80 * std::cos(5 * v - 3 * u)) + n;
            const int b = (v > 0.6 ? 60 : 190) + int(40 * std::sin(9 * u * v)) + n;
            row[x] = qRgb(qBound(0, r, 255), qBound(0, g, 255), qBound(0, b, 255));
        }
    }
    return img;
}

QByteArray PngHeader(quint32 width, quint32 height) {
    QByteArray out("\x89PNG\r\n\x1a\n", 8);
    QByteArray ihdr;
    be32(ihdr, width);
    be32(ihdr, height);
    ihdr += QByteArray("\x08\x02\x00\x00\x00", 5); // 8-bit RGB
    pngChunk(out, "IHDR", ihdr);
    pngChunk(out, "IDAT", QByteArray("\x78\x9c\x03\x00\x00\x00\x00\x01", 8));
    pngChunk(out, "IEND", {});
    return out;
}

QByteArray TiffHeader(quint32 width, quint32 height) {
    QByteArray b("II*\0", 4);
    le32(b, 8);
    le16(b, 8);
    tiffEntry(b, 256, 4, width);
    tiffEntry(b, 257, 4, height);
    tiffEntry(b, 258, 3, 8);                  // bits per sample
    tiffEntry(b, 259, 3, 1);                  // no compression
    tiffEntry(b, 262, 3, 1);                  // black is zero
    tiffEntry(b, 273, 4, 8 + 2 + 8 * 12 + 4); // strip offset: right after the directory
    tiffEntry(b, 278, 4, height);             // one strip
    tiffEntry(b, 279, 4, 16);                 // holding 16 bytes
    le32(b, 0);
    b += QByteArray(16, '\x80');
    return b;
}

QByteArray PsdHeader(quint32 width, quint32 height, quint16 version) {
    QByteArray b("8BPS", 4);
    be16(b, version);
    b += QByteArray(6, '\0');
    be16(b, 3);
    be32(b, height);
    be32(b, width);
    be16(b, 8);
    be16(b, 3); // RGB
    be32(b, 0); // no colour mode data
    be32(b, 0); // no resources
    be32(b, 0); // no layers
    be16(b, 0); // raw image data
    b += QByteArray(64, '\x40');
    return b;
}

QByteArray DdsHeader(quint32 width, quint32 height) {
    QByteArray b("DDS ", 4);
    le32(b, 124);
    le32(b, 0x1007); // caps, height, width, pixel format
    le32(b, height);
    le32(b, width);
    b += QByteArray(128 - b.size(), '\0');
    b.replace(76, 4, QByteArray("\x20\0\0\0", 4)); // pixel format size
    b.replace(80, 4, QByteArray("\x40\0\0\0", 4)); // uncompressed RGB
    b.replace(88, 4, QByteArray("\x20\0\0\0", 4)); // 32 bits
    b += QByteArray(256, '\x10');
    return b;
}

QByteArray WbmpHeader(quint32 width, quint32 height) {
    QByteArray b("\0\0", 2);
    wbmpInt(b, width);
    wbmpInt(b, height);
    b += QByteArray(64, '\x55');
    return b;
}

QByteArray IffHeader(quint16 width, quint16 height) {
    QByteArray body("ILBM", 4);
    body += "BMHD";
    be32(body, 20);
    be16(body, width);
    be16(body, height);
    be32(body, 0);                             // x, y
    body += QByteArray("\x08\x00\x00\x00", 4); // planes, masking, compression, pad
    be16(body, 0);                             // transparent colour
    body += QByteArray("\x0a\x0b", 2);         // aspect
    be16(body, width);
    be16(body, height);
    body += "BODY";
    be32(body, 64);
    body += QByteArray(64, '\x11');
    QByteArray b("FORM", 4);
    be32(b, quint32(body.size()));
    return b + body;
}

QByteArray XbmHeader(quint32 width, quint32 height) {
    return QStringLiteral("#define big_width %1\n#define big_height %2\n"
                          "static unsigned char big_bits[] = {\n0x00, 0x01, 0x02 };\n")
        .arg(width)
        .arg(height)
        .toLatin1();
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

} // namespace decodertest
