#include "soak/HostileTransport.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

namespace sorel::soak {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kOddTempos[] = {0.0, -120.0, kNaN, kInf, -kInf, 1e9, 1e300, 1e-9, 0.001, 10000.0};
constexpr float kOddSampleRates[] = {0.0f, -44100.0f, std::numeric_limits<float>::quiet_NaN(),
                                     std::numeric_limits<float>::infinity(), 1.0f, 8000.0f, 1e9f};
constexpr float kSampleRates[] = {44100.0f, 48000.0f, 88200.0f, 96000.0f, 192000.0f, 22050.0f};
constexpr intptr_t kBlockSizes[] = {0, -1, 1, 7, 64, 512, 8192, INT_MAX, 100000};
constexpr int kNormalFrames[] = {32, 64, 128, 256, 441, 512, 1024, 2048};
constexpr int kTimeFlags = kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstTimeSigValid;
constexpr int kCycleFlags = kVstCyclePosValid | kVstTransportCycleActive;

}  // namespace

VstTimeInfo HostileTransport::Ordinary(bool playing, double samplePos) {
    VstTimeInfo t{};
    t.sampleRate = 48000.0;
    t.tempo = 120.0;
    t.samplePos = samplePos;
    t.ppqPos = samplePos / 24000.0;
    t.barStartPos = std::floor(t.ppqPos / 4.0) * 4.0;
    t.timeSigNumerator = t.timeSigDenominator = 4;
    t.flags = kTimeFlags | (playing ? kVstTransportPlaying : 0);
    return t;
}

void HostileTransport::ChooseMode() {
    const int pick = dice_.Uniform(0, 99);
    mode_ = pick < 20   ? Mode::Stopped
            : pick < 50 ? Mode::Playing
            : pick < 70 ? Mode::Looping
            : pick < 85 ? Mode::Chaos
            : pick < 95 ? Mode::Toggling
                        : Mode::Silent;
    blocksLeft_ = dice_.Uniform(20, 600);
    normalFrames_ = dice_.Pick(kNormalFrames);
    tempo_ = dice_.Real(40.0, 300.0);
    loopStart_ = std::floor(dice_.Real(0.0, 16.0));
    loopEnd_ = loopStart_ + std::floor(dice_.Real(1.0, 16.0));
    if (dice_.Chance(0.3)) samplePos_ = std::floor(dice_.Real(0.0, 1e7));
}

int HostileTransport::Frames() {
    const int pick = dice_.Uniform(0, 99);
    if (pick < 90) return normalFrames_;
    if (pick < 93) return 0;
    if (pick < 95) return 1;
    if (pick < 98) return dice_.Uniform(0, 2000) * 2 + 1;
    return test::TestHost::kMaxFrames;
}

void HostileTransport::Disturb(VstTimeInfo& t) {
    switch (dice_.Uniform(0, 9)) {
        case 0: t.tempo = dice_.Pick(kOddTempos); break;
        case 1: t.samplePos = dice_.Chance(0.5) ? -dice_.Real(1.0, 1e6) : kNaN; break;
        case 2: t.samplePos = samplePos_ = std::floor(dice_.Real(0.0, 1e12)); break;  // jump far ahead
        case 3:
            samplePos_ = std::max(0.0, samplePos_ - std::floor(dice_.Real(1.0, 1e6)));
            t.samplePos = samplePos_;
            break;
        case 4: t.ppqPos = dice_.Chance(0.5) ? kNaN : (dice_.Chance(0.5) ? -5.0 : 1e300); break;
        case 5:  // zero-length loop
            t.cycleStartPos = t.cycleEndPos = loopStart_;
            t.flags |= kCycleFlags;
            break;
        case 6:  // inverted loop
            t.cycleStartPos = loopEnd_;
            t.cycleEndPos = loopStart_;
            t.flags |= kCycleFlags;
            break;
        case 7:
            t.cycleStartPos = dice_.Chance(0.5) ? kNaN : -1.0;
            t.cycleEndPos = dice_.Chance(0.5) ? kInf : 1e300;
            t.flags |= kCycleFlags;
            break;
        case 8: t.flags = static_cast<VstInt32>(dice_.Uniform(INT_MIN, INT_MAX)); break;
        default:
            t.timeSigNumerator = static_cast<VstInt32>(dice_.Uniform(INT_MIN, 64));
            t.timeSigDenominator = static_cast<VstInt32>(dice_.Uniform(-4, 64));
            t.barStartPos = dice_.Chance(0.5) ? kNaN : -1.0;
            break;
    }
}

BlockPlan HostileTransport::Next() {
    if (--blocksLeft_ <= 0) ChooseMode();
    BlockPlan plan;
    plan.frames = Frames();
    const int entry = dice_.Uniform(0, 9);
    plan.entry = entry < 7   ? test::ProcessEntry::Replacing
                 : entry < 9 ? test::ProcessEntry::DoubleReplacing
                             : test::ProcessEntry::Accumulating;
    bool playing = mode_ == Mode::Playing || mode_ == Mode::Looping || mode_ == Mode::Chaos;
    if (mode_ == Mode::Toggling) playing = togglePlaying_ = !togglePlaying_;
    VstTimeInfo& t = plan.time;
    t = Ordinary(playing, samplePos_);
    t.sampleRate = sampleRate_;
    t.tempo = tempo_;
    t.ppqPos = samplePos_ * tempo_ / (60.0 * sampleRate_);
    if (mode_ == Mode::Looping) {
        t.flags |= kCycleFlags;
        t.cycleStartPos = loopStart_;
        t.cycleEndPos = loopEnd_;
        // Jump back to the loop start the way a host does at the loop end.
        if (t.ppqPos >= loopEnd_) {
            samplePos_ = loopStart_ * 60.0 * sampleRate_ / tempo_;
            t.samplePos = samplePos_;
            t.ppqPos = loopStart_;
        }
    }
    if (mode_ == Mode::Chaos || dice_.Chance(0.01)) Disturb(t);
    plan.answersTime = mode_ != Mode::Silent && !dice_.Chance(0.005);
    if (playing) samplePos_ += plan.frames;
    return plan;
}

void HostileTransport::BetweenBlocks(test::TestHost& plugin) {
    if (!dice_.Chance(0.02)) return;
    switch (dice_.Uniform(0, 6)) {
        case 0:
            sampleRate_ = dice_.Pick(kSampleRates);
            plugin.Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate_));
            break;
        case 1: plugin.Dispatch(effSetSampleRate, 0, 0, nullptr, dice_.Pick(kOddSampleRates)); break;
        case 2: plugin.Dispatch(effSetBlockSize, 0, dice_.Pick(kBlockSizes)); break;
        case 3:
            plugin.Dispatch(effMainsChanged, 0, 0);
            plugin.Dispatch(effMainsChanged, 0, 1);
            break;
        case 4:  // suspended, and processing anyway
            plugin.Dispatch(effMainsChanged, 0, 0);
            break;
        case 5: plugin.Dispatch(effSetProgram, 0, dice_.Uniform(-2, 3)); break;
        default: {
            char name[64] = {};
            plugin.Dispatch(effGetProgramName, 0, 0, name);
            plugin.Dispatch(effSetProgramName, 0, 0, name);
            plugin.Dispatch(effStopProcess);
            plugin.Dispatch(effStartProcess);
            break;
        }
    }
}

}  // namespace sorel::soak
