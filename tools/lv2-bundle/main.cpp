// sorel-lv2-bundle: writes the turtle files of Sorel.lv2 from the plug-in's
// own tables: the manifest, the plug-in's description with one control port
// per host parameter (names, ranges and texts as the core has them), and one
// pset:Preset per factory preset, holding the state a host's VST 2 bank chunk
// holds after loading that program and the ports' values then.
//
// Usage: sorel-lv2-bundle --out BUNDLE --data FOLDER --recipes FOLDER --version X.Y.Z [--ui]
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "FactoryWriter.h"
#include "PluginTurtle.h"
#include "frame/Parameter.h"
#include "frame/PluginHost.h"
#include "frame/Vardo.h"
#include "module/lv2/Lv2Ports.h"
#include "persistence/ProgramList.h"
#include "persistence/VardoPersistence.h"

namespace {

using namespace sorel;
namespace fs = std::filesystem;

struct Options {
    fs::path out;
    fs::path data;
    std::string recipes;
    std::string version;
    bool ui = false;
};

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--out" && i + 1 < argc) options.out = argv[++i];
        else if (arg == "--data" && i + 1 < argc) options.data = argv[++i];
        else if (arg == "--recipes" && i + 1 < argc) options.recipes = argv[++i];
        else if (arg == "--version" && i + 1 < argc) options.version = argv[++i];
        else if (arg == "--ui") options.ui = true;
        else return false;
    }
    return !options.out.empty() && !options.data.empty() && !options.recipes.empty() && !options.version.empty();
}

// One fresh instance with its persistence, as a host's loading builds it.
struct Instance {
    NoHost host;
    std::unique_ptr<Vardo> plugin;
    PluginPersistence* persistence = nullptr;

    Instance() : plugin(std::make_unique<Vardo>(host)) {
        auto hooks = MakePersistenceHooks(*plugin);
        persistence = hooks.get();
        plugin->SetPersistenceHooks(std::move(hooks));
        plugin->Open();
    }
};

std::vector<lv2::ControlPortInfo> DescribeControls(Vardo& plugin) {
    std::vector<lv2::ControlPortInfo> ports;
    for (int i = 0; i < plugin.HostParameterCount(); ++i) {
        const Parameter& p = *plugin.HostParameter(i);
        lv2::ControlPortInfo port{lv2::ControlSymbol(i), plugin.HostParameterName(i), p.Default(), p.Minimum(),
                                  p.Maximum(),          p.Kind(),                    {}};
        if (p.HasDisplayTexts()) {
            for (int v = static_cast<int>(p.Minimum()); v <= static_cast<int>(p.Maximum()); ++v)
                port.scalePoints.push_back({v, p.DisplayText(v)});
        }
        ports.push_back(std::move(port));
    }
    return ports;
}

lv2::PresetInfo DescribePreset(const ProgramList& programs, int index) {
    const Program& program = *programs.At(index);
    Instance instance;
    std::ifstream file(program.path, std::ios::binary);
    if (!file || !instance.persistence->LoadPresetStream(file, program.name))
        throw std::runtime_error("the factory preset " + program.path + " does not load");
    void* data = nullptr;
    const intptr_t size = instance.plugin->GetState(&data, true);
    if (size <= 0) throw std::runtime_error("no state after loading " + program.path);
    lv2::PresetInfo preset{program.style, program.name, programs.Label(index, std::string::npos), {}, {}};
    const auto* bytes = static_cast<const uint8_t*>(data);
    preset.state.assign(bytes, bytes + size);
    for (int i = 0; i < instance.plugin->HostParameterCount(); ++i)
        preset.portValues.push_back(instance.plugin->HostParameter(i)->Value());
    return preset;
}

// The factory presets go into a data folder of the bundle tool's own, which
// the instances below list as their factory programs.
ProgramList BuildFactory(const Options& options) {
    const fs::path& data = options.data;
    fs::remove_all(data);
    fs::create_directories(data);
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    const factory::FactoryWriter writer(options.recipes);
    writer.Write(writer.Build());
    return ProgramList::ScanFactory();
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fputs("usage: sorel-lv2-bundle --out BUNDLE --data FOLDER --recipes FOLDER --version X.Y.Z [--ui]\n", stderr);
        return 2;
    }
    try {
        const ProgramList programs = BuildFactory(options);
        lv2::PluginInfo plugin;
        plugin.version = options.version;
        plugin.withUi = options.ui;
        {
            Instance fresh;
            plugin.controls = DescribeControls(*fresh.plugin);
            plugin.vendor = fresh.plugin->Identity().vendor;
        }
        for (int i = 0; i < programs.Count(); ++i) plugin.presets.push_back(DescribePreset(programs, i));
        for (const std::string& path : lv2::WriteBundleTurtle(plugin, options.out))
            std::printf("wrote %s\n", path.c_str());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "sorel-lv2-bundle: %s\n", error.what());
        return 1;
    }
    return 0;
}
