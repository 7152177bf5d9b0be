#pragma once

#include "imaging/StdPicture.h"

#include <string>

namespace bitmapfile {

/// Reads an uncompressed (BI_RGB) Windows bitmap file of 1, 4, 8, 16, 24 or
/// 32 bpp with a BITMAPINFOHEADER (or a later, longer header). The rows are
/// kept in the file's own order, so a bottom-up file gives its bottom row
/// first; the palette holds the file's colour table (missing entries black).
/// Returns an empty picture for a missing, unreadable, truncated, compressed
/// or otherwise unsupported file, and for pixel data over 1 GiB.
StdPicture Read(const std::string& fileName);

} // namespace bitmapfile
