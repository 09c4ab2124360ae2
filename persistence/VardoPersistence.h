// The persistence the module's entry installs in a new plug-in object:
// chunks, presets and banks for it, and the settings file kept up to date.
// The editor reaches the browsers, saving and the box info through the same
// PluginPersistence.
#pragma once

#include <memory>
#include <string>

#include "persistence/PluginPersistence.h"

namespace sorel {

class Vardo;

// Reads the settings and control-zone files into the plug-in object and
// returns its persistence; nothing (the plug-in then runs without chunks and
// presets) if that cannot be built.
std::unique_ptr<PluginPersistence> MakePersistenceHooks(Vardo& vardo);

// Writes the plug-in object's current state as a preset file with `info` as
// its texts (for tools that make presets without an editor).
bool WritePluginPreset(const std::string& path, Vardo& vardo, const BoxInfo& info);

}  // namespace sorel
