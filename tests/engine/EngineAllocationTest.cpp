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

class CountingListener : public ProcessorListener {
public:
    void OnEngineEvents(std::span<NoteRecord> events, int) override {
        for (const NoteRecord& r : events) (r.isNoteOn ? ons : offs) += 1;
    }
    void OnProcessingState(bool) override {}
    long ons = 0, offs = 0;
};

TEST(EngineAllocation, DenseMinuteOfPlayingAllocatesNothingAfterWarmUp) {
    TransportState transport;
    CountingListener listener;
    EngineContext context(&transport);
    VardoApp app(&listener, &transport, &context);
    ParameterReceiver receiver(&context);
    receiver.ApplyDefaults(false);
    for (int a = 0; a < 4; ++a) {
        receiver.ApplyParameter(kKeyAreaOnOff + a, 1);
        receiver.ApplyParameter(kMidiInChannel + a, a);
        receiver.ApplyParameter(kMidiOutChannel + a, a);
        receiver.ApplyParameter(kKeyAreaStartNote + a, 0);
        receiver.ApplyParameter(kKeyAreaEndNote + a, 110);
        receiver.ApplyParameter(kRate + PatternIndex(a, 0), 22);
        receiver.ApplyParameter(kGate + PatternIndex(a, 0), 100);
        receiver.ApplyParameter(kOctaves + PatternIndex(a, 0), 3);
        receiver.ApplyParameter(kSortOrder + PatternIndex(a, 0), 4);
        for (int s = 0; s < 32; ++s) {
            receiver.ApplyParameter(PerStep(kStepDiv, a, 0, s), 7);
            receiver.ApplyParameter(PerStep(kStepChord, a, 0, s), s % 2 ? 255 : 0);
            receiver.ApplyParameter(PerStep(kStepShift, a, 0, s), (s % 5) * 7 - 14);
        }
    }
    transport.sampleRate = 48000;
    transport.samplesPerBeat = 24000;
    transport.playing = true;

    const int frames = 256;
    const long blocks = 48000L * 60 / frames;
    auto runBlocks = [&](long from, long to) {
        for (long b = from; b < to; ++b) {
            // Every area has eight keys; one key of each area is replayed now and then.
            if (b % 40 == 0) {
                for (int a = 0; a < 4; ++a) {
                    int changed[4];
                    const int key = 40 + static_cast<int>(b / 40 % 8) * 3;
                    app.NoteOff(a + 1, key, 7);
                    app.NoteOn(a + 1, key, 90, 100, changed);
                }
            }
            transport.samplePosition = static_cast<double>(b * frames);
            transport.ppqPosition = transport.samplePosition / transport.samplesPerBeat;
            app.ProcessBlock(transport.samplesPerBeat, true, frames);
        }
    };
    for (int a = 0; a < 4; ++a)
        for (int k = 0; k < 8; ++k) {
            int changed[4];
            app.NoteOn(a + 1, 40 + k * 3, 100, 0, changed);
        }
    runBlocks(0, 400);  // warm-up
    const long onsBefore = listener.ons;
    test::AllocationCounter::Start();
    runBlocks(400, 400 + blocks);
    test::AllocationCounter::Stop();
    EXPECT_EQ(test::AllocationCounter::Count(), 0);
    EXPECT_GT(listener.ons - onsBefore, 50000);  // it really was dense
}

}  // namespace
}  // namespace sorel
