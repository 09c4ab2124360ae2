// The step lanes: loops that drift against the pattern, DIV, SHIFT, swing,
// gate, LENGTH and the pattern's step count.
#include <gtest/gtest.h>

#include "engine/EngineHarness.h"
#include "engine/ParameterIndex.h"
#include "engine/PatternEngine.h"
#include "engine/PatternStepper.h"
#include "engine/ScaleState.h"

namespace sorel::test {
namespace {

using namespace param;
constexpr int kC3 = 48;

// One held key, `steps` sixteenths; the setup shapes pattern 0 of area 0.
EngineHarness& PlayOneKey(EngineHarness& h, int steps, int key = kC3) {
    h.NoteOn(1, key, 100, 0);
    h.NoteOff(1, key, 6000 * steps - 1);
    h.Run(6000 * steps + 6000);
    return h;
}

TEST(EngineLane, LaneLoopsDriftAgainstThePatternAndWrapWithIt) {
    EngineHarness h;
    h.Param(kScale, 0);  // plain semitones
    h.Param(kPatternSteps, 3);  // four steps
    for (int s = 0; s < 4; ++s) h.Param(PerStep(kStepTranspose, 0, 0, s), s);
    h.Area(0).Stepper().SetLaneLoop(0, lane::kTranspose, 0, 3);  // the lane loops over steps 0..2
    PlayOneKey(h, 8);
    auto notes = h.NoteNumbers(h.NoteOns());
    EXPECT_EQ(notes, (std::vector<int>{kC3, kC3 + 1, kC3 + 2, kC3, kC3 + 1, kC3 + 2, kC3, kC3 + 1}));
    std::vector<int> steps;
    for (const auto& m : h.NoteOns()) steps.push_back(m.step);
    EXPECT_EQ(steps, (std::vector<int>{0, 1, 2, 3, 0, 1, 2, 3}));

    // A lane whose loop reaches past the pattern's end wraps with the pattern.
    EngineHarness w;
    w.Param(kScale, 0);
    w.Param(kPatternSteps, 2);  // three steps
    for (int s = 0; s < 6; ++s) w.Param(PerStep(kStepTranspose, 0, 0, s), s);
    PlayOneKey(w, 6);
    EXPECT_EQ(w.NoteNumbers(w.NoteOns()), (std::vector<int>{kC3, kC3 + 1, kC3 + 2, kC3, kC3 + 1, kC3 + 2}));
}

TEST(EngineLane, LaneDirectionsAndResetWithPattern) {
    EngineHarness h;
    h.Param(kScale, 0);
    for (int s = 0; s < 4; ++s) h.Param(PerStep(kStepTranspose, 0, 0, s), s);
    h.Area(0).Stepper().SetLaneLoop(0, lane::kTranspose, 0, 4);
    h.Param(PerPatternLane(kDirection, 0, 0, lane::kTranspose), 2);  // Up Alt
    PlayOneKey(h, 9);
    auto notes = h.NoteNumbers(h.NoteOns());
    std::vector<int> offsets;
    for (int n : notes) offsets.push_back(n - kC3);
    EXPECT_EQ(offsets, (std::vector<int>{0, 1, 2, 3, 2, 1, 0, 1, 2}));

    // "Reset nl on pattern reset": a 3-step lane restarts whenever the 4-step pattern does.
    EngineHarness r;
    r.Param(kScale, 0);
    r.Param(kPatternSteps, 3);
    for (int s = 0; s < 4; ++s) r.Param(PerStep(kStepTranspose, 0, 0, s), s);
    r.Area(0).Stepper().SetLaneLoop(0, lane::kTranspose, 0, 3);
    r.Param(PerPatternLane(kResetLaneOnPatternReset, 0, 0, lane::kTranspose), 1);
    PlayOneKey(r, 8);
    offsets.clear();
    for (int n : r.NoteNumbers(r.NoteOns())) offsets.push_back(n - kC3);
    EXPECT_EQ(offsets, (std::vector<int>{0, 1, 2, 0, 0, 1, 2, 0}));
}

TEST(EngineLane, DivPlaysEqualPartsOfTheStep) {
    EngineHarness h;
    h.Param(kRate, 9);                         // 1/8: 12000 samples
    h.Param(kGate, 0);                         // pattern gate 0 -> -0.01 combined
    h.Param(PerStep(kStepDiv, 0, 0, 0), 3);    // four notes
    h.NoteOn(1, kC3, 100, 0);
    h.NoteOff(1, kC3, 11999);
    h.Run(24000);
    auto ons = h.NoteOns();
    ASSERT_EQ(ons.size(), 4u);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(ons[static_cast<std::size_t>(i)].time, i * 3000);
    for (const auto& m : ons) EXPECT_EQ(m.note, kC3);  // the parts repeat the first part's note
    auto offs = h.NoteOffs();
    ASSERT_EQ(offs.size(), 4u);
    EXPECT_EQ(offs[0].time, 2970);  // a part lasts d * (1 - 0.01)
    EXPECT_TRUE(h.Checker().Sounding().empty());
}

TEST(EngineLane, ShiftMovesNotesAndDisablesSwingOnlyForWholePercent) {
    auto firstTimes = [](double shift1, double swing) {
        EngineHarness h;
        h.Param(kSwing, swing);
        h.Param(PerStep(kStepShift, 0, 0, 1), shift1);
        PlayOneKey(h, 4);
        return h.Times(h.NoteOns());
    };
    // Swing 0.5 moves odd steps by a quarter step (1500 samples).
    EXPECT_EQ(firstTimes(0.0, 0.5), (std::vector<std::int64_t>{0, 7500, 12000, 19500}));
    // SHIFT -50 on step 1: half a step earlier, and swing does not apply to it.
    EXPECT_EQ(firstTimes(-50.0, 0.5), (std::vector<std::int64_t>{0, 3000, 12000, 19500}));
    // A SHIFT of 0.7 moves nothing and leaves swing in force; -1.5 acts as -1.
    EXPECT_EQ(firstTimes(0.7, 0.5), (std::vector<std::int64_t>{0, 7500, 12000, 19500}));
    EXPECT_EQ(firstTimes(-1.5, 0.5), (std::vector<std::int64_t>{0, 5940, 12000, 19500}));
}

TEST(EngineLane, GateShortensAndStretchesNotes) {
    auto firstLength = [](double patternGate, double stepGate) {
        EngineHarness h;
        h.Param(kGate, patternGate);
        h.Param(PerStep(kStepGate, 0, 0, 0), stepGate);
        PlayOneKey(h, 3);
        auto ons = h.NoteOns();
        auto offs = h.NoteOffs();
        return offs.at(0).time - ons.at(0).time;
    };
    EXPECT_EQ(firstLength(-10, 0), 5400);    // default gate: 90 %
    EXPECT_EQ(firstLength(-100, 0), 600);    // -1.0 becomes -0.9
    EXPECT_EQ(firstLength(-100, -100), 300); // clamped at -0.95
    EXPECT_EQ(firstLength(40, 0), 7200);     // positive gates are halved: +20 %
}

TEST(EngineLane, ResetOnNewNoteRestartsThePatternAtTheNextStep) {
    EngineHarness h;
    h.Param(kResetOnNewNote, 1);
    h.Param(PerPatternLane(kResetLaneOnPatternReset, 0, 0, lane::kTranspose), 1);
    h.Param(PerPatternLane(kResetLaneOnPatternReset, 0, 0, lane::kOrder), 1);
    for (int s = 0; s < 8; ++s) h.Param(PerStep(kStepTranspose, 0, 0, s), s);
    h.NoteOn(1, kC3, 100, 0);
    h.NoteOn(1, kC3 + 24, 100, 6000 * 3 + 100);  // a new key during step 3 (outside the area)
    h.NoteOn(1, kC3 + 2, 100, 6000 * 3 + 200);   // a new key of the area
    h.Run(6000 * 6 - 10);
    std::vector<int> steps;
    for (const auto& m : h.NoteOns(0)) steps.push_back(m.step);
    EXPECT_EQ(steps, (std::vector<int>{0, 1, 2, 3, 0, 1}));
    // The transpose lane restarted with the pattern: step 4 plays transpose 0
    // on the first note of the list (the play order starts again too).
    auto notes = h.NoteNumbers(h.NoteOns(0));
    EXPECT_EQ(notes[4], kC3);
    EXPECT_EQ(notes[5], kC3 + 2 + 1);
}

TEST(EngineLane, LaneSwitchesTurnStepValuesOffUnlessOnlyOrderCounts) {
    auto transposes = [](bool onlyOrder) {
        EngineHarness h;
        h.Param(kUseOnlyOrderOnOff, onlyOrder ? 1 : 0);
        h.Param(PerStep(kStepTranspose, 0, 0, 0), 5);
        h.Param(PerStep(kStepTranspose, 0, 0, 1), 7);
        h.Param(LaneSwitch(0, 0, lane::kTranspose, 1), 0);  // step 1's transpose switched off
        h.Param(LaneSwitch(0, 0, lane::kOrder, 2), 0);      // step 2 muted
        h.NoteOn(1, kC3, 100, 0);
        h.Run(6000 * 4 - 10);
        std::vector<int> r;
        for (int n : h.NoteNumbers(h.NoteOns())) r.push_back(n - kC3);
        return r;
    };
    EXPECT_EQ(transposes(false), (std::vector<int>{5, 0, 0}));
    EXPECT_EQ(transposes(true), (std::vector<int>{5, 7, 0}));
}

}  // namespace
}  // namespace sorel::test
