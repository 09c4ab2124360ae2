// scripts/install with HOME and XDG_DATA_HOME pointed at temporary folders:
// the plug-in lands in ~/.vst, the factory content where the browsers list
// it, the control-zone file only on a fresh installation, and nothing of
// the player's is touched.
#include <gtest/gtest.h>

#include <cstdlib>

#include "FactoryFixture.h"
#include "engine/ControlZone.h"
#include "persistence/ControlZoneFile.h"
#include "persistence/DataFolder.h"
#include "persistence/PresetTree.h"

namespace sorel::factory::test {
namespace {

using sorel::test::ReadTextFile;
using sorel::test::WriteTextFile;

class InstallScriptTest : public ::testing::Test {
protected:
    void SetUp() override { data = root.Path() / "data"; home = root.Path() / "home"; fs::create_directories(home); }

    int RunInstall() {
        const std::string command = "env HOME='" + home.string() + "' XDG_DATA_HOME='" + data.string() + "' '" +
                                    SOREL_INSTALL_SCRIPT "' '" SOREL_MODULE_DIR "' > '" + root.File("log") + "' 2>&1";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Log() { return ReadTextFile(root.File("log")); }
    fs::path Sorel() const { return data / "Vardo" / "Sorel"; }

    TempFolder root;
    fs::path data;
    fs::path home;
};

TEST_F(InstallScriptTest, PutsEverythingWhereTheBrowsersListIt) {
    ASSERT_EQ(RunInstall(), 0) << Log();
    EXPECT_TRUE(fs::is_regular_file(home / ".vst" / "Sorel.so"));

    ::setenv("XDG_DATA_HOME", data.c_str(), 1);
    const PresetTree presets(kPresetSubFolder, ".v2", ".v2z", true);
    const FactoryContent& built = WrittenFactory::Get().content;
    ::setenv("XDG_DATA_HOME", data.c_str(), 1);  // Get() may have taken it
    ASSERT_EQ(presets.Files().size(), built.presets.size());
    std::set<std::string> listed;
    for (const PresetMenuItem* item : presets.Files()) {
        listed.insert(item->text);
        EXPECT_NE(item->path.find("/presets/Factory/"), std::string::npos) << item->path;
    }
    for (const BuiltPreset& preset : built.presets) {
        EXPECT_TRUE(listed.count(preset.name)) << preset.name;
        EXPECT_TRUE(fs::is_regular_file(Sorel() / "presets" / "Factory" / std::string(kPresetStyles[preset.style]) / (preset.name + ".v2z")));
    }
    EXPECT_EQ(presets.UserEntries(), 4);  // the four empty style menus

    const PresetTree banks(kChordMemorySubFolder, ".cmb", "", false);
    std::set<std::string> bankNames;
    for (const PresetMenuItem* item : banks.Files()) bankNames.insert(item->text);
    std::set<std::string> builtBanks;
    for (const BuiltBank& bank : built.banks) builtBanks.insert(bank.name);
    EXPECT_EQ(bankNames, builtBanks);

    // The control keys of a fresh installation: the zone's own assignment,
    // with "n/a" for the one function the file has no keyword for.
    const auto assignment = ReadControlZoneFile();
    ASSERT_TRUE(assignment);
    ControlZone::Assignment expected = ControlZone::DefaultAssignment();
    for (int& function : expected)
        if (ControlZone::KeywordOf(function) == "n/a") function = 0;
    EXPECT_EQ(*assignment, expected);
    EXPECT_EQ((*assignment)[0], 1);    // note 12: the ORDER lane
    EXPECT_EQ((*assignment)[7], 0);    // note 19: "shift" has no keyword
    EXPECT_EQ((*assignment)[12], 15);  // note 24: pattern 1
}

TEST_F(InstallScriptTest, LeavesThePlayersFilesAlone) {
    const fs::path zone = Sorel() / "data" / "controlzone.srl";
    const fs::path settings = Sorel() / "data" / "settings.srl";
    const fs::path user = Sorel() / "presets" / "User" / "1 bass" / "Mine.v2z";
    const fs::path userBank = Sorel() / "presets" / "chordmemory" / "User" / "Mine.cmb";
    const fs::path stale = Sorel() / "presets" / "Factory" / "1 bass" / "Rubber Octaves.v2z";
    WriteTextFile(zone, "panic\nhold\n");
    WriteTextFile(settings, "true\nfalse\ntrue\nfalse\nfalse\nfalse\ntrue\n");
    WriteTextFile(user, "my own preset");
    WriteTextFile(userBank, "my own bank");
    WriteTextFile(stale, "an older factory file");

    ASSERT_EQ(RunInstall(), 0) << Log();
    EXPECT_EQ(ReadTextFile(zone), "panic\nhold\n");
    EXPECT_EQ(ReadTextFile(settings), "true\nfalse\ntrue\nfalse\nfalse\nfalse\ntrue\n");
    EXPECT_EQ(ReadTextFile(user), "my own preset");
    EXPECT_EQ(ReadTextFile(userBank), "my own bank");
    EXPECT_NE(ReadTextFile(stale), "an older factory file");  // factory files are renewed
    EXPECT_NE(Log().find("kept"), std::string::npos) << Log();

    // A second run changes nothing of the player's either.
    ASSERT_EQ(RunInstall(), 0) << Log();
    EXPECT_EQ(ReadTextFile(zone), "panic\nhold\n");
}

}  // namespace
}  // namespace sorel::factory::test
