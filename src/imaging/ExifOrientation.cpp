#include "imaging/ExifOrientation.h"

#include <QIODevice>
#include <QTransform>
#include <cstdint>
#include <optional>

namespace imaging {

namespace {

constexpr qsizetype MaxDeviceBytes = 256 * 1024;
constexpr std::uint16_t OrientationTag = 0x0112;
constexpr std::uint16_t TypeShort = 3;

/// Bounds-checked reads in the byte order the TIFF header named.
class TiffBytes {
public:
    TiffBytes(QByteArrayView bytes, bool bigEndian) : bytes_(bytes), big_(bigEndian) {}

    std::optional<std::uint16_t> U16(qsizetype at) const {
        if (at < 0 || at > bytes_.size() - 2)
            return std::nullopt;
        const auto b0 = static_cast<std::uint8_t>(bytes_[at]);
        const auto b1 = static_cast<std::uint8_t>(bytes_[at + 1]);
        return static_cast<std::uint16_t>(big_ ? (b0 << 8) | b1 : (b1 << 8) | b0);
    }

    std::optional<std::uint32_t> U32(qsizetype at) const {
        const auto first = U16(at);
        const auto second = U16(at + 2);
        if (!first || !second)
            return std::nullopt;
        return big_ ? (std::uint32_t(*first) << 16) | *second
                    : (std::uint32_t(*second) << 16) | *first;
    }

private:
    QByteArrayView bytes_;
    bool big_;
};

Orientation FromValue(std::uint16_t value) {
    return value >= 1 && value <= 8 ? static_cast<Orientation>(value) : Orientation::Normal;
}

/// The orientation in a TIFF structure that starts at the first byte of
/// `tiff`; Normal unless IFD0 holds a well-formed orientation entry.
Orientation FromTiff(QByteArrayView tiff) {
    if (tiff.size() < 8)
        return Orientation::Normal;
    bool big = false;
    if (tiff.startsWith("MM"))
        big = true;
    else if (!tiff.startsWith("II"))
        return Orientation::Normal;
    const TiffBytes in(tiff, big);
    const auto offset = in.U32(4);
    if (in.U16(2) != 42 || !offset || *offset > std::uint32_t(tiff.size()))
        return Orientation::Normal;
    const qsizetype ifd = *offset;
    const auto count = in.U16(ifd);
    if (!count)
        return Orientation::Normal;
    for (qsizetype i = 0; i < *count; ++i) {
        const qsizetype entry = ifd + 2 + 12 * i;
        const auto tag = in.U16(entry);
        if (!tag || entry > tiff.size() - 12)
            break; // a count running past the block: the rest is not there
        if (*tag != OrientationTag)
            continue;
        if (in.U16(entry + 2) != TypeShort || in.U32(entry + 4) != 1u)
            return Orientation::Normal;
        return FromValue(*in.U16(entry + 8));
    }
    return Orientation::Normal;
}

/// Walks the JPEG's marker segments up to the scan, looking for Exif APP1.
Orientation FromJpeg(QByteArrayView jpeg) {
    qsizetype at = 2; // after SOI
    while (at < jpeg.size() - 1) {
        if (static_cast<std::uint8_t>(jpeg[at]) != 0xFF)
            return Orientation::Normal; // lost sync: damaged, give up
        const auto marker = static_cast<std::uint8_t>(jpeg[at + 1]);
        if (marker == 0xFF) {
            ++at; // fill byte
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA)
            return Orientation::Normal; // end of image or start of scan
        if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
            at += 2; // markers that carry no length
            continue;
        }
        if (at + 4 > jpeg.size())
            return Orientation::Normal;
        const qsizetype length = (static_cast<std::uint8_t>(jpeg[at + 2]) << 8) |
                                 static_cast<std::uint8_t>(jpeg[at + 3]);
        if (length < 2)
            return Orientation::Normal;
        const QByteArrayView payload =
            jpeg.sliced(at + 4, std::min(length - 2, jpeg.size() - (at + 4)));
        if (marker == 0xE1 && payload.startsWith(QByteArrayView("Exif\0\0", 6)))
            return FromTiff(payload.sliced(6));
        at += 2 + length;
    }
    return Orientation::Normal;
}

} // namespace

Orientation ReadOrientation(QByteArrayView bytes) {
    if (bytes.startsWith("\xFF\xD8"))
        return FromJpeg(bytes);
    return FromTiff(bytes);
}

Orientation ReadOrientation(QIODevice& device) {
    if (!device.isReadable())
        return Orientation::Normal;
    const QByteArray head = device.read(MaxDeviceBytes);
    return ReadOrientation(QByteArrayView(head));
}

QImage ApplyOrientation(const QImage& stored, Orientation orientation) {
    if (stored.isNull())
        return stored;
    const auto turned = [&](qreal degrees) {
        return stored.transformed(QTransform().rotate(degrees));
    };
    switch (orientation) {
    case Orientation::MirrorHorizontal:
        return stored.mirrored(true, false);
    case Orientation::Rotate180:
        return stored.mirrored(true, true);
    case Orientation::MirrorVertical:
        return stored.mirrored(false, true);
    case Orientation::Transpose:
        return turned(90).mirrored(true, false);
    case Orientation::Rotate90:
        return turned(90);
    case Orientation::Transverse:
        return turned(90).mirrored(false, true);
    case Orientation::Rotate270:
        return turned(270);
    case Orientation::Normal:
        break;
    }
    return stored;
}

QSize OrientedSize(QSize stored, Orientation orientation) {
    return static_cast<int>(orientation) >= 5 ? stored.transposed() : stored;
}

} // namespace imaging
