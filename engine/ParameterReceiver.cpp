#include "engine/ParameterReceiver.h"

#include <array>
#include <cmath>

#include "engine/ChordMemoryBank.h"
#include "engine/ControlZone.h"
#include "engine/EngineContext.h"
#include "engine/KeyAreaList.h"
#include "engine/ParameterDefaults.h"
#include "engine/ParameterIndex.h"
#include "engine/PatternEngine.h"
#include "engine/PatternStepper.h"
#include "engine/ScaleState.h"
#include "engine/WholeStep.h"

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

}  // namespace

bool ParameterReceiver::IsStepFamily(int index) {
    return In(index, kStepOnOff, kPerStepCount) || (index >= kStepLength && index < kStepSource + kPerStepCount) ||
           In(index, kStepCc, kCcFamilyCount) || (index >= kLaneSwitch && index <= kCcLaneSwitchLast);
}

void ParameterReceiver::ApplyDefaults(bool stepFamilies) {
    for (int index = 0; index < kCount; ++index)
        if (stepFamilies || !IsStepFamily(index)) ApplyParameter(index, param::DefaultValue(index));
}

void ParameterReceiver::ApplyParameter(int index, double value) {
    if (context_ == nullptr || context_->keyAreas == nullptr || !std::isfinite(value)) return;
    KeyAreaList& areas = *context_->keyAreas;
    auto area = [&](int i) { return areas.Area(i); };
    auto stepper = [&](int i) -> PatternStepper* {
        PatternEngine* a = areas.Area(i);
        return a != nullptr ? &a->Stepper() : nullptr;
    };

    // Per step first: these families hold most of the table.
    if (In(index, kStepOnOff, kPerStepCount)) {
        const Address at = PerStep(index - kStepOnOff);
        return stepper(at.area)->SetLaneSwitch(at.pattern, lane::kOrder, at.step, AsBool(value));
    }
    for (int lane = 0; lane < kFirstControllerLane; ++lane)
        if (In(index, kLaneValueFamily[lane], kPerStepCount)) {
            const Address at = PerStep(index - kLaneValueFamily[lane]);
            return stepper(at.area)->SetStepValue(at.pattern, lane, at.step, StepValueOf(lane, value));
        }
    if (In(index, kStepCc, kCcFamilyCount)) {
        const Address at = ControllerLane(index - kStepCc);
        return stepper(at.area)->SetStepValue(at.pattern, at.lane, at.step, value);
    }
    if (index >= kLaneSwitch && index <= kLaneSwitchLast) {
        const Address at = LaneSwitchOfNotes(index - kLaneSwitch);
        return stepper(at.area)->SetLaneSwitch(at.pattern, at.lane, at.step, AsBool(value));
    }
    if (index >= kCcLaneSwitch && index <= kCcLaneSwitchLast) {
        const Address at = ControllerLane(index - kCcLaneSwitch);
        return stepper(at.area)->SetLaneSwitch(at.pattern, at.lane, at.step, SwitchIsOn(index, value));
    }

    // Global
    if (index == kKeyAreaSelection) return areas.SelectArea(WholeStep(value));
    if (index == kScale || index == kScaleKey || index == kScaleMode) {
        for (int i = 0; i < kKeyAreas; ++i) {
            ScaleState& scale = area(i)->Scale();
            if (index == kScale) scale.SetScaleParameter(WholeStep(value));
            if (index == kScaleKey) scale.SetKey(WholeStep(value));
            if (index == kScaleMode) scale.SetMode(WholeStep(value));
        }
        return;
    }
    if (index == kChordMemorySelection) {
        if (context_->chordMemory) context_->chordMemory->Select(WholeStep(value));
        return;
    }
    if (index == kControlZoneSync) {
        if (context_->controlZone) context_->controlZone->SetSyncParameter(WholeStep(value));
        return;
    }
    if (index == kDisableControlZone) {
        if (context_->controlZone) context_->controlZone->SetEnabled(!AsBool(value));
        return;
    }
    if (index == kStartNotesImmediately) {
        context_->startNotesImmediately = AsBool(value) ? 1 : 0;
        return;
    }
    if (index == kGateLengthInSteps) {
        context_->gateInSteps = AsBool(value);
        for (int i = 0; i < kKeyAreas; ++i) stepper(i)->SetGateInSteps(context_->gateInSteps);
        return;
    }
    if (index == kUseOnlyOrderOnOff) {
        context_->useOnlyOrderOnOff = AsBool(value);
        return;
    }
    if (index == kTransposeAsSemitones) {
        for (int i = 0; i < kKeyAreas; ++i) area(i)->SetTransposeAsSemitones(AsBool(value));
        return;
    }

    // Per key area
    struct AreaFamily {
        int first;
        void (*apply)(PatternEngine&, double);
    };
    static constexpr std::array<AreaFamily, 19> kAreaFamilies{{
        {kNoteRelease, [](PatternEngine& a, double v) { a.SetNoteRelease(AsBool(v)); }},
        {kHoldTranspose, [](PatternEngine& a, double v) { a.SetHoldTranspose(AsBool(v)); }},
        {kHoldBypass, [](PatternEngine& a, double v) { a.SetHoldBypass(AsBool(v)); }},
        {kHold, [](PatternEngine& a, double v) { a.SetHold(AsBool(v)); }},
        {kSceneOnOff, [](PatternEngine& a, double v) { a.SetSceneOn(AsBool(v)); }},
        {kArpOnNoteCount, [](PatternEngine& a, double v) { a.SetArpOnNoteCount(WholeStep(v) + 1); }},
        {kVelocityMode, [](PatternEngine& a, double v) { a.SetVelocityMode(WholeStep(v)); }},
        {kKeyAreaOnOff, [](PatternEngine& a, double v) { a.SetAreaOn(AsBool(v)); }},
        {kMidiInChannel, [](PatternEngine& a, double v) { a.SetMidiInChannel(WholeStep(v) + 1); }},
        {kMidiOutChannel, [](PatternEngine& a, double v) { a.SetMidiOutChannel(WholeStep(v) + 1); }},
        {kKeyAreaPatterns, [](PatternEngine& a, double v) { a.RequestPattern(WholeStep(v)); }},
        {kKeyAreaStartNote, [](PatternEngine& a, double v) { a.SetStartValue(WholeStep(v)); }},
        {kKeyAreaEndNote, [](PatternEngine& a, double v) { a.SetEndValue(WholeStep(v)); }},
        {kKeyAreaBaseNote, [](PatternEngine& a, double v) { a.SetBaseValue(WholeStep(v)); }},
        {kAreaVolume, [](PatternEngine& a, double v) { a.SetVolume(v); }},
        {kHoldSync, [](PatternEngine& a, double v) { a.SetHoldSync(WholeStep(v)); }},
        {kSceneEnd, [](PatternEngine& a, double v) { a.SetSceneEnd(WholeStep(v)); }},
        {kSendCc, [](PatternEngine& a, double v) { a.SetOnlyCc(AsBool(v)); }},
        {kCmTrigger, [](PatternEngine& a, double v) { a.SetTriggerChordMemory(AsBool(v)); }},
    }};
    for (const AreaFamily& family : kAreaFamilies)
        if (In(index, family.first, kPerAreaCount)) return family.apply(*area(index - family.first), value);

    // Per pattern
    struct PatternFamily {
        int first;
        void (*apply)(PatternEngine&, int, double);
    };
    static constexpr std::array<PatternFamily, 10> kPatternFamilies{{
        {kGate, [](PatternEngine& a, int p, double v) { a.Stepper().SetGate(p, v); }},
        {kRateFreeToggle, [](PatternEngine& a, int p, double v) { a.Stepper().SetFreeMode(p, AsBool(v)); }},
        {kRate, [](PatternEngine& a, int p, double v) { a.Stepper().SetRate(p, v); }},
        {kRateFreeMode, [](PatternEngine& a, int p, double v) { a.Stepper().SetFreeRate(p, v); }},
        {kSortOrder, [](PatternEngine& a, int p, double v) { a.SetSortOrder(p, WholeStep(v)); }},
        {kSwing, [](PatternEngine& a, int p, double v) { a.Stepper().SetSwing(p, v); }},
        {kOctaves, [](PatternEngine& a, int p, double v) { a.SetOctaves(p, WholeStep(v)); }},
        {kTranspose, [](PatternEngine& a, int p, double v) { a.Stepper().SetTranspose(p, WholeStep(v)); }},
        {kResetOnNewNote, [](PatternEngine& a, int p, double v) { a.Stepper().SetResetOnNewNote(p, AsBool(v)); }},
        {kPatternSteps, [](PatternEngine& a, int p, double v) { a.Stepper().SetPatternSteps(p, WholeStep(v) + 1); }},
    }};
    for (const PatternFamily& family : kPatternFamilies)
        if (In(index, family.first, kPerPatternCount)) {
            const Address at = PerPattern(index - family.first);
            return family.apply(*area(at.area), at.pattern, value);
        }

    // Per pattern and lane
    if (In(index, kResetLaneOnPatternReset, kPerLaneCount)) {
        const Address at = PerLane(index - kResetLaneOnPatternReset);
        return stepper(at.area)->SetLaneResetWithPattern(at.pattern, at.lane, AsBool(value));
    }
    if (In(index, kDirection, kPerLaneCount)) {
        const Address at = PerLane(index - kDirection);
        return stepper(at.area)->SetLaneDirection(at.pattern, at.lane, WholeStep(value));
    }

    // Scenes
    if (In(index, kSceneStepLength, kPerSceneCount)) {
        const int k = index - kSceneStepLength;
        return area(k / kSceneSteps)->SetSceneStep(k % kSceneSteps, scene::kFieldLength, WholeStep(value) + 1);
    }
    if (In(index, kSceneStepPattern, kPerSceneCount)) {
        const int k = index - kSceneStepPattern;
        return area(k / kSceneSteps)->SetSceneStep(k % kSceneSteps, scene::kFieldPattern, WholeStep(value));
    }
    if (In(index, kSceneStepRepeat, kPerSceneCount)) {
        const int k = index - kSceneStepRepeat;
        return area(k / kSceneSteps)->SetSceneStep(k % kSceneSteps, scene::kFieldRepeat, WholeStep(value));
    }
}

}  // namespace sorel
