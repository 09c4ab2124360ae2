// The control-zone assignment file "controlzone.srl" in the data folder: one
// function keyword per control-zone key, at most 24 lines. Only ever read.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace sorel {

inline constexpr std::string_view kControlZoneFileName = "controlzone.srl";
inline constexpr int kControlZoneKeys = 24;

using ControlZoneAssignment = std::array<int, kControlZoneKeys>;

// The function number of a keyword, matched exactly; 0 ("n/a") for anything else.
int ControlZoneFunctionNumber(std::string_view keyword);

ControlZoneAssignment ParseControlZone(std::string_view text);

// All keys "n/a" when the file is missing or unreadable.
ControlZoneAssignment ReadControlZoneFile(const std::string& folder);
ControlZoneAssignment ReadControlZoneFile();

}  // namespace sorel
