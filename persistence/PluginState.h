// Everything the stored state of the plug-in holds, as plain data: what the
// state writer writes and what the state reader builds before it is applied.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/ParameterIndex.h"
#include "persistence/BoxInfo.h"
#include "persistence/ChordBank.h"

namespace sorel {

inline constexpr int32_t kStateVersion = 6;
// Version 6 added the PROB lane's loops behind the parameters, and the
// parameters from param::kFirstAppended on.
inline constexpr int32_t kFirstVersionWithChance = 6;
inline constexpr size_t kChordBankNameWidth = 32;
inline constexpr int kStepCcNumberCount = param::kKeyAreas * param::kControllerLanes;
// The loops of the table's 17 lanes, stored before the parameters ...
inline constexpr int kLaneLoopCount = param::kKeyAreas * param::kPatternsPerArea * param::kLanes;
// ... and those of the PROB lane, stored after them.
inline constexpr int kProbLoopCount = param::kPatterns;
inline constexpr int kAllLaneLoops = kLaneLoopCount + kProbLoopCount;
inline constexpr int32_t kNoController = -1;

struct LaneLoop {
    int32_t start = 0;
    int32_t end = param::kSteps;
    bool enabled = true;

    bool IsValid() const { return start >= 0 && start < end && end <= param::kSteps; }
    bool operator==(const LaneLoop&) const = default;
};

constexpr int LaneLoopIndex(int area, int pattern, int lane) {
    if (lane == param::kProbLane) return kLaneLoopCount + param::PatternIndex(area, pattern);
    return (area * param::kPatternsPerArea + pattern) * param::kLanes + lane;
}

// The range and default of one parameter; fixed once the table is built.
struct ParameterRange {
    double minimum = 0.0;
    double maximum = 1.0;
    double defaultValue = 0.0;
    double step = 1.0;
    double shape = 1.0;
    bool roundsToStep = true;  // every kind but double

    double Clamp(double plain) const;
    double FromNormalised(double normalised) const;
};

struct PluginState {
    BoxInfo boxInfo;
    std::string chordBankName;
    ChordBankData chords;
    std::array<int32_t, kStepCcNumberCount> stepCcNumbers;
    std::array<LaneLoop, kAllLaneLoops> laneLoops{};
    double enableMidiNoteNames = 0.0;
    double startNotesImmediately = 0.0;
    double useOnlyOrderOnOff = 0.0;
    std::vector<double> parameters;  // plain values in index order

    PluginState() { stepCcNumbers.fill(kNoController); }
    bool operator==(const PluginState&) const = default;
};

}  // namespace sorel
