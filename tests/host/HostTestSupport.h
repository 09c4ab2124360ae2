// Shared pieces of the host tests: where the test modules and the tool are,
// a scratch folder, and running sorel-host as a user would.
#pragma once

#include "MidiSong.h"
#include "persistence/TempDataHome.h"

#include <cstdlib>
#include <filesystem>
#include <string>

namespace sorel::host::test {

inline std::string echoPluginPath() { return SOREL_HOST_ECHO_PLUGIN; }
inline std::string noEntryModulePath() { return SOREL_HOST_NO_ENTRY_MODULE; }
inline std::string hostToolPath() { return SOREL_HOST_TOOL; }

// A scratch folder that is also the data home of the plug-ins loaded meanwhile.
using ScratchFolder = sorel::test::TempDataHome;

struct CommandResult {
    int exitCode = -1;
    std::string output;  // standard output and standard error together
};

// Runs sorel-host with the given arguments (each quoted for the shell).
CommandResult runHostTool(const std::vector<std::string>& arguments, const std::string& workingFolder = {});

// A song of notes: (tick, status, data1, data2).
MidiSong songOf(int ppqn, std::initializer_list<std::array<int, 4>> events, int64_t lengthTicks);

}  // namespace sorel::host::test
