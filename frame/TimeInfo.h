// What one host transport query yields, with the values that stand when the
// host does not say.
#pragma once

namespace sorel {

struct TimeInfo {
    static constexpr double kDefaultTempo = 120.0;

    double tempo = kDefaultTempo;
    double samplePos = -1.0;
    double ppqPos = -1.0;
    double lastBar = -1.0;
    double cycleStart = -1.0;
    double cycleEnd = -1.0;
    int numerator = 4;
    int denominator = 4;
    bool transportIsRunning = false;
    bool loopEnabled = false;
};

}  // namespace sorel
