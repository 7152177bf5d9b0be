#include "imaging/ScaledJpeg.h"

#include "imaging/DecoderProtocol.h"

#include <cstring>
#include <turbojpeg.h>

namespace imaging {

namespace {

struct Handle {
    tjhandle tj = tjInitDecompress();
    ~Handle() {
        if (tj)
            tjDestroy(tj);
    }
};

tjhandle decompressor() {
    static Handle h; // the decoder process handles one picture at a time
    return h.tj;
}

} // namespace

QSize ScaledJpeg::HeaderSize(const unsigned char* data, size_t size, bool* plain) {
    int w = 0, h = 0, sub = 0, colours = 0;
    tjhandle tj = decompressor();
    if (!tj ||
        tjDecompressHeader3(tj, data, static_cast<unsigned long>(size), &w, &h, &sub, &colours) !=
            0 ||
        w <= 0 || h <= 0)
        return {};
    *plain = colours != TJCS_CMYK && colours != TJCS_YCCK;
    return QSize(w, h);
}

QSize ScaledJpeg::ScaledSize(QSize original, QSize box) {
    const QSize fitted = protocol::FittedSize(original, box);
    int count = 0;
    const tjscalingfactor* factors = tjGetScalingFactors(&count);
    QSize best = original;
    for (int i = 0; factors && i < count; ++i) {
        const QSize s(TJSCALED(original.width(), factors[i]),
                      TJSCALED(original.height(), factors[i]));
        if (s.width() >= fitted.width() && s.height() >= fitted.height() &&
            s.width() <= original.width() &&
            s.width() * qint64(s.height()) < best.width() * qint64(best.height()))
            best = s;
    }
    return best;
}

ScaledJpeg::Result ScaledJpeg::Decode(const unsigned char* data, size_t size, QSize box,
                                      QImage& out) {
    bool plain = false;
    const QSize original = HeaderSize(data, size, &plain);
    if (original.isEmpty())
        return Result::Unreadable;
    if (!plain)
        return Result::NotForMe;
    const QSize scaled = ScaledSize(original, box);
    out = QImage(scaled, QImage::Format_RGB32);
    if (out.isNull())
        return Result::Unreadable;
    tjhandle tj = decompressor();
    // BGRX fills the fourth byte with 0xFF: Format_RGB32's opaque alpha.
    const int rc =
        tjDecompress2(tj, data, static_cast<unsigned long>(size), out.bits(), scaled.width(),
                      int(out.bytesPerLine()), scaled.height(), TJPF_BGRX, 0);
    if (rc != 0) {
        // Warnings are common in real photos (stray bytes between markers);
        // a file cut short, though, leaves grey where the picture should be.
        const bool warning = tjGetErrorCode(tj) == TJERR_WARNING;
        const char* message = tjGetErrorStr2(tj);
        if (!warning || (message && std::strstr(message, "Premature end")))
            return Result::Unreadable;
    }
    return Result::Ok;
}

} // namespace imaging
