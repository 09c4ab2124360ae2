// The global settings file "settings.srl" in the data folder: seven lines,
// "true" or anything else (false), one per setting in their fixed order, and
// an eighth line "2" while the editor is shown at twice its size. Files of
// the normal size keep to seven lines, as files written before the scale.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "frame/GlobalSettings.h"

namespace sorel {

inline constexpr std::string_view kSettingsFileName = "settings.srl";

GlobalSettings ParseSettings(std::string_view text);
std::string FormatSettings(const GlobalSettings& settings);

// Setting n (0..6) by its line order.
bool& SettingByLine(GlobalSettings& settings, int line);
bool SettingByLine(const GlobalSettings& settings, int line);

// The file in `folder`; a missing file is created with seven "false" lines.
// Anything that cannot be read leaves every setting false.
GlobalSettings ReadSettingsFile(const std::string& folder);
// Writes the whole file to a temporary file and renames it over the old one.
bool WriteSettingsFile(const std::string& folder, const GlobalSettings& settings);

// The same in the data folder's "data" sub-folder, created when missing.
GlobalSettings ReadSettingsFile();
bool WriteSettingsFile(const GlobalSettings& settings);

}  // namespace sorel
