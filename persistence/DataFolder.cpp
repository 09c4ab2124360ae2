#include "persistence/DataFolder.h"

#include <Poco/Exception.h>
#include <Poco/File.h>
#include <Poco/Path.h>
#include <Poco/StringTokenizer.h>

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace sorel {

namespace {

std::optional<std::string> HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') return std::string(home);
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr &&
                                                 entry->pw_dir[0] == '/') {
        return std::string(entry->pw_dir);
    }
    return std::nullopt;
}

// The base directory for user data files; relative values are ignored as the
// XDG rules ask.
std::optional<std::string> DataHome() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && xdg[0] == '/') return std::string(xdg);
    if (auto home = HomeFolder()) return JoinFolder(*home, ".local/share");
    return std::nullopt;
}

}  // namespace

std::string JoinFolder(const std::string& folder, std::string_view relative) {
    Poco::Path path(folder, Poco::Path::PATH_UNIX);
    path.makeDirectory();
    Poco::StringTokenizer parts{std::string(relative), "/",
                                Poco::StringTokenizer::TOK_IGNORE_EMPTY | Poco::StringTokenizer::TOK_TRIM};
    for (const auto& part : parts) path.pushDirectory(part);
    return path.toString(Poco::Path::PATH_UNIX);
}

std::optional<std::string> GetUserDataFolder(std::string_view subFolder) {
    try {
        auto base = DataHome();
        if (!base) return std::nullopt;
        return JoinFolder(JoinFolder(*base, "Vardo/Sorel"), subFolder);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

bool EnsureFolder(const std::string& folder) {
    try {
        Poco::File file(folder);
        if (!file.exists()) file.createDirectories();
        return file.exists() && file.isDirectory();
    } catch (const std::exception&) {
        return false;
    }
}

bool EnsureDataFolders() {
    bool complete = true;
    const auto ensure = [&complete](std::string_view sub, std::string_view relative) {
        auto folder = GetUserDataFolder(sub);
        complete = folder && EnsureFolder(JoinFolder(*folder, relative)) && complete;
    };
    ensure(kDataSubFolder, "");
    for (auto category : kPresetCategories) {
        for (auto style : kPresetStyles) ensure(kPresetSubFolder, std::string(category) + "/" + std::string(style));
        ensure(kChordMemorySubFolder, category);
    }
    return complete;
}

}  // namespace sorel
