#include <gtest/gtest.h>

#include <filesystem>

#include "persistence/ControlZoneFile.h"
#include "persistence/DataFolder.h"
#include "persistence/SettingsFile.h"
#include "persistence/TempDataHome.h"

namespace sorel {
namespace {

namespace fs = std::filesystem;
using test::ReadTextFile;
using test::TempDataHome;
using test::WriteTextFile;

TEST(DataFolder, AFolderThatCannotBeCreatedIsReportedNotThrown) {
    TempDataHome home;
    WriteTextFile(home.Root() + "/Vardo", "a file where the folder should be");
    EXPECT_FALSE(EnsureDataFolders());
    EXPECT_EQ(ReadSettingsFile(), GlobalSettings{});
    EXPECT_FALSE(WriteSettingsFile(GlobalSettings{.enableMidiNoteNames = true}));
    EXPECT_FALSE(ReadControlZoneFile().has_value());
}

TEST(SettingsFile, OnlyAnExactTrueLineIsTrue) {
    const GlobalSettings settings = ParseSettings("TRUE\ntrue\r\ntrue \n\ntrue\nfalse\ntrue");
    EXPECT_FALSE(settings.enableMidiNoteNames);
    EXPECT_TRUE(settings.startNotesImmediately) << "a carriage return is not part of the line";
    EXPECT_FALSE(settings.useOnlyOrderOnOff);
    EXPECT_FALSE(settings.transposeAsSemitones);
    EXPECT_TRUE(settings.transposeAllOutputNotes);
    EXPECT_FALSE(settings.disableControlZone);
    EXPECT_TRUE(settings.gateLengthInSteps) << "the last line needs no line end";
}

TEST(SettingsFile, MissingLinesAreFalseAndLinesAfterTheSeventhAreIgnored) {
    const GlobalSettings three = ParseSettings("true\ntrue\ntrue\n");
    EXPECT_TRUE(three.useOnlyOrderOnOff);
    EXPECT_FALSE(three.transposeAsSemitones);
    EXPECT_FALSE(three.gateLengthInSteps);
    EXPECT_EQ(ParseSettings("false\nfalse\nfalse\nfalse\nfalse\nfalse\nfalse\ntrue\n"), GlobalSettings{});
}

TEST(SettingsFile, EachLineMapsToItsSetting) {
    for (int line = 0; line < kGlobalSettingCount; ++line) {
        std::string text;
        for (int n = 0; n < kGlobalSettingCount; ++n) text += n == line ? "true\n" : "false\n";
        const GlobalSettings settings = ParseSettings(text);
        for (int n = 0; n < kGlobalSettingCount; ++n) EXPECT_EQ(SettingByLine(settings, n), n == line);
        EXPECT_EQ(FormatSettings(settings), text);
    }
    GlobalSettings byName;
    byName.disableControlZone = true;
    EXPECT_TRUE(SettingByLine(byName, 5));
}

// The eighth line holds the editor's scale; a file of seven lines is one written before it.
TEST(SettingsFile, TheEighthLineKeepsTheGuiScale) {
    const std::string seven = "true\nfalse\nfalse\nfalse\nfalse\nfalse\ntrue\n";
    const struct { std::string text; int scale; std::string written; } kRows[] = {
        {seven, 1, seven},
        {seven + "2\n", 2, seven + "2\n"},
        {seven + "2", 2, seven + "2\n"},
        {seven + "2\r\n", 2, seven + "2\n"},
        {seven + "1\n", 1, seven},
        {seven + "3\n", 1, seven},
        {seven + " 2\n", 1, seven},
        {seven + "\n2\n", 1, seven},
        {"true\n2\n", 1, "true\nfalse\nfalse\nfalse\nfalse\nfalse\nfalse\n"},
    };
    for (const auto& row : kRows) {
        SCOPED_TRACE(row.text);
        const GlobalSettings settings = ParseSettings(row.text);
        EXPECT_EQ(settings.guiScale, row.scale);
        EXPECT_TRUE(settings.enableMidiNoteNames);
        EXPECT_EQ(FormatSettings(settings), row.written);
        EXPECT_EQ(UnpackSettings(PackSettings(settings)), settings) << "handed to the writing thread whole";
    }
    TempDataHome home;
    ASSERT_TRUE(WriteSettingsFile(GlobalSettings{.disableControlZone = true, .guiScale = 2}));
    EXPECT_EQ(ReadSettingsFile(), (GlobalSettings{.disableControlZone = true, .guiScale = 2}));
}

TEST(ControlZoneFile, LinesAssignKeysInOrderAndOnlyTheFirst24Count) {
    std::string text = "order\nhold\r\nshift\npattern12\n";
    for (int i = 4; i < 30; ++i) text += "panic\n";
    const ControlZoneAssignment assignment = ParseControlZone(text);
    EXPECT_EQ(assignment[0], 1);
    EXPECT_EQ(assignment[1], 12);
    EXPECT_EQ(assignment[2], 0);
    EXPECT_EQ(assignment[3], 26);
    EXPECT_EQ(assignment[23], 14);
    EXPECT_EQ(ParseControlZone("hold")[0], 12);
}

TEST(ControlZoneFile, AMissingFileGivesNoAssignmentAndIsNotCreated) {
    TempDataHome home;
    EXPECT_FALSE(ReadControlZoneFile().has_value());
    EXPECT_FALSE(fs::exists(home.SorelFolder() + "data/controlzone.srl"));
    WriteTextFile(home.SorelFolder() + "data/controlzone.srl", "n/a\nnextpreset\n");
    const auto assignment = ReadControlZoneFile();
    ASSERT_TRUE(assignment.has_value());
    EXPECT_EQ((*assignment)[1], 11);
    EXPECT_EQ((*assignment)[2], 0) << "keys after the last line are unassigned";
}

}  // namespace
}  // namespace sorel
