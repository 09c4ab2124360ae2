// Reads a stored state into a `StateImage` without touching the plug-in: the
// version rules, the reset of everything the data does not hold in full and
// the conversions of older versions all happen here, so that the result can
// be applied in one go (see StateApplier).
#pragma once

#include <optional>
#include <span>

#include "persistence/PluginState.h"
#include "persistence/StateChunk.h"

namespace sorel {

struct StateImage {
    int32_t version = 1;
    // Every field holds its read value, or the reset value when the data did
    // not hold it in full; the parameters include the conversions.
    PluginState state;
    bool stepCcNumbersRead = false;  // unread numbers are left as they are
    int laneLoopsRead = 0;           // enabled flags of unread lanes are left as they are
    // Parameters [0, parametersAssigned) came from the stored block; the
    // others hold their defaults (parameters that keep their value on preset
    // load are never reset).
    int parametersAssigned = 0;
};

// The image that "Init" and an unreadable preset apply: the reset alone.
StateImage ResetImage(std::span<const ParameterRange> ranges);

// Reads the parameter block at `pos` into `values` (already holding the
// reset values). A block cut short gives its first missing parameter 0.0
// (clamped) and leaves the rest. Returns the position after the block or -1;
// `assigned` receives the number of parameters given a value.
int UnserializeParams(const StateChunk& chunk, int pos, std::span<const ParameterRange> ranges,
                      std::vector<double>& values, int& assigned);

// True when the int32 at `pos` is a version word this reader knows, written
// in either byte order (the word 0 of an old state without one does not count).
bool StartsWithVersionWord(const StateChunk& chunk, int pos);

// Nothing when the version word is not one this reader knows. `fromPresetFile`
// reads a chunk too short for a version word as an empty version-1 state
// from `startPos`; so does the host path, which is what both rules amount to.
std::optional<StateImage> ReadState(const StateChunk& chunk, int startPos, std::span<const ParameterRange> ranges);

}  // namespace sorel
