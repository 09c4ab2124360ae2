// A fresh folder below /tmp that XDG_DATA_HOME points at while it lives, so
// that no test touches the player's data folder; removed afterwards.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace sorel::test {

class TempDataHome {
public:
    TempDataHome() : root_((std::filesystem::temp_directory_path() / "sorel-test-XXXXXX").string()) {
        if (mkdtemp(root_.data()) == nullptr) throw std::runtime_error("no temporary folder");
        if (const char* old = std::getenv("XDG_DATA_HOME")) previous_ = old;
        UseAsDataHome();
    }
    ~TempDataHome() {
        if (previous_.empty()) unsetenv("XDG_DATA_HOME");
        else setenv("XDG_DATA_HOME", previous_.c_str(), 1);
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    TempDataHome(const TempDataHome&) = delete;
    TempDataHome& operator=(const TempDataHome&) = delete;

    // Points XDG_DATA_HOME here again after another folder took it.
    void UseAsDataHome() const { setenv("XDG_DATA_HOME", root_.c_str(), 1); }
    const std::string& Root() const { return root_; }
    std::filesystem::path Path() const { return root_; }
    std::string File(const std::string& name) const { return root_ + "/" + name; }
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
