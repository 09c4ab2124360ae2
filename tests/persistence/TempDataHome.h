// Points XDG_DATA_HOME at a fresh temporary folder for one test and removes
// it afterwards, so that no test touches the player's data folder.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace sorel::test {

class TempDataHome {
public:
    TempDataHome() {
        char pattern[] = "/tmp/sorel-persistence-XXXXXX";
        const char* made = mkdtemp(pattern);
        root_ = made != nullptr ? made : "/tmp/sorel-persistence-fallback";
        if (const char* old = std::getenv("XDG_DATA_HOME")) previous_ = old;
        setenv("XDG_DATA_HOME", root_.c_str(), 1);
    }
    ~TempDataHome() {
        if (previous_.empty()) unsetenv("XDG_DATA_HOME");
        else setenv("XDG_DATA_HOME", previous_.c_str(), 1);
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    TempDataHome(const TempDataHome&) = delete;
    TempDataHome& operator=(const TempDataHome&) = delete;

    const std::string& Root() const { return root_; }
    std::string SorelFolder() const { return root_ + "/Vardo/Sorel/"; }

private:
    std::string root_;
    std::string previous_;
};

inline void WriteTextFile(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

inline std::string ReadTextFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace sorel::test
