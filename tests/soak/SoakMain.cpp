// sorel-soak: plays a hostile host to Sorel.so for a while and reports.
//   sorel-soak [--module PATH] [--seconds N] [--seed S] [--threads]
// The module defaults to SOREL_MODULE_PATH. The data folder is a fresh
// temporary one, removed afterwards. Exit status 0 when every check held.
#include <cstdlib>
#include <iostream>
#include <string>

#include "persistence/TempDataHome.h"
#include "soak/SoakRun.h"
#include "support/TestHost.h"

int main(int argc, char** argv) {
    sorel::soak::SoakOptions options;
    std::string module = sorel::test::ModulePathFromEnvironment();
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (arg == "--threads") options.threads = true;
        else if (arg == "--module" && value) module = argv[++i];
        else if (arg == "--seconds" && value) options.seconds = std::atof(argv[++i]);
        else if (arg == "--seed" && value) options.seed = std::strtoull(argv[++i], nullptr, 0);
        else module.clear();
    }
    std::string error;
    const VSTPluginMainProc entry = module.empty() ? nullptr : sorel::test::LoadModuleEntry(module, error);
    if (!entry) {
        std::cerr << (module.empty() ? "usage: sorel-soak [--module PATH] [--seconds N] [--seed S] [--threads]" : error) << "\n";
        return module.empty() ? 2 : 1;
    }
    const sorel::test::TempDataHome dataHome;  // the player's own data folder is never touched
    options.dataRoot = dataHome.SorelFolder();
    std::cout << "sorel-soak: seed " << options.seed << (options.threads ? ", threaded" : "") << ", module " << module << "\n";
    return sorel::soak::RunSoak(entry, options, std::cout) ? 0 : 1;
}
