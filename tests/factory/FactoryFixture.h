// Shared pieces of the factory tests: scripts/install run into temporary
// HOME and data folders, and a plug-in object created the way the module
// creates it, with its persistence at hand for loading presets.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "persistence/PluginPersistence.h"
#include "persistence/TempDataHome.h"
#include "support/TestHost.h"

namespace sorel::factory::test {

namespace fs = std::filesystem;
using namespace sorel::test;

constexpr int kBlock = 512;

// A temporary data folder (XDG_DATA_HOME while it lives) with a home folder
// inside, into which scripts/install puts Sorel.
class Installation {
public:
    Installation() { fs::create_directories(Home()); }
    // The one installation the play tests share, made at first use.
    static const Installation& Shared();
    // Runs scripts/install; its exit status.
    int Install() const;
    std::string Log() const { return ReadTextFile(data_.File("log")); }
    fs::path Home() const { return data_.Path() / "home"; }
    fs::path Sorel() const { return data_.SorelFolder(); }
    fs::path FactoryPresets() const { return Sorel() / "presets" / "Factory"; }
    std::vector<std::string> PresetFiles() const;

private:
    TempDataHome data_;
};

// A plug-in object as a host gets it from the module's entry, in this process.
struct HostedSorel {
    HostedSorel();
    std::unique_ptr<TestHost> host;
    PluginPersistence* persistence = nullptr;
};

}  // namespace sorel::factory::test
