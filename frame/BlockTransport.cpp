#include "frame/BlockTransport.h"

#include <algorithm>
#include <cmath>

#include "frame/PluginHost.h"

namespace sorel {
namespace {

double SamplePosition(const TimeInfo& info) { return info.samplePos >= 0.0 ? std::floor(info.samplePos + 0.5) : 0.0; }

}  // namespace

double BlockTransport::SamplesPerBeat(const TimeInfo& info, double sampleRate) {
    const double rate = sampleRate > 0.0 ? sampleRate : PluginHost::kDefaultSampleRate;
    // No tempo from the host counts as the default tempo, never as 0.
    const double tempo = info.tempo > 0.0 ? info.tempo : TimeInfo::kDefaultTempo;
    state_.sampleRate = rate;
    return rate * 60.0 / tempo;
}

void BlockTransport::Fill(const TimeInfo& info, double sampleRate) {
    const double samplesPerBeat = SamplesPerBeat(info, sampleRate);
    state_.playing = info.transportIsRunning;
    state_.loopEnabled = info.loopEnabled;
    state_.loopStartSamples = std::round(std::max(0.0, info.cycleStart * samplesPerBeat));
    state_.loopEndSamples = info.loopEnabled ? std::round(info.cycleEnd * samplesPerBeat) : -1.0;
    state_.samplesPerBeat = samplesPerBeat;
    state_.ppqPosition = std::max(0.0, info.ppqPos);
    state_.samplePosition = SamplePosition(info);
}

BlockTiming BlockTransport::Read(const TimeInfo& info, int frames, double sampleRate) {
    BlockTiming timing;
    timing.samplesPerBeat = SamplesPerBeat(info, sampleRate);
    const double samplePos = SamplePosition(info);
    const double samplesPerBeat = timing.samplesPerBeat;
    const bool running = timing.running = info.transportIsRunning;
    const double loopStart = std::max(0.0, std::trunc(info.cycleStart * samplesPerBeat));
    const double loopEnd = info.loopEnabled ? std::trunc(info.cycleEnd * samplesPerBeat) : -1.0;
    timing.inLoopWindow = running && (info.loopEnabled ? samplePos + frames >= loopStart && loopEnd >= samplePos
                                                       : loopEnd < 0.0);
    if (first_ == FirstTransport::NotYetPlayed) first_ = running ? FirstTransport::Running : FirstTransport::Stopped;

    const BlockPlan plan = tracker_.Plan(samplePos, frames, running, info.loopEnabled, loopStart, loopEnd);
    state_.loopJumped = plan.loopJumped;
    state_.playing = running;
    state_.loopEnabled = info.loopEnabled;
    state_.loopEndSamples = std::round(loopEnd);
    state_.loopStartSamples = std::round(loopStart);
    state_.samplesPerBeat = samplesPerBeat;
    state_.ppqPosition = running ? std::max(0.0, info.ppqPos) : state_.freeRunningPpq;
    state_.samplePosition = std::max(0.0, plan.samplePos);
    timing.engineFrames = plan.frames;
    timing.engineStart = plan.skipped;
    return timing;
}

void BlockTransport::EndBlock(const BlockTiming& timing, int frames) {
    if (timing.running)
        state_.freeRunningPpq = 0.0;
    else
        state_.freeRunningPpq += frames / timing.samplesPerBeat;
}

}  // namespace sorel
