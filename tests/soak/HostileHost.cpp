#include "soak/HostileHost.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

#include <sys/resource.h>

#include "engine/ParameterIndex.h"

namespace sorel::soak {
namespace {

constexpr int kSampleRate = 48000;
constexpr int kQuietBlocks = 2 * kSampleRate / HostileHost::kOrdinaryBlock;
constexpr int kSettleBlocks = 30 * kSampleRate / HostileHost::kOrdinaryBlock;
constexpr int kReleaseListSize = 500;
constexpr int kLongestNegativeCount = 1000;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kOddTempos[] = {0.0, -120.0, kNaN, kInf, -kInf, 1e9, 1e300, 1e-9, 0.001, 10000.0};
constexpr float kOddSampleRates[] = {0.0f, -44100.0f, std::numeric_limits<float>::quiet_NaN(),
                                     std::numeric_limits<float>::infinity(), 1.0f, 8000.0f, 1e9f};
constexpr float kSampleRates[] = {44100.0f, 48000.0f, 88200.0f, 96000.0f, 192000.0f, 22050.0f};
constexpr intptr_t kBlockSizes[] = {0, -1, 1, 7, 64, 512, 8192, INT_MAX, 100000};
constexpr int kNormalFrames[] = {32, 64, 128, 256, 441, 512, 1024, 2048};
constexpr int kTimeFlags = kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstTimeSigValid;
// In percent, in the order of HostileHost::Mode.
constexpr int kModeChances[] = {20, 30, 20, 15, 10, 5};
constexpr int kCycleFlags = kVstCyclePosValid | kVstTransportCycleActive;
// A block a musician's host plays: a real sample rate and time, at most this
// many frames and events. Floods, odd rates and tempos make work in
// proportion to what they ask; such blocks are measured, not bounded.
constexpr int kMusicianFrames = 1024;
constexpr int kMusicianEvents = 64;

// The calling thread's page faults and involuntary context switches so far.
std::pair<long, long> ThreadKernelCounts() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return {usage.ru_minflt + usage.ru_majflt, usage.ru_nivcsw};
}

void SetCycle(VstTimeInfo& t, double start, double end) {
    t.cycleStartPos = start;
    t.cycleEndPos = end;
    t.flags |= kCycleFlags;
}

}  // namespace

VstTimeInfo HostileHost::Ordinary(bool playing, double samplePos) {
    VstTimeInfo t{};
    t.sampleRate = kSampleRate;
    t.tempo = 120.0;
    t.samplePos = samplePos;
    t.ppqPos = samplePos / (kSampleRate / 2.0);
    t.barStartPos = std::floor(t.ppqPos / 4.0) * 4.0;
    t.timeSigNumerator = t.timeSigDenominator = 4;
    t.flags = kTimeFlags | (playing ? kVstTransportPlaying : 0);
    return t;
}

void HostileHost::ChooseMode() {
    int pick = static_cast<int>(dice_.Uniform(0, 99)), mode = 0;
    while (pick >= kModeChances[mode]) pick -= kModeChances[mode++];
    mode_ = static_cast<Mode>(mode);
    blocksLeft_ = static_cast<int>(dice_.Uniform(20, 600));
    normalFrames_ = dice_.Pick(kNormalFrames);
    tempo_ = dice_.Real(40.0, 300.0);
    loopStart_ = std::floor(dice_.Real(0.0, 16.0));
    loopEnd_ = loopStart_ + std::floor(dice_.Real(1.0, 16.0));
    if (dice_.Chance(0.3)) samplePos_ = std::floor(dice_.Real(0.0, 1e7));
}

int HostileHost::Frames() {
    const int pick = static_cast<int>(dice_.Uniform(0, 99));
    if (pick < 90) return normalFrames_;
    if (pick < 93) return 0;
    if (pick < 95) return 1;
    if (pick < 98) return static_cast<int>(dice_.Uniform(0, 2000)) * 2 + 1;
    return test::TestHost::kMaxFrames;
}

void HostileHost::Disturb(VstTimeInfo& t) {
    switch (dice_.Uniform(0, 9)) {
        case 0: t.tempo = dice_.Pick(kOddTempos); break;
        case 1: t.samplePos = dice_.Chance(0.5) ? -dice_.Real(1.0, 1e6) : kNaN; break;
        case 2: t.samplePos = samplePos_ = std::floor(dice_.Real(0.0, 1e12)); break;  // jump far ahead
        case 3: t.samplePos = samplePos_ = std::max(0.0, samplePos_ - std::floor(dice_.Real(1.0, 1e6))); break;
        case 4: t.ppqPos = dice_.Chance(0.5) ? kNaN : (dice_.Chance(0.5) ? -5.0 : 1e300); break;
        case 5: SetCycle(t, loopStart_, loopStart_); break;  // zero length
        case 6: SetCycle(t, loopEnd_, loopStart_); break;    // inverted
        case 7: SetCycle(t, dice_.Chance(0.5) ? kNaN : -1.0, dice_.Chance(0.5) ? kInf : 1e300); break;
        case 8: t.flags = static_cast<VstInt32>(dice_.Uniform(INT_MIN, INT_MAX)); break;
        default:
            t.timeSigNumerator = static_cast<VstInt32>(dice_.Uniform(INT_MIN, 64));
            t.timeSigDenominator = static_cast<VstInt32>(dice_.Uniform(-4, 64));
            t.barStartPos = dice_.Chance(0.5) ? kNaN : -1.0;
            break;
    }
}

VstTimeInfo HostileHost::Time(int frames) {
    if (--blocksLeft_ <= 0) ChooseMode();
    bool playing = mode_ == Mode::Playing || mode_ == Mode::Looping || mode_ == Mode::Chaos;
    if (mode_ == Mode::Toggling) playing = togglePlaying_ = !togglePlaying_;
    VstTimeInfo t = Ordinary(playing, samplePos_);
    t.sampleRate = sampleRate_;
    t.tempo = tempo_;
    t.ppqPos = samplePos_ * tempo_ / (60.0 * sampleRate_);
    if (mode_ == Mode::Looping) {
        SetCycle(t, loopStart_, loopEnd_);
        // Jump back to the loop start the way a host does at the loop end.
        if (t.ppqPos >= loopEnd_) {
            t.samplePos = samplePos_ = loopStart_ * 60.0 * sampleRate_ / tempo_;
            t.ppqPos = loopStart_;
        }
    }
    disturbed_ = mode_ == Mode::Chaos || dice_.Chance(0.01);
    if (disturbed_) Disturb(t);
    if (playing) samplePos_ += frames;
    return t;
}

const char* HostileHost::BetweenBlocks() {
    if (!dice_.Chance(0.02)) return nullptr;
    switch (dice_.Uniform(0, 5)) {
        case 0:
            sampleRate_ = dice_.Pick(kSampleRates);
            oddRate_ = false;
            plugin_.Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate_));
            return "effSetSampleRate";
        case 1:
            oddRate_ = true;
            plugin_.Dispatch(effSetSampleRate, 0, 0, nullptr, dice_.Pick(kOddSampleRates));
            return "odd effSetSampleRate";
        case 2: plugin_.Dispatch(effSetBlockSize, 0, dice_.Pick(kBlockSizes)); return "effSetBlockSize";
        case 3:  // off and on, or left suspended and processing anyway
            plugin_.Dispatch(effMainsChanged, 0, 0);
            suspended_ = !dice_.Chance(0.5);
            if (!suspended_) plugin_.Dispatch(effMainsChanged, 0, 1);
            return "effMainsChanged";
        case 4: plugin_.Dispatch(effSetProgram, 0, dice_.Uniform(-2, 3)); return "effSetProgram";
        default: {
            char name[64] = {};
            plugin_.Dispatch(effGetProgramName, 0, 0, name);
            plugin_.Dispatch(effSetProgramName, 0, 0, name);
            plugin_.Dispatch(effStopProcess);
            plugin_.Dispatch(effStartProcess);
            return "effStopProcess and effStartProcess";
        }
    }
}

void HostileHost::Measure(const LongestBlock& measured, const char* between,
                          const std::function<std::string()>& before) {
    LongestBlock block = measured;
    block.block = blocks_++;
    // A block of no frames, or one while suspended, leaves its events to
    // the next that plays.
    block.events += carried_;
    carried_ = block.frames > 0 && !suspended_ ? 0 : block.events;
    const bool ordinary =
        !oddRate_ && !disturbed_ && block.frames <= kMusicianFrames && block.events <= kMusicianEvents;
    LongestBlock* unpreempted = ordinary && block.preempted == 0 ? &longestUnpreempted_ : nullptr;
    for (LongestBlock* longest : {&longest_, ordinary ? &longestOrdinary_ : nullptr, unpreempted}) {
        if (!longest || block.cpu <= longest->cpu) continue;
        *longest = block;
        longest->before = before ? before() : std::string();
        if (between) longest->before += std::string(longest->before.empty() ? "" : ", ") + between;
    }
}

void HostileHost::Block(bool presetSteps, const std::function<std::string()>& before) {
    const char* between = BetweenBlocks();
    const int frames = Frames();
    const int entry = static_cast<int>(dice_.Uniform(0, 9));
    const VstTimeInfo time = Time(frames);
    plugin_.SetTime(time, mode_ != Mode::Silent && !dice_.Chance(0.005));
    const VstEvents* events = midi_.NextBlock(frames, presetSteps);
    const auto [faultsBefore, preemptedBefore] = ThreadKernelCounts();
    const auto start = test::ThreadCpuTime();
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
    const auto delivered = test::ThreadCpuTime() - start;
    const auto processed = plugin_.ProcessBlock(frames, entry < 7   ? test::ProcessEntry::Replacing
                                                        : entry < 9 ? test::ProcessEntry::DoubleReplacing
                                                                    : test::ProcessEntry::Accumulating);
    const auto [faultsAfter, preemptedAfter] = ThreadKernelCounts();
    Measure({delivered + processed, frames, events->numEvents, faultsAfter - faultsBefore, preemptedAfter - preemptedBefore},
            between, before);
}

int HostileHost::ReleaseEverything() {
    plugin_.SetTime(Ordinary(false), true);
    plugin_.Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(kSampleRate));
    plugin_.Dispatch(effSetBlockSize, 0, kOrdinaryBlock);
    plugin_.Dispatch(effMainsChanged, 0, 1);
    suspended_ = false;
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
