// One step of a pattern: its value in every lane and its lane switches, and
// the value record a fired step carries.
#pragma once

#include "engine/ParameterIndex.h"

#include <array>

namespace sorel {

namespace order {
constexpr int kPlay = 0;
constexpr int kOff = 1;
constexpr int kPrevious = 2;
constexpr int kFirst = 3;
constexpr int kLast = 4;
constexpr int kHighest = 5;
constexpr int kLowest = 6;
constexpr int kRandom = 7;
}  // namespace order

struct Step {
    int noteSource = order::kPlay;
    int chordSource = 0;   // 0 none, 1..16 chord-memory slot
    double length = 1.0;   // 1..8 steps
    double gate = 0.0;     // -100..100 as the parameter gives it
    double accent = 0.0;   // -100..100
    int transpose = 0;     // -24..24
    double divide = 1.0;   // 1..8 notes in the step
    double shift = 0.0;    // -50..50 percent of a step
    int chordMask = 0;     // 0..255
    std::array<int, lane::kCcCount> cc{};
    double chance = param::kSureChance;  // 0..100 %
    std::array<bool, lane::kCount> laneSwitch{true, true, true, true, true, true, true, true, true,
                                              true, true, true, true, true, true, true, true, true};
};

// The values of one fired step, read from every lane at its own position.
struct StepValues {
    int pattern = 0;       // the pattern whose lanes gave these values
    int stepIndex = 0;
    int noteSource = order::kPlay;
    bool orderLaneOn = true;
    int chordSource = 0;
    int length = 1;        // whole steps, 1..8
    double gate = 0.0;     // mapped: -0.9..0.5
    double accent = 0.0;
    int transpose = 0;
    int divide = 1;        // 1..8
    int shift = 0;         // whole percent, truncated toward zero
    int chordMask = 0;
    std::array<int, lane::kCcCount> cc{};
    double chance = param::kSureChance;  // the PROB lane's, 100 where it is off
    bool muted = false;
};

// A gate of -100..100 as the pattern and the step lanes use it: a fraction,
// halved when positive, never reaching -1.
inline double MapGate(double parameter) {
    double g = parameter / 100.0;
    if (g > 0.0) g *= 0.5;
    if (g > 1.0) g = 1.0;
    if (g <= -1.0) g = -0.9;
    return g;
}

}  // namespace sorel
