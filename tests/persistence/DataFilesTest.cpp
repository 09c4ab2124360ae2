// The machine's files (data folder, settings, control zone), chord-bank
// records and the info lines of a preset's texts.
#include <gtest/gtest.h>

#include <filesystem>

#include "persistence/BoxInfo.h"
#include "persistence/ChordBank.h"
#include "persistence/ControlZoneFile.h"
#include "persistence/DataFolder.h"
#include "persistence/SettingsFile.h"
#include "persistence/TempDataHome.h"

namespace sorel {
namespace {

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

// Lines in settings order; only an exact "true" line is true, a carriage
// return is no part of the line, missing lines are false.
TEST(SettingsFile, LinesMapToTheirSettingsInOrder) {
    const struct { const char* text; const char* read; } kRows[] = {
        {"TRUE\ntrue\r\ntrue \n\ntrue\nfalse\ntrue", "false\ntrue\nfalse\nfalse\ntrue\nfalse\ntrue\n"},
        {"true\ntrue\ntrue\n", "true\ntrue\ntrue\nfalse\nfalse\nfalse\nfalse\n"},
        {"false\nfalse\nfalse\nfalse\nfalse\ntrue\nfalse\n", "false\nfalse\nfalse\nfalse\nfalse\ntrue\nfalse\n"},
    };
    for (const auto& row : kRows) EXPECT_EQ(FormatSettings(ParseSettings(row.text)), row.read) << row.text;
    EXPECT_TRUE(ParseSettings(kRows[2].text).disableControlZone);
    EXPECT_TRUE(ParseSettings(kRows[0].text).gateLengthInSteps) << "the last line needs no line end";
}

// The eighth line holds the editor's scale; a file of seven lines is one written before it.
TEST(SettingsFile, TheEighthLineKeepsTheGuiScale) {
    const std::string seven = "true\nfalse\nfalse\nfalse\nfalse\nfalse\ntrue\n";
    const struct { std::string text; int scale; std::string written; } kRows[] = {
        {seven, 1, seven},
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

TEST(ControlZoneFile, LinesAssignKeysInOrderAndAMissingFileIsNotCreated) {
    TempDataHome home;
    EXPECT_FALSE(ReadControlZoneFile().has_value());
    EXPECT_FALSE(std::filesystem::exists(home.SorelFolder() + "data/controlzone.srl"));
    std::string text = "n/a\nhold\r\nnextpreset\npattern12\n";
    for (int i = 4; i < 30; ++i) text += "panic\n";  // only the first 24 lines count
    WriteTextFile(home.SorelFolder() + "data/controlzone.srl", text);
    const auto assignment = ReadControlZoneFile();
    ASSERT_TRUE(assignment.has_value());
    EXPECT_EQ(*assignment, (ControlZoneAssignment{0, 12, 11, 26, 14, 14, 14, 14, 14, 14, 14, 14,
                                                  14, 14, 14, 14, 14, 14, 14, 14, 14, 14, 14, 14}));
    EXPECT_EQ(ParseControlZone("hold")[1], 0) << "keys after the last line are unassigned";
}

// Surplus records are read past, so that what follows them in a state is
// found; negative counts read nothing; notes outside the MIDI range or
// beyond a slot's capacity are dropped.
TEST(ChordBank, RecordsAreReadAsFarAsTheyHoldSlots) {
    const auto ints = [](std::vector<int32_t> values) {
        StateChunk chunk;
        for (int32_t v : values) chunk.PutInt32(v);
        return chunk;
    };
    std::vector<int32_t> surplus = {18};
    for (int slot = 0; slot < 18; ++slot) surplus.insert(surplus.end(), {slot, 1, slot + 1});
    surplus.push_back(777);  // what follows the records
    const StateChunk chunk = ints(surplus);
    ChordBankData bank;
    int32_t after = 0;
    chunk.GetInt32(after, ReadChordRecords(chunk, 0, bank));
    EXPECT_EQ(after, 777);
    EXPECT_EQ(bank.slots[15], (ChordSlotData{15, {16}}));
    const struct { std::vector<int32_t> data; ChordSlotData first, second; } rows[] = {
        {{-3, 50, 1, 5}, {}, {}},
        {{1, 50, -2, 5}, {50, {}}, {}},
        {{2, 500, 4, -1, 128, 60, 127, -9, 10, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10},
         {12, {60, 127}},
         {12, {1, 2, 3, 4, 5, 6, 7, 8}}},
    };
    for (const auto& row : rows) {
        const ChordBankData read = ReadChordBank(ints(row.data));
        EXPECT_EQ(read.slots[0], row.first) << row.data[0];
        EXPECT_EQ(read.slots[1], row.second) << row.data[0];
    }
}

// No texts (white space alone is none) give one centred line; any text
// gives eight, headings and indented texts, empty texts included.
TEST(BoxInfo, InfoLinesOfTheTexts) {
    BoxInfo info;
    info.Set("  ", "\t", "", " \n");
    EXPECT_EQ(ComposeInfoLines(info), (std::vector<InfoLine>{{"NO INFO", false, false, false}}));
    info.Set("", "Mara", "", "");
    std::vector<InfoLine> expected;
    for (const char* heading : {"NAME:", "AUTHOR:", "DESCRIPTION:", "USAGE:"})
        expected.insert(expected.end(), {{heading, true, true, false}, {"", true, true, true}});
    expected[3].text = "Mara";
    EXPECT_EQ(ComposeInfoLines(info), expected);
}

}  // namespace
}  // namespace sorel
