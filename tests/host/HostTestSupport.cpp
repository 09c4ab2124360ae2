#include "host/HostTestSupport.h"

#include <array>
#include <cstdio>
#include <dlfcn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace sorel::host::test {

namespace {
std::string shellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}
}  // namespace

CommandResult runHostTool(const std::vector<std::string>& arguments, const std::string& workingFolder) {
    std::string command;
    if (!workingFolder.empty()) command = "cd " + shellQuoted(workingFolder) + " && ";
    command += shellQuoted(hostToolPath());
    for (const std::string& argument : arguments) command += " " + shellQuoted(argument);
    command += " 2>&1";
    CommandResult result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return result;
    std::array<char, 4096> buffer{};
    size_t got = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) result.output.append(buffer.data(), got);
    const int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

MidiSong songOf(int ppqn, std::initializer_list<std::array<int, 4>> events, int64_t lengthTicks) {
    MidiSong song;
    song.ppqn = ppqn;
    for (const auto& e : events)
        song.events.push_back({e[0], {uint8_t(e[1]), uint8_t(e[2]), uint8_t(e[3])}, uint8_t((e[1] & 0xF0) == 0xC0 ? 2 : 3)});
    song.lengthTicks = lengthTicks;
    return song;
}

}  // namespace sorel::host::test
