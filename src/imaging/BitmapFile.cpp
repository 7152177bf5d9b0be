#include "imaging/BitmapFile.h"

#include "imaging/Gdi.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <new>

namespace bitmapfile {
namespace {

constexpr std::int64_t kFileHeader = 14;
constexpr std::int64_t kMaxPixelBytes = std::int64_t{1} << 30;

std::uint32_t le32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}
std::uint16_t le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

struct Header {
    std::int64_t infoSize = 0, width = 0, height = 0, bpp = 0, colours = 0, offBits = 0;
    bool topDown = false;
};

bool parseHeader(std::ifstream& in, std::int64_t fileSize, Header& h) {
    std::array<std::uint8_t, kFileHeader + 40> raw{};
    if (fileSize < static_cast<std::int64_t>(raw.size()) ||
        !in.read(reinterpret_cast<char*>(raw.data()), raw.size()))
        return false;
    const std::uint8_t* info = raw.data() + kFileHeader;
    h.offBits = le32(raw.data() + 10);
    h.infoSize = le32(info);
    h.width = static_cast<std::int32_t>(le32(info + 4));
    const auto height = static_cast<std::int32_t>(le32(info + 8));
    h.bpp = le16(info + 14);
    h.colours = le32(info + 32);
    const std::uint32_t compression = le32(info + 16);
    if (raw[0] != 'B' || raw[1] != 'M' || h.infoSize < 40 || le16(info + 12) != 1 ||
        compression != 0 || h.width <= 0 || height == 0 || height == INT32_MIN ||
        !gdi::IsSupportedDepth(h.bpp))
        return false;
    h.topDown = height < 0;
    h.height = h.topDown ? -std::int64_t{height} : height;
    return true;
}

} // namespace

StdPicture Read(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary | std::ios::ate);
    if (!in)
        return {};
    const std::int64_t fileSize = in.tellg();
    in.seekg(0);
    Header h;
    if (!parseHeader(in, fileSize, h))
        return {};
    const std::int64_t stride = gdi::StrideFor(h.width, h.bpp);
    if (stride > kMaxPixelBytes / h.height)
        return {};
    const std::int64_t bytes = stride * h.height;
    if (h.offBits < kFileHeader + h.infoSize || h.offBits > fileSize - bytes)
        return {};
    StdPicture pic =
        StdPicture::Make(static_cast<std::int32_t>(h.width), static_cast<std::int32_t>(h.height),
                         static_cast<std::int32_t>(h.bpp));
    if (pic.empty())
        return {};
    if (h.bpp <= 8) {
        // The table sits between the headers and the pixels; a short table
        // leaves the remaining entries black.
        const std::int64_t entries = h.colours == 0 ? (std::int64_t{1} << h.bpp) : h.colours;
        const std::int64_t room = (h.offBits - kFileHeader - h.infoSize) / 4;
        const std::int64_t n = std::min({entries, room, std::int64_t{1} << h.bpp});
        in.seekg(kFileHeader + h.infoSize);
        if (!in.read(reinterpret_cast<char*>(pic.palette.data()), 4 * n))
            return {};
        for (std::int64_t i = 0; i < n; ++i)
            pic.palette[4 * i + 3] = 0;
    }
    in.seekg(h.offBits);
    if (!in.read(reinterpret_cast<char*>(pic.bits.data()), bytes))
        return {};
    return pic;
}

} // namespace bitmapfile
