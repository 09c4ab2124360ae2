// The pattern preset browser's model: ".v2z" files below "presets", sorted
// into the Factory and User style folders, plus "Init".
#pragma once

#include "persistence/CommonPresetHandler.h"

namespace sorel {

class PluginPersistence;

class PresetHandler final : public CommonPresetHandler {
public:
    explicit PresetHandler(PluginPersistence& persistence);

    void Choose(int id) override;

private:
    void Open(const PresetMenuItem& item) override;

    PluginPersistence& persistence_;
};

}  // namespace sorel
