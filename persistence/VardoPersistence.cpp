#include "persistence/VardoPersistence.h"

#include "engine/ControlZone.h"
#include "frame/Vardo.h"
#include "persistence/ControlZoneFile.h"
#include "persistence/PresetFile.h"
#include "persistence/SettingsFile.h"
#include "persistence/VardoStateTarget.h"

namespace sorel {

std::unique_ptr<PluginPersistence> MakePersistenceHooks(Vardo& vardo) {
    try {
        vardo.ApplyGlobalSettings(ReadSettingsFile());
        if (const auto assignment = ReadControlZoneFile()) {
            std::lock_guard<std::recursive_mutex> lock(vardo.Mutex());
            vardo.Context().controlZone->SetAssignment(*assignment);
        }
        return std::make_unique<PluginPersistence>(std::make_unique<VardoStateTarget>(vardo));
    } catch (const std::exception&) {
        return nullptr;
    }
}

bool WritePluginPreset(const std::string& path, Vardo& vardo, const BoxInfo& info) {
    VardoStateTarget target(vardo);
    PluginState state = CaptureState(target, "");
    state.boxInfo = info;
    return WritePresetFile(path, state);
}

}  // namespace sorel
