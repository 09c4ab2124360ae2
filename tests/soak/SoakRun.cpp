#include "soak/SoakRun.h"

#include <algorithm>
#include <atomic>
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

constexpr int kOrdinaryBlock = HostileHost::kOrdinaryBlock;
constexpr int kPassageBlock = 441;
constexpr int kPassageHeldBlocks = 24 * 48000 / kPassageBlock;  // 24 seconds
constexpr int kPassageReleasedBlocks = 48000 / kPassageBlock;
constexpr int kFewestPassageNotes = 200;
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

std::string Describe(std::vector<test::SentMidi>::const_iterator e, const std::vector<test::SentMidi>& all) {
    if (e == all.end()) return "nothing";
    char text[80];
    std::snprintf(text, sizeof text, "block %lld offset %d [%02X %02X %02X]", static_cast<long long>(e->block),
                  e->offset, e->status, e->data1, e->data2);
    return text;
}

std::unique_ptr<test::TestHost> OpenInstance(VSTPluginMainProc entry) {
    auto plugin = std::make_unique<test::TestHost>(entry);
    plugin->SetRecording(false);
    if (!plugin->CreateAndOpen(kOrdinaryBlock)) return nullptr;
    return plugin;
}

// The audio thread plays the storm; with `threads` a host's editor thread
// pushes parameters beside it, and a third thread loads states and serves
// the plug-in's idle work, which steps through presets. Without, the audio
// thread makes those calls between its blocks.
void Storm(test::TestHost& plugin, const SoakOptions& options, SoakReport& report) {
    Dice dice(options.seed), parameterDice(options.seed ^ kParameterSeedSalt), stateDice(options.seed ^ kStateSeedSalt);
    HostileHost host(plugin, dice);
    ParameterStorm parameters(parameterDice);
    StateStorm states(stateDice, options.dataRoot);
    std::atomic<bool> stateTrafficNow{false}, stop{false};
    auto stateStep = [&] {
        plugin.SetParameter(param::kDisableControlZone, 0.0f);
        states.Step(plugin);
    };
    const auto start = Clock::now();
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
    const auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                             std::chrono::duration<double>(options.seconds));
    while (Clock::now() < deadline) {
        const bool stateTraffic = StateTrafficAt(report.blocks);
        stateTrafficNow.store(stateTraffic);
        if (!options.threads) {
            for (int n = static_cast<int>(dice.Uniform(0, 2)); n > 0; --n) parameters.Step(plugin);
            if (stateTraffic && dice.Chance(0.02)) stateStep();
            plugin.Dispatch(effIdle);
        }
        report.worstBlock = std::max(report.worstBlock, host.Block(stateTraffic));
        ++report.blocks;
    }
    stop = true;
    for (std::thread& t : helpers) t.join();
    report.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    plugin.SetTime(HostileHost::Ordinary(false), true);
    // Preset steps the storm asked for are served by idle calls and loaded
    // on the plug-in's own thread: let them land before the checks begin.
    for (const auto settled = Clock::now() + kLoadSettleTime; Clock::now() < settled;) {
        plugin.Dispatch(effIdle);
        plugin.ProcessBlock(kOrdinaryBlock);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    report.soundingAfterRelease = host.ReleaseEverything();
}

// The soaked instance takes a fresh one's state; both play the known
// passage, which must come out alike, every note of it ended.
void CompareWithFresh(test::TestHost& fresh, test::TestHost& plugin, SoakReport& report) {
    if (!plugin.SetChunk(1, fresh.GetChunk(1))) {
        report.comparison = "a fresh instance's chunk was refused";
        return;
    }
    const std::vector<test::SentMidi> expected = PlayKnownPassage(fresh);
    const std::vector<test::SentMidi> played = PlayKnownPassage(plugin);
    report.soundingAfterRelease += SettleAndCountSounding(plugin);
    const auto [mine, theirs] = std::mismatch(played.begin(), played.end(), expected.begin(), expected.end());
    if (const size_t notes = test::NoteOns(expected).size(); notes < kFewestPassageNotes)
        report.comparison = "a fresh instance played only " + std::to_string(notes) + " notes of the passage";
    else if (mine != played.end() || theirs != expected.end())
        report.comparison = "from event " + std::to_string(mine - played.begin()) + " of " + std::to_string(expected.size()) +
                            " on: " + Describe(mine, played) + " where a fresh one sent " + Describe(theirs, expected);
}

}  // namespace

std::vector<test::SentMidi> PlayKnownPassage(test::TestHost& plugin) {
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
    std::vector<test::SentMidi> events = plugin.Sent();
    for (test::SentMidi& e : events) e.block -= first;
    plugin.ClearSent();
    return events;
}

SoakReport RunSoak(VSTPluginMainProc entry, const SoakOptions& options) {
    SoakReport report;
    // The presets must exist before the soaked instance builds its browser.
    const auto fresh = OpenInstance(entry);
    if (fresh) StateStorm::FillShelf(options.dataRoot, fresh->GetChunk(1));
    const auto instance = OpenInstance(entry);
    if (!fresh || !instance) {
        report.faults.push_back("the module's entry gave no plug-in");
        report.faultCount = 1;
        return report;
    }
    Storm(*instance, options, report);
    CompareWithFresh(*fresh, *instance, report);
    instance->WithChecker([&](test::MidiOutChecker& c) {
        report.eventsOut = c.EventCount();
        report.faultCount += c.FaultCount();
        report.faults = c.FaultTexts();
        return 0;
    });
    return report;
}

void SoakReport::Print(std::ostream& out) const {
    char line[160];
    std::snprintf(line, sizeof line, "soak: %.1f s, %lld blocks, %llu events out, worst block %.3f ms\n", seconds,
                  static_cast<long long>(blocks), static_cast<unsigned long long>(eventsOut), worstBlock.count() / 1e6);
    out << line << "notes sounding after release: " << soundingAfterRelease << "\n";
    out << "arpeggiates as a fresh instance: " << (comparison.empty() ? "yes" : "NO " + comparison) << "\n";
    out << "faults: " << faultCount << "\n";
    for (const std::string& f : faults) out << "  " << f << "\n";
    out << (Passed() ? "PASSED" : "FAILED") << "\n";
}

}  // namespace sorel::soak
