#pragma once

// Waiting inside a benchmark for what the program does on its own event loop.

#include <functional>

namespace bench {

/// Runs the event loop until `done` holds (or 60 s pass), asking every
/// `pollMs` milliseconds (0: at every turn of the loop).
void WaitFor(const std::function<bool()>& done, int pollMs);

} // namespace bench
