// After warm-up the block path allocates nothing: MIDI in, blocks, notes,
// controllers, pass-through, panic and the host's automation of each of its
// parameters between blocks, counted by replacing operator new.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <vector>

#include "engine/ParameterIndex.h"
#include "support/LinkedPlugin.h"
#include "support/AllocationCounter.h"
#include "support/TestHost.h"

namespace sorel {
namespace {

using Message = std::array<int, 4>;  // offset, status, data 1, data 2

TEST(BlockAllocation, PlayingAllocatesNothingAfterWarmUp) {
    test::TestHost h(&test::InProcessEntry);
    h.transport.tempo = 140;
    h.transport.playing = true;
    ASSERT_TRUE(h.CreateAndOpen(128));
    h.SetRecording(false);  // the host's own record of what was sent would grow
    h.SetParameter(param::kKeyAreaOnOff + 1, 1.0f);
    h.SetParameter(param::kRate, 18.0f / 22.0f);  // 1/64
    ASSERT_TRUE(h.SetParameterText(param::kCcTeachSelection, "74"));
    h.SetParameter(param::kCcTeach, 1.0f);

    const auto queue = [&](std::initializer_list<Message> messages) {
        for (const auto& [offset, status, data1, data2] : messages) h.QueueMidi(offset, status, data1, data2);
    };
    auto play = [&](int blocks) {
        for (int b = 0; b < blocks; ++b) {
            switch (b % 64) {
                case 0: queue({{3, 0x90, 36, 100}, {5, 0x90, 43, 90}, {9, 0x90, 64, 80}, {11, 0x92, 90, 70}}); break;
                case 20: queue({{0, 0xB0, 7, 64}, {1, 0xE0, 0, 70}, {2, 0xB0, 64, 127}}); break;
                case 40: queue({{7, 0x80, 36, 0}, {8, 0x90, 43, 0}, {9, 0x80, 64, 0}, {10, 0x82, 90, 0}}); break;
                case 50: queue({{0, 0xB0, 123, 0}}); break;
                case 30: h.SetHostParameter(b / 64 % h.Effect()->numParams, b / 64 % 2 ? 0.75f : 0.25f); break;
                default: break;
            }
            h.ProcessBlock(128);
        }
    };
    const auto received = [&] { return h.WithChecker([](const test::MidiOutChecker& c) { return c.EventCount(); }); };
    play(8000);  // warm-up: every path once, every host parameter both ways
    const uint64_t receivedBefore = received();
    test::AllocationCounter::Start();
    play(20000);
    const long duringPlay = test::AllocationCounter::Count();
    auto probe = std::make_unique<std::vector<int>>(16);  // the counter does count
    test::AllocationCounter::Stop();
    EXPECT_EQ(duringPlay, 0);
    EXPECT_GE(test::AllocationCounter::Count(), 2);
    EXPECT_GT(received() - receivedBefore, 1000u);  // it did play
    EXPECT_EQ(h.Faults(), "");
}

}  // namespace
}  // namespace sorel
