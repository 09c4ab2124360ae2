#include "frame/HostPositionTracker.h"

#include <cmath>

namespace sorel {

BlockPlan HostPositionTracker::Plan(double samplePos, int frames, bool running, bool loopEnabled,
                                    double loopStart, double loopEnd) {
    BlockPlan plan{samplePos, frames, 0, false};
    if (!running) {
        lastBlockPos_ = -1.0;
        lastBlockFrames_ = 0;
        return plan;
    }
    if (lastBlockPos_ < 0.0) {
        lastBlockPos_ = samplePos;
        lastBlockFrames_ = frames;
        return plan;
    }
    const double expected = lastBlockPos_ + lastBlockFrames_;
    const double difference = expected - samplePos;
    // Positions far outside any block count as a plain jump.
    const int gap = std::fabs(difference) < 1e9 ? static_cast<int>(std::trunc(difference)) : -1;
    if (gap >= 2 && gap < frames) {
        // The host repeats the end of the previous block: play only the rest.
        plan.samplePos = expected;
        plan.frames = frames - gap;
        plan.skipped = gap;
        lastBlockPos_ = expected;
        lastBlockFrames_ = plan.frames;
        return plan;
    }
    // A jump back by more than half the loop is the host looping; a jump
    // ahead simply re-anchors the count at the reported position.
    if (loopEnabled && gap > 0 && gap > (loopEnd - loopStart) * 0.5) plan.loopJumped = true;
    lastBlockPos_ = samplePos;
    lastBlockFrames_ = frames;
    return plan;
}

}  // namespace sorel
