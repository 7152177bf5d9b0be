#include "gif/cGIFLoader.h"

#include "gif/cGIFReader.h"

#include <new>

cGIFLoader::cGIFLoader() = default;
cGIFLoader::~cGIFLoader() = default;

bool cGIFLoader::BeginFile(const std::string& FileName, cGIF& gif) {
    m_reader.reset();
    std::vector<uint8_t> bytes;
    if (!cGIF::readFile(FileName, bytes)) {
        return false;
    }
    if (bytes.empty()) {
        gif.Destroy();
        return false;
    }
    return Begin(std::move(bytes), gif);
}

bool cGIFLoader::Begin(std::vector<uint8_t> stream, cGIF& gif) {
    m_reader.reset();
    m_expected = 0;
    m_left = m_top = m_right = m_bottom = 0;
    m_bytes = std::move(stream);
    if (!gif.startLoad(m_bytes.data(), m_bytes.size())) {
        return false;
    }
    try {
        // The scan fills `gif`'s header, loop count included (the last NETSCAPE
        // block of the file counts, as in a whole load); its frames are only counted.
        cGIFReader scan(gif, m_bytes.data(), m_bytes.size(), cGIFReader::Mode::Scan);
        scan.readHeader();
        while (scan.nextFrame()) {
        }
        m_expected = int16_t(scan.frames());
        m_left = scan.left();
        m_top = scan.top();
        m_right = scan.right();
        m_bottom = scan.bottom();

        m_staging.startLoad(m_bytes.data(), m_bytes.size());
        m_staging.setSurfaceBudget(gif.SurfaceBudget());
        m_reader = std::make_unique<cGIFReader>(m_staging, m_bytes.data(), m_bytes.size(),
                                                cGIFReader::Mode::Decode);
        m_reader->readHeader();
    } catch (const std::bad_alloc&) {
        m_reader.reset();
    }
    return true;
}

bool cGIFLoader::Next(GIFFrame& frame) {
    if (!m_reader) {
        return false;
    }
    try {
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
