// Builds every recipe of the factory content and writes the results into the
// data folder: pattern presets into "presets/Factory/<style>/" as ".v2z",
// chord-memory banks into "presets/chordmemory/Factory/" as ".cmb".
//
// Recipes live in <recipes>/presets/<style>/<name>.recipe and
// <recipes>/chordmemory/<name>.recipe; the output takes the recipe's file name.
#pragma once

#include <string>
#include <vector>

#include "persistence/ChordBank.h"
#include "persistence/PluginState.h"

namespace sorel::factory {

inline constexpr const char* kRecipeExtension = ".recipe";

struct BuiltPreset {
    std::string recipe;  // path of the recipe
    int style = 0;       // 0..3, the style folder
    std::string name;    // file name without extension
    PluginState state;
};

struct BuiltBank {
    std::string recipe;
    std::string name;
    ChordBankData chords;
};

struct FactoryContent {
    std::vector<BuiltPreset> presets;
    std::vector<BuiltBank> banks;
};

class FactoryWriter {
public:
    explicit FactoryWriter(std::string recipeFolder);

    // Builds everything, in a fresh plug-in per recipe; throws RecipeError
    // for the first faulty recipe, before anything is written.
    FactoryContent Build() const;
    // Writes the built content below the data folder; returns the written
    // paths. Throws std::runtime_error when a file cannot be written.
    std::vector<std::string> Write(const FactoryContent& content) const;

private:
    std::vector<std::string> RecipesIn(const std::string& folder) const;

    std::string recipeFolder_;
};

}  // namespace sorel::factory
