// Shared pieces of the host tests: a scratch folder, songs of notes, and
// running sorel-host as a user would.
#pragma once

#include "MidiSong.h"
#include "persistence/TempDataHome.h"

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

namespace sorel::host::test {

// A scratch folder that is also the data home of the plug-ins loaded meanwhile.
using ScratchFolder = sorel::test::TempDataHome;

struct CommandResult {
    int exitCode = -1;
    std::string output;  // standard output and standard error together
};

// Runs a shell command; its standard output and standard error together.
inline CommandResult runCommand(const std::string& command) {
    CommandResult result;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return result;
    std::array<char, 4096> buffer{};
    for (size_t got; (got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) result.output.append(buffer.data(), got);
    const int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

inline std::string quoted(const std::string& text) {
    std::string result = "'";
    for (char c : text) result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

// sorel-host with the given arguments, as a user runs it.
inline std::string hostCommand(const std::vector<std::string>& arguments) {
    std::string command = quoted(SOREL_HOST_TOOL);
    for (const std::string& argument : arguments) command += " " + quoted(argument);
    return command;
}

inline CommandResult runHostTool(const std::vector<std::string>& arguments, const std::string& workingFolder = {}) {
    return runCommand((workingFolder.empty() ? "" : "cd " + quoted(workingFolder) + " && ") + hostCommand(arguments));
}

// A song of (tick, status, data1, data2) messages.
inline MidiSong songOf(int ppqn, std::initializer_list<std::array<int, 4>> events, int64_t lengthTicks) {
    MidiSong song;
    song.ppqn = ppqn;
    for (const auto& e : events)
        song.events.push_back({e[0], {uint8_t(e[1]), uint8_t(e[2]), uint8_t(e[3])}, uint8_t((e[1] & 0xF0) == 0xC0 ? 2 : 3)});
    song.lengthTicks = lengthTicks;
    return song;
}

// C3 E3 G3, in key area 1, held for `ticks`.
inline MidiSong heldChord(int ppqn, int ticks) {
    return songOf(ppqn, {{0, 0x90, 48, 100}, {0, 0x90, 52, 100}, {0, 0x90, 55, 100},
                         {ticks, 0x80, 48, 0}, {ticks, 0x80, 52, 0}, {ticks, 0x80, 55, 0}}, ticks);
}

}  // namespace sorel::host::test
