// Every family of the parameter table reaches the key area, pattern, lane and
// step its index names; editor indices and bad values reach nothing.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/ChordMemoryBank.h"
#include "engine/ControlZone.h"
#include "engine/EngineHarness.h"
#include "engine/ScaleState.h"

namespace sorel::test {
namespace {

// One slot of a per-step family and the step it must reach: a lane value, or
// a lane switch when `isSwitch`. Slots of area -1 reach no step.
struct FamilySlot {
    int index;
    int area, pattern, lane, step;
    double value, stored;
    bool isSwitch = false;
};

double Read(EngineHarness& h, const FamilySlot& s) {
    PatternStepper& stepper = h.Stepper(s.area);
    return s.isSwitch ? stepper.LaneSwitch(s.pattern, s.lane, s.step) : stepper.StepValue(s.pattern, s.lane, s.step);
}

// The first and last slot of every per-step family, and the neighbours that
// once aliased: setting one slot changes its own step and no other slot's.
// A controller lane's switch at 1 turns that step's controller off.
TEST(ParameterReceiver, FirstAndLastSlotOfEveryStepFamilyReachOnlyTheirStep) {
    std::vector<FamilySlot> slots;
    const FamilySlot families[] = {
        {kStepLength, 0, 0, lane::kLength, 0, 5, 5},      {kStepGate, 0, 0, lane::kGate, 0, -30, -30},
        {kStepAccent, 0, 0, lane::kAccent, 0, 44, 44},    {kStepTranspose, 0, 0, lane::kTranspose, 0, -7, -7},
        {kStepDiv, 0, 0, lane::kDivide, 0, 3, 4},          {kStepShift, 0, 0, lane::kShift, 0, 12.5, 12.5},
        {kStepNoteList, 0, 0, lane::kOrder, 0, 6, 6},      {kStepChord, 0, 0, lane::kChord, 0, 99, 99},
        {kStepSource, 0, 0, lane::kChordMemory, 0, 9, 9},  {kStepOnOff, 0, 0, lane::kOrder, 0, 0, 0, true}};
    for (const FamilySlot& f : families) {
        slots.push_back(f);
        FamilySlot last = f;
        last.index = PerStep(f.index, 3, 11, 31);
        last.area = 3, last.pattern = 11, last.step = 31;
        slots.push_back(last);
    }
    slots.insert(slots.end(), {{LaneSwitch(0, 0, 0, 0), 0, 0, 0, 0, 0, 0, true},
                               {LaneSwitch(0, 1, 0, 0), 0, 1, 0, 0, 0, 0, true},
                               {kLaneSwitchLast, 3, 11, 8, 31, 0, 0, true},
                               {LaneSwitch(0, 0, 9, 0), 0, 0, 9, 0, 1, 0, true},
                               {kCcLaneSwitchLast, 3, 11, 16, 31, 1, 0, true},
                               {CcLaneValue(0, 0, 9, 0), 0, 0, 9, 0, 11, 11},
                               {CcLaneValue(3, 11, 16, 31), 3, 11, 16, 31, 127, 127},
                               {CcLaneValue(1, 4, 12, 7), 1, 4, 12, 7, 64, 64}});
    std::vector<FamilySlot> settings = slots;
    for (int index : {kDrawTool, kPanicTool, kCopyMenu, kMidiLearnMenu, kControllerMap + 5, 2, 3, 18155, -1, kCount})
        settings.push_back({index, -1, 0, 0, 0, 1.0, 0});
    settings.push_back({PerStep(kStepLength, 0, 0, 0), -1, 0, 0, 0, std::nan(""), 0});
    settings.push_back({PerStep(kStepLength, 0, 0, 0), 0, 0, lane::kLength, 0, 1e9, 8});
    for (const FamilySlot& set : settings) {
        EngineHarness h;
        std::vector<double> before;
        for (const FamilySlot& s : slots) before.push_back(Read(h, s));
        h.Param(set.index, set.value);
        for (size_t i = 0; i < slots.size(); ++i) {
            const FamilySlot& s = slots[i];
            const bool same = s.area == set.area && s.pattern == set.pattern && s.lane == set.lane &&
                              s.step == set.step && s.isSwitch == set.isSwitch;
            EXPECT_EQ(Read(h, s), same ? set.stored : before[i]) << "slot " << set.index << " read at " << s.index;
        }
    }
}

TEST(ParameterReceiver, PerAreaSceneAndGlobalFamiliesReachTheirObject) {
    EngineHarness h;
    h.Apply({{kMidiInChannel + 2, 15}, {kMidiOutChannel + 1, 0}, {kArpOnNoteCount + 3, 3}, {kHoldSync + 1, 0},
             {kKeyAreaStartNote + 1, 10}, {kKeyAreaEndNote + 1, 20}, {kSceneStepLength + 16 * 2 + 5, 7},
             {kSceneStepPattern + 16 * 2 + 5, 11}, {kSceneStepRepeat + 16 * 2 + 5, 3}, {kScale, 2}, {kScaleKey, 3},
             {kChordMemorySelection, 6}, {kDisableControlZone, 1}, {kStartNotesImmediately, 1}});
    PatternEngine &one = h.Area(1), &two = h.Area(2), &three = h.Area(3);
    const auto& scene = two.GetSceneStep(5);
    // Hold sync 0 is "Next": every step; scale 0 is no scale, so the table index is one less.
    EXPECT_EQ((std::vector<int>{two.MidiInChannel(), one.MidiOutChannel(), three.ArpOnNoteCount(), one.HoldSync(),
                                one.KeyLow(), one.KeyHigh(), scene.length, scene.pattern, scene.repeat,
                                three.Scale().ScaleIndex(), one.Scale().Key(), h.Context().chordMemory->Selected(),
                                h.Context().controlZone->Enabled(), h.Context().startNotesImmediately}),
              (std::vector<int>{16, 1, 4, 1, 22, 33, 8, 11, 3, 1, 3, 6, 0, 1}));
}

}  // namespace
}  // namespace sorel::test
