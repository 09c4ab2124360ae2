#include "PluginFixture.h"

#include <filesystem>
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

}  // namespace sorel::test
