// The persistence the module's entry installs in a new plug-in object:
// chunks, presets and banks for it, and the settings file kept up to date.
// The editor reaches the browsers, saving and the box info through
// `Persistence()`.
#pragma once

#include <memory>
#include <string>

#include "frame/PersistenceHooks.h"
#include "persistence/PluginPersistence.h"
#include "persistence/VardoStateTarget.h"

namespace sorel {

class Vardo;

class VardoPersistence final : public PersistenceHooks {
public:
    explicit VardoPersistence(Vardo& vardo);

    bool WriteState(std::vector<uint8_t>& chunk, bool isBank) override;
    bool ReadState(const uint8_t* data, size_t size, bool isBank) override;
    void NextPreset() override;
    void PreviousPreset() override;
    void NextChordBank() override;
    void PreviousChordBank() override;
    void Shutdown() override;
    void SaveGlobalSettings(const GlobalSettings& settings) override;

    PluginPersistence& Persistence() { return persistence_; }

private:
    VardoStateTarget target_;
    PluginPersistence persistence_;
};

// Reads the settings and control-zone files into the plug-in object and
// returns its persistence; nothing (the plug-in then runs without chunks and
// presets) if that cannot be built.
std::unique_ptr<VardoPersistence> MakePersistenceHooks(Vardo& vardo);

// Writes the plug-in object's current state as a preset file with `info` as
// its texts (for tools that make presets without an editor).
bool WritePluginPreset(const std::string& path, Vardo& vardo, const BoxInfo& info);

}  // namespace sorel
