#include "platform/ColumnFit.h"

#include <algorithm>

namespace platform {

std::vector<int> FitColumns(const std::vector<int>& wanted, int room, int flexible, int minimum) {
    std::vector<int> widths(wanted.size());
    long long others = 0;
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        widths[i] = std::max(0, wanted[i]);
        if (static_cast<int>(i) != flexible)
            others += widths[i];
    }
    if (flexible < 0 || flexible >= static_cast<int>(wanted.size()))
        return widths;
    int& name = widths[static_cast<std::size_t>(flexible)];
    const long long left = static_cast<long long>(room) - others;
    const int floor = std::min(name, std::max(0, minimum));
    name = static_cast<int>(std::clamp<long long>(left, floor, name));
    return widths;
}

} // namespace platform
