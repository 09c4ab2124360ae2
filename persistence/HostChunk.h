// The framework header and program slots that lead a chunk handed to the host.
#pragma once

#include <cstdint>
#include <span>

#include "persistence/StateChunk.h"

namespace sorel {

inline constexpr int32_t kHostChunkMagic = 0x70666674;  // "tffp" in file order
inline constexpr int32_t kFrameworkVersion = 0x00010000;
// Longest program-slot name accepted from a chunk.
inline constexpr int32_t kMaxProgramNameLength = 256;
// The plug-in declares no programs of its own; hosts see one slot.
inline constexpr int kProgramSlots = 1;

void BeginHostChunk(StateChunk& chunk);
// Advances past the header when there is one; `frameworkVersion` is 0 otherwise.
int ReadHostChunkHeader(const StateChunk& chunk, int pos, int32_t& frameworkVersion);

// One initialised slot per program, each with the given parameter block.
void SerializePresets(StateChunk& chunk, int programCount, std::span<const double> parameters);
// Checks and steps over `programCount` slots; -1 when a slot is damaged.
// The values of the slots are not used: the state behind them sets every
// parameter anyway.
int SkipPresets(const StateChunk& chunk, int pos, int programCount, int parameterCount);

}  // namespace sorel
