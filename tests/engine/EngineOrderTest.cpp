// Which notes the arpeggio plays: sort orders, alt directions, octaves, the
// ORDER lane's picks, chord masks, the area's base note and transposition.
#include <gtest/gtest.h>

#include <set>

#include "engine/EngineHarness.h"

namespace sorel::test {
namespace {

Settings OrderLane(std::vector<int> values) {
    Settings settings = {{kSortOrder, 2}};  // as played
    for (std::size_t s = 0; s < values.size(); ++s) settings.push_back({PerStep(kStepNoteList, 0, 0, int(s)), values[s]});
    return settings;
}

TEST(EngineOrder, SortOrdersOctavesTheOrderLaneAndTranspositionPickTheNotes) {
    const int kC4 = kC3 + 12, kE4 = kE3 + 12, kG4 = kG3 + 12, kCSharp3 = kC3 + 1;
    const struct {
        const char* what;
        Settings settings;
        std::vector<int> keys;
        std::vector<int> expected;
        int steps = 0;  // 0: one per expected note
    } cases[] = {
        // Played E, G, C one sample apart (the sorts only): the first step sees only E.
        {"Lo-Hi", {{kSortOrder, 0}}, {kE3, kG3, kC3}, {kE3, kE3, kG3, kC3, kE3, kG3, kC3}},
        {"Hi-Lo", {{kSortOrder, 1}}, {kE3, kG3, kC3}, {kE3, kE3, kC3, kG3, kE3, kC3, kG3}},
        {"As played", {{kSortOrder, 2}}, {kE3, kG3, kC3}, {kE3, kG3, kC3, kE3, kG3, kC3, kE3}},
        {"Reversed", {{kSortOrder, 3}}, {kE3, kG3, kC3}, {kE3, kG3, kE3, kC3, kG3, kE3, kC3}},
        {"Alt up", {{kSortOrder, 4}}, {kC3, kE3, kG3}, {kC3, kE3, kG3, kG3, kE3, kC3, kC3, kE3, kG3, kG3, kE3, kC3}},
        {"Alt down", {{kSortOrder, 5}}, {kC3, kE3, kG3}, {kG3, kE3, kC3, kC3, kE3, kG3, kG3, kE3, kC3, kC3, kE3, kG3}},
        // With two octaves the turn at the bottom moves up an octave.
        {"Alt up, two octaves", {{kSortOrder, 4}, {kOctaves, 2}}, {kC3, kE3, kG3},
         {kC3, kE3, kG3, kG3, kE3, kC3, kC4, kE4, kG4, kG4, kE4, kC4}},
        {"three octaves", {{kOctaves, 3}}, {kC3, kE3}, {kC3, kE3, kC4, kE4, kC3 + 24, kE3 + 24}},
        {"octaves 0 acts as 1", {{kOctaves, 0}}, {kC3, kE3}, {kC3, kE3, kC3, kE3, kC3, kE3}},
        // Played G, C, E: First = G, Last = E, Highest = G, Lowest = C.
        {"first, last, highest, lowest", OrderLane({3, 4, 5, 6}), {kG3, kC3, kE3}, {kG3, kE3, kG3, kC3}},
        // Previous repeats the note the step before picked; Play moves on every step.
        {"previous", OrderLane({0, 2, 0, 2}), {kG3, kC3, kE3}, {kG3, kG3, kE3, kE3}},
        // "Off" sends nothing at all but the play index still moves.
        {"off", OrderLane({0, 1, 0, 0}), {kG3, kC3, kE3}, {kG3, kE3, kG3}, 4},
        // The area takes keys from 60 and its base note is 72.
        {"base note", {{kKeyAreaStartNote, 48}, {kKeyAreaEndNote, 70}, {kKeyAreaBaseNote, 60}}, {60, 64}, {72, 76}},
        // Chord mask 160 sets bits 7 and 5: the first and third note; 255 all three.
        {"chord mask", {{PerStep(kStepChord, 0, 0, 0), 160}, {PerStep(kStepChord, 0, 0, 1), 255}}, {kC3, kE3, kG3},
         {kC3, kG3, kC3, kE3, kG3}, 2},
        // In C major a degree up from C# (not in the scale) lands on the second
        // tone above; a semitone up on D; no transposition still puts it on the scale.
        {"a degree up", {{kScale, 1}, {PerStep(kStepTranspose, 0, 0, 0), 1}}, {kCSharp3, kE3}, {kE3, kE3}},
        {"a semitone up", {{kScale, 1}, {kTransposeAsSemitones, 1}, {PerStep(kStepTranspose, 0, 0, 0), 1}},
         {kCSharp3, kE3}, {kC3 + 2, kE3}},
        {"onto the scale", {{kScale, 1}}, {kCSharp3, kE3}, {kC3 + 2, kE3}},
        {"the pattern's transpose adds to the step's", {{PerStep(kStepTranspose, 0, 0, 0), 3}, {kTranspose, 4}}, {kC3},
         {kC3 + 7}},
    };
    for (const auto& c : cases) {
        const bool apart = c.settings.size() == 1 && c.settings[0].first == kSortOrder && c.settings[0].second < 4;
        const auto ons = NoteOnsOfHeldKeys(c.settings, c.keys, c.steps > 0 ? c.steps : int(c.expected.size()), apart);
        EXPECT_EQ(Column(ons, &MidiOut::note), c.expected) << c.what;
    }
}

TEST(EngineOrder, RandomPicksEveryHeldNoteAndNoOther) {
    Settings settings;
    for (int s = 0; s < 32; ++s) settings.push_back({PerStep(kStepNoteList, 0, 0, s), 7});
    const std::vector<int> played = Column(NoteOnsOfHeldKeys(settings, {kC3, kE3, kG3}, 64), &MidiOut::note);
    EXPECT_EQ(std::set<int>(played.begin(), played.end()), (std::set<int>{kC3, kE3, kG3}));
}

}  // namespace
}  // namespace sorel::test
