// A real host's plug-in scanner loads Sorel.so: Ardour's VST 2 scanner
// (Debian package "ardour") indexes it and writes what it found to its cache.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/TestHost.h"

namespace fs = std::filesystem;

namespace sorel::test {
namespace {

const char* const kScanner = "/usr/lib/ardour7/ardour-vst-scanner";

// The value of attribute `name` in the first element that carries it.
std::string Attribute(const std::string& xml, const std::string& name) {
    const std::string key = " " + name + "=\"";
    const size_t start = xml.find(key) + key.size();
    return start < key.size() ? "<missing>" : xml.substr(start, xml.find('"', start) - start);
}

TEST(ArdourScan, TheScannerIndexesSorelAsAMidiInstrument) {
    if (!fs::exists(kScanner)) GTEST_SKIP() << kScanner << " is not installed (scripts/deps --test installs ardour)";
    const std::string module = ModulePathFromEnvironment();
    ASSERT_TRUE(fs::exists(module)) << module;
    const fs::path home = fs::temp_directory_path() / ("sorel-ardour-scan-" + std::to_string(::getpid()));
    fs::remove_all(home);
    fs::create_directories(home);
    const fs::path cache = home / "cache";
    std::ostringstream command;
    command << "HOME=" << home << " XDG_CONFIG_HOME=" << home / "config" << " XDG_CACHE_HOME=" << cache
            << " XDG_DATA_HOME=" << home / "data" << " LD_LIBRARY_PATH=/usr/lib/ardour7 timeout 120 " << kScanner
            << " -f " << fs::absolute(module) << " > " << home / "scan.log" << " 2>&1";
    ASSERT_EQ(std::system(command.str().c_str()), 0) << "scanner failed, see " << home / "scan.log";

    // The scanner names its cache file after a hash of the module's path.
    std::string xml;
    for (const auto& entry : fs::recursive_directory_iterator(cache))
        if (std::ifstream file(entry.path()); entry.path().extension() == ".v2i")
            xml.assign(std::istreambuf_iterator<char>(file), {});
    ASSERT_FALSE(xml.empty()) << "no cache file below " << cache;
    const std::pair<const char*, std::string> expected[] = {
        {"name", "Sorel"},       {"creator", "Vardo"},     {"id", std::to_string(0x32753935)},
        {"n_inputs", "0"},       {"n_outputs", "2"},       {"n_midi_inputs", "1"},
        {"n_midi_outputs", "1"}, {"is_instrument", "1"},   {"category", "Instrument"}};
    for (const auto& [name, value] : expected) EXPECT_EQ(Attribute(xml, name), value) << name;
    fs::remove_all(home);
}

}  // namespace
}  // namespace sorel::test
