#include "persistence/SettingsFile.h"

#include <algorithm>

#include "persistence/DataFolder.h"
#include "persistence/TextLines.h"

namespace sorel {

namespace {

constexpr size_t kMaxSettingsFileBytes = 64 * 1024;
constexpr size_t kGuiScaleLine = kGlobalSettingCount;  // after the seven settings
constexpr std::string_view kTwiceGuiScaleLine = "2";

std::string SettingsPath(const std::string& folder) { return folder + std::string(kSettingsFileName); }

}  // namespace

bool& SettingByLine(GlobalSettings& settings, int line) {
    const int n = std::clamp(line, 0, kGlobalSettingCount - 1);
    return settings.*kGlobalSettingTable[static_cast<size_t>(n)].field;
}

bool SettingByLine(const GlobalSettings& settings, int line) {
    return SettingByLine(const_cast<GlobalSettings&>(settings), line);
}

GlobalSettings ParseSettings(std::string_view text) {
    GlobalSettings settings;
    const auto lines = SplitLines(text, kGuiScaleLine + 1);
    for (size_t n = 0; n < std::min(lines.size(), kGuiScaleLine); ++n)
        SettingByLine(settings, static_cast<int>(n)) = lines[n] == "true";
    if (lines.size() > kGuiScaleLine && lines[kGuiScaleLine] == kTwiceGuiScaleLine) settings.guiScale = kTwiceGuiScale;
    return settings;
}

std::string FormatSettings(const GlobalSettings& settings) {
    std::string text;
    for (int n = 0; n < kGlobalSettingCount; ++n) text += SettingByLine(settings, n) ? "true\n" : "false\n";
    if (ValidGuiScale(settings.guiScale) == kTwiceGuiScale) text += std::string(kTwiceGuiScaleLine) + "\n";
    return text;
}

GlobalSettings ReadSettingsFile(const std::string& folder) {
    if (auto text = ReadSmallFile(SettingsPath(folder), kMaxSettingsFileBytes)) return ParseSettings(*text);
    // First run on this machine: leave a file with every setting off.
    const GlobalSettings allOff;
    WriteSettingsFile(folder, allOff);
    return allOff;
}

bool WriteSettingsFile(const std::string& folder, const GlobalSettings& settings) {
    return EnsureFolder(folder) && ReplaceFile(SettingsPath(folder), FormatSettings(settings));
}

GlobalSettings ReadSettingsFile() {
    auto folder = GetUserDataFolder(kDataSubFolder);
    if (!folder || !EnsureFolder(*folder)) return GlobalSettings{};
    return ReadSettingsFile(*folder);
}

bool WriteSettingsFile(const GlobalSettings& settings) {
    auto folder = GetUserDataFolder(kDataSubFolder);
    return folder && WriteSettingsFile(*folder, settings);
}

}  // namespace sorel
