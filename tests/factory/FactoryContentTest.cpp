// The written factory content read back the way the plug-in reads it: each
// preset file loaded into a fresh plug-in gives back what its recipe says,
// the presets differ musically, and the banks hold their chords.
#include <gtest/gtest.h>

#include <set>

#include "FactoryFixture.h"
#include "ParameterDirectory.h"
#include "Recipe.h"
#include "engine/ParameterIndex.h"
#include "frame/Vardo.h"
#include "persistence/DataFolder.h"
#include "persistence/StateApplier.h"
#include "persistence/VardoStateTarget.h"

namespace sorel::factory::test {
namespace {

using namespace sorel::param;

PluginState LoadedState(HostedSorel& sorel) {
    VardoStateTarget target(sorel.Plugin());
    return CaptureState(target, "");
}

HostedSorel& LoadPreset(HostedSorel& sorel, const std::string& name) {
    const auto& files = WrittenFactory::Get().presetFiles;
    const auto found = files.find(name);
    if (found == files.end()) throw std::runtime_error("no factory preset " + name);
    if (!sorel.Persistence().LoadPresetFile(found->second)) throw std::runtime_error("cannot load " + name);
    return sorel;
}

// Everything the recipe set, read back from the file through the plug-in's
// own reader into a plug-in that never saw the recipe.
TEST(FactoryContentTest, EveryPresetLoadsBackAsBuilt) {
    for (const BuiltPreset& preset : WrittenFactory::Get().content.presets) {
        HostedSorel sorel;
        LoadPreset(sorel, preset.name);
        const PluginState loaded = LoadedState(sorel);
        ASSERT_EQ(loaded.parameters.size(), preset.state.parameters.size());
        int differing = 0;
        for (size_t i = 0; i < loaded.parameters.size(); ++i) {
            // The CC Teach menu follows the controller numbers the plug-in just read.
            if (static_cast<int>(i) == kCcTeachSelection) continue;
            if (loaded.parameters[i] != preset.state.parameters[i] && ++differing <= 3)
                ADD_FAILURE() << preset.name << ": parameter " << i << " is " << loaded.parameters[i] << ", built "
                              << preset.state.parameters[i];
        }
        EXPECT_EQ(differing, 0) << preset.name;
        EXPECT_EQ(loaded.laneLoops, preset.state.laneLoops) << preset.name;
        EXPECT_EQ(loaded.chords, preset.state.chords) << preset.name;
        EXPECT_EQ(loaded.stepCcNumbers, preset.state.stepCcNumbers) << preset.name;

        // Each parameter line of the recipe holds the value its text stands for.
        const Recipe recipe = Recipe::Load(preset.recipe);
        const ParameterDirectory directory(sorel.Plugin().Params());
        for (const RecipeEntry& entry : recipe.Entries()) {
            std::vector<int> indices = directory.IndicesOf(entry.key);
            if (indices.empty()) indices = directory.IndicesOf(entry.key + " ");
            if (indices.size() != 1) continue;  // box info and lane lines
            std::string problem;
            const auto value = directory.ValueFor(indices.front(), entry.value, problem);
            ASSERT_TRUE(value) << problem;
            EXPECT_EQ(sorel.Value(indices.front()), *value) << recipe.File() << ":" << entry.line;
        }
    }
}

}  // namespace
}  // namespace sorel::factory::test
