#pragma once
// The animated GIF the viewer benchmarks play: written with the engine's own
// model and writer, so that no sample file is needed.

#include <QString>

namespace benchgif {

/// Writes a size x size GIF of `frames` frames with `delay` (hundredths) each:
/// a full first frame, then patterned rectangles of varying size and place,
/// every other one with a transparent colour, disposal methods cycling through
/// 0, 1, 2 and 3. True when the file was written.
bool WriteSample(const QString& path, int size, int frames, int delay);

} // namespace benchgif
