// scripts/install with HOME and XDG_DATA_HOME pointed at temporary folders:
// the plug-in lands in ~/.vst, every factory recipe's preset or bank where
// the browsers list it, the control-zone file only on a fresh installation,
// and nothing of the player's is touched.
#include <gtest/gtest.h>

#include <set>

#include "FactoryFixture.h"
#include "engine/ControlZone.h"
#include "persistence/ControlZoneFile.h"
#include "persistence/DataFolder.h"
#include "persistence/PresetTree.h"

namespace sorel::factory::test {
namespace {

// The names of the recipes below `folder` of the source tree's factory content.
std::set<std::string> RecipeNames(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(std::string(SOREL_FACTORY_RECIPES) + "/" + folder))
        if (entry.path().extension() == ".recipe") names.insert(entry.path().stem().string());
    return names;
}

std::set<std::string> Listed(const PresetTree& tree) {
    std::set<std::string> names;
    for (const PresetMenuItem* item : tree.Files()) names.insert(item->text);
    return names;
}

TEST(InstallScriptTest, PutsEverythingWhereTheBrowsersListItAndLeavesThePlayersFilesAlone) {
    const Installation install;
    ASSERT_EQ(install.Install(), 0) << install.Log();
    EXPECT_TRUE(fs::is_regular_file(install.Home() / ".vst" / "Sorel.so"));

    const PresetTree presets(kPresetSubFolder, ".v2", ".v2z", true);
    EXPECT_EQ(Listed(presets), RecipeNames("presets"));
    for (const PresetMenuItem* item : presets.Files())
        EXPECT_EQ(fs::path(item->path).parent_path().parent_path(), install.FactoryPresets()) << item->path;
    EXPECT_EQ(presets.UserEntries(), 4);  // the four empty style menus
    EXPECT_EQ(Listed(PresetTree(kChordMemorySubFolder, ".cmb", "", false)), RecipeNames("chordmemory"));

    // The control keys of a fresh installation: the zone's own assignment,
    // with none for the functions the file has no keyword for.
    ControlZone::Assignment expected = ControlZone::DefaultAssignment();
    for (int& function : expected)
        if (ControlZone::KeywordOf(function) == "n/a") function = 0;
    EXPECT_EQ(ReadControlZoneFile(), expected);

    const fs::path sorel = install.Sorel();
    const std::pair<fs::path, std::string> players[] = {
        {sorel / "data" / "controlzone.srl", "panic\nhold\n"},
        {sorel / "data" / "settings.srl", "true\nfalse\ntrue\nfalse\nfalse\nfalse\ntrue\n"},
        {sorel / "presets" / "User" / "1 bass" / "Mine.v2z", "my own preset"},
        {sorel / "presets" / "chordmemory" / "User" / "Mine.cmb", "my own bank"}};
    for (const auto& [file, text] : players) WriteTextFile(file, text);
    const std::string factoryFile = install.PresetFiles().front();
    WriteTextFile(factoryFile, "an older factory file");
    ASSERT_EQ(install.Install(), 0) << install.Log();
    for (const auto& [file, text] : players) EXPECT_EQ(ReadTextFile(file), text) << file;
    EXPECT_NE(ReadTextFile(factoryFile), "an older factory file");  // factory files are renewed
    EXPECT_NE(install.Log().find("kept"), std::string::npos) << install.Log();
}

}  // namespace
}  // namespace sorel::factory::test
