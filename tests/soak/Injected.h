// Counts of the hostile things the soak did to the plug-in, by kind.
#pragma once

#include <array>
#include <cstdint>
#include <ostream>

namespace sorel::soak {

struct Injected {
    // Every kind below kFaultsEnd is a fault; the rest is well-formed traffic.
    enum Kind {
        kMalformed,         // bad status or data bytes, foreign event types, null entries
        kOffsetsOutside,    // deltaFrames negative or past the block
        kBursts,            // lists of 10,000 events
        kOrphanNoteOffs,    // note-offs of keys not down
        kDuplicateNoteOns,  // note-ons of keys already down
        kOddTransport,      // tempo, position or loop out of the ordinary, or no answer
        kOddBlockSizes,     // 0, 1, odd or 8192 frames
        kBadParameters,     // indices outside the table or values outside 0..1
        kDamagedChunks,     // truncated, mutated or random chunks
        kPresetFiles,       // preset files written, damaged or removed
        kFaultsEnd,
        kEvents = kFaultsEnd,  // every entry of every event list, good or bad
        kControlKeys,          // notes in the control zone, preset steps among them
        kPresetSteps,          // next/previous preset keys played
        kHostCalls,            // sample-rate, block-size, mains and program calls between blocks
        kParameterCalls,       // every parameter call, good or bad
        kChunks,               // effSetChunk calls
        kKinds
    };
    std::array<uint64_t, kKinds> counts{};

    uint64_t& operator[](Kind kind) { return counts[kind]; }
    uint64_t operator[](Kind kind) const { return counts[kind]; }
    Injected& operator+=(const Injected& o) {
        for (int k = 0; k < kKinds; ++k) counts[k] += o.counts[k];
        return *this;
    }
    uint64_t Faults() const;
    // One line per kind, each also as a rate per minute of the run.
    void Print(std::ostream& out, double minutes) const;
};

}  // namespace sorel::soak
