// sorel-factory: builds the factory presets and chord-memory banks from their
// recipes and writes them into the data folder; with --control-zone it also
// writes the control-zone file of a fresh installation.
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>

#include "ControlZoneDefaults.h"
#include "FactoryWriter.h"
#include "Recipe.h"

namespace {

constexpr const char* kUsage =
    "usage: sorel-factory [--recipes FOLDER] [--check] [--control-zone]\n"
    "  --recipes FOLDER  the recipe folder (default: the source tree's resources/factory)\n"
    "  --check           build every recipe, write nothing\n"
    "  --control-zone    also write the control-zone file when there is none\n";

struct Options {
    std::string recipes = SOREL_FACTORY_RECIPES;
    bool check = false;
    bool controlZone = false;
};

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--recipes" && i + 1 < argc) options.recipes = argv[++i];
        else if (arg == "--check") options.check = true;
        else if (arg == "--control-zone") options.controlZone = true;
        else return false;
    }
    return true;
}

int WriteControlZone() {
    std::string path;
    switch (sorel::factory::WriteDefaultControlZoneFile(path)) {
        case sorel::factory::ControlZoneFileResult::Written:
            std::printf("wrote %s\n", path.c_str());
            return 0;
        case sorel::factory::ControlZoneFileResult::AlreadyThere:
            std::printf("kept %s\n", path.c_str());
            return 0;
        case sorel::factory::ControlZoneFileResult::Failed:
            break;
    }
    std::fprintf(stderr, "sorel-factory: the control-zone file %s cannot be written\n", path.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    try {
        const sorel::factory::FactoryWriter writer(options.recipes);
        const auto content = writer.Build();
        if (options.check) {
            std::printf("%zu presets and %zu chord-memory banks build\n", content.presets.size(), content.banks.size());
            return 0;
        }
        for (const std::string& path : writer.Write(content)) std::printf("wrote %s\n", path.c_str());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "sorel-factory: %s\n", error.what());
        return 1;
    }
    return options.controlZone ? WriteControlZone() : 0;
}
