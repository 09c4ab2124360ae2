// Writes the state in the layout of the current version (5), in the order
// the reader reads it.
#pragma once

#include <span>

#include "persistence/PluginState.h"
#include "persistence/StateChunk.h"

namespace sorel {

void SerializeParams(StateChunk& chunk, std::span<const double> parameters);
void WriteState(StateChunk& chunk, const PluginState& state);

}  // namespace sorel
