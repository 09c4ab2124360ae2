#include "FactoryWriter.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include "PresetBuilder.h"
#include "persistence/DataFolder.h"
#include "persistence/PresetFile.h"

namespace sorel::factory {

namespace fs = std::filesystem;

namespace {

std::string FolderBelow(std::string_view subFolder, const std::string& relative) {
    const auto root = GetUserDataFolder(subFolder);
    if (!root) throw std::runtime_error("no data folder: neither XDG_DATA_HOME nor HOME names one");
    const std::string folder = JoinFolder(*root, relative);
    if (!EnsureFolder(folder)) throw std::runtime_error(folder + ": cannot be created");
    return folder;
}

}  // namespace

FactoryWriter::FactoryWriter(std::string recipeFolder) : recipeFolder_(std::move(recipeFolder)) {}

std::vector<std::string> FactoryWriter::RecipesIn(const std::string& folder) const {
    std::vector<std::string> recipes;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        if (entry.is_regular_file() && entry.path().extension() == kRecipeExtension) recipes.push_back(entry.path().string());
    }
    if (error) throw RecipeError(folder, 0, "cannot be listed: " + error.message());
    std::sort(recipes.begin(), recipes.end());
    return recipes;
}

FactoryContent FactoryWriter::Build() const {
    FactoryContent content;
    const fs::path presets = fs::path(recipeFolder_) / "presets";
    // A folder that is no style would never show in the browser.
    std::error_code error;
    if (!fs::exists(presets)) throw RecipeError(presets.string(), 0, "is missing");
    for (const auto& entry : fs::directory_iterator(presets, error)) {
        const std::string style = entry.path().filename().string();
        if (std::find(kPresetStyles.begin(), kPresetStyles.end(), style) == kPresetStyles.end())
            throw RecipeError(entry.path().string(), 0, "is no style folder (\"1 bass\", \"2 lead\", \"3 rhythm\", \"4 misc\")");
    }
    if (error) throw RecipeError(presets.string(), 0, "cannot be listed: " + error.message());
    for (size_t style = 0; style < kPresetStyles.size(); ++style) {
        const fs::path folder = presets / std::string(kPresetStyles[style]);
        if (!fs::exists(folder)) continue;
        for (const std::string& path : RecipesIn(folder.string())) {
            const Recipe recipe = Recipe::Load(path);
            PresetBuilder builder;
            builder.ApplyPreset(recipe);
            content.presets.push_back({path, static_cast<int>(style), fs::path(path).stem().string(), builder.CapturePreset()});
        }
    }
    const fs::path banks = fs::path(recipeFolder_) / "chordmemory";
    if (fs::exists(banks)) {
        for (const std::string& path : RecipesIn(banks.string())) {
            const Recipe recipe = Recipe::Load(path);
            PresetBuilder builder;
            builder.ApplyBank(recipe);
            content.banks.push_back({path, fs::path(path).stem().string(), builder.ChordMemory()});
        }
    }
    return content;
}

std::vector<std::string> FactoryWriter::Write(const FactoryContent& content) const {
    std::vector<std::string> written;
    for (const BuiltPreset& preset : content.presets) {
        const std::string folder =
            FolderBelow(kPresetSubFolder, "Factory/" + std::string(kPresetStyles[static_cast<size_t>(preset.style)]));
        const std::string path = folder + preset.name + std::string(kPresetExtension);
        if (!WritePresetFile(path, preset.state)) throw std::runtime_error(path + ": cannot be written");
        written.push_back(path);
    }
    for (const BuiltBank& bank : content.banks) {
        const std::string path = FolderBelow(kChordMemorySubFolder, "Factory") + bank.name + std::string(kChordBankExtension);
        if (!WriteChordBankFile(path, bank.chords)) throw std::runtime_error(path + ": cannot be written");
        written.push_back(path);
    }
    return written;
}

}  // namespace sorel::factory
