// Cost of loading a pattern preset into a plug-in object: reading and
// parsing alone, the whole load with every parameter applied, and how long
// the block path waits for the plug-in lock while preset loads or a host's
// set-chunk calls run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

#include "frame/Vardo.h"
#include "module/vst2/IPlugVST.h"
#include "persistence/PresetFile.h"
#include "persistence/StateReader.h"
#include "persistence/VardoPersistence.h"
#include "persistence/VardoStateTarget.h"

namespace sorel {
namespace {

VstIntPtr SilentHost(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float) { return 0; }

// One plug-in object with its persistence, in a data folder of its own, and
// a preset file of its (non-default) state.
struct Bench {
    Bench() {
        char pattern[] = "/tmp/sorel-bench-XXXXXX";
        folder = mkdtemp(pattern);
        setenv("XDG_DATA_HOME", folder.c_str(), 1);
        vardo = std::make_unique<Vardo>(host);
        persistence = std::make_unique<PluginPersistence>(std::make_unique<VardoStateTarget>(*vardo));
        for (int p = 0; p < param::kPatterns; ++p) vardo->SetParameterValue(param::kGate + p, -40 + p);
        for (int step = 0; step < param::kSteps; ++step) vardo->SetParameterValue(param::kStepTranspose + step, step % 7);
        path = folder + "/bench.v2z";
        SaveChunkToFile(path, persistence->ComposeCurrentPreset());
    }
    ~Bench() {
        persistence->Shutdown();
        std::filesystem::remove_all(folder);
    }
    std::string folder;
    std::string path;
    NoHost host;
    std::unique_ptr<Vardo> vardo;
    std::unique_ptr<PluginPersistence> persistence;
};

Bench& Shared() {
    static Bench bench;
    return bench;
}

void BM_ReadAndParsePreset(benchmark::State& state) {
    Bench& bench = Shared();
    std::vector<ParameterRange> ranges(param::kCount);
    for (auto _ : state) {
        StateChunk chunk;
        ReadFileToChunk(bench.path, chunk);
        const PresetHeader header = ReadPresetHeader(chunk);
        benchmark::DoNotOptimize(ReadState(chunk, header.statePos, ranges));
    }
}
BENCHMARK(BM_ReadAndParsePreset)->Unit(benchmark::kMillisecond);

// Read, decompress, parse and apply all 56,738 parameters.
void BM_LoadPresetFile(benchmark::State& state) {
    Bench& bench = Shared();
    for (auto _ : state) benchmark::DoNotOptimize(bench.persistence->LoadPresetFile(bench.path));
}
BENCHMARK(BM_LoadPresetFile)->Unit(benchmark::kMillisecond);

// A block every 0.5 ms takes the plug-in lock while `load` runs ten times on
// another thread; the counters give the waits.
template <typename Load>
void MeasureBlockLockWaits(benchmark::State& state, std::recursive_mutex& lock, Load load) {
    for (auto _ : state) {
        std::atomic<bool> loading{true};
        std::thread loader([&] {
            for (int i = 0; i < 10; ++i) load();
            loading = false;
        });
        std::vector<double> waits;
        while (loading.load()) {
            const auto asked = std::chrono::steady_clock::now();
            lock.lock();
            const auto got = std::chrono::steady_clock::now();
            lock.unlock();
            waits.push_back(std::chrono::duration<double, std::micro>(got - asked).count());
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        loader.join();
        std::sort(waits.begin(), waits.end());
        state.counters["blocks"] = static_cast<double>(waits.size());
        state.counters["wait_p99_us"] = waits[waits.size() * 99 / 100];
        state.counters["wait_max_us"] = waits.back();
    }
}

void BM_BlockLockWaitDuringLoads(benchmark::State& state) {
    Bench& bench = Shared();
    MeasureBlockLockWaits(state, bench.vardo->Mutex(),
                          [&] { bench.persistence->LoadPresetFile(bench.path); });
}
BENCHMARK(BM_BlockLockWaitDuringLoads)->Unit(benchmark::kMillisecond)->Iterations(3);

std::unique_ptr<PluginCore> BuildWithPersistence(PluginHost& host) {
    auto plugin = std::make_unique<Vardo>(host);
    plugin->SetPersistenceHooks(MakePersistenceHooks(*plugin));
    return plugin;
}

// Sorel built through its C entry, as a host has it, with persistence.
struct HostedSorel {
    HostedSorel() {
        Shared();  // the data folder
        effect = CreateEffect(&SilentHost, &BuildWithPersistence);
        Dispatch(effOpen);
        for (int p = 0; p < param::kPatterns; ++p) effect->dispatcher(effect, effVendorSpecific, kTableSet, param::kGate + p, nullptr, 0.3f);
    }
    ~HostedSorel() { Dispatch(effClose); }
    intptr_t Dispatch(int opcode, int index = 0, intptr_t value = 0, void* ptr = nullptr) {
        return effect->dispatcher(effect, opcode, index, value, ptr, 0.0f);
    }
    std::vector<uint8_t> SavedState() {
        void* data = nullptr;
        const intptr_t size = Dispatch(effGetChunk, 0, 0, &data);
        return {static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size};
    }
    std::recursive_mutex& Lock() { return CoreOf(effect)->Mutex(); }
    AEffect* effect = nullptr;
};

// The same while a host's set-chunk calls apply its saved state.
void BM_BlockLockWaitDuringHostSetChunk(benchmark::State& state) {
    HostedSorel sorel;
    std::vector<uint8_t> chunk = sorel.SavedState();
    MeasureBlockLockWaits(state, sorel.Lock(), [&] {
        sorel.Dispatch(effSetChunk, 0, static_cast<intptr_t>(chunk.size()), chunk.data());
    });
}
BENCHMARK(BM_BlockLockWaitDuringHostSetChunk)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same while a host saves its project (hosts autosave while playing).
void BM_BlockLockWaitDuringHostGetChunk(benchmark::State& state) {
    HostedSorel sorel;
    MeasureBlockLockWaits(state, sorel.Lock(), [&] { benchmark::DoNotOptimize(sorel.SavedState()); });
}
BENCHMARK(BM_BlockLockWaitDuringHostGetChunk)->Unit(benchmark::kMillisecond)->Iterations(3);

// The whole state handed over by one effGetChunk call, and the sizes of the
// bank and program chunks a host keeps in its project.
void BM_HostGetChunk(benchmark::State& state) {
    HostedSorel sorel;
    for (auto _ : state) {
        void* data = nullptr;
        benchmark::DoNotOptimize(sorel.Dispatch(effGetChunk, 0, 0, &data));
    }
    void* data = nullptr;
    state.counters["bank_bytes"] = static_cast<double>(sorel.Dispatch(effGetChunk, 0, 0, &data));
    state.counters["program_bytes"] = static_cast<double>(sorel.Dispatch(effGetChunk, 1, 0, &data));
}
BENCHMARK(BM_HostGetChunk)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace sorel

BENCHMARK_MAIN();
