// Scenes chaining patterns, pattern requests with their sync, program changes.
#include <gtest/gtest.h>

#include "engine/ControlZone.h"
#include "engine/EngineHarness.h"
#include "engine/ParameterIndex.h"
#include "engine/PatternEngine.h"

namespace sorel::test {
namespace {

using namespace param;
constexpr int kC3 = 48;

int PerPattern(int first, int area, int pattern) { return first + PatternIndex(area, pattern); }

// Each pattern p transposes by p semitones, so the note tells the pattern.
void MarkPatterns(EngineHarness& h) {
    for (int p = 0; p < 12; ++p) h.Param(PerPattern(kTranspose, 0, p), p);
}

std::vector<int> PatternsPlayed(const EngineHarness& h) {
    std::vector<int> r;
    for (const auto& m : h.NoteOns(0)) r.push_back(m.note - kC3);
    return r;
}

TEST(EngineScene, ScenesChainPatternsWithTheirRepeats) {
    EngineHarness h;
    MarkPatterns(h);
    // Scene step 0: 8 steps of pattern 1, repeated once; step 1: 4 steps of pattern 4.
    h.Param(kSceneStepLength + 0, 7);
    h.Param(kSceneStepPattern + 0, 0);
    h.Param(kSceneStepRepeat + 0, 1);
    h.Param(kSceneStepLength + 1, 3);
    h.Param(kSceneStepPattern + 1, 3);
    h.Param(kSceneStepRepeat + 1, 0);
    h.Param(kSceneEnd, 1);
    h.Param(kSceneOnOff, 1);
    h.NoteOn(1, kC3, 100, 0);
    h.Run(6000 * 40 - 10);
    std::vector<int> expected;
    for (int pass = 0; pass < 2; ++pass) {
        expected.insert(expected.end(), 16, 0);
        expected.insert(expected.end(), 4, 3);
    }
    EXPECT_EQ(PatternsPlayed(h), expected);
}

// A key an area took keeps its release when the control zone is switched on
// over it while it is down; the zone would otherwise swallow the key-up and
// the arpeggio would never stop.
TEST(EngineScene, KeyHeldWhileTheControlZoneComesOnStillStopsItsArpeggio) {
    EngineHarness h;
    h.Param(kDisableControlZone, 1);
    h.Param(kKeyAreaStartNote + 0, 12);  // the area from key 24 up
    ASSERT_TRUE(h.Area(0).Accepts(1, 30));
    const int key = 30;  // inside the area and the zone
    ASSERT_FALSE(h.Context().controlZone->Covers(key));
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
    EXPECT_TRUE(h.Checker().Sounding().empty());
}

}  // namespace
}  // namespace sorel::test
