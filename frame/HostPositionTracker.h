// Repairs the host's block positions while its transport runs: a block that
// overlaps the previous one is shortened to the part not yet played, and a
// host that jumps re-anchors the count. Every offset stays inside the block.
#pragma once

namespace sorel {

struct BlockPlan {
    double samplePos = 0.0;  // where the engine's part of the block starts
    int frames = 0;          // how many samples the engine advances
    int skipped = 0;         // samples at the block start already played last block
    bool loopJumped = false;
};

class HostPositionTracker {
public:
    // loopStart/loopEnd in samples; loopEnd < 0 when there is no loop.
    BlockPlan Plan(double samplePos, int frames, bool running, bool loopEnabled, double loopStart,
                   double loopEnd);

private:
    double lastBlockPos_ = -1.0;
    int lastBlockFrames_ = 0;
};

}  // namespace sorel
