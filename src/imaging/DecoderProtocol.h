#pragma once

// The records the browser and a decoder process exchange over their channel
// (platform/FdChannel). Every record is fixed-size and starts with kMagic, so
// a record of the wrong length or kind is a broken worker, not a picture.
//
//   worker -> browser  Hello                  once confined and ready
//   browser -> worker  Request + file fd      one at a time
//   worker -> browser  Answer [+ pixels fd]   the pixels fd only when Ok
//
// The pixels fd is a sealed shared buffer of Answer::stride * height bytes
// or more, rows of Format_RGB32 top-down.

#include "imaging/PictureDecoder.h"
#include "imaging/Units.h"

#include <QSize>
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace imaging::protocol {

inline constexpr std::uint32_t kMagic = 0x56444331; // "VDC1"

struct Hello {
    std::uint32_t magic = kMagic;
    std::uint32_t pid = 0;
};

struct Request {
    std::uint32_t magic = kMagic;
    std::int32_t boxWidth = 0; ///< 0 x 0: full size
    std::int32_t boxHeight = 0;
    std::uint32_t background = 0xFFFFFFFF;
    /// The file's name ends with this (NUL-terminated, possibly cut): the
    /// extension is the last resort for identifying the format.
    char nameTail[24] = {};
};

struct Answer {
    std::uint32_t magic = kMagic;
    std::uint32_t status = 0; ///< a DecodeStatus other than WorkerFailed
    std::int32_t originalWidth = 0;
    std::int32_t originalHeight = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int64_t stride = 0;
};

/// Test-only faults a worker started with --fault=NAME acts out when handed a
/// file whose bytes start with kFaultMarker: crash, hang, allocate without
/// bound, try to open a file after confinement, or (for "start") die before
/// saying Hello, every time it starts.
inline constexpr char kFaultMarker[] = "VISTREL-FAULT";

/// The size a picture of `original` pixels is decoded to for `box`: shrunk,
/// never enlarged, aspect kept, each fraction rounded half to even (as
/// FitPreview does with no margin), at least 1 x 1. An empty box keeps the
/// original size.
inline QSize FittedSize(QSize original, QSize box) {
    if (box.isEmpty() || original.isEmpty())
        return original;
    double w = original.width(), h = original.height();
    const double bw = box.width(), bh = box.height();
    if (w > bw) {
        h = units::RoundHalfEven(h * (bw / w));
        w = bw;
    }
    if (h > bh) {
        w = units::RoundHalfEven(w * (bh / h));
        h = bh;
    }
    return QSize(std::max(1, int(w)), std::max(1, int(h)));
}

} // namespace imaging::protocol
