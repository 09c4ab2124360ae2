// The step lanes: loops that drift against the pattern, directions, lane
// switches, DIV, SHIFT, swing, gate, LENGTH and the pattern's step count.
#include <gtest/gtest.h>

#include "engine/EngineHarness.h"

namespace sorel::test {
namespace {

// One held key over `steps` sixteenths: the note-ons.
std::vector<MidiOut> HeldKey(EngineHarness& h, int steps) {
    h.NoteOn(1, kC3, 100, 0);
    h.NoteOff(1, kC3, kStep * steps - 1);
    h.Run(kStep * steps + kStep);
    return h.NoteOns();
}

// Step k transposes by `transposes[k]` semitones; the transpose lane loops
// over [loopStart, loopEnd) with its own direction, against the pattern.
TEST(EngineLane, TransposeLaneLoopsDirectionsAndSwitchesPickTheStepValue) {
    const struct {
        const char* what;
        Settings settings;
        std::vector<int> transposes;
        int loopStart, loopEnd;
        std::vector<int> expected;  // semitones above the key
        int steps = 0;              // 0: one per expected note
    } cases[] = {
        {"a loop drifts against the pattern", {{kPatternSteps, 3}}, {0, 1, 2, 3}, 0, 3, {0, 1, 2, 0, 1, 2, 0, 1}},
        {"a loop past the pattern's end wraps with it", {{kPatternSteps, 2}}, {0, 1, 2, 3, 4, 5}, 0, 32,
         {0, 1, 2, 0, 1, 2}},
        {"Up Alt", {{PerPatternLane(kDirection, 0, 0, lane::kTranspose), 2}}, {0, 1, 2, 3}, 0, 4,
         {0, 1, 2, 3, 2, 1, 0, 1, 2}},
        {"reset with the pattern", {{kPatternSteps, 3}, {PerPatternLane(kResetLaneOnPatternReset, 0, 0, lane::kTranspose), 1}},
         {0, 1, 2, 3}, 0, 3, {0, 1, 2, 0, 0, 1, 2, 0}},
        // Step 1's transpose switched off, step 2 muted; only ORDER's switch
        // counts when "Use only ORDER on/off" is on.
        {"lane switches", {{LaneSwitch(0, 0, lane::kTranspose, 1), 0}, {LaneSwitch(0, 0, lane::kOrder, 2), 0}}, {5, 7},
         0, 32, {5, 0, 0}, 4},
        {"only ORDER's switch", {{kUseOnlyOrderOnOff, 1}, {LaneSwitch(0, 0, lane::kTranspose, 1), 0},
                                 {LaneSwitch(0, 0, lane::kOrder, 2), 0}}, {5, 7}, 0, 32, {5, 7, 0}, 4},
    };
    for (const auto& c : cases) {
        EngineHarness h;
        h.Apply({{kScale, 0}});  // plain semitones
        h.Apply(c.settings);
        for (std::size_t s = 0; s < c.transposes.size(); ++s) h.Param(PerStep(kStepTranspose, 0, 0, int(s)), c.transposes[s]);
        h.Stepper().SetLaneLoop(0, lane::kTranspose, c.loopStart, c.loopEnd);
        std::vector<int> offsets;
        for (const MidiOut& m : HeldKey(h, c.steps > 0 ? c.steps : int(c.expected.size()))) offsets.push_back(m.note - kC3);
        EXPECT_EQ(offsets, c.expected) << c.what;
    }
}

TEST(EngineLane, DivPlaysEqualPartsOfTheStep) {
    EngineHarness h;
    h.Apply({{kRate, 9}, {kGate, 0}, {PerStep(kStepDiv, 0, 0, 0), 3}});  // 1/8, gate -0.01 combined, four parts
    h.NoteOn(1, kC3, 100, 0);
    h.NoteOff(1, kC3, 11999);
    h.Run(24000);
    // The parts repeat the first part's note; each lasts d * (1 - 0.01).
    EXPECT_EQ(Column(h.NoteOns(), &MidiOut::time), (std::vector<std::int64_t>{0, 3000, 6000, 9000}));
    EXPECT_EQ(Column(h.NoteOns(), &MidiOut::note), (std::vector<int>{kC3, kC3, kC3, kC3}));
    EXPECT_EQ(h.NoteOffs().at(0).time, 2970);
    EXPECT_EQ(h.NoteOffs().size(), 4u);
    EXPECT_TRUE(h.Silent());
}

TEST(EngineLane, ShiftMovesNotesAndDisablesSwingOnlyForWholePercent) {
    auto times = [](double shift1) {
        EngineHarness h;
        h.Apply({{kSwing, 0.5}, {PerStep(kStepShift, 0, 0, 1), shift1}});
        return Column(HeldKey(h, 4), &MidiOut::time);
    };
    // Swing 0.5 moves odd steps by a quarter step (1500 samples).
    EXPECT_EQ(times(0.0), (std::vector<std::int64_t>{0, 7500, 12000, 19500}));
    // SHIFT -50 on step 1: half a step earlier, and swing does not apply to it.
    EXPECT_EQ(times(-50.0), (std::vector<std::int64_t>{0, 3000, 12000, 19500}));
    // A SHIFT of 0.7 moves nothing and leaves swing in force; -1.5 acts as -1.
    EXPECT_EQ(times(0.7), (std::vector<std::int64_t>{0, 7500, 12000, 19500}));
    EXPECT_EQ(times(-1.5), (std::vector<std::int64_t>{0, 5940, 12000, 19500}));
}

TEST(EngineLane, GateShortensAndStretchesNotes) {
    const struct { double patternGate, stepGate; std::int64_t length; } cases[] = {
        {-10, 0, 5400},    // default gate: 90 %
        {-100, 0, 600},    // -1.0 becomes -0.9
        {-100, -100, 300}, // clamped at -0.95
        {40, 0, 7200}};    // positive gates are halved: +20 %
    for (const auto& c : cases) {
        EngineHarness h;
        h.Apply({{kGate, c.patternGate}, {PerStep(kStepGate, 0, 0, 0), c.stepGate}});
        const auto ons = HeldKey(h, 3);
        EXPECT_EQ(h.NoteOffs().at(0).time - ons.at(0).time, c.length) << c.patternGate << " " << c.stepGate;
    }
}

TEST(EngineLane, ResetOnNewNoteRestartsThePatternAtTheNextStep) {
    EngineHarness h;
    h.Apply({{kResetOnNewNote, 1}, {PerPatternLane(kResetLaneOnPatternReset, 0, 0, lane::kTranspose), 1},
             {PerPatternLane(kResetLaneOnPatternReset, 0, 0, lane::kOrder), 1}});
    for (int s = 0; s < 8; ++s) h.Param(PerStep(kStepTranspose, 0, 0, s), s);
    h.NoteOn(1, kC3, 100, 0);
    h.NoteOn(1, kC3 + 24, 100, kStep * 3 + 100);  // a new key during step 3 (outside the area)
    h.NoteOn(1, kC3 + 2, 100, kStep * 3 + 200);   // a new key of the area
    h.Run(kStep * 6 - 10);
    EXPECT_EQ(Column(h.NoteOns(0), &MidiOut::step), (std::vector<int>{0, 1, 2, 3, 0, 1}));
    // The transpose lane restarted with the pattern: step 4 plays transpose 0
    // on the first note of the list (the play order starts again too).
    const auto notes = Column(h.NoteOns(0), &MidiOut::note);
    EXPECT_EQ(notes.at(4), kC3);
    EXPECT_EQ(notes.at(5), kC3 + 2 + 1);
}

}  // namespace
}  // namespace sorel::test
