// The default value of every parameter: what a freshly opened plug-in holds
// and what a reset restores. The frame's parameter table and the engine's
// reset both take their defaults from here.
#pragma once

#include <array>

#include "engine/ParameterIndex.h"

namespace sorel::param {

inline constexpr std::array<int, kKeyAreas> kDefaultStartNotes{24, 48, 60, 72};
inline constexpr std::array<int, kKeyAreas> kDefaultEndNotes{46, 58, 70, 94};
inline constexpr double kDefaultGlobalVolume = 64.0;
inline constexpr int kUnmappedController = -1;  // controller map entry that routes nowhere

constexpr bool InFamily(int index, int first, int count) { return index >= first && index < first + count; }

constexpr double DefaultValue(int index) {
    if (index == kGlobalVolume) return kDefaultGlobalVolume;
    if (index == kDrawTool) return 1.0;
    if (InFamily(index, kKeyAreaOnOff, kKeyAreas)) return index == kKeyAreaOnOff ? 1.0 : 0.0;
    if (InFamily(index, kKeyAreaStartNote, kKeyAreas)) return kDefaultStartNotes[index - kKeyAreaStartNote];
    if (InFamily(index, kKeyAreaBaseNote, kKeyAreas)) return kDefaultStartNotes[index - kKeyAreaBaseNote];
    if (InFamily(index, kKeyAreaEndNote, kKeyAreas)) return kDefaultEndNotes[index - kKeyAreaEndNote];
    if (InFamily(index, kVelocityMode, kKeyAreas)) return 1.0;  // "Note"
    if (InFamily(index, kSceneEnd, kKeyAreas)) return kSceneSteps - 1;
    if (InFamily(index, kGate, kPatterns)) return -10.0;
    if (InFamily(index, kRate, kPatterns)) return 12.0;  // 1/16
    if (InFamily(index, kRateFreeMode, kPatterns)) return 1.0;
    if (InFamily(index, kOctaves, kPatterns)) return 1.0;
    if (InFamily(index, kPatternSteps, kPatterns)) return kSteps - 1;
    if (InFamily(index, kStepOnOff, kPatterns * kSteps)) return 1.0;
    if (InFamily(index, kStepLength, kPatterns * kSteps)) return 1.0;
    if (InFamily(index, kSceneStepLength, kKeyAreas * kSceneSteps)) return kSteps - 1;
    if (index >= kLaneSwitch && index <= kLaneSwitchLast) return 1.0;
    if (index >= kCcLaneSwitch && index <= kCcLaneSwitchLast) return SwitchValue(index, true);
    if (InFamily(index, kStepProb, kPatterns * kSteps)) return kSureChance;
    if (InFamily(index, kProbLaneSwitch, kPatterns * kSteps)) return 1.0;
    if (InFamily(index, kControllerMap, kMidiControllers)) return kUnmappedController;
    return 0.0;
}

}  // namespace sorel::param
