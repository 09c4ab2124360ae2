// The engine's cost against real time: "rt_percent" is the CPU time spent per
// block as a percentage of the audio time the block stands for.
#include <benchmark/benchmark.h>

#include <ctime>

#include "engine/EngineContext.h"
#include "engine/ParameterIndex.h"
#include "engine/ParameterReceiver.h"
#include "engine/ProcessorListener.h"
#include "engine/TransportState.h"
#include "engine/VardoApp.h"

namespace sorel {
namespace {

using namespace param;

constexpr double kSampleRate = 48000.0;
constexpr int kFrames = 512;

class NullListener : public ProcessorListener {
public:
    void OnEngineEvents(std::span<NoteRecord> events, int) override { sent += static_cast<long>(events.size()); }
    void OnProcessingState(bool) override {}
    long sent = 0;
};

struct Rig {
    TransportState transport;
    NullListener listener;
    EngineContext context{&transport};
    VardoApp app{&listener, &transport, &context};
    ParameterReceiver receiver{&context};
    long block = 0;

    Rig() {
        receiver.ApplyDefaults(false);
        transport.sampleRate = kSampleRate;
        transport.samplesPerBeat = kSampleRate * 60.0 / 120.0;
        transport.playing = true;
    }
    void Hold(int area, int keys) {
        for (int k = 0; k < keys; ++k) {
            int changed[4];
            app.NoteOn(area + 1, 40 + 3 * k, 100, 0, changed);
        }
    }
    void Block() {
        transport.samplePosition = static_cast<double>(block * kFrames);
        transport.ppqPosition = transport.samplePosition / transport.samplesPerBeat;
        app.ProcessBlock(transport.samplesPerBeat, true, kFrames);
        ++block;
    }
};

double ThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

void Measure(benchmark::State& state, Rig& rig) {
    const double cpuStart = ThreadCpuSeconds();
    for (auto _ : state) rig.Block();
    const double cpu = ThreadCpuSeconds() - cpuStart;
    const double audio = static_cast<double>(state.iterations()) * kFrames / kSampleRate;
    state.counters["rt_percent"] = audio > 0.0 ? 100.0 * cpu / audio : 0.0;
    state.counters["events_per_block"] =
        benchmark::Counter(static_cast<double>(rig.listener.sent), benchmark::Counter::kAvgIterations);
}

// One area, four held notes, 1/16.
void BM_OneAreaFourNotesSixteenths(benchmark::State& state) {
    Rig rig;
    rig.receiver.ApplyParameter(kKeyAreaStartNote, 0);
    rig.receiver.ApplyParameter(kKeyAreaEndNote, 110);
    rig.Hold(0, 4);
    for (int i = 0; i < 100; ++i) rig.Block();
    rig.listener.sent = 0;
    Measure(state, rig);
}
BENCHMARK(BM_OneAreaFourNotesSixteenths);

// Four areas, eight held notes each, 1/256D, DIV 8, chord mask 255.
void BM_WorstCase(benchmark::State& state) {
    Rig rig;
    for (int a = 0; a < 4; ++a) {
        rig.receiver.ApplyParameter(kKeyAreaOnOff + a, 1);
        rig.receiver.ApplyParameter(kMidiInChannel + a, a);
        rig.receiver.ApplyParameter(kMidiOutChannel + a, a);
        rig.receiver.ApplyParameter(kKeyAreaStartNote + a, 0);
        rig.receiver.ApplyParameter(kKeyAreaEndNote + a, 110);
        rig.receiver.ApplyParameter(kRate + PatternIndex(a, 0), 22);
        for (int s = 0; s < 32; ++s) {
            rig.receiver.ApplyParameter(PerStep(kStepDiv, a, 0, s), 7);
            rig.receiver.ApplyParameter(PerStep(kStepChord, a, 0, s), 255);
        }
        rig.Hold(a, 8);
    }
    for (int i = 0; i < 100; ++i) rig.Block();
    rig.listener.sent = 0;
    Measure(state, rig);
}
BENCHMARK(BM_WorstCase);

// A hostile host: one key pressed 4000 times in a block, then released as
// often in the next; the cost of one release with the input queue full.
void BM_NoteOffIntoAFullQueue(benchmark::State& state) {
    constexpr int kPresses = 4000;
    Rig rig;
    int changed[4];
    long releases = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < kPresses; ++i) rig.app.NoteOn(1, 48, 100, i % kFrames, changed);
        rig.Block();
        state.ResumeTiming();
        for (int i = 0; i < kPresses; ++i) rig.app.NoteOff(1, 48, i % kFrames);
        releases += kPresses;
        state.PauseTiming();
        rig.Block();
        state.ResumeTiming();
    }
    state.counters["per_release"] = benchmark::Counter(static_cast<double>(releases),
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_NoteOffIntoAFullQueue)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace sorel

BENCHMARK_MAIN();
