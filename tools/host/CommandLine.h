// The command line of sorel-host: "info", "render", "demo" and "gui" with their
// options, parsed into one record; mistakes become a usage message.
#pragma once

#include "ParameterSetter.h"
#include "Renderer.h"

#include <optional>
#include <string>
#include <vector>

namespace sorel::host {

enum class Command { Help, Info, Render, Demo, Gui };

struct Invocation {
    Command command = Command::Help;
    std::string pluginPath;
    std::string inputPath;
    std::string outputPath;
    std::string statePath;
    std::string saveStatePath;  // gui: where the plug-in's state goes when the window closes
    bool stateIsBank = false;
    bool stateIsPreset = false;  // a preset file: its header comes before the state
    std::vector<ParameterAssignment> assignments;
    std::optional<int> parameterCount;
    RenderOptions render;
    int rollBars = 8;
    bool quiet = false;
    // Another sequence of the plug-in's random note picks (Sorel reads it when created).
    std::optional<long long> seed;
};

class CommandLine {
public:
    // Null with a message in `error` for a malformed command line.
    static std::optional<Invocation> parse(const std::vector<std::string>& arguments, std::string& error);
    static std::string usage();
};

}  // namespace sorel::host
