#pragma once

// Picture sizes read from the headers of the formats whose FreeImage reader
// has no header-only mode (DDS, WBMP, IFF/LBM, XBM) or one that refuses
// what the full decode would try (PSD and PSB), so that a small file
// claiming a huge picture is refused before its reader allocates for it.
// Only the fields that give the size are read; the reader still checks the
// rest.

#include <QSize>
#include <cstddef>

namespace imaging {

class HeaderProbe {
public:
    /// The size the header of a file of FreeImage format `format` claims.
    /// `known` tells whether this format has a probe here at all; an empty
    /// size from a known format means a header too damaged to tell.
    static QSize Size(const unsigned char* data, size_t size, int format, bool* known);

    static QSize Dds(const unsigned char* data, size_t size);
    static QSize Wbmp(const unsigned char* data, size_t size);
    static QSize Iff(const unsigned char* data, size_t size);
    static QSize Xbm(const unsigned char* data, size_t size);
    static QSize Psd(const unsigned char* data, size_t size);
};

} // namespace imaging
