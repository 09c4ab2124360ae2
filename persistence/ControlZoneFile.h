// The control-zone assignment file "controlzone.srl" in the data folder: one
// function keyword per control-zone key, at most 24 lines. Only ever read.
#pragma once

#include <array>
#include <optional>

#include "engine/ControlZone.h"
#include <string>
#include <string_view>

namespace sorel {

inline constexpr std::string_view kControlZoneFileName = "controlzone.srl";
inline constexpr int kControlZoneKeys = ControlZone::kKeyCount;

using ControlZoneAssignment = ControlZone::Assignment;

// The function number of a keyword, matched exactly; 0 ("n/a") for anything else.
int ControlZoneFunctionNumber(std::string_view keyword);

ControlZoneAssignment ParseControlZone(std::string_view text);

// Nothing when the file is missing or unreadable (the zone then keeps its
// built-in assignment rather than swallowing 24 keys to no purpose).
std::optional<ControlZoneAssignment> ReadControlZoneFile(const std::string& folder);
std::optional<ControlZoneAssignment> ReadControlZoneFile();

}  // namespace sorel
