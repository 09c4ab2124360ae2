#include "PluginFixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "persistence/TempDataHome.h"

namespace sorel::test {

// Every test of the binary keeps its data below one temporary folder, made
// before the first plug-in is built and removed at the end.
const TempDataHome kDataRoot;

void UseFreshDataFolder() {
    static int counter = 0;
    const std::string folder = kDataRoot.File(std::to_string(++counter));
    std::filesystem::create_directories(folder);
    ::setenv("XDG_DATA_HOME", folder.c_str(), 1);
}

std::string SettingsFile() { return std::string(std::getenv("XDG_DATA_HOME")) + "/Vardo/Sorel/data/settings.srl"; }

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace sorel::test
