// The transport and block pattern of a hostile host: stretches of ordinary
// playing, stopping and looping, broken by tempos of 0, below 0, NaN and
// huge, positions that jump back and forth, loops of zero length and
// inverted loops, play/stop every block, a time query that answers null,
// block sizes of 0, 1, odd and 8192 frames, and sample-rate, block-size,
// program and mains calls between blocks.
#pragma once

#include "frame/vst2/VstApi.h"
#include "soak/Dice.h"
#include "support/TestHost.h"

namespace sorel::soak {

struct BlockPlan {
    int frames = 512;
    test::ProcessEntry entry = test::ProcessEntry::Replacing;
    VstTimeInfo time{};
    bool answersTime = true;
};

class HostileTransport {
public:
    explicit HostileTransport(Dice& dice) : dice_(dice) {}

    // The next block: its size, process entry and time answer.
    BlockPlan Next();
    // Host calls a host makes between blocks now and then.
    void BetweenBlocks(test::TestHost& plugin);

    // An ordinary transport: `playing` or stopped, 120 beats per minute at
    // 48 kHz, from sample 0.
    static VstTimeInfo Ordinary(bool playing, double samplePos = 0.0);

private:
    enum class Mode { Stopped, Playing, Looping, Chaos, Toggling, Silent };

    void ChooseMode();
    int Frames();
    void Disturb(VstTimeInfo& time);

    Dice& dice_;
    Mode mode_ = Mode::Playing;
    int blocksLeft_ = 0;
    double samplePos_ = 0.0;
    double tempo_ = 120.0;
    double sampleRate_ = 48000.0;
    double loopStart_ = 0.0;
    double loopEnd_ = 8.0;
    bool togglePlaying_ = false;
    int normalFrames_ = 512;
};

}  // namespace sorel::soak
