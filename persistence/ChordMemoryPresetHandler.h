// The chord-memory bank browser's model: ".cmb" files below
// "presets/chordmemory", in the Factory and User folders.
#pragma once

#include "persistence/CommonPresetHandler.h"

namespace sorel {

class PluginPersistence;

class ChordMemoryPresetHandler final : public CommonPresetHandler {
public:
    explicit ChordMemoryPresetHandler(PluginPersistence& persistence);

    void Choose(int id) override;

private:
    void Open(const PresetMenuItem& item) override;

    PluginPersistence& persistence_;
};

}  // namespace sorel
