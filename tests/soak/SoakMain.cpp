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
        const bool hasValue = i + 1 < argc;
        if (arg == "--threads") options.threads = true;
        else if (arg == "--module" && hasValue) module = argv[++i];
        else if (arg == "--seconds" && hasValue) options.seconds = std::atof(argv[++i]);
        else if (arg == "--seed" && hasValue) options.seed = std::strtoull(argv[++i], nullptr, 0);
        else module.clear();
    }
    if (module.empty()) {
        std::cerr << "usage: sorel-soak [--module PATH] [--seconds N] [--seed S] [--threads]\n";
        return 2;
    }
    const sorel::test::TempDataHome dataHome;  // the player's own data folder is never touched
    options.dataRoot = dataHome.SorelFolder();
    std::string error;
    const VSTPluginMainProc entry = sorel::test::LoadModuleEntry(module, error);
    if (!entry) {
        std::cerr << error << "\n";
        return 1;
    }
    std::cout << "sorel-soak: seed " << options.seed << (options.threads ? ", threaded" : "") << ", module " << module
              << std::endl;
    return sorel::soak::RunSoak(entry, options, std::cout) ? 0 : 1;
}
