#pragma once
// Helpers that build LZW code streams by hand for the decoder tests: each code is
// given with the width it is written in, so the expectations do not depend on the
// decoder's own width bookkeeping.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <algorithm>
#include <cstdint>
#include <vector>

namespace lzwtest {

using Codes = QList<QPair<int, int>>; // (code, width in bits)

inline std::vector<uint8_t> pack(const Codes& codes) {
    std::vector<uint8_t> out;
    uint64_t acc = 0;
    int n = 0;
    for (const auto& [code, width] : codes) {
        acc |= uint64_t(code) << n;
        n += width;
        while (n >= 8) {
            out.push_back(uint8_t(acc));
            acc >>= 8;
            n -= 8;
        }
    }
    if (n > 0) {
        out.push_back(uint8_t(acc));
    }
    return out;
}

} // namespace lzwtest
