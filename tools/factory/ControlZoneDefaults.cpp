#include "ControlZoneDefaults.h"

#include <filesystem>

#include "engine/ControlZone.h"
#include "persistence/ControlZoneFile.h"
#include "persistence/DataFolder.h"
#include "persistence/TextLines.h"

namespace sorel::factory {

std::string DefaultControlZoneText() {
    std::string text;
    for (std::string_view keyword : ControlZone::DefaultKeywords()) {
        text += keyword;
        text += '\n';
    }
    return text;
}

ControlZoneFileResult WriteDefaultControlZoneFile(std::string& path) {
    const auto folder = GetUserDataFolder(kDataSubFolder);
    if (!folder || !EnsureFolder(*folder)) return ControlZoneFileResult::Failed;
    path = *folder + std::string(kControlZoneFileName);
    std::error_code error;
    if (std::filesystem::exists(path, error) || error) return error ? ControlZoneFileResult::Failed : ControlZoneFileResult::AlreadyThere;
    return ReplaceFile(path, DefaultControlZoneText()) ? ControlZoneFileResult::Written : ControlZoneFileResult::Failed;
}

}  // namespace sorel::factory
