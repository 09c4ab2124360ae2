// The control-zone file of a fresh installation: the zone's built-in key
// assignment written out, so that the control keys work and the player has
// a file to edit. An existing file is the player's and is never replaced.
#pragma once

#include <string>

namespace sorel::factory {

// One keyword per control-zone key, lowest key first; "n/a" where a
// function has no keyword.
std::string DefaultControlZoneText();

enum class ControlZoneFileResult { Written, AlreadyThere, Failed };

// Writes the file into the data folder's "data" folder when it is absent.
ControlZoneFileResult WriteDefaultControlZoneFile(std::string& path);

}  // namespace sorel::factory
