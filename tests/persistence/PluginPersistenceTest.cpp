// Preset files, the browsers and the loading thread on a plug-in model, the
// machine's settings and control-zone files, and chord-bank records.
#include <gtest/gtest.h>

#include <filesystem>

#include "persistence/ControlZoneFile.h"
#include "persistence/DataFolder.h"
#include "persistence/ModelTarget.h"
#include "persistence/PluginPersistence.h"
#include "persistence/PresetFile.h"
#include "persistence/SettingsFile.h"
#include "persistence/TempDataHome.h"

namespace sorel {
namespace {

namespace fs = std::filesystem;
using test::ModelTarget;
using test::TempDataHome;

// Something in every kind of field; the global volume tells presets apart.
void Shape(ModelTarget& target, double volume) {
    target.values[param::kGlobalVolume] = volume;
    target.values[param::kGate + 9] = -55;
    target.values[param::PerStep(param::kStepTranspose, 2, 5, 17)] = 7;
    target.values[param::kControllerMap + 3] = 4000;
    target.boxInfo.Set("Chunky", "Teo", "desc", "use");
    target.chords.slots[4] = {36, {0, 3, 7}};
    target.stepCcNumbers[9] = 71;
    target.loops[LaneLoopIndex(3, 11, 16)] = {8, 24, false};
    target.values[param::PerStep(param::kStepProb, 1, 2, 3)] = 35;
    target.values[param::kHumanize + 7] = 60;
    target.loops[LaneLoopIndex(2, 4, param::kProbLane)] = {3, 9, false};
}

std::string PresetPath(const TempDataHome& home, const char* category, const char* style, const std::string& name) {
    return home.SorelFolder() + "presets/" + category + "/" + style + "/" + name;
}

// A preset file whose global volume tells it apart.
void WritePreset(const std::string& path, double volume) {
    ModelTarget source;
    Shape(source, volume);
    source.boxInfo.Set(fs::path(path).stem().string(), "", "", "");
    fs::create_directories(fs::path(path).parent_path());
    ASSERT_TRUE(WritePresetFile(path, CaptureState(source, "")));
}

// Gzip and plain files load alike; files too short for a header, and files
// that cannot be read, reset everything but the MIDI-learn map.
TEST(PresetFiles, GzipAndPlainFormsLoadAlikeAndShortFilesReset) {
    TempDataHome home;
    ModelTarget source;
    Shape(source, 77);
    const StateChunk plain = ComposePreset(CaptureState(source, "Bank A"));
    ASSERT_TRUE(SaveChunkToFile(home.File("gzip.v2z"), plain));
    EXPECT_LT(fs::file_size(home.File("gzip.v2z")), plain.Size() / 4) << "saved presets are compressed";
    test::WriteTextFile(home.File("plain.v2z"), {reinterpret_cast<const char*>(plain.Data()), plain.Size()});
    test::WriteTextFile(home.File("seven.v2z"), std::string(7, '\x05'));
    test::WriteTextFile(home.File("empty.v2z"), "");
    for (const char* name : {"gzip.v2z", "plain.v2z", "seven.v2z", "empty.v2z", "absent.v2z"}) {
        SCOPED_TRACE(name);
        const bool loads = name[0] == 'g' || name[0] == 'p';
        ModelTarget player;
        if (!loads) Shape(player, 100);
        PluginPersistence hooks(player);
        ASSERT_TRUE(hooks.LoadPresetFile(home.File(name)));
        EXPECT_EQ(std::pair(player.presetLoads, player.presetLoading), std::pair(1, false)) << "greyed while loading";
        ModelTarget fresh;
        std::vector<double> expected = loads ? source.values : fresh.values;
        // MIDI learn stays the player's; what holds no state is an old one
        // without scenes, which open the whole scene sequence.
        expected[param::kControllerMap + 3] = loads ? fresh.values[param::kControllerMap + 3] : 4000;
        for (int area = 0; area < param::kKeyAreas && !loads; ++area) expected[param::kSceneEnd + area] = 16;
        EXPECT_EQ(player.values, expected);
        EXPECT_EQ(player.chords, loads ? source.chords : fresh.chords);
        EXPECT_EQ(player.boxInfo, loads ? source.boxInfo : BoxInfo{});
        if (!loads) continue;
        StateChunk read;
        ASSERT_TRUE(ReadFileToChunk(home.File(name), read));
        EXPECT_EQ(read.Bytes(), plain.Bytes());
        EXPECT_EQ(player.stepCcNumbers, source.stepCcNumbers);
        EXPECT_TRUE(player.loops == source.loops);
        EXPECT_EQ(hooks.ChordBanks().CurrentName(), "Bank A");
    }
}

// Factory then User, style by style, each folder by name; ".v2" files are
// listed but load nothing; stepping wraps around; a chord bank changes only
// the chord memory; requests during a load end on the last one.
TEST(Browser, ListsStepsAndLoadsThePresetFolders) {
    TempDataHome home;
    ChordBankData bank;
    bank.slots[15] = {24, {0, 7}};
    const std::string bankPath = home.SorelFolder() + "presets/chordmemory/Factory/Fifths.cmb";
    fs::create_directories(fs::path(bankPath).parent_path());
    ASSERT_TRUE(WriteChordBankFile(bankPath, bank));
    WritePreset(PresetPath(home, "Factory", "1 bass", "b1.v2z"), 11);
    WritePreset(PresetPath(home, "Factory", "2 lead", "zeta.v2z"), 12);
    WritePreset(PresetPath(home, "Factory", "2 lead", "alpha.v2z"), 13);
    test::WriteTextFile(PresetPath(home, "Factory", "2 lead", "x.txt"), "not a preset");
    test::WriteTextFile(PresetPath(home, "Factory", "2 lead", "old.v2"), "listed, not loadable");
    fs::create_directories(PresetPath(home, "Factory", "2 lead", "folder.v2z"));
    WritePreset(PresetPath(home, "User", "4 misc", "mine.v2z"), 14);
    ModelTarget player;
    player.values[param::kControllerMap + 3] = 4000;
    PluginPersistence hooks(player);
    for (const char* category : {"Factory", "User"}) {
        for (const char* style : {"1 bass", "2 lead", "3 rhythm", "4 misc"})
            EXPECT_TRUE(fs::is_directory(PresetPath(home, category, style, ""))) << category << style;
    }
    std::vector<std::pair<std::string, int>> listed;
    for (const auto* file : hooks.Presets().Tree().Files()) listed.emplace_back(file->text, file->id);
    EXPECT_EQ(listed, (std::vector<std::pair<std::string, int>>{
                          {"b1", 3000}, {"alpha", 4000}, {"old", 4001}, {"zeta", 4002}, {"mine", 10000}}));

    const struct { int choose; bool next; double volume; const char* name; } steps[] = {
        {0, false, 14, "mine"}, {0, true, 11, "b1"}, {0, true, 13, "alpha"}, {0, true, 13, "old"},
        {0, true, 12, "zeta"},  {4000, false, 13, "alpha"}, {0, false, 11, "b1"},  {0, false, 14, "mine"},
        {PresetTree::kInitId, false, 64, "------"},
    };
    for (const auto& step : steps) {
        if (step.choose) hooks.Presets().Choose(step.choose);
        else step.next ? hooks.NextPreset() : hooks.PreviousPreset();
        hooks.WaitUntilIdle();
        EXPECT_EQ(player.values[param::kGlobalVolume], step.volume) << step.name;
        EXPECT_EQ(hooks.Presets().CurrentName(), step.name);
    }
    EXPECT_EQ(player.values[param::kControllerMap + 3], 4000) << "Init keeps MIDI learn";
    // No texts (white space alone is none) show one centred line.
    EXPECT_EQ(hooks.CurrentInfoLines(), (std::vector<InfoLine>{{"NO INFO", false, false, false}})) << "Init resets";
    player.boxInfo.Set("  ", "\t", "", " \n");
    EXPECT_EQ(hooks.CurrentInfoLines().size(), 1u);

    EXPECT_EQ(hooks.ChordBanks().Tree().Root().items.size(), 3u) << "no Init for chord banks";
    player.values[param::kChordMemorySelection] = 5;
    player.boxInfo.Set("Kept", "", "", "");
    const auto before = player.values;
    hooks.ChordBanks().Choose(1000);
    fs::remove(bankPath);
    hooks.ChordBanks().Choose(1000);  // a bank gone since it was listed leaves the chord memory
    EXPECT_EQ(player.chords, bank);
    EXPECT_EQ(player.values[param::kChordMemorySelection], 0);
    player.values[param::kChordMemorySelection] = 5;
    EXPECT_EQ(player.values, before);
    EXPECT_EQ(player.boxInfo.name, "Kept");
    EXPECT_EQ(hooks.ChordBanks().CurrentName(), "Fifths");
    for (auto [name, style] : {std::pair{"Fine", -1}, {"Fine", 4}, {"../up", 0}, {"", 0}})
        EXPECT_FALSE(hooks.SaveUserPreset(name, style, BoxInfo{}).has_value()) << name << style;

    for (int id : {3000, 4000, 4002, 3000, 10000}) hooks.Presets().Choose(id);
    EXPECT_TRUE(hooks.IsPresetLoading());
    hooks.WaitUntilIdle();
    EXPECT_EQ(hooks.Presets().CurrentName(), "mine");
    EXPECT_EQ(player.values[param::kGlobalVolume], 14);
    // Any text gives eight lines: headings, and the texts indented, empty ones too.
    std::vector<InfoLine> lines;
    for (const char* heading : {"NAME:", "AUTHOR:", "DESCRIPTION:", "USAGE:"})
        lines.insert(lines.end(), {{heading, true, true, false}, {"", true, true, true}});
    lines[1].text = "mine";
    EXPECT_EQ(hooks.CurrentInfoLines(), lines);
    hooks.Presets().Next();
    hooks.Shutdown();
    EXPECT_FALSE(player.stateLoading) << "the engine runs again";
    hooks.RequestPresetLoad(hooks.Presets().Tree().Files()[0]->path, "b1");
    EXPECT_FALSE(hooks.IsPresetLoading()) << "nothing starts after shutdown";
}

TEST(DataFolder, AFolderThatCannotBeCreatedIsReportedNotThrown) {
    TempDataHome home;
    test::WriteTextFile(home.Root() + "/Vardo", "a file where the folder should be");
    EXPECT_FALSE(EnsureDataFolders());
    EXPECT_EQ(ReadSettingsFile(), GlobalSettings{});
    EXPECT_FALSE(WriteSettingsFile(GlobalSettings{.enableMidiNoteNames = true}));
    EXPECT_FALSE(ReadControlZoneFile().has_value());
}

// Lines in settings order: only an exact "true" (carriage return aside) is true,
// missing lines are false; an eighth line holds the editor's scale 2.
TEST(SettingsFile, LinesMapToTheirSettingsInOrder) {
    const std::string seven = "true\nfalse\nfalse\nfalse\nfalse\nfalse\ntrue\n";
    const struct { std::string text, read; } kRows[] = {
        {"TRUE\ntrue\r\ntrue \n\ntrue\nfalse\ntrue", "false\ntrue\nfalse\nfalse\ntrue\nfalse\ntrue\n"},
        {"true\ntrue\ntrue\n", "true\ntrue\ntrue\nfalse\nfalse\nfalse\nfalse\n"},
        {"false\nfalse\nfalse\nfalse\nfalse\ntrue\nfalse\n", "false\nfalse\nfalse\nfalse\nfalse\ntrue\nfalse\n"},
        {seven + "2", seven + "2\n"}, {seven + "2\r\n", seven + "2\n"}, {seven + "3\n", seven},
        {seven + " 2\n", seven},      {seven + "\n2\n", seven},
        {"true\n2\n", "true\nfalse\nfalse\nfalse\nfalse\nfalse\nfalse\n"},
    };
    for (const auto& row : kRows) {
        const GlobalSettings settings = ParseSettings(row.text);
        EXPECT_EQ(FormatSettings(settings), row.read) << row.text;
        EXPECT_EQ(UnpackSettings(PackSettings(settings)), settings) << "handed to the writing thread whole";
    }
    EXPECT_TRUE(ParseSettings(kRows[2].text).disableControlZone);
    EXPECT_TRUE(ParseSettings(kRows[0].text).gateLengthInSteps) << "the last line needs no line end";
}

TEST(ControlZoneFile, LinesAssignKeysInOrderAndAMissingFileIsNotCreated) {
    TempDataHome home;
    EXPECT_FALSE(ReadControlZoneFile().has_value());
    EXPECT_FALSE(fs::exists(home.SorelFolder() + "data/controlzone.srl"));
    std::string text = "n/a\nhold\r\nnextpreset\npattern12\n";
    for (int i = 4; i < 30; ++i) text += "panic\n";  // only the first 24 lines count
    test::WriteTextFile(home.SorelFolder() + "data/controlzone.srl", text);
    const auto assignment = ReadControlZoneFile();
    ASSERT_TRUE(assignment.has_value());
    EXPECT_EQ(*assignment, (ControlZoneAssignment{0, 12, 11, 26, 14, 14, 14, 14, 14, 14, 14, 14,
                                                  14, 14, 14, 14, 14, 14, 14, 14, 14, 14, 14, 14}));
    EXPECT_EQ(ParseControlZone("hold")[1], 0) << "keys after the last line are unassigned";
}

// Surplus records are read past, so that what follows them in a state is found;
// negative counts read nothing; notes out of range or beyond capacity drop.
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

}  // namespace
}  // namespace sorel
