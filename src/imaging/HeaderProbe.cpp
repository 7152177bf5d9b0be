#include "imaging/HeaderProbe.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace imaging {

namespace {

constexpr int kDds = 24, kWbmp = 19, kIff = 5, kXbm = 22, kPsd = 20; // FreeImage's numbers

std::uint32_t le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
}
std::uint32_t be32(const unsigned char* p) {
    return (std::uint32_t(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

QSize checked(long long w, long long h) {
    if (w <= 0 || h <= 0 || w > 0x7FFFFFFF || h > 0x7FFFFFFF)
        return {};
    return QSize(int(w), int(h));
}

/// A WBMP multi-byte integer: 7 bits a byte, high bit set on all but the last.
bool wbmpInt(const unsigned char* data, size_t size, size_t& at, long long& value) {
    value = 0;
    for (int i = 0; i < 5 && at < size; ++i) {
        const unsigned char b = data[at++];
        value = (value << 7) | (b & 0x7F);
        if (!(b & 0x80))
            return true;
    }
    return false;
}

/// The number after "#define <name>_<what>" in the first lines of an XBM.
long long xbmDefine(std::string_view text, std::string_view what) {
    size_t at = 0;
    while ((at = text.find("#define", at)) != std::string_view::npos) {
        at += 7;
        const size_t end = text.find('\n', at);
        const std::string_view line =
            text.substr(at, end == std::string_view::npos ? end : end - at);
        const size_t name = line.find(what);
        if (name == std::string_view::npos)
            continue;
        long long v = 0;
        bool digits = false;
        for (size_t i = name + what.size(); i < line.size(); ++i) {
            const char c = line[i];
            if (c >= '0' && c <= '9') {
                digits = true;
                v = v * 10 + (c - '0');
                if (v > 0x7FFFFFFF)
                    return v;
            } else if (digits) {
                break;
            }
        }
        return digits ? v : -1;
    }
    return -1;
}

} // namespace

QSize HeaderProbe::Dds(const unsigned char* data, size_t size) {
    // "DDS ", then the surface description: size, flags, height, width.
    if (size < 20 || std::memcmp(data, "DDS ", 4) != 0)
        return {};
    return checked(le32(data + 16), le32(data + 12));
}

QSize HeaderProbe::Wbmp(const unsigned char* data, size_t size) {
    size_t at = 0;
    long long type = 0, w = 0, h = 0;
    if (!wbmpInt(data, size, at, type) || type != 0 || at >= size)
        return {};
    const unsigned char fixed = data[at++];
    if (fixed & 0x80)
        return {}; // extension headers: FreeImage's reader refuses them too
    if (!wbmpInt(data, size, at, w) || !wbmpInt(data, size, at, h))
        return {};
    return checked(w, h);
}

QSize HeaderProbe::Iff(const unsigned char* data, size_t size) {
    // FORM <size> ILBM|PBM , then chunks; BMHD starts with width, height.
    if (size < 12 || std::memcmp(data, "FORM", 4) != 0)
        return {};
    size_t at = 12;
    while (at + 8 <= size) {
        const std::uint32_t length = be32(data + at + 4);
        if (std::memcmp(data + at, "BMHD", 4) == 0) {
            if (length < 4 || at + 12 > size)
                return {};
            const unsigned char* p = data + at + 8;
            return checked((p[0] << 8) | p[1], (p[2] << 8) | p[3]);
        }
        at += 8 + length + (length & 1);
    }
    return {};
}

QSize HeaderProbe::Xbm(const unsigned char* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), std::min<size_t>(size, 1024));
    return checked(xbmDefine(text, "_width"), xbmDefine(text, "_height"));
}

QSize HeaderProbe::Psd(const unsigned char* data, size_t size) {
    // "8BPS", version (1: PSD, 2: PSB), 6 reserved, channels, height, width.
    if (size < 26 || std::memcmp(data, "8BPS", 4) != 0 || data[4] != 0 ||
        (data[5] != 1 && data[5] != 2))
        return {};
    return checked(be32(data + 18), be32(data + 14));
}

QSize HeaderProbe::Size(const unsigned char* data, size_t size, int format, bool* known) {
    *known = true;
    switch (format) {
    case kDds:
        return Dds(data, size);
    case kWbmp:
        return Wbmp(data, size);
    case kIff:
        return Iff(data, size);
    case kXbm:
        return Xbm(data, size);
    case kPsd:
        return Psd(data, size);
    default:
        *known = false;
        return {};
    }
}

} // namespace imaging
