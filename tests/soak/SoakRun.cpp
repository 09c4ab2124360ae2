#include "soak/SoakRun.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

#include "engine/ParameterIndex.h"
#include "soak/HostileHost.h"
#include "soak/ParameterStorm.h"
#include "soak/StateStorm.h"

namespace sorel::soak {
namespace {

using Clock = std::chrono::steady_clock;
using Sent = std::vector<test::SentMidi>;

constexpr int kPassageBlock = 441;
constexpr int kPassageHeldBlocks = 24 * 48000 / kPassageBlock;  // 24 seconds
constexpr int kPassageReleasedBlocks = 48000 / kPassageBlock;
constexpr size_t kFewestPassageNotes = 200;
constexpr auto kLoadSettleTime = std::chrono::seconds(3);
constexpr uint64_t kParameterSeedSalt = 0x9E3779B97F4A7C15ull;
constexpr uint64_t kStateSeedSalt = 0xC2B2AE3D27D4EB4Full;
// A chord above the control zone in each key area's default range.
constexpr uint8_t kPassageKeys[] = {36, 40, 43, 48, 52, 55, 60, 64, 67, 72, 76, 79};
// A rate for each area, so that their notes rarely end together.
constexpr const char* kPassageRates[param::kKeyAreas] = {"12", "14", "15", "17"};  // 1/16, 1/16T, 1/32, 1/32T

// State traffic comes in every other stretch of blocks; counted in blocks,
// not wall time, so that a seed replays the same storm.
constexpr int64_t kPhaseBlocks = 1000;
bool StateTrafficAt(int64_t block) { return (block / kPhaseBlocks) % 2 == 0; }

std::string Describe(Sent::const_iterator e, const Sent& all) {
    if (e == all.end()) return "nothing";
    char text[80];
    std::snprintf(text, sizeof text, "block %lld offset %d [%02X %02X %02X]", static_cast<long long>(e->block),
                  e->offset, e->status, e->data1, e->data2);
    return text;
}

std::string Describe(const LongestBlock& b) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "%.1f us of thread CPU time (block %lld, %d frames, %d events, %ld page faults, preempted %ld times, ",
                  std::chrono::duration<double, std::micro>(b.cpu).count(), static_cast<long long>(b.block), b.frames,
                  b.events, b.pageFaults, b.preempted);
    return text + b.before + ")";
}

std::unique_ptr<test::TestHost> OpenInstance(VSTPluginMainProc entry) {
    auto plugin = std::make_unique<test::TestHost>(entry);
    plugin->SetRecording(false);
    return plugin->CreateAndOpen(HostileHost::kOrdinaryBlock) ? std::move(plugin) : nullptr;
}

// The audio thread plays the storm; with `threads` a host's editor thread
// pushes parameters beside it, and a third thread loads states and serves
// the plug-in's idle work, which steps through presets. Without, the audio
// thread makes those calls between its blocks. Returns the notes still
// sounding once everything was released.
int Storm(test::TestHost& plugin, const SoakOptions& options, std::ostream& out, LongestBlock& longest,
          LongestBlock& longestOrdinary, LongestBlock& longestUnpreempted) {
    Dice dice(options.seed), parameterDice(options.seed ^ kParameterSeedSalt), stateDice(options.seed ^ kStateSeedSalt);
    HostileHost host(plugin, dice);
    ParameterStorm parameters(parameterDice);
    StateStorm states(stateDice, options.dataRoot);
    std::atomic<bool> stateTrafficNow{false}, stop{false};
    auto stateStep = [&] {
        plugin.SetParameter(param::kDisableControlZone, 0.0f);
        states.Step(plugin);
    };
    std::vector<std::thread> helpers;
    if (options.threads) {
        helpers.emplace_back([&] {
            while (!stop.load()) {
                parameters.Step(plugin);
                std::this_thread::sleep_for(std::chrono::microseconds(parameterDice.Uniform(0, 199)));
            }
        });
        helpers.emplace_back([&] {
            while (!stop.load()) {
                if (stateTrafficNow.load()) stateStep();
                plugin.Dispatch(stateDice.Chance(0.5) ? effIdle : effEditIdle);
                std::this_thread::sleep_for(std::chrono::microseconds(stateDice.Uniform(500, 5499)));
            }
        });
    }
    int64_t blocks = 0;
    for (const auto deadline = Clock::now() + std::chrono::duration<double>(options.seconds); Clock::now() < deadline;) {
        const bool stateTraffic = StateTrafficAt(blocks++);
        stateTrafficNow.store(stateTraffic);
        if (!options.threads) {
            for (int n = static_cast<int>(dice.Uniform(0, 2)); n > 0; --n) parameters.Step(plugin);
            if (stateTraffic && dice.Chance(0.02)) stateStep();
            plugin.Dispatch(effIdle);
        }
        host.Block(stateTraffic, [&] {
            return "after " + parameters.Last() + (stateTraffic ? std::string(", state: ") + states.Last() : "");
        });
    }
    longest = host.Longest();
    longestOrdinary = host.LongestOrdinary();
    longestUnpreempted = host.LongestUnpreempted();
    stop = true;
    for (std::thread& t : helpers) t.join();
    out << "soak: " << blocks << " blocks in " << options.seconds << " s\n";
    plugin.SetTime(HostileHost::Ordinary(false), true);
    // Preset steps the storm asked for are served by idle calls and loaded
    // on the plug-in's own thread: let them land before the checks begin.
    for (const auto settled = Clock::now() + kLoadSettleTime; Clock::now() < settled;) {
        plugin.Dispatch(effIdle);
        plugin.ProcessBlock(HostileHost::kOrdinaryBlock);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return host.ReleaseEverything();
}

// The soaked instance takes a fresh one's state; both play the known
// passage, which must come out alike, every note of it ended. Returns what
// differed, empty when nothing did.
std::string CompareWithFresh(test::TestHost& fresh, test::TestHost& plugin, int& sounding) {
    if (!plugin.SetChunk(1, fresh.GetChunk(1))) return "a fresh instance's chunk was refused";
    const Sent expected = PlayKnownPassage(fresh);
    const Sent played = PlayKnownPassage(plugin);
    sounding += SettleAndCountSounding(plugin);
    if (const size_t notes = test::NoteOns(expected).size(); notes < kFewestPassageNotes)
        return "a fresh instance played only " + std::to_string(notes) + " notes of the passage";
    const auto [mine, theirs] = std::mismatch(played.begin(), played.end(), expected.begin(), expected.end());
    if (mine == played.end() && theirs == expected.end()) return "";
    return "from event " + std::to_string(mine - played.begin()) + " of " + std::to_string(expected.size()) +
           " on: " + Describe(mine, played) + " where a fresh one sent " + Describe(theirs, expected);
}

}  // namespace

Sent PlayKnownPassage(test::TestHost& plugin) {
    plugin.SetTime(HostileHost::Ordinary(false), true);
    for (int area = 0; area < param::kKeyAreas; ++area) {
        plugin.SetParameter(param::kKeyAreaOnOff + area, 1.0f);
        plugin.SetParameterText(param::kRate + area * param::kPatternsPerArea, kPassageRates[area]);
    }
    plugin.ProcessBlocks(4, kPassageBlock);
    plugin.ClearSent();
    plugin.SetRecording(true);
    const int64_t first = plugin.BlockCount();
    int64_t position = 0;
    auto play = [&](int blocks, uint8_t status) {
        for (const uint8_t key : kPassageKeys) plugin.QueueMidi(0, status, key, status == 0x90 ? 100 : 0);
        for (int i = 0; i < blocks; ++i, position += kPassageBlock) {
            plugin.SetTime(HostileHost::Ordinary(true, static_cast<double>(position)), true);
            plugin.ProcessBlock(kPassageBlock);
        }
    };
    play(kPassageHeldBlocks, 0x90);
    play(kPassageReleasedBlocks, 0x80);
    plugin.SetTime(HostileHost::Ordinary(false), true);
    plugin.ProcessBlocks(4, kPassageBlock);
    plugin.SetRecording(false);
    Sent events = plugin.Sent();
    for (test::SentMidi& e : events) e.block -= first;
    plugin.ClearSent();
    return events;
}

bool RunSoak(VSTPluginMainProc entry, const SoakOptions& options, std::ostream& out) {
    // The presets must exist before the soaked instance builds its browser.
    const auto fresh = OpenInstance(entry);
    if (fresh) StateStorm::FillShelf(options.dataRoot, fresh->GetChunk(1));
    const auto plugin = OpenInstance(entry);
    if (!fresh || !plugin) {
        out << "the module's entry gave no plug-in\nFAILED\n";
        return false;
    }
    LongestBlock longest, ordinary, unpreempted;
    int sounding = Storm(*plugin, options, out, longest, ordinary, unpreempted);
    const bool quick = options.longestBlock.count() == 0 || ordinary.cpu <= options.longestBlock;
    const std::string differs = CompareWithFresh(*fresh, *plugin, sounding);
    const std::string faults = plugin->Faults();
    const bool passed = sounding == 0 && differs.empty() && faults.empty() && quick;
    out << "longest block: " << Describe(longest) << "\n"
        << "longest ordinary block: " << Describe(ordinary)
        << (quick ? "" : ", over the bound of " + std::to_string(options.longestBlock.count()) + " us") << "\n"
        << "longest ordinary block never preempted: " << Describe(unpreempted) << "\n"
        << "notes sounding after release: " << sounding << "\n"
        << "arpeggiates as a fresh instance: " << (differs.empty() ? "yes" : "NO " + differs) << "\n"
        << "faults: " << (faults.empty() ? "none" : faults) << "\n"
        << (passed ? "PASSED" : "FAILED") << "\n";
    return passed;
}

}  // namespace sorel::soak
