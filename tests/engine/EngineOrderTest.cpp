// Which notes the arpeggio plays: sort orders, alt directions, octaves, the
// ORDER lane's picks, chord masks and the area's base note.
#include <gtest/gtest.h>

#include <set>

#include "engine/EngineHarness.h"
#include "engine/ParameterIndex.h"
#include "engine/PatternStepper.h"

namespace sorel::test {
namespace {

using namespace param;
constexpr int kC3 = 48, kE3 = 52, kG3 = 55;

// Keys pressed in this order, 100 samples apart, held for `steps` sixteenths.
std::vector<int> Played(std::vector<int> keys, int steps, std::function<void(EngineHarness&)> setup = {}) {
    EngineHarness h;
    if (setup) setup(h);
    std::int64_t t = 0;
    for (int k : keys) h.NoteOn(1, k, 100, t), t += 1;
    h.Run(6000 * steps - 10);
    return h.NoteNumbers(h.NoteOns());
}

TEST(EngineOrder, SortOrdersFollowPitchOrArrival) {
    // Played E, G, C one sample apart: the first step sees only E.
    auto order = [](int value) {
        return Played({kE3, kG3, kC3}, 7, [value](EngineHarness& h) { h.Param(kSortOrder, value); });
    };
    EXPECT_EQ(order(0), (std::vector<int>{kE3, kE3, kG3, kC3, kE3, kG3, kC3}));  // Lo-Hi after the first step
    EXPECT_EQ(order(1), (std::vector<int>{kE3, kE3, kC3, kG3, kE3, kC3, kG3}));  // Hi-Lo
    EXPECT_EQ(order(2), (std::vector<int>{kE3, kG3, kC3, kE3, kG3, kC3, kE3}));  // As played
    EXPECT_EQ(order(3), (std::vector<int>{kE3, kG3, kE3, kC3, kG3, kE3, kC3}));  // Reversed: C, G, E
}

TEST(EngineOrder, AltOrdersTurnAtBothEndsAndClimbAnOctaveAtTheBottom) {
    auto alt = [](int value, int octaves) {
        EngineHarness h;
        h.Param(kSortOrder, value);
        h.Param(kOctaves, octaves);
        h.Chord(1, {kC3, kE3, kG3}, 0, 6000 * 12 - 10);
        h.Run(6000 * 12);
        return h.NoteNumbers(h.NoteOns());
    };
    EXPECT_EQ(alt(4, 1), (std::vector<int>{kC3, kE3, kG3, kG3, kE3, kC3, kC3, kE3, kG3, kG3, kE3, kC3}));
    EXPECT_EQ(alt(5, 1), (std::vector<int>{kG3, kE3, kC3, kC3, kE3, kG3, kG3, kE3, kC3, kC3, kE3, kG3}));
    // With two octaves the turn at the bottom moves up an octave.
    EXPECT_EQ(alt(4, 2), (std::vector<int>{kC3, kE3, kG3, kG3, kE3, kC3, kC3 + 12, kE3 + 12, kG3 + 12, kG3 + 12,
                                            kE3 + 12, kC3 + 12}));
}

TEST(EngineOrder, OctavesRepeatTheListHigherAndZeroActsAsOne) {
    auto run = [](int octaves) {
        EngineHarness h;
        h.Param(kOctaves, octaves);
        h.Chord(1, {kC3, kE3}, 0, 6000 * 6 - 10);
        h.Run(6000 * 6);
        return h.NoteNumbers(h.NoteOns());
    };
    EXPECT_EQ(run(2), (std::vector<int>{kC3, kE3, kC3 + 12, kE3 + 12, kC3, kE3}));
    EXPECT_EQ(run(3), (std::vector<int>{kC3, kE3, kC3 + 12, kE3 + 12, kC3 + 24, kE3 + 24}));
    EXPECT_EQ(run(0), (std::vector<int>{kC3, kE3, kC3, kE3, kC3, kE3}));
}

TEST(EngineOrder, OrderLanePicksFirstLastHighestLowestPreviousAndOff) {
    auto withOrder = [](std::vector<int> values, std::vector<int> keys) {
        EngineHarness h;
        h.Param(kSortOrder, 2);  // as played
        for (std::size_t s = 0; s < values.size(); ++s) h.Param(PerStep(kStepNoteList, 0, 0, static_cast<int>(s)), values[s]);
        for (int k : keys) h.NoteOn(1, k, 100, 0);
        h.Run(6000 * static_cast<int>(values.size()) - 10);
        return h.NoteNumbers(h.NoteOns());
    };
    // Played G, C, E (arrival order): First = G, Last = E, Highest = G, Lowest = C.
    EXPECT_EQ(withOrder({3, 4, 5, 6}, {kG3, kC3, kE3}), (std::vector<int>{kG3, kE3, kG3, kC3}));
    // Previous repeats the note the step before picked; Play moves on every step.
    EXPECT_EQ(withOrder({0, 2, 0, 2}, {kG3, kC3, kE3}), (std::vector<int>{kG3, kG3, kE3, kE3}));
    // "Off" sends nothing at all but the play index still moves.
    EXPECT_EQ(withOrder({0, 1, 0, 0}, {kG3, kC3, kE3}), (std::vector<int>{kG3, kE3, kG3}));
}

TEST(EngineOrder, RandomPicksOnlyHeldNotes) {
    std::vector<int> values(32, 7);
    EngineHarness h;
    for (int s = 0; s < 32; ++s) h.Param(PerStep(kStepNoteList, 0, 0, s), 7);
    h.Chord(1, {kC3, kE3, kG3}, 0, 6000 * 64);
    h.Run(6000 * 64);
    std::set<int> seen;
    for (int n : h.NoteNumbers(h.NoteOns())) {
        EXPECT_TRUE(n == kC3 || n == kE3 || n == kG3) << n;
        seen.insert(n);
    }
    EXPECT_EQ(seen.size(), 3u);  // 64 draws from three notes hit each of them
}

TEST(EngineOrder, ChordMaskPlaysTheNotesWhoseBitsAreSet) {
    EngineHarness h;
    h.Param(PerStep(kStepChord, 0, 0, 0), 160);  // bits 7 and 5: first and third note
    h.Param(PerStep(kStepChord, 0, 0, 1), 255);
    h.Chord(1, {kC3, kE3, kG3}, 0, 6000 * 2 - 10);
    h.Run(6000 * 2);
    auto ons = h.NoteOns();
    ASSERT_EQ(ons.size(), 5u);
    EXPECT_EQ(ons[0].time, 0);
    EXPECT_EQ(ons[1].time, 0);
    EXPECT_EQ((std::set<int>{ons[0].note, ons[1].note}), (std::set<int>{kC3, kG3}));
    for (int i = 2; i < 5; ++i) EXPECT_EQ(ons[static_cast<std::size_t>(i)].time, 6000);
    EXPECT_TRUE(h.HangingNotes().empty());
}

TEST(EngineOrder, BaseNoteShiftsTheAreaByItsDistanceFromTheStartNote) {
    EngineHarness h;
    h.Param(kKeyAreaStartNote, 48);  // keys from 60
    h.Param(kKeyAreaEndNote, 70);
    h.Param(kKeyAreaBaseNote, 60);   // base 72
    h.Chord(1, {60, 64}, 0, 6000 * 2 - 10);
    h.Run(6000 * 2);
    EXPECT_EQ(h.NoteNumbers(h.NoteOns()), (std::vector<int>{72, 76}));
}

}  // namespace
}  // namespace sorel::test
