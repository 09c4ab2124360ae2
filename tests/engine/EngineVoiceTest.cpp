// How each note sounds: velocity modes, accent, volume, chord memory and the
// area's output channel.
#include <gtest/gtest.h>

#include "engine/ChordMemoryBank.h"
#include "engine/EngineHarness.h"

namespace sorel::test {
namespace {

// The velocity modes, then accent and volume added to the velocity and clamped.
TEST(EngineVoice, VelocityModesAccentAndVolume) {
    const struct { const char* what; Settings settings; std::vector<int> expected; } cases[] = {
        {"Max", {{kVelocityMode, 0}}, {127, 127, 127}},
        {"Note", {{kVelocityMode, 1}}, {40, 80, 120}},
        // First: the latest key of the highest octave block; Last: of the lowest block.
        {"First", {{kVelocityMode, 2}}, {120, 120, 120}},
        {"Last", {{kVelocityMode, 3}}, {40, 40, 40}},
        {"Average", {{kVelocityMode, 4}}, {80, 80, 80}},
        {"accent", {{PerStep(kStepAccent, 0, 0, 0), 50}, {PerStep(kStepAccent, 0, 0, 1), -100},
                    {PerStep(kStepAccent, 0, 0, 2), 100}}, {40 + 63, 0, 127}},
        {"volume", {{kAreaVolume, -0.25}}, {8, 48, 88}},  // 127 * -0.25 = -31.75, truncated after adding
    };
    for (const auto& c : cases)  // an octave block below the other two keys
        EXPECT_EQ(Column(NoteOnsOfHeldKeys(c.settings, {kC3 - 12, kE3, kG3}, 3), &MidiOut::velocity), c.expected) << c.what;
}

TEST(EngineVoice, ChordMemoryStepPlaysTheSlotOnTheLowestKey) {
    EngineHarness h;
    for (int note : {12, 16, 19}) h.Context().chordMemory->ToggleNote(2, note, true);
    h.Apply({{PerStep(kStepSource, 0, 0, 0), 3}, {PerStep(kStepChord, 0, 0, 0), 224}});  // slot 3, three notes at once
    h.Chord(1, {kE3, kG3}, 0, 100);
    h.Run(100);
    EXPECT_EQ(Column(h.NoteOns(), &MidiOut::note), (std::vector<int>{kE3, kE3 + 4, kE3 + 7}));
}

TEST(EngineVoice, OutputChannelAndNoteOffsFollowTheirNoteOns) {
    EngineHarness h;
    h.Param(kMidiOutChannel, 4);  // channel 5
    h.Param(kGate, 100);          // notes overlap the next step
    h.NoteOn(1, kC3, 100, 0);
    h.At(kStep + 100, [&] { h.Param(kMidiOutChannel, 8); });
    h.NoteOff(1, kC3, kStep * 3);
    h.Run(kStep * 4);
    auto channels = Column(h.NoteOns(), &MidiOut::channel);
    channels.resize(3);
    EXPECT_EQ(channels, (std::vector<int>{5, 5, 9}));
    // The notes of channel 5 end there, before the key goes up; every note ends.
    for (const MidiOut& off : h.NoteOffs()) EXPECT_TRUE(off.channel != 5 || off.time < kStep * 3) << off.time;
    EXPECT_TRUE(h.Silent());
}

}  // namespace
}  // namespace sorel::test
