#include "gif/cGIFLoader.h"

#include "gif/cGIFReader.h"

#include <algorithm>
#include <filesystem>
#include <new>

namespace {

// Enough for the header and frame 1 of most files, and the whole of a small one.
constexpr size_t FirstRead = size_t{128} << 10;

} // namespace

cGIFLoader::cGIFLoader() = default;
cGIFLoader::~cGIFLoader() = default;

bool cGIFLoader::BeginFile(const std::string& FileName, cGIF& gif) {
    m_reader.reset();
    m_known = false;
    m_expected = 0;
    m_left = m_top = m_right = m_bottom = 0;
    // Only regular files: a folder, a pipe or a device is not a GIF and reading one
    // could fail midway or never end.
    std::error_code ec;
    const std::filesystem::path path(FileName);
    if (!std::filesystem::is_regular_file(path, ec)) {
        return false;
    }
    const uintmax_t length = std::filesystem::file_size(path, ec);
    if (ec || length > uintmax_t(SIZE_MAX)) {
        return false;
    }
    m_in.reset(std::fopen(FileName.c_str(), "rb"));
    if (!m_in) {
        return false;
    }
    if (length == 0) {
        gif.Destroy();
        return false;
    }
    // Left uninitialised: only the part read is ever looked at.
    m_file.reset(new (std::nothrow) uint8_t[size_t(length)]);
    if (!m_file) {
        return false;
    }
    m_data = m_file.get();
    m_size = size_t(length);
    m_have = 0;
    for (size_t want = std::min(m_size, FirstRead);; want = std::min(m_size, want * 4)) {
        if (!readTo(want) || m_have == m_size || firstFrameWithin(gif)) {
            break;
        }
    }
    if (!gif.startLoad(m_data, m_have)) {
        return false;
    }
    try {
        cGIFReader(gif, m_data, m_have, cGIFReader::Mode::Scan).readHeader();
    } catch (const std::bad_alloc&) {
        return true; // loaded, with no frame to give
    }
    // All there already: counting costs little more than checking.
    startReader(gif, m_have == m_size);
    return true;
}

// Readies the frame reader on what has been read so far, counting the frames
// first when `count` is set. Out of memory leaves no reader: no frame follows.
void cGIFLoader::startReader(cGIF& gif, bool count) {
    try {
        if (count) {
            scan(gif);
        }
        m_staging.startLoad(m_data, m_have);
        m_staging.setSurfaceBudget(gif.SurfaceBudget());
        m_reader =
            std::make_unique<cGIFReader>(m_staging, m_data, m_have, cGIFReader::Mode::Decode);
        m_reader->readHeader();
    } catch (const std::bad_alloc&) {
        m_reader.reset();
    }
}

// Reads on up to `want` bytes; false when the file ends first (it is then
// taken as that long).
bool cGIFLoader::readTo(size_t want) {
    while (m_in && m_have < want) {
        const size_t got = std::fread(m_file.get() + m_have, 1, want - m_have, m_in.get());
        if (got == 0) {
            m_size = m_have;
            m_in.reset();
            return false;
        }
        m_have += got;
    }
    if (m_have == m_size) {
        m_in.reset();
    }
    return true;
}

// True when frame 1 is whole within the bytes read: its parse ended before them.
bool cGIFLoader::firstFrameWithin(const cGIF& gif) const {
    cGIF probe;
    if (!probe.startLoad(m_data, m_have)) {
        return true; // not a GIF: nothing more to read
    }
    probe.setSurfaceBudget(gif.SurfaceBudget());
    cGIFReader first(probe, m_data, m_have, cGIFReader::Mode::Scan);
    first.readHeader();
    return first.nextFrame() && first.pos() < m_have;
}

void cGIFLoader::ReadRest() {
    if (m_known || !m_data) {
        return;
    }
    readTo(m_size);
    if (m_reader) {
        m_reader->extend(m_have);
    }
    try {
        cGIF header;
        header.startLoad(m_data, m_have);
        header.setSurfaceBudget(m_staging.SurfaceBudget());
        scan(header);
    } catch (const std::bad_alloc&) {
        m_known = true; // as far as it can be known: the frames decoded will tell
    }
}

// Passes once over the blocks (no decoding) to learn how many frames will come
// and where they draw; fills `gif`'s header, loop count included (the last
// NETSCAPE block of the file counts, as in a whole load).
void cGIFLoader::scan(cGIF& gif) {
    cGIFReader pass(gif, m_data, m_have, cGIFReader::Mode::Scan);
    pass.readHeader();
    while (pass.nextFrame()) {
    }
    m_expected = int16_t(pass.frames());
    m_left = pass.left();
    m_top = pass.top();
    m_right = pass.right();
    m_bottom = pass.bottom();
    m_loops = gif.AnimationLoops();
    m_known = true;
}

bool cGIFLoader::Begin(std::vector<uint8_t> stream, cGIF& gif) {
    m_reader.reset();
    m_in.reset();
    m_file.reset();
    m_known = false;
    m_expected = 0;
    m_left = m_top = m_right = m_bottom = 0;
    m_bytes = std::move(stream);
    m_data = m_bytes.data();
    m_size = m_have = m_bytes.size();
    if (!gif.startLoad(m_data, m_have)) {
        return false;
    }
    startReader(gif, true);
    return true;
}

bool cGIFLoader::Next(GIFFrame& frame) {
    if (!m_reader) {
        return false;
    }
    try {
        if (!m_known && m_reader->frames() >= 1) {
            ReadRest();
        }
        if (m_reader->nextFrame()) {
            frame = std::move(m_staging.m_frames.back());
            m_staging.m_frames.pop_back();
            return true;
        }
    } catch (const std::bad_alloc&) {
        // Out of memory: the frames given so far stay, as in a whole load.
    }
    m_reader.reset();
    m_staging.Destroy();
    return false;
}
