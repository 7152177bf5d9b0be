// cGIF::LoadFromStream: the whole file decoded in one go.

#include "gif/cGIFReader.h"

#include <new>

bool cGIF::startLoad(const uint8_t* data, size_t size) {
    Destroy();
    if (size < 6 || std::memcmp(data, "GIF", 3) != 0) {
        return false;
    }
    if (std::memcmp(data + 3, "87a", 3) != 0 && std::memcmp(data + 3, "89a", 3) != 0) {
        return false;
    }
    std::memcpy(m_signature.data(), data, 3);
    std::memcpy(m_version.data(), data + 3, 3);
    return true;
}

bool cGIF::LoadFromStream(const std::vector<uint8_t>& stream) {
    if (!startLoad(stream.data(), stream.size())) {
        return false;
    }
    try {
        cGIFReader reader(*this, stream.data(), stream.size(), cGIFReader::Mode::Decode);
        reader.readHeader();
        while (reader.nextFrame()) {
        }
    } catch (const std::bad_alloc&) {
        // Out of memory: the frames read so far stay, as with any damage.
    }
    return true;
}
