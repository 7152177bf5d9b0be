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

// Concatenated payload of a run of data sub-blocks starting at `at`.
inline std::vector<uint8_t> joinSubBlocks(const std::vector<uint8_t>& blocks, size_t at = 0) {
    std::vector<uint8_t> out;
    while (at < blocks.size() && blocks[at] != 0) {
        const size_t n = std::min<size_t>(blocks[at], blocks.size() - at - 1);
        out.insert(out.end(), blocks.begin() + at + 1, blocks.begin() + at + 1 + n);
        at += n + 1;
    }
    return out;
}

} // namespace lzwtest
