#include "engine/ParameterReceiver.h"

#include <array>
#include <cmath>
#include <cstdint>

#include "engine/ChordMemoryBank.h"
#include "engine/ControlZone.h"
#include "engine/EngineContext.h"
#include "engine/KeyAreaList.h"
#include "engine/ParameterDefaults.h"
#include "engine/ParameterIndex.h"
#include "engine/PatternEngine.h"
#include "engine/WholeStep.h"
#include "engine/PatternStepper.h"
#include "engine/ScaleState.h"

namespace sorel {

namespace {

using namespace param;

constexpr int kPerAreaCount = kKeyAreas;
constexpr int kPerPatternCount = kPatterns;
constexpr int kPerLaneCount = kPatterns * kLanes;
constexpr int kPerStepCount = kPatterns * kSteps;
constexpr int kPerSceneCount = kKeyAreas * kSceneSteps;
constexpr int kCcFamilyCount = kPatterns * kControllerLaneStride;
// One key area's share of each family.
constexpr int kAreaSteps = kPatternsPerArea * kSteps;
constexpr int kAreaLanes = kPatternsPerArea * kLanes;
constexpr int kAreaControllerSteps = kPatternsPerArea * kControllerLaneStride;
constexpr int kAreaNoteLaneSwitches = kPatternsPerArea * kNoteLaneSwitchStride;

constexpr bool In(int index, int first, int count) { return InFamily(index, first, count); }

// The setters below take a plain function of one value.
int AsInt(double value) { return WholeStep(value); }
bool AsBool(double value) { return value >= 0.5; }

// Where an index of a family points.
struct Address {
    int area = 0;
    int pattern = 0;
    int lane = 0;
    int step = 0;
};

Address PerStep(int d) { return {d / kAreaSteps, (d % kAreaSteps) / kSteps, 0, d % kSteps}; }
Address PerPattern(int d) { return {d / kPatternsPerArea, d % kPatternsPerArea, 0, 0}; }
Address PerLane(int d) { return {d / kAreaLanes, (d % kAreaLanes) / kLanes, d % kLanes, 0}; }
Address ControllerLane(int d) {
    return {d / kAreaControllerSteps, (d % kAreaControllerSteps) / kControllerLaneStride,
            kFirstControllerLane + (d / kSteps) % kControllerLanes, d % kSteps};
}
Address LaneSwitchOfNotes(int d) {
    return {d / kAreaNoteLaneSwitches, (d / kNoteLaneSwitchStride) % kPatternsPerArea,
            (d / kSteps) % kFirstControllerLane, d % kSteps};
}

// The parameter counts DIV from 0, the engine from 1.
double StepValueOf(int lane, double value) { return lane == lane::kDivide ? value + 1.0 : value; }

PatternEngine& AreaOf(EngineContext& c, int area) { return *c.keyAreas->Area(area); }
PatternStepper& StepperOf(EngineContext& c, int area) { return AreaOf(c, area).Stepper(); }

// What every key area takes alike.
template <typename Apply>
void ForEachArea(EngineContext& c, Apply apply) {
    for (int i = 0; i < kKeyAreas; ++i) apply(AreaOf(c, i));
}

// A family of parameters and the engine call that stores one of them:
// `offset` is the index less the family's first.
struct EngineFamily {
    int first;
    int count;
    void (*set)(EngineContext& c, int offset, double value);
};

template <int Lane>
void SetNoteLaneStep(EngineContext& c, int d, double v) {
    const Address at = PerStep(d);
    StepperOf(c, at.area).SetStepValue(at.pattern, Lane, at.step, StepValueOf(Lane, v));
}

// The plain value as a setter takes it: a count the parameter gives from 0
// is one more for the engine.
double Plain(double value) { return value; }
int AsCount(double value) { return AsInt(value) + 1; }

// A key area's own value, by the family's offset.
template <auto Set, auto Convert>
void SetOfArea(EngineContext& c, int d, double v) {
    (AreaOf(c, d).*Set)(Convert(v));
}

// A pattern's own value, in its key area or in the area's stepper.
template <auto Set, auto Convert>
void SetOfPattern(EngineContext& c, int d, double v) {
    const Address at = PerPattern(d);
    (AreaOf(c, at.area).*Set)(at.pattern, Convert(v));
}

template <auto Set, auto Convert>
void SetOfPatternStepper(EngineContext& c, int d, double v) {
    const Address at = PerPattern(d);
    (StepperOf(c, at.area).*Set)(at.pattern, Convert(v));
}

// Every family of the engine with its setter, grouped as ParameterIndex.h
// lists them. An index of none of them (the editor's tools, menus, MIDI
// learn, the frame's own values) changes nothing here.
constexpr std::array<EngineFamily, 63> kEngineFamilies{{
    {kStepOnOff, kPerStepCount, [](EngineContext& c, int d, double v) {
         const Address at = PerStep(d);
         StepperOf(c, at.area).SetLaneSwitch(at.pattern, lane::kOrder, at.step, AsBool(v));
     }},
    {kLaneValueFamily[0], kPerStepCount, &SetNoteLaneStep<0>},
    {kLaneValueFamily[1], kPerStepCount, &SetNoteLaneStep<1>},
    {kLaneValueFamily[2], kPerStepCount, &SetNoteLaneStep<2>},
    {kLaneValueFamily[3], kPerStepCount, &SetNoteLaneStep<3>},
    {kLaneValueFamily[4], kPerStepCount, &SetNoteLaneStep<4>},
    {kLaneValueFamily[5], kPerStepCount, &SetNoteLaneStep<5>},
    {kLaneValueFamily[6], kPerStepCount, &SetNoteLaneStep<6>},
    {kLaneValueFamily[7], kPerStepCount, &SetNoteLaneStep<7>},
    {kLaneValueFamily[8], kPerStepCount, &SetNoteLaneStep<8>},
    {kStepCc, kCcFamilyCount, [](EngineContext& c, int d, double v) {
         const Address at = ControllerLane(d);
         StepperOf(c, at.area).SetStepValue(at.pattern, at.lane, at.step, v);
     }},
    {kLaneSwitch, kLaneSwitchLast - kLaneSwitch + 1, [](EngineContext& c, int d, double v) {
         const Address at = LaneSwitchOfNotes(d);
         StepperOf(c, at.area).SetLaneSwitch(at.pattern, at.lane, at.step, AsBool(v));
     }},
    {kStepProb, kPerStepCount, [](EngineContext& c, int d, double v) {
         const Address at = PerStep(d);
         StepperOf(c, at.area).SetStepValue(at.pattern, lane::kProb, at.step, v);
     }},
    {kProbLaneSwitch, kPerStepCount, [](EngineContext& c, int d, double v) {
         const Address at = PerStep(d);
         StepperOf(c, at.area).SetLaneSwitch(at.pattern, lane::kProb, at.step, AsBool(v));
     }},
    {kCcLaneSwitch, kCcLaneSwitchLast - kCcLaneSwitch + 1, [](EngineContext& c, int d, double v) {
         const Address at = ControllerLane(d);
         StepperOf(c, at.area).SetLaneSwitch(at.pattern, at.lane, at.step, SwitchIsOn(kCcLaneSwitch + d, v));
     }},

    // Global
    {kKeyAreaSelection, 1, [](EngineContext& c, int, double v) { c.keyAreas->SelectArea(AsInt(v)); }},
    {kScale, 1, [](EngineContext& c, int, double v) {
         ForEachArea(c, [v](PatternEngine& a) { a.Scale().SetScaleParameter(AsInt(v)); });
     }},
    {kScaleKey, 1, [](EngineContext& c, int, double v) {
         ForEachArea(c, [v](PatternEngine& a) { a.Scale().SetKey(AsInt(v)); });
     }},
    {kScaleMode, 1, [](EngineContext& c, int, double v) {
         ForEachArea(c, [v](PatternEngine& a) { a.Scale().SetMode(AsInt(v)); });
     }},
    {kChordMemorySelection, 1, [](EngineContext& c, int, double v) {
         if (c.chordMemory) c.chordMemory->Select(AsInt(v));
     }},
    {kControlZoneSync, 1, [](EngineContext& c, int, double v) {
         if (c.controlZone) c.controlZone->SetSyncParameter(AsInt(v));
     }},
    {kDisableControlZone, 1, [](EngineContext& c, int, double v) {
         if (c.controlZone) c.controlZone->SetEnabled(!AsBool(v));
     }},
    {kStartNotesImmediately, 1, [](EngineContext& c, int, double v) { c.startNotesImmediately = AsBool(v) ? 1 : 0; }},
    {kGateLengthInSteps, 1, [](EngineContext& c, int, double v) {
         c.gateInSteps = AsBool(v);
         ForEachArea(c, [&c](PatternEngine& a) { a.Stepper().SetGateInSteps(c.gateInSteps); });
     }},
    {kUseOnlyOrderOnOff, 1, [](EngineContext& c, int, double v) { c.useOnlyOrderOnOff = AsBool(v); }},
    {kTransposeAsSemitones, 1, [](EngineContext& c, int, double v) {
         ForEachArea(c, [v](PatternEngine& a) { a.SetTransposeAsSemitones(AsBool(v)); });
     }},

    // Per key area
    {kNoteRelease, kPerAreaCount, &SetOfArea<&PatternEngine::SetNoteRelease, &AsBool>},
    {kHoldTranspose, kPerAreaCount, &SetOfArea<&PatternEngine::SetHoldTranspose, &AsBool>},
    {kHoldBypass, kPerAreaCount, &SetOfArea<&PatternEngine::SetHoldBypass, &AsBool>},
    {kHold, kPerAreaCount, &SetOfArea<&PatternEngine::SetHold, &AsBool>},
    {kSceneOnOff, kPerAreaCount, &SetOfArea<&PatternEngine::SetSceneOn, &AsBool>},
    {kArpOnNoteCount, kPerAreaCount, &SetOfArea<&PatternEngine::SetArpOnNoteCount, &AsCount>},
    {kVelocityMode, kPerAreaCount, &SetOfArea<&PatternEngine::SetVelocityMode, &AsInt>},
    {kKeyAreaOnOff, kPerAreaCount, &SetOfArea<&PatternEngine::SetAreaOn, &AsBool>},
    {kMidiInChannel, kPerAreaCount, &SetOfArea<&PatternEngine::SetMidiInChannel, &AsCount>},
    {kMidiOutChannel, kPerAreaCount, &SetOfArea<&PatternEngine::SetMidiOutChannel, &AsCount>},
    {kKeyAreaPatterns, kPerAreaCount, [](EngineContext& c, int d, double v) { AreaOf(c, d).RequestPattern(AsInt(v)); }},
    {kKeyAreaStartNote, kPerAreaCount, &SetOfArea<&PatternEngine::SetStartValue, &AsInt>},
    {kKeyAreaEndNote, kPerAreaCount, &SetOfArea<&PatternEngine::SetEndValue, &AsInt>},
    {kKeyAreaBaseNote, kPerAreaCount, &SetOfArea<&PatternEngine::SetBaseValue, &AsInt>},
    {kAreaVolume, kPerAreaCount, &SetOfArea<&PatternEngine::SetVolume, &Plain>},
    {kHoldSync, kPerAreaCount, &SetOfArea<&PatternEngine::SetHoldSync, &AsInt>},
    {kSceneEnd, kPerAreaCount, &SetOfArea<&PatternEngine::SetSceneEnd, &AsInt>},
    {kSendCc, kPerAreaCount, &SetOfArea<&PatternEngine::SetOnlyCc, &AsBool>},
    {kCmTrigger, kPerAreaCount, &SetOfArea<&PatternEngine::SetTriggerChordMemory, &AsBool>},

    // Per pattern
    {kGate, kPerPatternCount, &SetOfPatternStepper<&PatternStepper::SetGate, &Plain>},
    {kRateFreeToggle, kPerPatternCount, &SetOfPatternStepper<&PatternStepper::SetFreeMode, &AsBool>},
    {kRate, kPerPatternCount, &SetOfPatternStepper<&PatternStepper::SetRate, &Plain>},
    {kRateFreeMode, kPerPatternCount, &SetOfPatternStepper<&PatternStepper::SetFreeRate, &Plain>},
    {kSortOrder, kPerPatternCount, &SetOfPattern<&PatternEngine::SetSortOrder, &AsInt>},
    {kSwing, kPerPatternCount, &SetOfPatternStepper<&PatternStepper::SetSwing, &Plain>},
    {kOctaves, kPerPatternCount, &SetOfPattern<&PatternEngine::SetOctaves, &AsInt>},
    {kTranspose, kPerPatternCount, &SetOfPatternStepper<&PatternStepper::SetTranspose, &AsInt>},
    {kResetOnNewNote, kPerPatternCount, &SetOfPatternStepper<&PatternStepper::SetResetOnNewNote, &AsBool>},
    {kPatternSteps, kPerPatternCount, &SetOfPatternStepper<&PatternStepper::SetPatternSteps, &AsCount>},
    {kHumanize, kPerPatternCount, &SetOfPatternStepper<&PatternStepper::SetHumanize, &Plain>},

    // Per pattern and lane
    {kResetLaneOnPatternReset, kPerLaneCount, [](EngineContext& c, int d, double v) {
         const Address at = PerLane(d);
         StepperOf(c, at.area).SetLaneResetWithPattern(at.pattern, at.lane, AsBool(v));
     }},
    {kDirection, kPerLaneCount, [](EngineContext& c, int d, double v) {
         const Address at = PerLane(d);
         StepperOf(c, at.area).SetLaneDirection(at.pattern, at.lane, AsInt(v));
     }},

    {kProbResetWithPattern, kPerPatternCount, [](EngineContext& c, int d, double v) {
         const Address at = PerPattern(d);
         StepperOf(c, at.area).SetLaneResetWithPattern(at.pattern, lane::kProb, AsBool(v));
     }},
    {kProbDirection, kPerPatternCount, [](EngineContext& c, int d, double v) {
         const Address at = PerPattern(d);
         StepperOf(c, at.area).SetLaneDirection(at.pattern, lane::kProb, AsInt(v));
     }},

    // Scenes (k = area * 16 + scene step)
    {kSceneStepLength, kPerSceneCount, [](EngineContext& c, int k, double v) {
         AreaOf(c, k / kSceneSteps).SetSceneStep(k % kSceneSteps, scene::kFieldLength, AsInt(v) + 1);
     }},
    {kSceneStepPattern, kPerSceneCount, [](EngineContext& c, int k, double v) {
         AreaOf(c, k / kSceneSteps).SetSceneStep(k % kSceneSteps, scene::kFieldPattern, AsInt(v));
     }},
    {kSceneStepRepeat, kPerSceneCount, [](EngineContext& c, int k, double v) {
         AreaOf(c, k / kSceneSteps).SetSceneStep(k % kSceneSteps, scene::kFieldRepeat, AsInt(v));
     }},
}};

// The family of every index, looked up for every change: built while compiling.
constexpr auto kFamilyOf = [] {
    std::array<std::int8_t, kCount> slots{};
    slots.fill(-1);
    for (size_t f = 0; f < kEngineFamilies.size(); ++f)
        for (int i = 0; i < kEngineFamilies[f].count; ++i) {
            std::int8_t& slot = slots[static_cast<size_t>(kEngineFamilies[f].first + i)];
            slot = slot < 0 ? static_cast<std::int8_t>(f) : std::int8_t{-2};  // -2: two families overlap
        }
    return slots;
}();

constexpr bool FamiliesAreApart() {
    for (const EngineFamily& family : kEngineFamilies)
        if (family.count <= 0) return false;
    for (std::int8_t slot : kFamilyOf)
        if (slot == -2) return false;
    return true;
}
// Every setter is a function named in the table, never null; a sanitizer
// build cannot compare a function's address while compiling.
static_assert(FamiliesAreApart(), "every family covers indices, and an index belongs to one family");

}  // namespace

bool ParameterReceiver::IsStepFamily(int index) {
    return In(index, kStepOnOff, kPerStepCount) || (index >= kStepLength && index < kStepSource + kPerStepCount) ||
           In(index, kStepCc, kCcFamilyCount) || (index >= kLaneSwitch && index <= kCcLaneSwitchLast) ||
           In(index, kStepProb, 2 * kPerStepCount);
}

void ParameterReceiver::ApplyDefaults(bool stepFamilies) {
    for (int index = 0; index < kCount; ++index)
        if (stepFamilies || !IsStepFamily(index)) ApplyParameter(index, param::DefaultValue(index));
}

void ParameterReceiver::ApplyParameter(int index, double value) {
    if (context_ == nullptr || context_->keyAreas == nullptr || !std::isfinite(value)) return;
    if (index < 0 || index >= kCount) return;
    const std::int8_t family = kFamilyOf[static_cast<size_t>(index)];
    if (family < 0) return;
    const EngineFamily& f = kEngineFamilies[static_cast<size_t>(family)];
    f.set(*context_, index - f.first, value);
}

}  // namespace sorel
