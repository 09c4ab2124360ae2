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

// Musical positions beyond this are no positions a session reaches (over
// ten years at 120 beats per minute); steps there would no longer be apart in
// a double, and the engine would spin on them. They count as not given.
constexpr double kMaxQuarterNotes = 1 << 30;

// Sample positions beyond this do not fit the engine's whole-sample clock.
constexpr double kMaxSamplePosition = static_cast<double>(1LL << 50);

// Tempos outside this range are no tempo a player sets; beats of days or of
// microseconds would overflow the engine's sample clock or spin its stepper.
constexpr double kMinTempo = 1.0;
constexpr double kMaxTempo = 10000.0;

}  // namespace sorel
