#include "soak/SoakRun.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>

#include "engine/ParameterIndex.h"
#include "soak/HostileMidi.h"
#include "soak/HostileTransport.h"
#include "soak/ParameterStorm.h"
#include "soak/StateStorm.h"

namespace sorel::soak {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kOrdinaryBlock = 512;
constexpr int kSettleBlocks = 48000 * 30 / kOrdinaryBlock;  // half a minute of audio
constexpr int kReleaseListSize = 500;
constexpr auto kLoadSettleTime = std::chrono::seconds(3);
constexpr uint64_t kParameterSeedSalt = 0x9E3779B97F4A7C15ull;
constexpr uint64_t kStateSeedSalt = 0xC2B2AE3D27D4EB4Full;

// Key area 1 listens on channel 1 above the control zone: C, E and G.
constexpr uint8_t kChordKeys[] = {36, 40, 43};

// State traffic runs in every other stretch of blocks, so that block times
// with and without it can be told apart; counted in blocks, not wall time,
// so that a seed replays the same storm.
constexpr int64_t kPhaseBlocks = 1000;
bool StateTrafficAt(int64_t block) { return (block / kPhaseBlocks) % 2 == 0; }

std::string Describe(const test::SentMidi& e) {
    char text[80];
    std::snprintf(text, sizeof text, "block %lld offset %d [%02X %02X %02X]", static_cast<long long>(e.block), e.offset,
                  e.status, e.data1, e.data2);
    return text;
}

void RunOrdinaryBlocks(test::TestHost& plugin, int count) {
    for (int i = 0; i < count; ++i) plugin.ProcessBlock(kOrdinaryBlock);
}

}  // namespace

std::vector<test::SentMidi> PlayKnownChord(test::TestHost& plugin) {
    HostileMidi midi(0);
    plugin.SetTime(HostileTransport::Ordinary(false), true);
    RunOrdinaryBlocks(plugin, 4);
    plugin.ClearSent();
    plugin.SetRecording(true);
    const int64_t first = plugin.BlockCount();
    int64_t position = 0;
    auto block = [&] {
        plugin.SetTime(HostileTransport::Ordinary(true, static_cast<double>(position)), true);
        plugin.ProcessBlock(kOrdinaryBlock);
        position += kOrdinaryBlock;
    };
    plugin.Deliver(midi.Notes({{0x90, kChordKeys[0], 100}, {0x90, kChordKeys[1], 90}, {0x90, kChordKeys[2], 80}}, 0));
    for (int i = 0; i < 96; ++i) block();  // a second: eight sixteenths
    plugin.Deliver(midi.Notes({{0x80, kChordKeys[0], 0}, {0x80, kChordKeys[1], 0}, {0x80, kChordKeys[2], 0}}, 0));
    for (int i = 0; i < 48; ++i) block();
    plugin.SetTime(HostileTransport::Ordinary(false), true);
    RunOrdinaryBlocks(plugin, 4);
    plugin.SetRecording(false);
    // Block numbers count from the first recorded block.
    std::vector<test::SentMidi> events = plugin.Sent();
    for (test::SentMidi& e : events) e.block -= first;
    plugin.ClearSent();
    return events;
}

std::unique_ptr<test::TestHost> OpenInstance(VSTPluginMainProc entry) {
    auto plugin = std::make_unique<test::TestHost>(entry);
    plugin->SetRecording(false);
    if (!plugin->CreateAndOpen(kOrdinaryBlock)) return nullptr;
    return plugin;
}

SoakRun::SoakRun(VSTPluginMainProc entry, SoakOptions options) : entry_(entry), options_(std::move(options)) {}

SoakReport SoakRun::Run() {
    SoakReport report;
    PresetShelf shelf(options_.dataRoot);
    {
        // The presets must exist before the instance builds its browser.
        const auto probe = OpenInstance(entry_);
        if (const auto chunk = probe ? probe->GetChunk(1) : std::vector<uint8_t>{}; !chunk.empty()) shelf.Fill(chunk);
    }
    midi_ = std::make_unique<HostileMidi>(options_.seed);
    const auto instance = OpenInstance(entry_);
    if (!instance) {
        report.faultCount = 1;
        report.faults.push_back("the module's entry gave no plug-in");
        return report;
    }
    test::TestHost& plugin = *instance;
    const auto start = Clock::now();
    Storm(plugin, report);
    report.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    ReleaseEverything(plugin, report);
    CompareWithFresh(plugin, report);
    plugin.WithChecker([&](test::MidiOutChecker& c) {
        report.eventsOut = c.EventCount();
        report.faultCount += c.FaultCount();
        report.faults.insert(report.faults.end(), c.FaultTexts().begin(), c.FaultTexts().end());
        return 0;
    });
    return report;
}

void SoakRun::Storm(test::TestHost& plugin, SoakReport& report) {
    HostileMidi& midi = *midi_;
    HostileTransport transport(options_.seed + 1);
    ParameterStorm parameters(options_.seed ^ kParameterSeedSalt);
    PresetShelf shelf(options_.dataRoot);
    StateStorm stateWithFiles(options_.seed ^ kStateSeedSalt, &shelf);
    std::mt19937_64 rng(options_.seed + 2);
    const auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                             std::chrono::duration<double>(options_.seconds));
    std::atomic<bool> stateTrafficNow{false};
    std::atomic<bool> stop{false};
    Injected parameterInjected, stateInjected;

    // A host's editor thread pushes parameters; a third thread loads states
    // and serves the plug-in's idle work, which steps through presets.
    std::vector<std::thread> helpers;
    if (options_.threads) {
        helpers.emplace_back([&] {
            std::mt19937_64 pause(options_.seed + 3);
            while (!stop.load()) {
                parameters.Step(plugin, parameterInjected);
                std::this_thread::sleep_for(std::chrono::microseconds(pause() % 200));
            }
        });
        helpers.emplace_back([&] {
            std::mt19937_64 pause(options_.seed + 4);
            while (!stop.load()) {
                if (stateTrafficNow.load()) {
                    plugin.SetParameter(param::kDisableControlZone, 0.0f);
                    stateWithFiles.Step(plugin, stateInjected);
                }
                plugin.Dispatch(pause() % 2 ? effIdle : effEditIdle);
                std::this_thread::sleep_for(std::chrono::microseconds(500 + pause() % 5000));
            }
        });
    }

    while (Clock::now() < deadline && (options_.maxBlocks <= 0 || report.blocks < options_.maxBlocks)) {
        const bool stateTraffic = StateTrafficAt(report.blocks);
        stateTrafficNow.store(stateTraffic);
        transport.BetweenBlocks(plugin, report.injected);
        if (!options_.threads) {
            for (int n = static_cast<int>(rng() % 3); n > 0; --n) parameters.Step(plugin, report.injected);
            if (stateTraffic && rng() % 50 == 0) {
                plugin.SetParameter(param::kDisableControlZone, 0.0f);
                stateWithFiles.Step(plugin, report.injected);
            }
            plugin.Dispatch(effIdle);
        }
        const BlockPlan plan = transport.Next(report.injected);
        plugin.SetTime(plan.time, plan.answersTime);
        const VstEvents* events = midi.NextBlock(plan.frames, stateTraffic, report.injected);
        // Now and then a host hands over nothing, or an empty or negative count.
        const int oddList = static_cast<int>(rng() % 400);
        if (oddList == 0) {
            plugin.Deliver(nullptr);
        } else if (oddList == 1) {
            auto* list = const_cast<VstEvents*>(events);
            const int count = list->numEvents;
            list->numEvents = -static_cast<int>(rng() % 1000) - 1;
            plugin.Deliver(list);
            list->numEvents = count;
        }
        plugin.Deliver(events);
        const auto took = plugin.ProcessBlock(plan.frames, plan.entry);
        auto& worst = stateTraffic ? report.worstBlockWithPresets : report.worstBlock;
        worst = std::max(worst, took);
        ++report.blocks;
        report.frames += plan.frames;
    }
    stop = true;
    for (std::thread& t : helpers) t.join();
    report.injected += parameterInjected;
    report.injected += stateInjected;
}

void SoakRun::ReleaseEverything(test::TestHost& plugin, SoakReport& report) {
    plugin.SetTime(HostileTransport::Ordinary(false), true);
    // Preset steps the storm asked for are served by idle calls and loaded
    // on the plug-in's own thread: let them land before the checks begin.
    const auto settled = Clock::now() + kLoadSettleTime;
    while (Clock::now() < settled) {
        plugin.Dispatch(effIdle);
        plugin.ProcessBlock(kOrdinaryBlock);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    plugin.Dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    plugin.Dispatch(effSetBlockSize, 0, kOrdinaryBlock);
    plugin.Dispatch(effMainsChanged, 0, 1);
    // Hold and note release both keep an arpeggio going after its keys are up.
    for (int area = 0; area < param::kKeyAreas; ++area) {
        plugin.SetParameter(param::kHold + area, 0.0f);
        plugin.SetParameter(param::kNoteRelease + area, 0.0f);
    }
    while (const VstEvents* offs = midi_->ReleaseKeys(kReleaseListSize)) {
        plugin.Deliver(offs);
        plugin.ProcessBlock(kOrdinaryBlock);
    }
    RunOrdinaryBlocks(plugin, kSettleBlocks);
    plugin.WithChecker([&](test::MidiOutChecker& c) {
        report.soundingAfterRelease = c.SoundingNotes();
        c.ReportSoundingNotes();
        return 0;
    });
}

void SoakRun::CompareWithFresh(test::TestHost& plugin, SoakReport& report) {
    const auto instance = OpenInstance(entry_);
    const std::vector<uint8_t> chunk = instance ? instance->GetChunk(1) : std::vector<uint8_t>{};
    if (chunk.empty()) {
        report.comparison = "a fresh instance gave no chunk";
        return;
    }
    if (!plugin.SetChunk(1, chunk)) {
        report.comparison = "the fresh instance's chunk was refused";
        return;
    }
    const std::vector<test::SentMidi> expected = PlayKnownChord(*instance);
    const std::vector<test::SentMidi> played = PlayKnownChord(plugin);
    const auto noteOns = std::count_if(expected.begin(), expected.end(), [](const test::SentMidi& e) {
        return (e.status & 0xF0) == 0x90 && e.data2 > 0 &&
               std::find(std::begin(kChordKeys), std::end(kChordKeys), e.data1) != std::end(kChordKeys);
    });
    if (noteOns < 6) {
        report.comparison = "a fresh instance played only " + std::to_string(noteOns) + " notes of the chord";
        return;
    }
    const auto [mine, theirs] = std::mismatch(played.begin(), played.end(), expected.begin(), expected.end());
    if (mine == played.end() && theirs == expected.end()) {
        report.arpeggiatesAsFresh = true;
        return;
    }
    report.comparison = "after the storm: " + (mine != played.end() ? Describe(*mine) : std::string("nothing")) +
                        ", fresh: " + (theirs != expected.end() ? Describe(*theirs) : std::string("nothing")) +
                        " (event " + std::to_string(mine - played.begin()) + " of " + std::to_string(expected.size()) + ")";
}

void SoakReport::Print(std::ostream& out) const {
    const double minutes = seconds / 60.0;
    char line[160];
    std::snprintf(line, sizeof line, "soak: %.1f s, %lld blocks (%.0f/min), %.1f min of audio at 48 kHz, %llu events out\n",
                  seconds, static_cast<long long>(blocks), minutes > 0 ? blocks / minutes : 0.0, frames / 48000.0 / 60.0,
                  static_cast<unsigned long long>(eventsOut));
    out << line << "injected:\n";
    injected.Print(out, minutes);
    std::snprintf(line, sizeof line, "worst block: %.3f ms without state traffic, %.3f ms with preset and chunk loads\n",
                  worstBlock.count() / 1e6, worstBlockWithPresets.count() / 1e6);
    out << line;
    out << "notes sounding after release: " << soundingAfterRelease << "\n";
    out << "arpeggiates as a fresh instance: " << (arpeggiatesAsFresh ? "yes" : "NO " + comparison) << "\n";
    out << "faults: " << faultCount << "\n";
    for (const std::string& f : faults) out << "  " << f << "\n";
    out << (Passed() ? "PASSED" : "FAILED") << "\n";
}

}  // namespace sorel::soak
