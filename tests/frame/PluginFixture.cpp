#include "PluginFixture.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace sorel::test {
namespace {

namespace fs = std::filesystem;

// Every test of the binary keeps its data below one temporary folder, made
// before the first plug-in is built and removed at the end.
class DataFolderEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        root = fs::temp_directory_path() / ("sorel-frame-tests-" + std::to_string(::getpid()));
        fs::create_directories(root);
        UseFreshDataFolder();
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
    static fs::path root;
};
fs::path DataFolderEnvironment::root;

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new DataFolderEnvironment);

}  // namespace

void UseFreshDataFolder() {
    static int counter = 0;
    const fs::path folder = DataFolderEnvironment::root / std::to_string(++counter);
    fs::create_directories(folder);
    ::setenv("XDG_DATA_HOME", folder.c_str(), 1);
}

}  // namespace sorel::test
