// What each note sounds like: velocity modes, accent, volume, transposition
// onto the scale, chord memory and the area's output channel.
#include <gtest/gtest.h>

#include <set>

#include "engine/ChordMemoryBank.h"
#include "engine/EngineHarness.h"
#include "engine/ParameterIndex.h"
#include "engine/PatternEngine.h"

namespace sorel::test {
namespace {

using namespace param;
constexpr int kC3 = 48, kE3 = 52, kG3 = 55;

std::vector<int> Velocities(const std::vector<std::pair<int, double>>& settings) {
    EngineHarness h;
    for (const auto& [index, value] : settings) h.Param(index, value);
    h.NoteOn(1, kC3 - 12, 40, 0);  // an octave block below the other two
    h.NoteOn(1, kE3, 80, 0);
    h.NoteOn(1, kG3, 120, 0);
    h.Run(6000 * 3 - 10);
    std::vector<int> v;
    for (const auto& m : h.NoteOns()) v.push_back(m.velocity);
    return v;
}

// The velocity modes, then accent and volume added to the velocity and clamped.
TEST(EngineVoice, VelocityModesAccentAndVolume) {
    const struct { const char* what; std::vector<std::pair<int, double>> settings; std::vector<int> expected; } cases[] = {
        {"Max", {{kVelocityMode, 0}}, {127, 127, 127}},
        {"Note", {{kVelocityMode, 1}}, {40, 80, 120}},
        // First: the latest key of the highest octave block; Last: of the lowest block.
        {"First", {{kVelocityMode, 2}}, {120, 120, 120}},
        {"Last", {{kVelocityMode, 3}}, {40, 40, 40}},
        {"Average", {{kVelocityMode, 4}}, {80, 80, 80}},
        {"accent", {{PerStep(kStepAccent, 0, 0, 0), 50}, {PerStep(kStepAccent, 0, 0, 1), -100},
                    {PerStep(kStepAccent, 0, 0, 2), 100}}, {40 + 63, 1, 127}},
        {"volume", {{kAreaVolume, -0.25}}, {8, 48, 88}},  // 127 * -0.25 = -31.75, truncated after adding
    };
    for (const auto& c : cases) EXPECT_EQ(Velocities(c.settings), c.expected) << c.what;
}

TEST(EngineVoice, TranspositionByScaleDegreesOrSemitones) {
    auto notes = [](bool semitones, int transpose) {
        EngineHarness h;
        h.Param(kScale, 1);  // Major, key C
        h.Param(kTransposeAsSemitones, semitones ? 1 : 0);
        h.Param(PerStep(kStepTranspose, 0, 0, 0), transpose);
        h.NoteOn(1, kC3 + 1, 100, 0);  // C#, not in the scale
        h.NoteOn(1, kE3, 100, 1);
        h.Run(6000 * 2 - 10);
        return h.NoteNumbers(h.NoteOns());
    };
    // One degree up from C# (not in the scale) lands on the second tone above: E.
    EXPECT_EQ(notes(false, 1).front(), kE3);
    // One semitone up from C# is D, which is in the scale.
    EXPECT_EQ(notes(true, 1).front(), kC3 + 2);
    // No transposition still puts the note on the scale (C# -> D).
    EXPECT_EQ(notes(false, 0).front(), kC3 + 2);

    // The pattern's transpose adds to the step's.
    EngineHarness p;
    p.Param(PerStep(kStepTranspose, 0, 0, 0), 3);
    p.Param(kTranspose, 4);
    p.NoteOn(1, kC3, 100, 0);
    p.Run(100);
    EXPECT_EQ(p.NoteOns().at(0).note, kC3 + 7);
}

TEST(EngineVoice, ChordMemoryStepPlaysTheSlotOnTheLowestKey) {
    EngineHarness h;
    ChordMemoryBank& bank = *h.Context().chordMemory;
    bank.ToggleNote(2, 12, true);
    bank.ToggleNote(2, 16, true);
    bank.ToggleNote(2, 19, true);
    h.Param(PerStep(kStepSource, 0, 0, 0), 3);   // slot 3
    h.Param(PerStep(kStepChord, 0, 0, 0), 224);  // three notes at once
    h.NoteOn(1, kE3, 100, 0);
    h.Run(100);
    EXPECT_EQ((std::set<int>{h.NoteOns().at(0).note, h.NoteOns().at(1).note, h.NoteOns().at(2).note}),
              (std::set<int>{kE3, kE3 + 4, kE3 + 7}));
}

TEST(EngineVoice, OutputChannelAndNoteOffsFollowTheirNoteOns) {
    EngineHarness h;
    h.Param(kMidiOutChannel, 4);  // channel 5
    h.Param(kGate, 100);          // notes overlap the next step
    h.NoteOn(1, kC3, 100, 0);
    h.At(6000 + 100, [&] { h.Param(kMidiOutChannel, 8); });
    h.NoteOff(1, kC3, 6000 * 3);
    h.Run(6000 * 4);
    auto ons = h.NoteOns();
    ASSERT_GE(ons.size(), 3u);
    EXPECT_EQ(ons[0].channel, 5);
    EXPECT_EQ(ons[1].channel, 5);
    EXPECT_EQ(ons[2].channel, 9);
    // Both notes of channel 5 end there, at their own time, before the key goes up.
    std::vector<std::int64_t> endsOnFive;
    for (const MidiOut& off : h.NoteOffs())
        if (off.channel == 5) endsOnFive.push_back(off.time);
    EXPECT_EQ(endsOnFive.size(), 2u);
    EXPECT_LT(endsOnFive.back(), 6000 * 3);
    EXPECT_TRUE(h.Checker().Sounding().empty());
}

}  // namespace
}  // namespace sorel::test
