#include "soak/HostileHost.h"

#include "engine/ParameterIndex.h"

namespace sorel::soak {
namespace {

constexpr int kSampleRate = 48000;
constexpr int kQuietBlocks = 2 * kSampleRate / HostileHost::kOrdinaryBlock;
constexpr int kSettleBlocks = 30 * kSampleRate / HostileHost::kOrdinaryBlock;
constexpr int kReleaseListSize = 500;
constexpr int kLongestNegativeCount = 1000;

}  // namespace

std::chrono::nanoseconds HostileHost::Block(bool presetSteps) {
    transport_.BetweenBlocks(plugin_);
    const BlockPlan plan = transport_.Next();
    plugin_.SetTime(plan.time, plan.answersTime);
    const VstEvents* events = midi_.NextBlock(plan.frames, presetSteps);
    // Now and then a host hands over nothing, or a negative count.
    if (dice_.Chance(0.0025)) plugin_.Deliver(nullptr);
    if (dice_.Chance(0.0025)) {
        auto* list = const_cast<VstEvents*>(events);
        const VstInt32 count = list->numEvents;
        list->numEvents = -static_cast<VstInt32>(dice_.Uniform(1, kLongestNegativeCount));
        plugin_.Deliver(list);
        list->numEvents = count;
    }
    plugin_.Deliver(events);
    return plugin_.ProcessBlock(plan.frames, plan.entry);
}

int HostileHost::ReleaseEverything() {
    plugin_.SetTime(HostileTransport::Ordinary(false), true);
    plugin_.Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(kSampleRate));
    plugin_.Dispatch(effSetBlockSize, 0, kOrdinaryBlock);
    plugin_.Dispatch(effMainsChanged, 0, 1);
    // Events still waiting (a control key may yet switch hold on) take effect first.
    plugin_.ProcessBlock(kOrdinaryBlock);
    // Hold and note release both keep an arpeggio going after its keys are up.
    for (int area = 0; area < param::kKeyAreas; ++area) {
        plugin_.SetParameter(param::kHold + area, 0.0f);
        plugin_.SetParameter(param::kNoteRelease + area, 0.0f);
    }
    while (const VstEvents* offs = midi_.ReleaseKeys(kReleaseListSize)) {
        plugin_.Deliver(offs);
        plugin_.ProcessBlock(kOrdinaryBlock);
    }
    return SettleAndCountSounding(plugin_);
}

int SettleAndCountSounding(test::TestHost& plugin) {
    auto sounding = [&] { return plugin.WithChecker([](test::MidiOutChecker& c) { return c.SoundingNotes(); }); };
    for (int block = 0, quiet = 0; block < kSettleBlocks && quiet < kQuietBlocks; ++block) {
        plugin.ProcessBlock(HostileHost::kOrdinaryBlock);
        quiet = sounding() == 0 ? quiet + 1 : 0;
    }
    return plugin.WithChecker([](test::MidiOutChecker& c) { return c.ReportSoundingNotes(), c.SoundingNotes(); });
}

}  // namespace sorel::soak
