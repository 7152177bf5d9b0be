#pragma once

// The program's own decoder for window tests that need real pictures: the
// worker pool, started from the worker this build made (a test executable does
// not sit beside it, so the pool would not find it on its own).

#include "imaging/DecoderPool.h"

#include <memory>

inline std::unique_ptr<imaging::PictureDecoder> RealDecoder() {
    imaging::DecoderPool::Options options;
    options.workerPath = QStringLiteral(VISTREL_DECODER_PATH);
    return std::make_unique<imaging::DecoderPool>(options);
}
