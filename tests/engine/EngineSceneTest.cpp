// Scenes chaining patterns, and the control zone: its functions, pattern
// requests with their sync, and keys it covers.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/ControlZone.h"
#include "engine/EngineHarness.h"

namespace sorel::test {
namespace {

TEST(EngineScene, ScenesChainPatternsWithTheirRepeats) {
    EngineHarness h;
    // Each pattern p transposes by p semitones, so the note tells the pattern.
    for (int p = 0; p < 12; ++p) h.Param(kTranspose + PatternIndex(0, p), p);
    // Scene step 0: 8 steps of pattern 1, repeated once; step 1: 4 steps of pattern 4.
    h.Apply({{kSceneStepLength + 0, 7}, {kSceneStepPattern + 0, 0}, {kSceneStepRepeat + 0, 1}, {kSceneStepLength + 1, 3},
             {kSceneStepPattern + 1, 3}, {kSceneStepRepeat + 1, 0}, {kSceneEnd, 1}, {kSceneOnOff, 1}});
    h.NoteOn(1, kC3, 100, 0);
    h.Run(kStep * 40 - 10);
    std::vector<int> pass(16, kC3), expected;
    pass.insert(pass.end(), 4, kC3 + 3);
    for (int n = 0; n < 2; ++n) expected.insert(expected.end(), pass.begin(), pass.end());
    EXPECT_EQ(Column(h.NoteOns(0), &MidiOut::note), expected);
}

TEST(EngineScene, EveryControlZoneFunctionRaisesItsNotification) {
    EngineHarness h;
    ControlZone::Assignment keys{};
    for (int i = 0; i < ControlZone::kKeyCount; ++i) keys[static_cast<std::size_t>(i)] = std::min(i + 1, 30);
    h.Context().controlZone->SetAssignment(keys);  // keys 12..35 run functions 1..24
    for (int key = ControlZone::kLowKey; key <= ControlZone::kHighKey; ++key)
        h.Chord(1, {key}, (key - 12) * 500, (key - 12) * 500 + 100);
    h.RunUntil(20000);
    std::vector<std::pair<int, int>> expected;
    for (int lane = 0; lane <= 8; ++lane) expected.push_back({notify::kSelectLane, lane});
    for (int code : {notify::kPreviousPreset, notify::kNextPreset, notify::kHold, notify::kHoldBypass, notify::kPanic})
        expected.push_back({code, 0});
    for (int pattern = 0; pattern <= 9; ++pattern) expected.push_back({notify::kSelectPattern, pattern});
    EXPECT_EQ(h.Notices(), expected);
}

// With the zone's sync at "Next", a pattern key switches at the end of the
// current step; pattern 3 plays an octave higher, so the switch shows.
TEST(EngineScene, APatternKeySwitchesAtTheEndOfTheCurrentStep) {
    EngineHarness h;
    h.Apply({{kTranspose + PatternIndex(0, 2), 12}, {kControlZoneSync, 0}});
    h.Play();
    h.NoteOn(1, kC3, 100, 0);
    h.Chord(1, {26}, kStep + kStep / 2, kStep + kStep / 2 + 100);
    h.RunUntil(4 * kStep - 10);
    EXPECT_EQ(Column(h.NoteOns(0), &MidiOut::note), (std::vector<int>{kC3, kC3, kC3 + 12, kC3 + 12}));
}

// A key an area took keeps its release when the control zone is switched on
// over it while it is down; the zone would otherwise swallow the key-up and
// the arpeggio would never stop.
TEST(EngineScene, KeyHeldWhileTheControlZoneComesOnStillStopsItsArpeggio) {
    EngineHarness h;
    h.Apply({{kDisableControlZone, 1}, {kKeyAreaStartNote, 12}});  // the area from key 24 up
    const int key = 30;                                             // inside the area and the zone
    ASSERT_TRUE(h.Area(0).Accepts(1, key));
    h.NoteOn(1, key, 100, 0);
    h.Run(30000);
    ASSERT_FALSE(h.NoteOns(0).empty());
    h.Param(kDisableControlZone, 0);
    ASSERT_TRUE(h.Context().controlZone->Covers(key));
    h.NoteOff(1, key, h.Now());
    h.Run(30000);
    const size_t started = h.NoteOns(0).size();
    h.Run(60000);
    EXPECT_EQ(h.NoteOns(0).size(), started) << "the area still plays";
    EXPECT_TRUE(h.Silent());
}

}  // namespace
}  // namespace sorel::test
