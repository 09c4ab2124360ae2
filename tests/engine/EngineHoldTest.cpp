// Hold, hold sync, hold transpose, hold bypass, note release and
// "Arp on note count".
#include <gtest/gtest.h>

#include "engine/EngineHarness.h"
#include "engine/ParameterIndex.h"
#include "engine/PatternEngine.h"

namespace sorel::test {
namespace {

using namespace param;
constexpr int kC3 = 48, kD3 = 50, kE3 = 52, kG3 = 55;

std::vector<int> NotesBetween(const EngineHarness& h, std::int64_t from, std::int64_t to) {
    std::vector<int> r;
    for (const auto& m : h.NoteOns())
        if (m.time >= from && m.time < to && m.area >= 0) r.push_back(m.note);
    return r;
}

TEST(EngineHold, ReleasedChordKeepsPlayingAndANewChordReplacesItAtTheSyncPoint) {
    EngineHarness h;
    h.Param(kHold, 1);
    h.Param(kHoldSync, 3);  // commit every fourth step
    h.Chord(1, {kC3, kE3}, 0, 100);
    h.Run(6000 * 6);
    EXPECT_EQ(NotesBetween(h, 0, 6000 * 6), (std::vector<int>{kC3, kE3, kC3, kE3, kC3, kE3}));
    // A new key while the latched keys are up waits for the next multiple of four steps.
    h.Chord(1, {kG3}, 6000 * 6 + 10, 6000 * 6 + 200);
    h.Run(6000 * 6);
    EXPECT_EQ(NotesBetween(h, 6000 * 6, 6000 * 12), (std::vector<int>{kC3, kE3, kG3, kG3, kG3, kG3}));
    // Hold off: the latched note ends and the area goes quiet.
    h.At(h.Now(), [&] { h.Param(kHold, 0); });
    h.Run(6000 * 4);
    EXPECT_TRUE(NotesBetween(h, 6000 * 12 + 1, 6000 * 16).empty());
    EXPECT_TRUE(h.Checker().Sounding().empty());
}

TEST(EngineHold, HoldSyncCountsAgainFromEachPatternStart) {
    struct Case {
        int holdSync;   // steps
        int firstNew;   // the step that plays the new chord first
    };
    // A new chord during step 5 of a six-step pattern.
    for (const Case c : {Case{4, 11},     // the fourth step of the second pass ends step 10
                         Case{16, 7}}) {  // a sync longer than the pattern: its end
        EngineHarness h;
        h.Param(kHold, 1);
        h.Param(kHoldSync, c.holdSync - 1);
        h.Param(kPatternSteps, 5);
        h.Chord(1, {kC3}, 0, 100);
        h.Chord(1, {kE3}, 6000 * 4 + 10, 6000 * 4 + 20);
        h.Run(6000 * 12);
        auto notes = NotesBetween(h, 0, 6000 * 12);
        ASSERT_EQ(notes.size(), 12u);
        EXPECT_EQ(notes[static_cast<size_t>(c.firstNew - 2)], kC3) << c.holdSync;
        EXPECT_EQ(notes[static_cast<size_t>(c.firstNew - 1)], kE3) << c.holdSync;
    }
}

TEST(EngineHold, HoldTransposeMovesTheLatchedChordOntoTheNewKey) {
    EngineHarness h;
    h.Param(kHold, 1);
    h.Param(kHoldTranspose, 1);
    h.Param(kHoldSync, 1);  // every second step
    h.Chord(1, {kC3, kE3, kG3}, 0, 100);
    h.Chord(1, {kD3}, 6000 * 3 + 10, 6000 * 3 + 20);
    h.Run(6000 * 7);
    // Steps 0..3 play C E G C; the commit at the end of step 3 moves the chord up two.
    EXPECT_EQ(NotesBetween(h, 0, 6000 * 7), (std::vector<int>{kC3, kE3, kG3, kC3, kD3, kE3 + 2, kG3 + 2}));
}

TEST(EngineHold, HoldBypassLetsNewKeysPassWhileTheChordPlays) {
    EngineHarness h;
    h.Param(kHold, 1);
    h.Chord(1, {kC3}, 0, 100);
    h.At(6000, [&] { h.Param(kHoldBypass, 1); });
    h.Chord(1, {kG3}, 6000 * 2, 6000 * 2 + 50);
    h.Run(6000 * 4);
    EXPECT_EQ(NotesBetween(h, 0, 6000 * 4), (std::vector<int>{kC3, kC3, kC3, kC3}));
    // G passed through unchanged as it was played.
    int thru = 0;
    for (const auto& m : h.Out())
        if (m.area == -1 && m.note == kG3) ++thru;
    EXPECT_EQ(thru, 2);
    h.At(h.Now(), [&] { h.Param(kHold, 0); });
    h.Run(6000);
    EXPECT_TRUE(h.Checker().Sounding().empty());
}

TEST(EngineHold, NoteReleaseFinishesTheCurrentStepThenStops) {
    EngineHarness h;
    h.Param(kNoteRelease, 1);
    h.Param(PerStep(kStepLength, 0, 0, 0), 4);
    h.Chord(1, {kC3}, 0, 1000);
    h.Run(6000 * 8);
    // Released at 1000 inside a four-step step: the step plays to its end.
    ASSERT_EQ(h.NoteOns().size(), 1u);
    EXPECT_EQ(h.NoteOffs().at(0).time, 21600);  // 90 % of 24000
    EXPECT_TRUE(h.Checker().Sounding().empty());
    EXPECT_FALSE(h.Area(0).Busy());
}

TEST(EngineHold, ArpOnNoteCountForgetsAKeyReleasedBeforeTheCount) {
    EngineHarness h;
    h.Param(kArpOnNoteCount, 2);
    h.NoteOn(1, kC3, 100, 0);
    h.NoteOff(1, kC3, 50);          // gone before the count: passed through both ways
    h.NoteOn(1, kE3, 100, 100);
    h.NoteOn(1, kG3, 100, 200);     // only two keys down: still waiting
    h.Run(6000 * 2);
    EXPECT_TRUE(h.NoteOns(0).empty());
    h.NoteOn(1, kD3, 100, h.Now());
    h.Run(6000 * 3 - 10);
    EXPECT_EQ(h.NoteNumbers(h.NoteOns(0)), (std::vector<int>{kD3, kE3, kG3}));
    for (int n : {kD3, kE3, kG3}) h.NoteOff(1, n, h.Now());
    h.Run(1000);
    EXPECT_TRUE(h.Checker().Sounding().empty());
}

// The same, with the control zone switched on over the key while it was
// down: the key must still leave the waiting list, or it would reach the
// area with the later keys and play on after every key is up.
TEST(EngineHold, ArpOnNoteCountForgetsAKeyReleasedUnderTheControlZone) {
    EngineHarness h;
    h.Param(kArpOnNoteCount, 2);
    h.Param(kKeyAreaStartNote + 0, 12);  // the area from key 24 up, unshifted
    h.Param(kKeyAreaBaseNote + 0, 12);
    h.Param(kDisableControlZone, 1);
    const int lowKey = 30;               // inside the zone once it is on
    h.NoteOn(1, lowKey, 100, 0);
    h.Run(100);
    h.Param(kDisableControlZone, 0);
    h.NoteOff(1, lowKey, h.Now());
    h.Run(100);
    h.Param(kDisableControlZone, 1);
    h.NoteOn(1, kE3, 100, h.Now());
    h.NoteOn(1, kG3, 100, h.Now() + 100);
    h.Run(6000 * 2);
    EXPECT_TRUE(h.NoteOns(0).empty()) << "two keys down must still wait for the third";
    h.NoteOn(1, kD3, 100, h.Now());
    h.Run(6000 * 3 - 10);
    EXPECT_EQ(h.NoteNumbers(h.NoteOns(0)), (std::vector<int>{kD3, kE3, kG3}));
    for (int n : {kD3, kE3, kG3}) h.NoteOff(1, n, h.Now());
    h.Run(6000 * 4);
    const size_t played = h.NoteOns(0).size();
    h.Run(6000 * 4);
    EXPECT_EQ(h.NoteOns(0).size(), played) << "the area plays on after every key is up";
    EXPECT_TRUE(h.Checker().Sounding().empty());
}

}  // namespace
}  // namespace sorel::test
