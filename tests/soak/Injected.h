// Counts of the hostile things the soak did to the plug-in, by kind.
#pragma once

#include <cstdint>
#include <ostream>

namespace sorel::soak {

struct Injected {
    uint64_t events = 0;            // every entry of every event list, good or bad
    uint64_t malformed = 0;         // bad status or data bytes, foreign event types, null entries
    uint64_t offsetsOutside = 0;    // deltaFrames negative or past the block
    uint64_t bursts = 0;            // lists of 10,000 events
    uint64_t orphanNoteOffs = 0;    // note-offs of keys not down
    uint64_t duplicateNoteOns = 0;  // note-ons of keys already down
    uint64_t controlKeys = 0;       // notes in the control zone, preset steps among them
    uint64_t oddTransport = 0;      // tempo, position or loop out of the ordinary, or no answer
    uint64_t oddBlockSizes = 0;     // 0, 1, odd or 8192 frames
    uint64_t hostCalls = 0;         // sample-rate, block-size, mains and program calls between blocks
    uint64_t badParameters = 0;     // indices outside the table or values outside 0..1
    uint64_t parameterCalls = 0;    // every parameter call, good or bad
    uint64_t chunks = 0;            // effSetChunk calls
    uint64_t damagedChunks = 0;     // truncated, mutated or random chunks among them
    uint64_t presetFiles = 0;       // preset files written, damaged or removed
    uint64_t presetSteps = 0;       // next/previous preset keys played

    Injected& operator+=(const Injected& o) {
        events += o.events;
        malformed += o.malformed;
        offsetsOutside += o.offsetsOutside;
        bursts += o.bursts;
        orphanNoteOffs += o.orphanNoteOffs;
        duplicateNoteOns += o.duplicateNoteOns;
        controlKeys += o.controlKeys;
        oddTransport += o.oddTransport;
        oddBlockSizes += o.oddBlockSizes;
        hostCalls += o.hostCalls;
        badParameters += o.badParameters;
        parameterCalls += o.parameterCalls;
        chunks += o.chunks;
        damagedChunks += o.damagedChunks;
        presetFiles += o.presetFiles;
        presetSteps += o.presetSteps;
        return *this;
    }

    // Every injected fault, not counting the well-formed traffic around them.
    uint64_t Faults() const {
        return malformed + offsetsOutside + bursts + orphanNoteOffs + duplicateNoteOns + oddTransport + oddBlockSizes +
               badParameters + damagedChunks + presetFiles;
    }

    // One line per kind, each also as a rate per minute of the run.
    void Print(std::ostream& out, double minutes) const;
};

}  // namespace sorel::soak
