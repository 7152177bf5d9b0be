#include "PhotoLike.h"

#include <QRandomGenerator>
#include <turbojpeg.h>

namespace bench {

QImage PhotoLike(int width, int height, quint32 seed, int noise) {
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator rng(seed);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int n = int(rng.bounded(noise));
            row[x] = qRgb((x * 255 / width + n) & 0xFF, (y * 255 / height + n) & 0xFF,
                          ((x + y) * 255 / (width + height) + n) & 0xFF);
        }
    }
    return image;
}

QByteArray Jpeg(const QImage& image, bool progressive, int quality) {
    tjhandle tj = tjInitCompress();
    unsigned char* out = nullptr;
    unsigned long size = 0;
    tjCompress2(tj, image.constBits(), image.width(), int(image.bytesPerLine()), image.height(),
                TJPF_BGRX, &out, &size, TJSAMP_420, quality, progressive ? TJFLAG_PROGRESSIVE : 0);
    QByteArray bytes(reinterpret_cast<const char*>(out), qsizetype(size));
    tjFree(out);
    tjDestroy(tj);
    return bytes;
}

} // namespace bench
