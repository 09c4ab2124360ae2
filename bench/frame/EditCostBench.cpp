// What an edit leaves for the audio thread: with a chord held in every key
// area and the transport running, one edit as the editor or the host makes
// it, then the blocks that follow. Reports the block's own thread CPU time
// (manual time) and, as counters, the worst block and the edit's own cost
// on the thread that made it.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "engine/ParameterIndex.h"
#include "support/TestHost.h"

namespace {

using namespace sorel;

constexpr int kBlock = 256;
constexpr int kBlocksAfterEdit = 4;
constexpr int kWarmBlocks = 200;
// Edits are counted, not timed: the blocks' own time is tiny beside a chunk's.
constexpr int kEdits = 5000;
constexpr int kChunkEdits = 100;
constexpr uint8_t kChord[] = {36, 40, 43, 48, 52, 55, 60, 64, 67, 72, 76, 79};

struct Playing {
    Playing() {
        const auto data = std::filesystem::temp_directory_path() / ("sorel-edit-bench-" + std::to_string(getpid()));
        std::filesystem::create_directories(data);
        setenv("XDG_DATA_HOME", data.c_str(), 1);
        std::string error;
        host = std::make_unique<test::TestHost>(test::LoadModuleEntry(SOREL_MODULE_PATH, error));
        host->SetRecording(false);
        if (!host->CreateAndOpen(kBlock)) std::exit(1);
        for (int area = 0; area < param::kKeyAreas; ++area) host->SetParameter(param::kKeyAreaOnOff + area, 1.0f);
        host->transport.playing = true;
        for (const uint8_t key : kChord) host->QueueMidi(0, 0x90, key, 100);
        host->ProcessBlocks(kWarmBlocks, kBlock);
        chunk = host->GetChunk(1);
    }
    std::unique_ptr<test::TestHost> host;
    std::vector<uint8_t> chunk;
};

Playing& Instance() {
    static Playing playing;
    return playing;
}

void EditThenBlocks(benchmark::State& state, const std::function<void(test::TestHost&, int)>& edit) {
    Playing& p = Instance();
    std::chrono::nanoseconds worstBlock{}, worstEdit{};
    int round = 0;
    for (auto _ : state) {
        const auto before = test::ThreadCpuTime();
        edit(*p.host, round++);
        worstEdit = std::max(worstEdit, test::ThreadCpuTime() - before);
        std::chrono::nanoseconds longest{};
        for (int i = 0; i < kBlocksAfterEdit; ++i) longest = std::max(longest, p.host->ProcessBlock(kBlock));
        worstBlock = std::max(worstBlock, longest);
        state.SetIterationTime(std::chrono::duration<double>(longest).count());
    }
    state.counters["worst_block_us"] = std::chrono::duration<double, std::micro>(worstBlock).count();
    state.counters["worst_edit_us"] = std::chrono::duration<double, std::micro>(worstEdit).count();
}

void Register(const char* name, std::function<void(test::TestHost&, int)> edit, int edits = kEdits) {
    benchmark::RegisterBenchmark(name, [edit](benchmark::State& s) { EditThenBlocks(s, edit); })
        ->UseManualTime()
        ->Iterations(edits)
        ->Unit(benchmark::kMicrosecond);
}

// A host floods the plug-in with key presses and releases on the key areas'
// channels and hands it a block of no frames, which plays none of them; then
// the ordinary blocks that follow, each with a key, are timed: the first
// of them finds the whole backlog queued.
constexpr int kFloodEvents = 10000;
constexpr int kBlocksAfterFlood = 64;
constexpr int kFloodRounds = 30;
constexpr uint32_t kFloodChannels = 1;  // the key areas listen on the first

void BM_BlocksAfterFlood(benchmark::State& state) {
    Playing& p = Instance();
    uint32_t dice = 1;
    auto roll = [&dice](uint32_t n) { return (dice = dice * 1664525u + 1013904223u) >> 8 & 0xFFFFFF, dice % n; };
    std::chrono::nanoseconds worstBlock{};
    for (auto _ : state) {
        for (int i = 0; i < kFloodEvents; ++i)
            p.host->QueueMidi(static_cast<int>(roll(kBlock)), (roll(4) ? 0x90 : 0x80) | roll(kFloodChannels), roll(128), 100);
        p.host->ProcessBlock(0);
        std::chrono::nanoseconds longest{};
        for (int i = 0; i < kBlocksAfterFlood; ++i) {
            p.host->QueueMidi(0, 0x90 | roll(16), roll(128), 90);
            longest = std::max(longest, p.host->ProcessBlock(kBlock));
        }
        worstBlock = std::max(worstBlock, longest);
        state.SetIterationTime(std::chrono::duration<double>(longest).count());
    }
    state.counters["worst_block_us"] = std::chrono::duration<double, std::micro>(worstBlock).count();
}

}  // namespace

int main(int argc, char** argv) {
    constexpr int kSortOrders = 4;
    Register("Nothing", [](test::TestHost&, int) {});
    Register("SortOrder", [](test::TestHost& h, int r) {
        h.SetParameter(param::kSortOrder, static_cast<float>(r % kSortOrders) / (kSortOrders - 1));
    });
    Register("SortOrderEveryPattern", [](test::TestHost& h, int r) {
        for (int pattern = 0; pattern < param::kPatterns; ++pattern)
            h.SetParameter(param::kSortOrder + pattern, static_cast<float>(r % kSortOrders) / (kSortOrders - 1));
    });
    Register("StepSwitch", [](test::TestHost& h, int r) {
        h.SetParameter(param::kStepOnOff + r % param::kSteps, r % 2 ? 1.0f : 0.0f);
    });
    Register("StepLength", [](test::TestHost& h, int r) {
        h.SetParameter(param::kStepLength + r % param::kSteps, r % 2 ? 0.3f : 0.7f);
    });
    Register("OwnChunk", [](test::TestHost& h, int) { h.SetChunk(1, Instance().chunk); }, kChunkEdits);
    benchmark::RegisterBenchmark("BlocksAfterFlood", BM_BlocksAfterFlood)
        ->UseManualTime()
        ->Iterations(kFloodRounds)
        ->Unit(benchmark::kMicrosecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
