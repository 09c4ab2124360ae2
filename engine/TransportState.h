// The frame's transport record, written once per block. The engine reads it
// and, while the host transport is stopped, writes back its own clock.
#pragma once

namespace sorel {

struct TransportState {
    bool playing = false;            // host transport running in the last block
    bool loopEnabled = false;        // host loop (cycle) active in the last block
    double loopStartSamples = 0.0;   // rounded to a whole number
    double loopEndSamples = 0.0;     // rounded; -1 when no loop
    double sampleRate = 0.0;
    double samplesPerBeat = 0.0;     // samples per quarter note
    double ppqPosition = 0.0;        // quarter-note position of the block start
    double samplePosition = 0.0;     // sample position of the block start, never below 0
    bool loopJumped = false;         // the host jumped back by more than half the loop
    double freeRunningPpq = 0.0;     // quarter notes counted while stopped
};

}  // namespace sorel
