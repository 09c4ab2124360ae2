// A hostile host, one block at a time, for the soak and the MIDI-path fuzzer
// alike: stretches of playing, stopping and looping broken by odd tempos,
// positions, loops and time signatures, a time query that answers null,
// blocks of 0, 1, odd or 8192 frames through any process entry, host calls
// between blocks, and hostile event lists (now and then none, or one with a
// negative count). At the end it releases every key it holds, switches hold
// and note release off, stops the transport and plays on until nothing sounds.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "soak/Dice.h"
#include "soak/HostileMidi.h"
#include "support/TestHost.h"

namespace sorel::soak {

// The block that took the audio thread the most of its own CPU time
// (event delivery and processing), with what the host did just before it.
struct LongestBlock {
    std::chrono::nanoseconds cpu{};
    int frames = 0;
    int events = 0;
    // Page faults the thread took and times it was preempted in the block:
    // the kernel's share of its CPU time, and cold caches after it.
    long pageFaults = 0;
    long preempted = 0;
    int64_t block = 0;
    std::string before;
};

class HostileHost {
public:
    static constexpr int kOrdinaryBlock = 512;

    HostileHost(test::TestHost& plugin, Dice& dice) : plugin_(plugin), dice_(dice), midi_(dice) {}

    // One block; with `presetSteps` its events may step through the presets.
    // `before` tells what other calls came before it, asked only of a block
    // that is the longest so far.
    void Block(bool presetSteps, const std::function<std::string()>& before = {});
    // Of every block, and of the blocks a musician's host plays (a real
    // sample rate and time, an ordinary size, no flood of events).
    const LongestBlock& Longest() const { return longest_; }
    const LongestBlock& LongestOrdinary() const { return longestOrdinary_; }
    // Of the ordinary blocks the scheduler let run to their end.
    const LongestBlock& LongestUnpreempted() const { return longestUnpreempted_; }
    // Returns the notes still sounding once everything was released; the
    // checker counts each as a fault.
    int ReleaseEverything();

    // An ordinary transport: `playing` or stopped, 120 beats per minute at
    // 48 kHz, from `samplePos`.
    static VstTimeInfo Ordinary(bool playing, double samplePos = 0.0);

private:
    enum class Mode { Stopped, Playing, Looping, Chaos, Toggling, Silent };

    void ChooseMode();
    int Frames();
    VstTimeInfo Time(int frames);
    void Disturb(VstTimeInfo& time);
    // Returns what it did, or null.
    const char* BetweenBlocks();
    void Measure(const LongestBlock& measured, const char* between, const std::function<std::string()>& before);

    test::TestHost& plugin_;
    Dice& dice_;
    HostileMidi midi_;
    Mode mode_ = Mode::Playing;
    int blocksLeft_ = 0;
    double samplePos_ = 0.0;
    double tempo_ = 120.0;
    double sampleRate_ = 48000.0;
    double loopStart_ = 0.0;
    double loopEnd_ = 8.0;
    bool togglePlaying_ = false;
    int normalFrames_ = kOrdinaryBlock;
    int64_t blocks_ = 0;
    bool oddRate_ = false;
    bool disturbed_ = false;
    bool suspended_ = false;
    int carried_ = 0;  // events the plug-in keeps queued for the next block it plays
    LongestBlock longest_, longestOrdinary_, longestUnpreempted_;
};

// Plays ordinary blocks until nothing sounded for two seconds, or for half
// a minute at most; returns the notes still sounding, each counted as a
// fault of the checker.
int SettleAndCountSounding(test::TestHost& plugin);

}  // namespace sorel::soak
