// Every family of the parameter table reaches the key area, pattern, lane and
// step its index names.
#include <gtest/gtest.h>

#include "engine/ChordMemoryBank.h"
#include "engine/ControlZone.h"
#include "engine/EngineHarness.h"
#include "engine/ParameterIndex.h"
#include "engine/PatternEngine.h"
#include "engine/PatternStepper.h"
#include "engine/ScaleState.h"

namespace sorel::test {
namespace {

using namespace param;

TEST(ParameterReceiver, PerStepFamiliesDecodeAreaPatternAndStep) {
    EngineHarness h;
    struct Case {
        int first;
        int lane;
        double value;
        double stored;
    };
    for (const Case& c : {Case{kStepLength, lane::kLength, 5, 5}, Case{kStepGate, lane::kGate, -30, -30},
                          Case{kStepAccent, lane::kAccent, 44, 44}, Case{kStepTranspose, lane::kTranspose, -7, -7},
                          Case{kStepDiv, lane::kDivide, 3, 4}, Case{kStepShift, lane::kShift, 12.5, 12.5},
                          Case{kStepNoteList, lane::kOrder, 6, 6}, Case{kStepChord, lane::kChord, 99, 99},
                          Case{kStepSource, lane::kChordMemory, 9, 9}}) {
        h.Param(PerStep(c.first, 2, 7, 19), c.value);
        EXPECT_EQ(h.Area(2).Stepper().StepValue(7, c.lane, 19), c.stored) << c.first;
        EXPECT_NE(h.Area(2).Stepper().StepValue(7, c.lane, 18), c.stored) << c.first;
        EXPECT_NE(h.Area(1).Stepper().StepValue(7, c.lane, 19), c.stored) << c.first;
    }
}

TEST(ParameterReceiver, LaneSwitchFamiliesDoNotAlias) {
    EngineHarness h;
    // 30613: area 0, pattern 0, lane 0, step 0.
    h.Param(30613, 0);
    EXPECT_FALSE(h.Area(0).Stepper().LaneSwitch(0, 0, 0));
    // 30901 is lane 0 of pattern 1 (not the controller lane of pattern 0).
    h.Param(30901, 0);
    EXPECT_FALSE(h.Area(0).Stepper().LaneSwitch(1, 0, 0));
    EXPECT_TRUE(h.Area(0).Stepper().LaneSwitch(0, 9, 0));
    // The controller lanes have their own family, whose 1 switches a step's controller off.
    h.Param(LaneSwitch(0, 0, 9, 0), 1);
    EXPECT_FALSE(h.Area(0).Stepper().LaneSwitch(0, 9, 0));
    EXPECT_FALSE(h.Area(0).Stepper().LaneSwitch(1, 0, 0));
    h.Param(kCcLaneSwitchLast, 1);
    EXPECT_FALSE(h.Area(3).Stepper().LaneSwitch(11, 16, 31));
    h.Param(kCcLaneSwitchLast, 0);
    EXPECT_TRUE(h.Area(3).Stepper().LaneSwitch(11, 16, 31));
    h.Param(kLaneSwitchLast, 0);
    EXPECT_FALSE(h.Area(3).Stepper().LaneSwitch(11, 8, 31));
    EXPECT_TRUE(h.Area(3).Stepper().LaneSwitch(11, 7, 31));
    // The ORDER on/off family of the pattern view.
    h.Param(PerStep(kStepOnOff, 1, 2, 3), 0);
    EXPECT_FALSE(h.Area(1).Stepper().LaneSwitch(2, lane::kOrder, 3));
}

TEST(ParameterReceiver, ControllerLaneValues) {
    EngineHarness h;
    h.Param(18173, 11);
    EXPECT_EQ(h.Area(0).Stepper().StepValue(0, 9, 0), 11);
    h.Param(30460, 127);
    EXPECT_EQ(h.Area(3).Stepper().StepValue(11, 16, 31), 127);
    h.Param(CcLaneValue(1, 4, 12, 7), 64);
    EXPECT_EQ(h.Area(1).Stepper().StepValue(4, 12, 7), 64);
}

TEST(ParameterReceiver, PerPatternAndPerLaneFamilies) {
    EngineHarness h;
    const int p = PatternIndex(3, 10);
    h.Param(kRate + p, 9);
    EXPECT_EQ(h.Area(3).Stepper().PatternAt(10).rateBeats, 0.5);
    h.Param(kGate + p, 60);
    EXPECT_DOUBLE_EQ(h.Area(3).Stepper().PatternAt(10).gate, 0.3);
    h.Param(kGate + p, -100);
    EXPECT_DOUBLE_EQ(h.Area(3).Stepper().PatternAt(10).gate, -0.9);
    h.Param(kPatternSteps + p, 5);
    EXPECT_EQ(h.Area(3).Stepper().PatternAt(10).steps, 6);
    h.Param(kSortOrder + p, 5);
    EXPECT_EQ(h.Area(3).Stepper().PatternAt(10).sortOrder, 1);
    EXPECT_EQ(h.Area(3).Stepper().PatternAt(10).noteListDirection, 3);
    h.Param(kRateFreeToggle + p, 1);
    h.Param(kRateFreeMode + p, 7.5);
    EXPECT_TRUE(h.Area(3).Stepper().PatternAt(10).freeMode);
    EXPECT_EQ(h.Area(3).Stepper().PatternAt(10).freeRate, 7.5);
    h.Param(PerPatternLane(kDirection, 2, 3, 14), 3);
    EXPECT_EQ(h.Area(2).Stepper().Lane(3, 14).Direction(), 3);
    h.Param(PerPatternLane(kResetLaneOnPatternReset, 1, 11, 16), 1);
    EXPECT_TRUE(h.Area(1).Stepper().Lane(11, 16).resetWithPattern);
    EXPECT_FALSE(h.Area(1).Stepper().Lane(11, 15).resetWithPattern);
}

TEST(ParameterReceiver, PerAreaSceneAndGlobalFamilies) {
    EngineHarness h;
    h.Param(kMidiInChannel + 2, 15);
    EXPECT_EQ(h.Area(2).MidiInChannel(), 16);
    h.Param(kMidiOutChannel + 1, 0);
    EXPECT_EQ(h.Area(1).MidiOutChannel(), 1);
    h.Param(kArpOnNoteCount + 3, 3);
    EXPECT_EQ(h.Area(3).ArpOnNoteCount(), 4);
    h.Param(kHoldSync + 1, 0);
    EXPECT_EQ(h.Area(1).HoldSync(), 1);  // "Next": every step
    h.Param(kKeyAreaStartNote + 1, 10);
    h.Param(kKeyAreaEndNote + 1, 20);
    EXPECT_EQ(h.Area(1).KeyLow(), 22);
    EXPECT_EQ(h.Area(1).KeyHigh(), 33);
    h.Param(kSceneStepLength + 16 * 2 + 5, 7);
    h.Param(kSceneStepPattern + 16 * 2 + 5, 11);
    h.Param(kSceneStepRepeat + 16 * 2 + 5, 3);
    EXPECT_EQ(h.Area(2).GetSceneStep(5).length, 8);
    EXPECT_EQ(h.Area(2).GetSceneStep(5).pattern, 11);
    EXPECT_EQ(h.Area(2).GetSceneStep(5).repeat, 3);
    h.Param(kScale, 2);
    h.Param(kScaleKey, 3);
    for (int a = 0; a < 4; ++a) {
        EXPECT_EQ(h.Area(a).Scale().ScaleIndex(), 1);
        EXPECT_EQ(h.Area(a).Scale().Key(), 3);
    }
    h.Param(kChordMemorySelection, 6);
    EXPECT_EQ(h.Context().chordMemory->Selected(), 6);
    h.Param(kDisableControlZone, 1);
    EXPECT_FALSE(h.Context().controlZone->Enabled());
    h.Param(kStartNotesImmediately, 1);
    EXPECT_EQ(h.Context().startNotesImmediately, 1);
}

TEST(ParameterReceiver, EditorIndicesAndBadValuesReachNoEngineObject) {
    EngineHarness h;
    const auto before = h.Area(0).Stepper().StepValue(0, lane::kLength, 0);
    for (int index : {kDrawTool, kPanicTool, kCopyMenu, kMidiLearnMenu, kControllerMap + 5, 2, 3, 18155, 44693 - 256})
        h.Param(index, 1.0);
    h.Param(-1, 1.0);
    h.Param(kCount, 1.0);
    h.Param(PerStep(kStepLength, 0, 0, 0), std::nan(""));
    EXPECT_EQ(h.Area(0).Stepper().StepValue(0, lane::kLength, 0), before);
    h.Param(PerStep(kStepLength, 0, 0, 0), 1e9);
    EXPECT_EQ(h.Area(0).Stepper().StepValue(0, lane::kLength, 0), 8);
}

}  // namespace
}  // namespace sorel::test

namespace sorel::test {
namespace {

TEST(ParameterReceiver, ResetEngineRestoresAFreshEngineAndEndsNotes) {
    EngineHarness h;
    h.Param(kRate, 3);
    h.Param(PerStep(kStepLength, 0, 0, 4), 6);
    h.Param(kSceneStepPattern + 3, 9);
    h.Param(kKeyAreaOnOff + 2, 1);
    h.Area(0).Stepper().SetLaneLoop(0, lane::kGate, 5, 9);
    h.NoteOn(1, 48, 100, 0);
    h.Run(3000);
    ASSERT_EQ(h.NoteOns().size(), 1u);
    ParameterReceiver receiver(&h.Context());
    h.At(h.Now(), [&] { receiver.ResetEngine(); });
    h.Run(512);
    EXPECT_TRUE(h.HangingNotes().empty());
    EXPECT_EQ(h.Area(0).Stepper().PatternAt(0).rateBeats, 0.25);
    EXPECT_EQ(h.Area(0).Stepper().StepValue(0, lane::kLength, 4), 1.0);
    EXPECT_EQ(h.Area(0).GetSceneStep(3).pattern, 0);
    EXPECT_EQ(h.Area(0).Stepper().LaneLoopStart(0, lane::kGate), 0);
    EXPECT_EQ(h.Area(0).Stepper().LaneLoopEnd(0, lane::kGate), 32);
    EXPECT_TRUE(h.Area(0).AreaOn());
    EXPECT_FALSE(h.Area(2).AreaOn());
    EXPECT_EQ(h.Area(0).KeyLow(), 36);
}

}  // namespace
}  // namespace sorel::test
