// What one instance of Sorel.so costs a host: building and opening it (every
// parameter pushed to the engine), an idle block, a busy block, and the
// memory it keeps. Loads the module as a host does.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <mutex>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "frame/Vardo.h"
#include "module/vst2/IPlugVST.h"

namespace {

VstTimeInfo gTime{};

VstIntPtr BenchHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    switch (opcode) {
        case audioMasterVersion:
            return 2400;
        case audioMasterGetTime:
            return reinterpret_cast<VstIntPtr>(&gTime);
        case audioMasterProcessEvents:
            return 1;
        default:
            return 0;
    }
}

// A small VST 2 plug-in packaged by Debian (dpf-plugins-vst), as a yardstick.
constexpr char kKarsPath[] = "/usr/lib/vst/Kars-vst.so";

VSTPluginMainProc LoadEntry(const char* path) {
    void* library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        std::fprintf(stderr, "cannot load %s: %s\n", path, dlerror());
        return nullptr;
    }
    // Older modules export the entry only under its first name, "main".
    void* entry = dlsym(library, "VSTPluginMain");
    if (!entry) entry = dlsym(library, "main");
    return reinterpret_cast<VSTPluginMainProc>(entry);
}

VSTPluginMainProc Entry() {
    static VSTPluginMainProc entry = [] {
        // Settings the plug-in writes stay out of the user's data folder.
        const auto data = std::filesystem::temp_directory_path() / ("sorel-frame-bench-" + std::to_string(getpid()));
        std::filesystem::create_directories(data);
        setenv("XDG_DATA_HOME", data.c_str(), 1);
        VSTPluginMainProc found = LoadEntry(SOREL_MODULE_PATH);
        if (!found) std::exit(1);
        return found;
    }();
    return entry;
}

VSTPluginMainProc KarsEntry() {
    static VSTPluginMainProc entry = LoadEntry(kKarsPath);
    return entry;
}

AEffect* OpenInstance(VSTPluginMainProc entry = Entry()) {
    AEffect* effect = entry(&BenchHost);
    effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0);
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 48000.0f);
    effect->dispatcher(effect, effSetBlockSize, 0, 64, nullptr, 0);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0);
    return effect;
}

void Close(AEffect* effect) { effect->dispatcher(effect, effClose, 0, 0, nullptr, 0); }

// A table parameter, as Sorel's own tools set it through the VST 2 interface.
void SetTableParameter(AEffect* effect, int index, float normalized) {
    effect->dispatcher(effect, effVendorSpecific, sorel::kTableSet, index, nullptr, normalized);
}

void SetTransport(bool playing) {
    gTime = VstTimeInfo{};
    gTime.sampleRate = 48000;
    gTime.tempo = 120;
    gTime.timeSigNumerator = gTime.timeSigDenominator = 4;
    gTime.flags = kVstTempoValid | kVstPpqPosValid | kVstTimeSigValid | (playing ? kVstTransportPlaying : 0);
}

// Every iteration but the first builds a further instance of the process.
void BM_CreateAndOpen(benchmark::State& state, VSTPluginMainProc (*entry)()) {
    SetTransport(false);
    if (!entry()) {
        state.SkipWithError("module not installed");
        return;
    }
    for (auto _ : state) {
        AEffect* effect = OpenInstance(entry());
        state.PauseTiming();
        Close(effect);
        state.ResumeTiming();
    }
}
BENCHMARK_CAPTURE(BM_CreateAndOpen, Sorel, &Entry)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CreateAndOpen, Kars, &KarsEntry)->Unit(benchmark::kMillisecond);

// What a host that loads, opens and closes a further instance waits for.
void BM_CreateOpenAndClose(benchmark::State& state, VSTPluginMainProc (*entry)()) {
    SetTransport(false);
    if (!entry()) {
        state.SkipWithError("module not installed");
        return;
    }
    for (auto _ : state) Close(OpenInstance(entry()));
}
BENCHMARK_CAPTURE(BM_CreateOpenAndClose, Sorel, &Entry)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CreateOpenAndClose, Kars, &KarsEntry)->Unit(benchmark::kMillisecond);

// The same for the plug-in object alone, without the files that
// persistence reads when the module builds an instance.
void BM_CreateAndOpenFrameOnly(benchmark::State& state) {
    SetTransport(false);
    for (auto _ : state) {
        AEffect* effect = sorel::CreateEffect(&BenchHost, [](sorel::PluginHost& h) -> std::unique_ptr<sorel::PluginCore> {
            return std::make_unique<sorel::Vardo>(h);
        });
        effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0);
        state.PauseTiming();
        Close(effect);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CreateAndOpenFrameOnly)->Unit(benchmark::kMillisecond);

// Pasting one key area into the other three writes 40,320 parameters a
// run at a time on a worker thread; each run holds the plug-in lock.
// BM_PasteRun is one run's work (the longest a block can wait for a paste),
// BM_PasteKeyAreaToAll the whole paste as a musician waits for it.
sorel::Vardo* OpenFrameOnly(AEffect*& effect) {
    effect = sorel::CreateEffect(&BenchHost, [](sorel::PluginHost& h) -> std::unique_ptr<sorel::PluginCore> {
        return std::make_unique<sorel::Vardo>(h);
    });
    effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0);
    return static_cast<sorel::Vardo*>(sorel::CoreOf(effect));
}

void BM_PasteRun(benchmark::State& state) {
    AEffect* effect = nullptr;
    sorel::Vardo* vardo = OpenFrameOnly(effect);
    double value = 1.0;
    for (auto _ : state) {
        std::lock_guard<std::recursive_mutex> lock(vardo->Mutex());
        for (int i = 0; i < int(sorel::BulkEditWorker::kRunLength); ++i)
            vardo->SetParameterValue(sorel::PatternImage::ParameterIndex(1, i % 12, i * 7), value,
                                     sorel::ChangeSource::User);
        value = 3.0 - value;
    }
    Close(effect);
}
BENCHMARK(BM_PasteRun)->Unit(benchmark::kMicrosecond);

void BM_PasteKeyAreaToAll(benchmark::State& state) {
    AEffect* effect = nullptr;
    sorel::Vardo* vardo = OpenFrameOnly(effect);
    constexpr float kCopy = 0.0f, kPasteToAll = 0.5f;
    SetTableParameter(effect, sorel::param::kCopyCcMenu, kCopy);
    for (auto _ : state) {
        SetTableParameter(effect, sorel::param::kCopyCcMenu, kPasteToAll);
        vardo->Actions().WaitUntilIdle();
    }
    Close(effect);
}
BENCHMARK(BM_PasteKeyAreaToAll)->UseRealTime()->Unit(benchmark::kMillisecond);

// The part of a key-area menu item that runs in the host's (or editor's)
// call itself, holding the plug-in lock: "Copy" reads the key area's 12
// patterns, "Paste to all" queues its writes for the worker.
void BM_KeyAreaMenuItemHoldingTheLock(benchmark::State& state) {
    AEffect* effect = nullptr;
    sorel::Vardo* vardo = OpenFrameOnly(effect);
    const float item = state.range(0) == 0 ? 0.0f : 0.5f;  // "Copy", "Paste to all"
    SetTableParameter(effect, sorel::param::kCopyCcMenu, 0.0f);
    for (auto _ : state) {
        SetTableParameter(effect, sorel::param::kCopyCcMenu, item);
        state.PauseTiming();
        vardo->Actions().WaitUntilIdle();
        state.ResumeTiming();
    }
    Close(effect);
}
BENCHMARK(BM_KeyAreaMenuItemHoldingTheLock)->Arg(0)->Arg(1)->Iterations(50)->Unit(benchmark::kMicrosecond);

// Automation on the audio thread: setParameter of "Area 1 gate" (a timing
// parameter, which finds the pattern the area plays) and of "Area 1 pattern".
// The whole call holds the plug-in lock; its longest run in the thread's
// own CPU time (a busy machine's preemptions left out) is the longest hold.
double ThreadMicroseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e6 + t.tv_nsec * 1e-3;
}
void BM_HostSetParameter(benchmark::State& state) {
    AEffect* effect = nullptr;
    OpenFrameOnly(effect);
    const int hostIndex = static_cast<int>(state.range(0));
    const float values[] = {0.2f, 0.6f};
    size_t turn = 0;
    double longest = 0.0;
    for (auto _ : state) {
        const double start = ThreadMicroseconds();
        effect->setParameter(effect, hostIndex, values[++turn % 2]);
        longest = std::max(longest, ThreadMicroseconds() - start);
    }
    state.counters["longest_hold_us"] = longest;
    Close(effect);
}
constexpr int kHostAreaOnePattern = 0, kHostAreaOneGate = 8;
BENCHMARK(BM_HostSetParameter)->ArgName("host_index")->Arg(kHostAreaOneGate)->Arg(kHostAreaOnePattern)->Unit(benchmark::kNanosecond);

void SendNotes(AEffect* effect, std::initializer_list<int> notes) {
    std::vector<VstMidiEvent> events;
    for (int note : notes) {
        VstMidiEvent e{};
        e.type = kVstMidiType;
        e.byteSize = sizeof e;
        e.midiData[0] = static_cast<char>(0x90);
        e.midiData[1] = static_cast<char>(note);
        e.midiData[2] = 100;
        events.push_back(e);
    }
    std::vector<char> storage(sizeof(VstEvents) + events.size() * sizeof(VstEvent*));
    auto* list = reinterpret_cast<VstEvents*>(storage.data());
    list->numEvents = static_cast<VstInt32>(events.size());
    VstEvent** slots = list->events;
    for (size_t i = 0; i < events.size(); ++i) slots[i] = reinterpret_cast<VstEvent*>(&events[i]);
    effect->dispatcher(effect, effProcessEvents, 0, 0, list, 0);
}

void RunBlocks(benchmark::State& state, AEffect* effect, bool playing) {
    constexpr int kFrames = 64;
    std::vector<float> left(kFrames), right(kFrames);
    float* outputs[2] = {left.data(), right.data()};
    for (auto _ : state) {
        effect->processReplacing(effect, nullptr, outputs, kFrames);
        if (playing) {
            gTime.samplePos += kFrames;
            gTime.ppqPos = gTime.samplePos / 24000.0;
        }
    }
    // Share of one core: CPU time per block over the block's audio time.
    state.counters["realtime_fraction"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kFrames / 48000.0,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_IdleBlock64(benchmark::State& state) {
    SetTransport(false);
    AEffect* effect = OpenInstance();
    RunBlocks(state, effect, false);
    Close(effect);
}
BENCHMARK(BM_IdleBlock64)->Unit(benchmark::kNanosecond);

void BM_PlayingChordBlock64(benchmark::State& state) {
    SetTransport(true);
    AEffect* effect = OpenInstance();
    SendNotes(effect, {36, 40, 43, 47});
    RunBlocks(state, effect, true);
    Close(effect);
}
BENCHMARK(BM_PlayingChordBlock64)->Unit(benchmark::kNanosecond);

long ResidentBytes() {
    long pages = 0, resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(statm);
    }
    return resident * sysconf(_SC_PAGESIZE);
}

// The memory that stays resident per opened instance without an editor.
void BM_ResidentMemoryPerInstance(benchmark::State& state, VSTPluginMainProc (*entry)()) {
    SetTransport(false);
    if (!entry()) {
        state.SkipWithError("module not installed");
        return;
    }
    Close(OpenInstance(entry()));  // the module's own pages are counted before
    constexpr int kInstances = 4;
    double perInstance = 0;
    for (auto _ : state) {
        const long before = ResidentBytes();
        AEffect* effects[kInstances];
        for (AEffect*& e : effects) {
            e = OpenInstance(entry());
            std::vector<float> buffer(64);
            float* outputs[2] = {buffer.data(), buffer.data()};
            e->processReplacing(e, nullptr, outputs, 64);
        }
        perInstance = double(ResidentBytes() - before) / kInstances;
        state.PauseTiming();
        for (AEffect* e : effects) Close(e);
        state.ResumeTiming();
    }
    state.counters["resident_MiB_per_instance"] = perInstance / (1024.0 * 1024.0);
}
BENCHMARK_CAPTURE(BM_ResidentMemoryPerInstance, Sorel, &Entry)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ResidentMemoryPerInstance, Kars, &KarsEntry)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
