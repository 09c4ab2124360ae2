// A double that stands for a whole step (a choice, a count, a note) as that
// step: the nearest one, the way a parameter plays and shows it, so that
// 8.99999994 from a host is 9. Kept in [lo, hi]; not a number is lo.
#pragma once

#include <algorithm>
#include <cmath>
#include <limits>

namespace sorel {

inline int WholeStep(double value, int lo = std::numeric_limits<int>::min(), int hi = std::numeric_limits<int>::max()) {
    if (!std::isfinite(value)) return lo;
    return static_cast<int>(std::clamp(std::lround(std::clamp(value, double(lo), double(hi))), long(lo), long(hi)));
}

}  // namespace sorel
