// The turtle files of the LV2 bundle, written from a description of the
// plug-in: manifest.ttl, sorel.ttl and presets/<name>.ttl.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "frame/ParameterInfo.h"

namespace sorel::lv2 {

struct ControlPortInfo {
    std::string symbol;
    std::string name;
    double defaultValue;
    double minimum;
    double maximum;
    ParamKind kind;
    std::vector<std::pair<int, std::string>> scalePoints;  // value, label
};

struct PresetInfo {
    std::string style;
    std::string name;
    std::string label;  // "style: name", as hosts list the programs
    std::vector<uint8_t> state;
    std::vector<double> portValues;  // one per control port
};

struct PluginInfo {
    std::string version;  // "major.minor.micro"
    std::string vendor;   // the maker hosts name beside the plug-in
    bool withUi = false;
    std::vector<ControlPortInfo> controls;
    std::vector<PresetInfo> presets;
};

// Writes every file into the bundle folder; returns their paths. Throws
// std::runtime_error when one cannot be written.
std::vector<std::string> WriteBundleTurtle(const PluginInfo& plugin, const std::filesystem::path& bundle);

// The file name (without ".ttl") and URI fragment of a preset: "bass-walking-line".
std::string PresetSlug(const PresetInfo& preset);

}  // namespace sorel::lv2
