// What a block of Sorel.lv2's run costs against the same block through
// Sorel.so's process call, in the same run: an idle 64-frame block (the
// transport rolling, no keys held) and a busy one (a chord held in every key
// area). Both are loaded as hosts load them, lilv for the LV2 bundle; both
// hosts record what comes out, as a host's MIDI buffer does.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "support/Lv2TestHost.h"
#include "persistence/TempDataHome.h"
#include "support/TestHost.h"

namespace sorel::test {
namespace {

constexpr int kFrames = 64;
constexpr int kAreas = 4;
constexpr int kChord[] = {36, 40, 43, 47};

void PrivateDataFolder() {
    static const TempDataHome data;  // removed when the benchmark ends
    static const bool done = [] {
        data.UseAsDataHome();
        setenv("SOREL_MODULE_PATH", SOREL_MODULE_PATH, 0);
        setenv("SOREL_LV2_PATH", SOREL_LV2_PATH, 0);
        return true;
    }();
    (void)done;
}

void BM_Lv2Run(benchmark::State& state, bool busy) {
    PrivateDataFolder();
    Lv2TestHost host;
    if (!host.Loaded()) return state.SkipWithError("Sorel.lv2 not found");
    int64_t frame = 0;
    if (busy)
        for (int area = 0; area < kAreas; ++area)
            for (int note : kChord) host.QueueMidi(0, uint8_t(0x90 + area), uint8_t(note), 100);
    for (auto _ : state) {
        host.QueuePosition(0, {frame, 1.0f, 120.0f, 0, 0.0f, 4.0f, 4});
        benchmark::DoNotOptimize(host.Run(kFrames));
        frame += kFrames;
    }
}

void BM_Vst2Process(benchmark::State& state, bool busy) {
    PrivateDataFolder();
    TestHost host;
    if (!host.CreateAndOpen(kFrames)) return state.SkipWithError("Sorel.so not loaded");
    host.transport.sampleRate = 48000.0;
    host.transport.playing = true;
    host.SetRecording(false);
    if (busy)
        for (int area = 0; area < kAreas; ++area)
            for (int note : kChord) host.NoteOn(0, area + 1, note, 100);
    for (auto _ : state) {
        host.ProcessBlock(kFrames);
        host.transport.samplePos += kFrames;
    }
}

BENCHMARK_CAPTURE(BM_Lv2Run, Idle, false);
BENCHMARK_CAPTURE(BM_Vst2Process, Idle, false);
BENCHMARK_CAPTURE(BM_Lv2Run, Busy, true);
BENCHMARK_CAPTURE(BM_Vst2Process, Busy, true);

}  // namespace
}  // namespace sorel::test

BENCHMARK_MAIN();
