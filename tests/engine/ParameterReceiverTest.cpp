// Every family of the parameter table reaches the key area, pattern, lane and
// step its index names; editor indices and bad values reach nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

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
    using Reader = std::function<int(EngineHarness&)>;
    const struct { int index; double value; Reader read; int expected; } cases[] = {
        {kMidiInChannel + 2, 15, [](EngineHarness& h) { return h.Area(2).MidiInChannel(); }, 16},
        {kMidiOutChannel + 1, 0, [](EngineHarness& h) { return h.Area(1).MidiOutChannel(); }, 1},
        {kArpOnNoteCount + 3, 3, [](EngineHarness& h) { return h.Area(3).ArpOnNoteCount(); }, 4},
        {kHoldSync + 1, 0, [](EngineHarness& h) { return h.Area(1).HoldSync(); }, 1},  // "Next": every step
        {kKeyAreaStartNote + 1, 10, [](EngineHarness& h) { return h.Area(1).KeyLow(); }, 22},
        {kKeyAreaEndNote + 1, 20, [](EngineHarness& h) { return h.Area(1).KeyHigh(); }, 33},
        {kSceneStepLength + 16 * 2 + 5, 7, [](EngineHarness& h) { return h.Area(2).GetSceneStep(5).length; }, 8},
        {kSceneStepPattern + 16 * 2 + 5, 11, [](EngineHarness& h) { return h.Area(2).GetSceneStep(5).pattern; }, 11},
        {kSceneStepRepeat + 16 * 2 + 5, 3, [](EngineHarness& h) { return h.Area(2).GetSceneStep(5).repeat; }, 3},
        {kScale, 2, [](EngineHarness& h) { return h.Area(3).Scale().ScaleIndex(); }, 1},
        {kScaleKey, 3, [](EngineHarness& h) { return h.Area(1).Scale().Key(); }, 3},
        {kChordMemorySelection, 6, [](EngineHarness& h) { return h.Context().chordMemory->Selected(); }, 6},
        {kDisableControlZone, 1, [](EngineHarness& h) { return int(h.Context().controlZone->Enabled()); }, 0},
        {kStartNotesImmediately, 1, [](EngineHarness& h) { return h.Context().startNotesImmediately; }, 1},
    };
    for (const auto& c : cases) {
        EngineHarness h;
        h.Param(c.index, c.value);
        EXPECT_EQ(c.read(h), c.expected) << c.index;
    }
}

}  // namespace
}  // namespace sorel::test
