// The block's transport: what the host's time says at a block's start,
// written into the engine's transport record, the clock that counts on while
// the host is stopped, and where in the block the engine's part starts.
#pragma once

#include "engine/TransportState.h"
#include "frame/HostPositionTracker.h"
#include "frame/TimeInfo.h"

namespace sorel {

// What a block's start tells the block.
struct BlockTiming {
    bool running = false;
    double samplesPerBeat = 0.0;
    int engineFrames = 0;       // how many samples the engine advances
    int engineStart = 0;        // where in the block the engine's part starts
    bool inLoopWindow = false;  // the block plays inside the host's loop, or with no loop at all
};

class BlockTransport {
public:
    // How the host's transport stood in the first block.
    enum class FirstTransport { NotYetPlayed, Stopped, Running };

    explicit BlockTransport(TransportState& state) : state_(state) {}

    // Before the first block: the record as the host's time stands.
    void Fill(const TimeInfo& info, double sampleRate);
    // A block begins: no loop jump until its time says so.
    void BeginBlock() { state_.loopJumped = false; }
    BlockTiming Read(const TimeInfo& info, int frames, double sampleRate);
    // The block's end: the stopped clock counts the block.
    void EndBlock(const BlockTiming& timing, int frames);

    // The engine's notes are offset by this while it runs its part of a block.
    void SetEngineStart(int offset) { engineStart_ = offset; }
    int EngineStart() const { return engineStart_; }
    FirstTransport First() const { return first_; }

private:
    double SamplesPerBeat(const TimeInfo& info, double sampleRate);

    TransportState& state_;
    HostPositionTracker tracker_;
    FirstTransport first_ = FirstTransport::NotYetPlayed;
    int engineStart_ = 0;
};

}  // namespace sorel
