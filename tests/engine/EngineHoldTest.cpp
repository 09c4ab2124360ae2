// Hold, hold sync, hold transpose, hold bypass, note release and
// "Arp on note count".
#include <gtest/gtest.h>

#include "engine/EngineHarness.h"

namespace sorel::test {
namespace {

std::vector<int> NotesBetween(const EngineHarness& h, std::int64_t from, std::int64_t to) {
    std::vector<int> r;
    for (const auto& m : h.NoteOns(0)) if (m.time >= from && m.time < to) r.push_back(m.note);
    return r;
}

// A released chord keeps playing; a new one replaces it when the hold sync,
// counted from the pattern's start, comes round; hold off ends it.
TEST(EngineHold, HoldSyncCountsAgainFromEachPatternStart) {
    // A new key during step 5 of a six-step pattern first plays at step
    // `firstNew`: a sync of four ends at step 10 (the fourth step of the
    // second pass); one longer than the pattern at the pattern's end.
    for (const auto& [holdSync, firstNew] : {std::pair{4, 11}, std::pair{16, 7}}) {
        EngineHarness h;
        h.Apply({{kHold, 1}, {kHoldSync, holdSync - 1}, {kPatternSteps, 5}});
        h.Chord(1, {kC3, kE3}, 0, 100);
        h.Chord(1, {kG3}, kStep * 4 + 10, kStep * 4 + 20);
        h.Run(kStep * 12);
        std::vector<int> expected;
        for (int step = 1; step <= 12; ++step) expected.push_back(step >= firstNew ? kG3 : step % 2 ? kC3 : kE3);
        EXPECT_EQ(NotesBetween(h, 0, kStep * 12), expected) << holdSync;
        h.At(h.Now(), [&] { h.Param(kHold, 0); });
        h.Run(kStep * 4);
        EXPECT_TRUE(NotesBetween(h, kStep * 12 + 1, kStep * 16).empty()) << holdSync;
        EXPECT_TRUE(h.Silent()) << holdSync;
    }
}

TEST(EngineHold, HoldTransposeMovesTheLatchedChordOntoTheNewKey) {
    EngineHarness h;
    h.Apply({{kHold, 1}, {kHoldTranspose, 1}, {kHoldSync, 1}});  // commit every second step
    h.Chord(1, {kC3, kE3, kG3}, 0, 100);
    h.Chord(1, {kD3}, kStep * 3 + 10, kStep * 3 + 20);
    h.Run(kStep * 7);
    // Steps 0..3 play C E G C; the commit at the end of step 3 moves the chord up two.
    EXPECT_EQ(NotesBetween(h, 0, kStep * 7), (std::vector<int>{kC3, kE3, kG3, kC3, kD3, kE3 + 2, kG3 + 2}));
}

TEST(EngineHold, HoldBypassLetsNewKeysPassWhileTheChordPlays) {
    EngineHarness h;
    h.Param(kHold, 1);
    h.Chord(1, {kC3}, 0, 100);
    h.At(kStep, [&] { h.Param(kHoldBypass, 1); });
    h.Chord(1, {kG3}, kStep * 2, kStep * 2 + 50);
    h.Run(kStep * 4);
    EXPECT_EQ(NotesBetween(h, 0, kStep * 4), (std::vector<int>{kC3, kC3, kC3, kC3}));
    // G passed through unchanged as it was played.
    EXPECT_EQ(Column(h.NoteOns(-1), &MidiOut::note), std::vector<int>{kG3});
    EXPECT_EQ(Column(h.NoteOffs(-1), &MidiOut::note), std::vector<int>{kG3});
    h.At(h.Now(), [&] { h.Param(kHold, 0); });
    h.Run(kStep);
    EXPECT_TRUE(h.Silent());
}

TEST(EngineHold, NoteReleaseFinishesTheCurrentStepThenStops) {
    EngineHarness h;
    h.Apply({{kNoteRelease, 1}, {PerStep(kStepLength, 0, 0, 0), 4}});
    h.Chord(1, {kC3}, 0, 1000);
    h.Run(kStep * 8);
    // Released at 1000 inside a four-step step: the step plays to its end.
    ASSERT_EQ(h.NoteOns().size(), 1u);
    EXPECT_EQ(h.NoteOffs().at(0).time, 21600);  // 90 % of 24000
    EXPECT_TRUE(h.Silent());
    EXPECT_FALSE(h.Area(0).Busy());
}

// With "Arp on note count" at three, a key released before the count is
// forgotten: E and G wait for a third key, then D, E and G play, and once
// they are up the area stops.
void ExpectOnlyTheThreeHeldKeysPlay(EngineHarness& h) {
    h.NoteOn(1, kE3, 100, h.Now());
    h.NoteOn(1, kG3, 100, h.Now() + 100);
    h.Run(kStep * 2);
    EXPECT_TRUE(h.NoteOns(0).empty()) << "two keys down must still wait for the third";
    h.NoteOn(1, kD3, 100, h.Now());
    h.Run(kStep * 3 - 10);
    EXPECT_EQ(Column(h.NoteOns(0), &MidiOut::note), (std::vector<int>{kD3, kE3, kG3}));
    for (int n : {kD3, kE3, kG3}) h.NoteOff(1, n, h.Now());
    h.Run(kStep * 4);
    const size_t played = h.NoteOns(0).size();
    h.Run(kStep * 4);
    EXPECT_EQ(h.NoteOns(0).size(), played) << "the area plays on after every key is up";
    EXPECT_TRUE(h.Silent());
}

TEST(EngineHold, ArpOnNoteCountForgetsAKeyReleasedBeforeTheCount) {
    EngineHarness h;
    h.Param(kArpOnNoteCount, 2);
    h.Chord(1, {kC3}, 0, 50);  // gone before the count: passed through both ways
    h.Run(100);
    ExpectOnlyTheThreeHeldKeysPlay(h);
}

// The same, with the control zone switched on over the key while it was
// down: the key must still leave the waiting list, or it would reach the
// area with the later keys and play on after every key is up.
TEST(EngineHold, ArpOnNoteCountForgetsAKeyReleasedUnderTheControlZone) {
    EngineHarness h;
    h.Apply({{kArpOnNoteCount, 2}, {kKeyAreaStartNote, 12}, {kKeyAreaBaseNote, 12}, {kDisableControlZone, 1}});
    const int lowKey = 30;  // in the area from key 24 up, and inside the zone once it is on
    h.NoteOn(1, lowKey, 100, 0);
    h.Run(100);
    h.Param(kDisableControlZone, 0);
    h.NoteOff(1, lowKey, h.Now());
    h.Run(100);
    h.Param(kDisableControlZone, 1);
    ExpectOnlyTheThreeHeldKeysPlay(h);
}

}  // namespace
}  // namespace sorel::test
