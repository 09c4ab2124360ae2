#include "persistence/ControlZoneFile.h"

#include "engine/ControlZone.h"
#include "persistence/DataFolder.h"
#include "persistence/TextLines.h"

namespace sorel {

namespace {

constexpr size_t kMaxControlZoneFileBytes = 64 * 1024;

}  // namespace

int ControlZoneFunctionNumber(std::string_view keyword) { return ControlZone::FunctionFromKeyword(keyword); }

ControlZoneAssignment ParseControlZone(std::string_view text) {
    ControlZoneAssignment assignment{};
    const auto lines = SplitLines(text, kControlZoneKeys);
    for (size_t key = 0; key < lines.size(); ++key) assignment[key] = ControlZoneFunctionNumber(lines[key]);
    return assignment;
}

std::optional<ControlZoneAssignment> ReadControlZoneFile(const std::string& folder) {
    auto text = ReadSmallFile(folder + std::string(kControlZoneFileName), kMaxControlZoneFileBytes);
    if (!text) return std::nullopt;
    return ParseControlZone(*text);
}

std::optional<ControlZoneAssignment> ReadControlZoneFile() {
    auto folder = GetUserDataFolder(kDataSubFolder);
    if (!folder || !EnsureFolder(*folder)) return std::nullopt;
    return ReadControlZoneFile(*folder);
}

}  // namespace sorel
