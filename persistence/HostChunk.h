// The chunk handed to the host: the framework header, then the state. The
// state is written gzip-compressed (a state holds tens of thousands of
// repeated doubles); chunks of earlier writers hold it plain, and their bank
// chunks may carry one program slot between the header and the state.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "persistence/PluginState.h"
#include "persistence/StateChunk.h"

namespace sorel {

inline constexpr int32_t kHostChunkMagic = 0x70666674;  // "tffp" in file order
inline constexpr int32_t kFrameworkVersion = 0x00010000;
inline constexpr size_t kHostChunkHeaderSize = 8;
// Longest program-slot name accepted from a chunk.
inline constexpr int32_t kMaxProgramNameLength = 256;
// The plug-in declares no programs of its own; bank chunks of earlier
// writers carry the one slot hosts see.
inline constexpr int kProgramSlots = 1;

void BeginHostChunk(StateChunk& chunk);
// Advances past the header when there is one; `frameworkVersion` is 0 otherwise.
int ReadHostChunkHeader(const StateChunk& chunk, int pos, int32_t& frameworkVersion);

// One initialised slot per program, each with the given parameter block:
// the bank layout of earlier writers.
void SerializePresets(StateChunk& chunk, int programCount, std::span<const double> parameters);
// Checks and steps over `programCount` slots; -1 when a slot is damaged.
// The values of the slots are not used: the state behind them sets every
// parameter anyway.
int SkipPresets(const StateChunk& chunk, int pos, int programCount, int parameterCount);

// Header and compressed state; the same for program and bank chunks.
std::vector<uint8_t> ComposeHostChunk(const PluginState& state);
// The plain state inside a host chunk of any layout written so far, starting
// at position 0; nothing when the chunk is damaged beyond reading.
std::optional<StateChunk> HostChunkState(std::span<const uint8_t> bytes, bool isBank, int parameterCount);

}  // namespace sorel
