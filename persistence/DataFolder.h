// The machine's Sorel data folder: $XDG_DATA_HOME/Vardo/Sorel/ (by default
// ~/.local/share/Vardo/Sorel/) with the settings, the control-zone
// assignment and the preset folders below it.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace sorel {

inline constexpr std::string_view kDataSubFolder = "data";
inline constexpr std::string_view kPresetSubFolder = "presets";
inline constexpr std::string_view kChordMemorySubFolder = "presets/chordmemory";
inline constexpr std::array<std::string_view, 2> kPresetCategories = {"Factory", "User"};
inline constexpr std::array<std::string_view, 4> kPresetStyles = {"1 bass", "2 lead", "3 rhythm", "4 misc"};

// The folder `subFolder` below the data folder, ending in '/'; nothing when
// no home or data folder can be named. Creates nothing.
std::optional<std::string> GetUserDataFolder(std::string_view subFolder);

// Joins a folder (ending in '/' or not) and a relative path of folders,
// giving a folder path that ends in '/'.
std::string JoinFolder(const std::string& folder, std::string_view relative);

// Creates the folder with every missing parent. False when it does not exist afterwards.
bool EnsureFolder(const std::string& folder);

// Creates "data", the Factory and User style folders of "presets" and the
// Factory and User folders of "presets/chordmemory". False if any is missing afterwards.
bool EnsureDataFolders();

}  // namespace sorel
