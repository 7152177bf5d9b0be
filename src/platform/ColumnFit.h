#pragma once

// The arithmetic of a report list's column widths, kept free of widgets so that
// it can be checked against worked examples. All lengths are pixels.

#include <vector>

namespace platform {

/// Widths for columns that want `wanted` pixels each inside a list `room`
/// pixels wide. Every column but `flexible` gets what it wants; the flexible
/// one gets what it wants when that fits beside them, else the room they leave,
/// but never less than `minimum` (nor more than it wants): then the columns
/// overrun the room and the list scrolls sideways. A bad `flexible` index gives
/// every column what it wants. Negative wishes count as 0.
std::vector<int> FitColumns(const std::vector<int>& wanted, int room, int flexible, int minimum);

} // namespace platform
