// The step lanes: loops that drift against the pattern, directions, lane
// switches, DIV, SHIFT, swing, gate, LENGTH and the pattern's step count.
#include <gtest/gtest.h>

#include "engine/EngineHarness.h"

namespace sorel::test {
namespace {

// One held key over `steps` sixteenths: the note-ons.
std::vector<MidiOut> HeldKey(EngineHarness& h, int steps) {
    h.Chord(1, {kC3}, 0, kStep * steps - 1);
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
        {"reset with the pattern",
         {{kPatternSteps, 3}, {PerPatternLane(kResetLaneOnPatternReset, 0, 0, lane::kTranspose), 1}}, {0, 1, 2, 3}, 0, 3,
         {0, 1, 2, 0, 0, 1, 2, 0}},
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
        for (int s = 0; s < int(c.transposes.size()); ++s) h.Param(PerStep(kStepTranspose, 0, 0, s), c.transposes[s]);
        h.Stepper().SetLaneLoop(0, lane::kTranspose, c.loopStart, c.loopEnd);
        std::vector<int> offsets;
        for (const MidiOut& m : HeldKey(h, c.steps > 0 ? c.steps : int(c.expected.size())))
            offsets.push_back(m.note - kC3);
        EXPECT_EQ(offsets, c.expected) << c.what;
    }
}

// One key held for four sixteenths: when its notes start and how long the
// first lasts, under DIV, swing, SHIFT and gate.
TEST(EngineLane, DivSwingShiftAndGatePlaceTheNotes) {
    const struct {
        const char* what;
        Settings settings;
        std::vector<std::int64_t> times;  // the first note-ons
        std::int64_t firstLength;
    } cases[] = {
        // DIV 4 in a 1/8 step with gate 0 (-0.01 combined): parts of d * (1 - 0.01).
        {"div", {{kRate, 9}, {kGate, 0}, {PerStep(kStepDiv, 0, 0, 0), 3}}, {0, 3000, 6000, 9000}, 2970},
        // Swing 0.5 moves odd steps by a quarter step (1500 samples).
        {"swing", {{kSwing, 0.5}}, {0, 7500, 12000, 19500}, 5400},
        // SHIFT -50 on step 1: half a step earlier, and swing does not apply to it.
        // Step 1 a degree higher where it would cut the first note short.
        {"shift", {{kSwing, 0.5}, {PerStep(kStepShift, 0, 0, 1), -50.0}, {PerStep(kStepTranspose, 0, 0, 1), 1}},
         {0, 3000, 12000, 19500}, 5400},
        // A SHIFT of 0.7 moves nothing and leaves swing in force; -1.5 acts as -1.
        {"shift under 1", {{kSwing, 0.5}, {PerStep(kStepShift, 0, 0, 1), 0.7}}, {0, 7500, 12000, 19500}, 5400},
        {"shift -1.5", {{kSwing, 0.5}, {PerStep(kStepShift, 0, 0, 1), -1.5}}, {0, 5940, 12000, 19500}, 5400},
        {"gate -1.0 becomes -0.9", {{kGate, -100}}, {0}, 600},
        {"gates clamped at -0.95", {{kGate, -100}, {PerStep(kStepGate, 0, 0, 0), -100}}, {0}, 300},
        {"positive gates are halved: +20 %", {{kGate, 40}, {PerStep(kStepTranspose, 0, 0, 1), 1}}, {0}, 7200},
    };
    for (const auto& c : cases) {
        EngineHarness h;
        h.Apply(c.settings);
        auto times = Column(HeldKey(h, 4), &MidiOut::time);
        times.resize(std::min(times.size(), c.times.size()));
        EXPECT_EQ(times, c.times) << c.what;
        EXPECT_EQ(h.NoteOffs().at(0).time - h.NoteOns().at(0).time, c.firstLength) << c.what;
        EXPECT_TRUE(h.Silent()) << c.what;
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
