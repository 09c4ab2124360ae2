#include "editor/HintText.h"

#include "engine/ParameterIndex.h"
#include "frame/Parameter.h"
#include "frame/RateNames.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>

namespace sorel {

using namespace param;

namespace {

constexpr int kStepsOfAllPatterns = kPatterns * kSteps;
constexpr int kAreaSceneSteps = kKeyAreas * kSceneSteps;
constexpr double kVelocityRange = 127.0;  // an area's volume is added to velocities times this

enum class Shown {
    kOnOff,           // "On" at 1, "Off" at 0
    kStepSwitch,      // "On" while the step plays, whatever the switch stores
    kInteger,         // the whole part
    kOneDecimal,
    kTwoDecimals,
    kPercent,         // a fraction as a percentage with one decimal
    kVelocityOffset,  // what the value adds to velocities
    kPlusOne,         // counted from 1
    kText,            // the control's own text for the value
    kRate,            // the note value
    kOrder,           // the ORDER lane's step names
    kLane,            // the lane names of the step-mode selector
    kStepGate,        // as the pattern view writes it
    kDivide,          // as the pattern view writes it
    kHoldSync,        // "Immediate" for 0
    kTeachCc,         // "disabled" for no controller
    kZoneSync,        // " Next" for 0, else the steps between switches
};

struct HintRow {
    int first;
    int count;
    const char* prefix;
    Shown shown;
    const char* suffix = "";
};

constexpr int Span(int first, int last) { return last - first + 1; }

constexpr HintRow kHintRows[] = {
    {kStepOnOff, kStepsOfAllPatterns, "Pattern step: ", Shown::kStepSwitch},
    {kLaneSwitch, Span(kLaneSwitch, kLaneSwitchLast), "Pattern step: ", Shown::kStepSwitch},
    {kCcLaneSwitch, Span(kCcLaneSwitch, kCcLaneSwitchLast), "Pattern step: ", Shown::kStepSwitch},
    {kSceneStepLength, kAreaSceneSteps, "Step length: ", Shown::kPlusOne},
    {kSceneStepPattern, kAreaSceneSteps, "Pattern: ", Shown::kPlusOne},
    {kSceneStepRepeat, kAreaSceneSteps, "Repeat: ", Shown::kPlusOne, " times"},
    {kRate, kPatterns, "Rate: ", Shown::kRate},
    {kRateFreeMode, kPatterns, "Rate: ", Shown::kTwoDecimals},
    {kSortOrder, kPatterns, "Play order: ", Shown::kText},
    {kSwing, kPatterns, "Swing: ", Shown::kPercent},
    {kOctaves, kPatterns, "Octaves: ", Shown::kInteger},
    {kTranspose, kPatterns, "Transpose: ", Shown::kInteger},
    {kVelocityMode, kKeyAreas, "Velocity mode: ", Shown::kText},
    {kResetOnNewNote, kPatterns, "Reset on new note: ", Shown::kOnOff},
    {kStepLength, kStepsOfAllPatterns, "Length: ", Shown::kInteger},
    {kStepGate, kStepsOfAllPatterns, "Gate: ", Shown::kStepGate},
    {kStepAccent, kStepsOfAllPatterns, "Accent: ", Shown::kInteger},
    {kStepTranspose, kStepsOfAllPatterns, "Transpose: ", Shown::kInteger},
    {kStepDiv, kStepsOfAllPatterns, "Div: ", Shown::kDivide},
    {kStepShift, kStepsOfAllPatterns, "Shift: ", Shown::kInteger},
    {kStepNoteList, kStepsOfAllPatterns, "Order: ", Shown::kOrder},
    {kPatternStepMode, 1, "Mode: ", Shown::kLane},
    {kStepCc, Span(kStepCc, kStepCcLast), "CC edit: ", Shown::kInteger},
    {kPatternSteps, kPatterns, "Pattern length: ", Shown::kPlusOne},
    {kKeyAreaOnOff, kKeyAreas, "Track: ", Shown::kOnOff},
    {kKeyAreaSelection, 1, "Track: ", Shown::kPlusOne},
    {kResetLaneOnPatternReset, kPatterns * kLanes, "Reset note list: ", Shown::kOnOff},
    {kRateFreeToggle, kPatterns, "Free mode: ", Shown::kOnOff},
    {kAreaVolume, kKeyAreas, "Key area Volume: ", Shown::kVelocityOffset},
    {kGlobalVolume, 1, "Global Volume: ", Shown::kInteger},
    {kGate, kPatterns, "Gate: ", Shown::kOneDecimal},
    {kHoldSync, kKeyAreas, "Hold sync: ", Shown::kHoldSync},
    {kHoldTranspose, kKeyAreas, "Hold Transpose: ", Shown::kOnOff},
    {kHoldBypass, kKeyAreas, "Hold bypass: ", Shown::kOnOff},
    {kNoteRelease, kKeyAreas, "Note release: ", Shown::kOnOff},
    {kKeyAreaPatterns, kKeyAreas, "Pattern: ", Shown::kPlusOne},
    {kStepSource, kStepsOfAllPatterns, "Chord memory slot: ", Shown::kInteger},
    {kDirection, kPatterns * kLanes, "Loop direction: ", Shown::kText},
    {kArpOnNoteCount, kKeyAreas, "Arp on note count: ", Shown::kPlusOne},
    {kCcTeach, 1, "CC teach: ", Shown::kOnOff},
    {kCcTeachSelection, 1, "Teach CC : ", Shown::kTeachCc},
    {kScale, 1, "Scale: ", Shown::kText},
    {kScaleKey, 1, "Scale key: ", Shown::kText},
    {kScaleMode, 1, "Scale mode: ", Shown::kText},
    {kHold, kKeyAreas, "Hold: ", Shown::kOnOff},
    {kMidiInChannel, kKeyAreas, "MIDI in: ", Shown::kPlusOne},
    {kMidiOutChannel, kKeyAreas, "MIDI out: ", Shown::kPlusOne},
    {kChordMemorySelection, 1, "Chord memory slot : ", Shown::kPlusOne},
    {kChordMemoryApplyChordSelection, 1, "Apply chord: ", Shown::kText},
    {kControlZoneSync, 1, "Control zone sync : ", Shown::kZoneSync},
    {kStepProb, kStepsOfAllPatterns, "Chance: ", Shown::kInteger, " %"},
    {kProbLaneSwitch, kStepsOfAllPatterns, "Pattern step: ", Shown::kStepSwitch},
    {kHumanize, kPatterns, "Humanize: ", Shown::kInteger, " %"},
    {kProbDirection, kPatterns, "Loop direction: ", Shown::kText},
    {kProbResetWithPattern, kPatterns, "Reset note list: ", Shown::kOnOff},
};

constexpr std::array<std::string_view, 8> kOrderNames = {"Play", "Off",  "Previous", "First",
                                                         "Last", "High", "Low",      "Random"};
constexpr std::array<std::string_view, 10> kLaneNames = {"Order",  "Chord Memory", "Length",
                                                         "Gate",   "Accent",       "Transpose",
                                                         "Divide notes", "Shift notes", "Sequence", "Chance"};

const HintRow* FindRow(int index) {
    for (const HintRow& row : kHintRows)
        if (index >= row.first && index < row.first + row.count) return &row;
    return nullptr;
}

int Whole(double value) {
    if (!std::isfinite(value)) return 0;
    return static_cast<int>(std::clamp(std::trunc(value), -2147483648.0, 2147483647.0));
}

std::string Named(std::span<const std::string_view> names, double value) {
    const int n = Whole(value);
    return n >= 0 && n < static_cast<int>(names.size()) ? std::string(names[static_cast<std::size_t>(n)]) : std::to_string(n);
}

std::string Decimals(double value, int decimals) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, std::isfinite(value) ? value : 0.0);
    return buffer;
}

std::string ShownText(const HintRow& row, int index, const Parameter& p, double v, bool gateInSteps) {
    switch (row.shown) {
        case Shown::kOnOff: return v >= 0.5 ? "On" : "Off";
        case Shown::kStepSwitch: return SwitchIsOn(index, v) ? "On" : "Off";
        case Shown::kInteger: return std::to_string(Whole(v));
        case Shown::kOneDecimal: return Decimals(v, 1);
        case Shown::kTwoDecimals: return Decimals(v, 2);
        case Shown::kPercent: return Decimals(v * 100.0, 1);
        case Shown::kVelocityOffset: return std::to_string(Whole(v * kVelocityRange));
        case Shown::kPlusOne: return std::to_string(Whole(v) + 1);
        case Shown::kText: return p.DisplayText(v);
        case Shown::kRate: return Named(RateNames(), v);
        case Shown::kOrder: return Named(kOrderNames, v);
        case Shown::kLane: return Named(kLaneNames, v);
        case Shown::kStepGate: return std::to_string(ShownStepValue(lane::kGate, v, p.Maximum(), gateInSteps));
        case Shown::kDivide: return std::to_string(ShownStepValue(lane::kDivide, v, p.Maximum(), gateInSteps));
        case Shown::kHoldSync: return Whole(v) == 0 ? "Immediate" : std::to_string(Whole(v) + 1);
        case Shown::kTeachCc: return Whole(v) <= 0 ? "disabled" : p.DisplayText(v);
        case Shown::kZoneSync: return Whole(v) <= 0 ? " Next" : p.DisplayText(v) + " Steps";
    }
    return {};
}

}  // namespace

int ShownStepValue(int laneIndex, double value, double maximum, bool gateInSteps) {
    constexpr int kLastColumn = kSteps - 1;
    if (laneIndex == lane::kGate && gateInSteps && value >= 0.0 && maximum > 0.0)
        return Whole(value / maximum * kLastColumn + 1);
    if (laneIndex == lane::kDivide) return Whole(value + 1);
    return Whole(value);
}

std::string HintText(int index, const Parameter& parameter, double plain, bool gateInSteps) {
    const HintRow* row = FindRow(index);
    if (!row) return {};
    return row->prefix + ShownText(*row, index, parameter, plain, gateInSteps) + row->suffix;
}

}  // namespace sorel
