#include "persistence/VardoPersistence.h"

#include "engine/ControlZone.h"
#include "frame/Vardo.h"
#include "persistence/ControlZoneFile.h"
#include "persistence/PresetFile.h"
#include "persistence/SettingsFile.h"

namespace sorel {

VardoPersistence::VardoPersistence(Vardo& vardo) : target_(vardo), persistence_(target_) {}

bool VardoPersistence::WriteState(std::vector<uint8_t>& chunk, bool isBank) {
    return persistence_.WriteState(chunk, isBank);
}

bool VardoPersistence::ReadState(const uint8_t* data, size_t size, bool isBank) {
    return persistence_.ReadState(data, size, isBank);
}

void VardoPersistence::NextPreset() { persistence_.NextPreset(); }
void VardoPersistence::PreviousPreset() { persistence_.PreviousPreset(); }
void VardoPersistence::NextChordBank() { persistence_.NextChordBank(); }
void VardoPersistence::PreviousChordBank() { persistence_.PreviousChordBank(); }
void VardoPersistence::Shutdown() { persistence_.Shutdown(); }
void VardoPersistence::SaveGlobalSettings(const GlobalSettings& settings) { persistence_.SaveGlobalSettings(settings); }

std::unique_ptr<VardoPersistence> MakePersistenceHooks(Vardo& vardo) {
    try {
        vardo.ApplyGlobalSettings(ReadSettingsFile());
        if (const auto assignment = ReadControlZoneFile()) {
            std::lock_guard<std::recursive_mutex> lock(vardo.Mutex());
            vardo.Context().controlZone->SetAssignment(*assignment);
        }
        return std::make_unique<VardoPersistence>(vardo);
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
