#pragma once

// Generated pictures for the benchmarks that need photos: smooth gradients
// with some noise, so that the encoders and decoders work about as hard as on
// real photos, and the same pixels on every run.

#include <QByteArray>
#include <QImage>

namespace bench {

/// A `width` x `height` RGB32 picture; the noise is drawn from [0, noise)
/// with a generator seeded by `seed`.
QImage PhotoLike(int width, int height, quint32 seed, int noise);

/// `image` (RGB32) as libjpeg-turbo writes it: 4:2:0, the given quality,
/// baseline or progressive.
QByteArray Jpeg(const QImage& image, bool progressive, int quality = 90);

} // namespace bench
