// The router: which areas take a note, quick keys inside one block, note-offs
// that follow their note-ons, stopping, switching areas off and panic.
#include <gtest/gtest.h>

#include "engine/EngineHarness.h"
#include "engine/NoteRouter.h"
#include "engine/ParameterIndex.h"
#include "engine/PatternEngine.h"

namespace sorel::test {
namespace {

using namespace param;
constexpr int kC3 = 48, kE3 = 52;

TEST(EngineRouter, AreasTakeNotesByChannelRangeAndSwitch) {
    EngineHarness h;
    int changed[4] = {-1, -1, -1, -1};
    EXPECT_EQ(h.App().NoteOn(2, kC3, 100, 0, changed), 0);  // area 1 listens on channel 1
    EXPECT_EQ(h.App().NoteOn(1, 70, 100, 0, changed), 0);   // above area 1's range, area 2 is off
    EXPECT_EQ(h.App().NoteOn(1, kC3, 100, 0, changed), 2);
    EXPECT_EQ(changed[0], 1);
    EXPECT_EQ(changed[1], -1);
    // Two areas on one channel with overlapping ranges both take the note.
    h.Param(kKeyAreaOnOff + 1, 1);
    h.Param(kKeyAreaStartNote + 1, 30);  // 42..
    int both[4] = {-1, -1, -1, -1};
    EXPECT_EQ(h.App().NoteOn(1, kE3, 100, 10, both), 2);
    EXPECT_EQ(both[0], 1);
    EXPECT_EQ(both[1], 1);
    EXPECT_TRUE(h.App().NoteOff(1, kE3, 20));
    EXPECT_FALSE(h.App().NoteOff(3, kE3, 20));  // never taken: the frame passes it through
    EXPECT_EQ(h.App().Area(4), nullptr);
}

// Repeated presses over many blocks, then all their releases in one block:
// the queue stays within what it reserved and the key is still released.
TEST(EngineRouter, AFloodOfNoteOffsStaysBoundedAndEndsTheKey) {
    EngineHarness h;
    constexpr int kPressesPerBlock = 4000, kBlocks = 8;
    NoteRouter& router = *h.Context().router;
    int changed[4] = {-1, -1, -1, -1};
    for (int block = 0; block < kBlocks; ++block) {
        for (int i = 0; i < kPressesPerBlock; ++i) router.NoteOn(1, kC3, 100, i % 512, changed);
        h.Run(512);
    }
    for (int i = 0; i < kPressesPerBlock * kBlocks; ++i) EXPECT_TRUE(router.NoteOff(1, kC3, i % 512)) << i;
    EXPECT_LE(router.QueuedInput(), NoteRouter::kMaxInput + 1);  // one release stands for them all
    h.Run(6000);
    EXPECT_EQ(router.HeldTotal(), 0);
    EXPECT_FALSE(h.Area(0).Busy());
    EXPECT_TRUE(h.Checker().Sounding().empty());
}

TEST(EngineRouter, NoteOnAndOffAtOneOffsetReachTheAreaInOrder) {
    EngineHarness h;
    h.NoteOn(1, kC3, 100, 300);
    h.NoteOff(1, kC3, 300);
    h.Run(6000);
    EXPECT_FALSE(h.Area(0).Busy());
    EXPECT_TRUE(h.Checker().Sounding().empty());
}

TEST(EngineRouter, NoteOffReachesTheAreaThatTookTheKeyAfterItsSettingsChange) {
    EngineHarness h;
    h.NoteOn(1, kC3, 100, 0);
    h.At(3000, [&] {
        h.Param(kMidiInChannel, 5);
        h.Param(kKeyAreaStartNote, 60);
    });
    h.NoteOff(1, kC3, 9000);
    h.Run(6000 * 4);
    EXPECT_EQ(h.NoteOns().size(), 2u);
    EXPECT_FALSE(h.Area(0).Busy());
    EXPECT_TRUE(h.Checker().Sounding().empty());
}

TEST(EngineRouter, TransportStopEndsEverySoundingNote) {
    EngineHarness h;
    h.Param(kGate, 100);
    h.Play(0);
    h.Chord(1, {kC3, kE3}, 0, 96000);
    h.At(6000 * 5 + 3000, [&] { h.StopTransport(); });
    h.Run(6000 * 8);
    EXPECT_TRUE(h.Checker().Sounding().empty());
    for (const auto& m : h.NoteOffs()) EXPECT_EQ(m.velocity, 127);
    EXPECT_EQ(h.NoteOns(0).back().time, 6000 * 5);
}

}  // namespace
}  // namespace sorel::test
