#include "engine/Pattern.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "engine/Step.h"

namespace sorel {

namespace {
constexpr std::array<double, Pattern::kRateCount> kRateBeats{
    4.0,       3.0,      8.0 / 3.0, 2.0,      1.5,       4.0 / 3.0,  1.0,       0.75,
    2.0 / 3.0, 0.5,      0.375,     1.0 / 3., 0.25,      0.1875,     1.0 / 6.0, 0.125,
    0.09375,   1.0 / 12, 0.0625,    0.046875, 1.0 / 24., 0.03125,    0.0234375, 1.0 / 48.0};
constexpr std::array<double, 8> kDottedBeats{3.0, 1.5, 0.75, 0.375, 0.1875, 0.09375, 0.046875, 0.0234375};
}  // namespace

double Pattern::RateBeats(int rate) {
    if (rate < 0 || rate >= kRateCount) return 4.0;
    return kRateBeats[static_cast<std::size_t>(rate)];
}

bool Pattern::IsDotted(double beats) {
    return std::find(kDottedBeats.begin(), kDottedBeats.end(), beats) != kDottedBeats.end();
}

void Pattern::SetRate(double value) {
    if (!std::isfinite(value)) return;
    rate = value;
    rateBeats = RateBeats(static_cast<int>(std::lround(value)));
}

void Pattern::SetGate(double parameter) {
    if (std::isfinite(parameter)) gate = MapGate(parameter);
}

void Pattern::SetSteps(int value) { steps = std::clamp(value, 1, 32); }

void Pattern::SetFreeRate(double stepsPerSecond) {
    if (std::isfinite(stepsPerSecond)) freeRate = std::clamp(stepsPerSecond, 0.1, 1000.0);
}

void Pattern::SetSortOrderParameter(int value) {
    static constexpr std::array<int, 8> kSort{0, 1, 2, 3, 0, 1, 2, 3};
    static constexpr std::array<int, 8> kDirection{0, 1, 0, 0, 2, 3, 2, 2};
    const int v = std::clamp(value, 0, 7);
    sortOrder = kSort[static_cast<std::size_t>(v)];
    noteListDirection = kDirection[static_cast<std::size_t>(v)];
}

}  // namespace sorel
