// After warm-up the block path allocates nothing: a dense minute of playing on
// all four areas with the fastest rate, DIV and chords counts every heap
// allocation made inside the engine's entry points.
#include <gtest/gtest.h>

#include "engine/EngineContext.h"
#include "engine/ParameterIndex.h"
#include "engine/ParameterReceiver.h"
#include "engine/ProcessorListener.h"
#include "engine/TransportState.h"
#include "engine/VardoApp.h"
#include "support/AllocationCounter.h"

namespace sorel {
namespace {

using namespace param;

struct CountingListener : ProcessorListener {
    void OnEngineEvents(std::span<NoteRecord> events, int) override {
        for (const NoteRecord& r : events) ons += r.isNoteOn;
    }
    void OnProcessingState(bool) override {}
    long ons = 0;
};

TEST(EngineAllocation, DenseMinuteOfPlayingAllocatesNothingAfterWarmUp) {
    TransportState transport{.playing = true, .sampleRate = 48000, .samplesPerBeat = 24000};
    CountingListener listener;
    EngineContext context(&transport);
    VardoApp app(&listener, &transport, &context);
    ParameterReceiver receiver(&context);
    receiver.ApplyDefaults(false);
    for (int a = 0; a < 4; ++a) {
        const int p = PatternIndex(a, 0);
        const std::pair<int, int> settings[] = {{kKeyAreaOnOff + a, 1},   {kMidiInChannel + a, a}, {kMidiOutChannel + a, a},
                                                {kKeyAreaStartNote + a, 0}, {kKeyAreaEndNote + a, 110}, {kRate + p, 22},
                                                {kGate + p, 100},          {kOctaves + p, 3},       {kSortOrder + p, 4}};
        for (auto [index, value] : settings) receiver.ApplyParameter(index, value);
        for (int s = 0; s < 32; ++s) {
            receiver.ApplyParameter(PerStep(kStepDiv, a, 0, s), 7);
            receiver.ApplyParameter(PerStep(kStepChord, a, 0, s), s % 2 ? 255 : 0);
            receiver.ApplyParameter(PerStep(kStepShift, a, 0, s), (s % 5) * 7 - 14);
        }
    }
    constexpr int kFrames = 256;
    auto runBlocks = [&](long from, long to) {
        int changed[4];
        for (long b = from; b < to; ++b) {
            // Every area holds eight keys; one key of each area is replayed now and then.
            for (int a = 0; a < 4 && b % 40 == 0; ++a) {
                const int key = 40 + static_cast<int>(b / 40 % 8) * 3;
                app.NoteOff(a + 1, key, 7);
                app.NoteOn(a + 1, key, 90, 100, changed);
            }
            transport.samplePosition = static_cast<double>(b * kFrames);
            transport.ppqPosition = transport.samplePosition / transport.samplesPerBeat;
            app.ProcessBlock(transport.samplesPerBeat, true, kFrames);
        }
    };
    int changed[4];
    for (int a = 0; a < 4; ++a)
        for (int k = 0; k < 8; ++k) app.NoteOn(a + 1, 40 + k * 3, 100, 0, changed);
    constexpr long kWarmUp = 400, kMinute = 48000L * 60 / kFrames;
    runBlocks(0, kWarmUp);
    const long onsBefore = listener.ons;
    test::AllocationCounter::Start();
    runBlocks(kWarmUp, kWarmUp + kMinute);
    test::AllocationCounter::Stop();
    EXPECT_EQ(test::AllocationCounter::Count(), 0);
    EXPECT_GT(listener.ons - onsBefore, 50000);  // it really was dense
}

}  // namespace
}  // namespace sorel
