// The router: which areas take a note, quick keys inside one block, note-offs
// that follow their note-ons, and stopping.
#include <gtest/gtest.h>

#include "engine/EngineHarness.h"
#include "engine/NoteRouter.h"

namespace sorel::test {
namespace {

TEST(EngineRouter, AreasTakeNotesByChannelRangeAndSwitch) {
    EngineHarness h;
    using Changed = std::array<int, 4>;
    Changed changed{-1, -1, -1, -1};
    EXPECT_EQ(h.App().NoteOn(2, kC3, 100, 0, changed.data()), 0);  // area 1 listens on channel 1
    EXPECT_EQ(h.App().NoteOn(1, 70, 100, 0, changed.data()), 0);   // above area 1's range, area 2 is off
    EXPECT_EQ(h.App().NoteOn(1, kC3, 100, 0, changed.data()), 2);
    EXPECT_EQ(changed, (Changed{1, -1, -1, -1}));
    // Two areas on one channel with overlapping ranges both take the note.
    h.Apply({{kKeyAreaOnOff + 1, 1}, {kKeyAreaStartNote + 1, 30}});  // 42..
    changed = {-1, -1, -1, -1};
    EXPECT_EQ(h.App().NoteOn(1, kE3, 100, 10, changed.data()), 2);
    EXPECT_EQ(changed, (Changed{1, 1, -1, -1}));
    EXPECT_TRUE(h.App().NoteOff(1, kE3, 20));
    EXPECT_FALSE(h.App().NoteOff(3, kE3, 20));  // never taken: the frame passes it through
    EXPECT_EQ(h.App().Area(4), nullptr);
}

// Repeated presses over many blocks, then all their releases in one block:
// the queue stays within what it reserved and the key is still released.
TEST(EngineRouter, AFloodOfNoteOffsStaysBoundedAndEndsTheKey) {
    EngineHarness h;
    constexpr int kPressesPerBlock = NoteRouter::kMaxDispatchPerBlock, kBlocks = 8;
    NoteRouter& router = *h.Context().router;
    int changed[4] = {-1, -1, -1, -1};
    for (int block = 0; block < kBlocks; ++block) {
        for (int i = 0; i < kPressesPerBlock; ++i) router.NoteOn(1, kC3, 100, i % 512, changed);
        h.Run(512);
    }
    for (int i = 0; i < kPressesPerBlock * kBlocks; ++i) EXPECT_TRUE(router.NoteOff(1, kC3, i % 512)) << i;
    EXPECT_LE(router.QueuedInput(), NoteRouter::kMaxInput + 1);  // one release stands for them all
    h.Run(kStep);
    EXPECT_EQ(router.HeldTotal(), 0);
    EXPECT_FALSE(h.Area(0).Busy());
    EXPECT_TRUE(h.Silent());
}

// More input than one block hands on: the rest goes on in the following
// blocks, in order, and the key still ends released.
TEST(EngineRouter, ABacklogBeyondOneBlocksShareGoesOnInTheNextBlocks) {
    EngineHarness h;
    constexpr int kPresses = 2000;
    NoteRouter& router = *h.Context().router;
    int changed[4] = {-1, -1, -1, -1};
    for (int i = 0; i < kPresses; ++i) {
        router.NoteOn(1, kC3, 100, i % 512, changed);
        router.NoteOff(1, kC3, i % 512);
    }
    ASSERT_EQ(router.QueuedInput(), 2 * kPresses);
    h.Run(512);
    EXPECT_EQ(router.QueuedInput(), 2 * kPresses - NoteRouter::kMaxDispatchPerBlock);
    h.Run(512 * 3);
    EXPECT_EQ(router.QueuedInput(), 0);
    h.Run(kStep);
    EXPECT_EQ(router.HeldTotal(), 0);
    EXPECT_FALSE(h.Area(0).Busy());
    EXPECT_TRUE(h.Silent());
}

// A key released at its own press's offset, and a key released after its
// area's channel and range moved away from it: both reach the area that
// took the key, which stops.
TEST(EngineRouter, NoteOffReachesTheAreaThatTookTheKey) {
    for (bool settingsChange : {false, true}) {
        EngineHarness h;
        h.Chord(1, {kC3}, 300, settingsChange ? 9000 : 300);
        if (settingsChange) h.At(3000, [&] { h.Apply({{kMidiInChannel, 5}, {kKeyAreaStartNote, 60}}); });
        h.Run(kStep * 4);
        if (settingsChange) {
            EXPECT_EQ(h.NoteOns().size(), 2u);
        }
        EXPECT_FALSE(h.Area(0).Busy()) << settingsChange;
        EXPECT_TRUE(h.Silent()) << settingsChange;
    }
}

TEST(EngineRouter, TransportStopEndsEverySoundingNote) {
    EngineHarness h;
    h.Param(kGate, 100);
    h.Play(0);
    h.Chord(1, {kC3, kE3}, 0, 96000);
    h.At(kStep * 5 + 3000, [&] { h.StopTransport(); });
    h.Run(kStep * 8);
    EXPECT_TRUE(h.Silent());
    for (const auto& m : h.NoteOffs()) EXPECT_EQ(m.velocity, 127);
    EXPECT_EQ(h.NoteOns(0).back().time, kStep * 5);
}

}  // namespace
}  // namespace sorel::test
