// Host chunks, preset files, the two browsers and the loading thread, on a
// plug-in model in a temporary data folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "persistence/HostChunk.h"
#include "persistence/ModelTarget.h"
#include "persistence/PluginPersistence.h"
#include "persistence/PresetFile.h"
#include "persistence/SettingsFile.h"
#include "persistence/StateWriter.h"
#include "persistence/TempDataHome.h"

namespace sorel {
namespace {

namespace fs = std::filesystem;
using test::ModelTarget;
using test::TempDataHome;

void Shape(ModelTarget& target, double volume) {
    target.values[param::kGlobalVolume] = volume;
    target.values[param::kGate + 9] = -55;
    target.values[param::PerStep(param::kStepTranspose, 2, 5, 17)] = 7;
    target.values[param::kControllerMap + 3] = 4000;
    target.boxInfo.Set("Chunky", "Teo", "desc", "use");
    target.chords.slots[4] = {36, {0, 3, 7}};
    target.stepCcNumbers[9] = 71;
    target.loops[LaneLoopIndex(3, 11, 16)] = {8, 24, false};
}

void ExpectShaped(const ModelTarget& target, double volume) {
    EXPECT_EQ(target.Value(param::kGlobalVolume), volume);
    EXPECT_EQ(target.Value(param::kGate + 9), -55);
    EXPECT_EQ(target.Value(param::PerStep(param::kStepTranspose, 2, 5, 17)), 7);
    EXPECT_EQ(target.chords.slots[4], (ChordSlotData{36, {0, 3, 7}}));
    EXPECT_EQ(target.stepCcNumbers[9], 71);
    EXPECT_EQ(target.loops[LaneLoopIndex(3, 11, 16)], (LaneLoop{8, 24, false}));
}

std::string PresetPath(const TempDataHome& home, const char* category, const char* style, const std::string& name) {
    return home.SorelFolder() + "presets/" + category + "/" + style + "/" + name;
}

// A preset file whose global volume tells it apart.
void WritePreset(const std::string& path, double volume, const char* name = "") {
    ModelTarget source;
    Shape(source, volume);
    PluginState state = CaptureState(source, "");
    state.boxInfo.Set(name, "", "", "");
    fs::create_directories(fs::path(path).parent_path());
    ASSERT_TRUE(WritePresetFile(path, state));
}

TEST(HostChunk, AChunkWithoutHeaderOrWithDamagedSlotsIsHandled) {
    TempDataHome home;
    ModelTarget source;
    Shape(source, 12);
    PluginPersistence sourceHooks(source);
    // A bank chunk of the layout with one program slot.
    const PluginState captured = CaptureState(source, "");
    StateChunk slotted;
    BeginHostChunk(slotted);
    SerializePresets(slotted, kProgramSlots, captured.parameters);
    WriteState(slotted, captured);
    const std::vector<uint8_t>& bank = slotted.Bytes();

    ModelTarget fresh;
    PluginPersistence freshHooks(fresh);
    // Slot name length made hostile: rejected, nothing changes.
    std::vector<uint8_t> damaged = bank;
    damaged[8] = 0xff;
    damaged[11] = 0x7f;
    EXPECT_FALSE(freshHooks.ReadState(damaged.data(), damaged.size(), true));
    EXPECT_EQ(fresh.Value(param::kGlobalVolume), 64);

    // The bare state, as some hosts keep it.
    StateChunk bare;
    WriteState(bare, CaptureState(source, ""));
    ASSERT_TRUE(freshHooks.ReadState(bare.Data(), bare.Size(), false));
    ExpectShaped(fresh, 12);
    EXPECT_FALSE(freshHooks.ReadState(nullptr, 10, false));
}

TEST(PresetFiles, GzipAndPlainFormsLoadAlike) {
    TempDataHome home;
    ModelTarget source;
    Shape(source, 77);
    const StateChunk plain = ComposePreset(CaptureState(source, "Bank A"));
    const std::string gzPath = home.Root() + "/a.v2z";
    const std::string plainPath = home.Root() + "/b.v2z";
    ASSERT_TRUE(SaveChunkToFile(gzPath, plain));
    std::ofstream(plainPath, std::ios::binary).write(reinterpret_cast<const char*>(plain.Data()),
                                                     static_cast<std::streamsize>(plain.Size()));
    EXPECT_LT(fs::file_size(gzPath), plain.Size() / 4) << "saved presets are compressed";

    StateChunk fromGz;
    StateChunk fromPlain;
    ASSERT_TRUE(ReadFileToChunk(gzPath, fromGz));
    ASSERT_TRUE(ReadFileToChunk(plainPath, fromPlain));
    EXPECT_EQ(fromGz.Bytes(), plain.Bytes());
    EXPECT_EQ(fromPlain.Bytes(), plain.Bytes());

    ModelTarget player;
    PluginPersistence hooks(player);
    ASSERT_TRUE(hooks.LoadPresetFile(gzPath));
    ExpectShaped(player, 77);
    EXPECT_EQ(hooks.ChordBanks().CurrentName(), "Bank A");
    ModelTarget other;
    PluginPersistence otherHooks(other);
    ASSERT_TRUE(otherHooks.LoadPresetFile(plainPath));
    EXPECT_EQ(other.values, player.values);
    EXPECT_EQ(other.presetLoads, 1) << "the browse controls were greyed while loading";
    EXPECT_FALSE(other.presetLoading);

    std::ifstream stream(gzPath, std::ios::binary);
    ModelTarget streamed;
    PluginPersistence streamedHooks(streamed);
    ASSERT_TRUE(streamedHooks.LoadPresetStream(stream, "Streamed"));
    EXPECT_EQ(streamed.values, player.values);
}

TEST(PresetFiles, AFileOfSevenBytesOrLessResetsAndEmptiesTheTexts) {
    TempDataHome home;
    for (size_t size : {0u, 7u}) {
        const std::string path = home.Root() + "/tiny.v2z";
        std::ofstream(path, std::ios::binary) << std::string(size, '\x05');
        ModelTarget player;
        Shape(player, 100);
        PluginPersistence hooks(player);
        ASSERT_TRUE(hooks.LoadPresetFile(path));
        EXPECT_EQ(player.Value(param::kGlobalVolume), 64);
        EXPECT_EQ(player.chords, ChordBankData{});
        EXPECT_EQ(player.boxInfo, BoxInfo{});
        EXPECT_EQ(player.Value(param::kKeyAreaStartNote + 1), 48);
        EXPECT_EQ(player.Value(param::kControllerMap + 3), 4000) << "MIDI learn survives";
    }
    ModelTarget missing;
    PluginPersistence hooks(missing);
    EXPECT_TRUE(hooks.LoadPresetFile(home.Root() + "/does-not-exist.v2z")) << "an unreadable file resets as well";
}

TEST(Browser, FirstUseCreatesTheFoldersAndShowsEmptyMenus) {
    TempDataHome home;
    ModelTarget player;
    PluginPersistence hooks(player);
    for (const char* style : {"1 bass", "2 lead", "3 rhythm", "4 misc"}) {
        EXPECT_TRUE(fs::is_directory(PresetPath(home, "Factory", style, "")));
        EXPECT_TRUE(fs::is_directory(PresetPath(home, "User", style, "")));
    }
    const PresetTree& tree = hooks.Presets().Tree();
    EXPECT_EQ(tree.FactoryEntries(), 4);
    EXPECT_EQ(tree.UserEntries(), 4);
    EXPECT_TRUE(tree.Files().empty());
    ASSERT_EQ(tree.Root().items.size(), 4u);
    EXPECT_EQ(tree.Root().items[0].text, "Init");
    EXPECT_EQ(tree.Root().items[0].id, PresetTree::kInitId);
    EXPECT_EQ(tree.Root().items[1].text, "");
    EXPECT_EQ(tree.Root().items[2].text, "Factory");
    EXPECT_EQ(tree.Root().items[3].subMenu->items[3].text, "4 misc");
    EXPECT_EQ(hooks.ChordBanks().Tree().Root().items.size(), 3u) << "no Init for chord banks";
    EXPECT_EQ(hooks.Presets().CurrentName(), "------");
}

TEST(Browser, ListsMatchingFilesByNameWithStyleMenuIds) {
    TempDataHome home;
    WritePreset(PresetPath(home, "Factory", "2 lead", "zeta.v2z"), 1);
    WritePreset(PresetPath(home, "Factory", "2 lead", "alpha.v2z"), 2);
    test::WriteTextFile(PresetPath(home, "Factory", "2 lead", "x.txt"), "not a preset");
    test::WriteTextFile(PresetPath(home, "Factory", "2 lead", "old.v2"), "listed, not loadable");
    fs::create_directories(PresetPath(home, "Factory", "2 lead", "folder.v2z"));
    WritePreset(PresetPath(home, "User", "4 misc", "mine.v2z"), 3);

    ModelTarget player;
    PluginPersistence hooks(player);
    const auto& files = hooks.Presets().Tree().Files();
    ASSERT_EQ(files.size(), 4u);
    EXPECT_EQ(files[0]->text, "alpha");
    EXPECT_EQ(files[0]->id, 4000) << "Factory style 2 numbers from 4000";
    EXPECT_EQ(files[1]->text, "old");
    EXPECT_EQ(files[2]->text, "zeta");
    EXPECT_EQ(files[3]->text, "mine");
    EXPECT_EQ(files[3]->id, 10000);
    EXPECT_EQ(files[3]->path, PresetPath(home, "User", "4 misc", "mine.v2z"));
    EXPECT_EQ(hooks.Presets().Tree().FindById(4001), files[1]);

    hooks.Presets().Choose(4001);  // ".v2": shown, nothing loaded
    hooks.WaitUntilIdle();
    EXPECT_EQ(hooks.Presets().CurrentName(), "old");
    EXPECT_EQ(player.Value(param::kGlobalVolume), 64);
}

TEST(Browser, NextAndPreviousWrapAcrossFactoryAndUser) {
    TempDataHome home;
    WritePreset(PresetPath(home, "Factory", "1 bass", "b1.v2z"), 11, "b1");
    WritePreset(PresetPath(home, "Factory", "3 rhythm", "r1.v2z"), 12, "r1");
    WritePreset(PresetPath(home, "User", "2 lead", "u1.v2z"), 13, "u1");
    ModelTarget player;
    PluginPersistence hooks(player);
    auto step = [&](bool next) {
        next ? hooks.NextPreset() : hooks.PreviousPreset();
        hooks.WaitUntilIdle();
        return player.Value(param::kGlobalVolume);
    };
    EXPECT_EQ(step(false), 13) << "previous with nothing chosen takes the last file";
    EXPECT_EQ(hooks.Presets().CurrentName(), "u1");
    EXPECT_EQ(step(true), 11) << "next after the last User file wraps to the first Factory file";
    EXPECT_EQ(step(true), 12);
    EXPECT_EQ(step(false), 11);
    EXPECT_EQ(step(false), 13);

    hooks.Presets().Choose(hooks.Presets().Tree().Files()[1]->id);  // r1 from the menu
    hooks.WaitUntilIdle();
    EXPECT_EQ(player.Value(param::kGlobalVolume), 12);
    EXPECT_EQ(step(true), 13) << "the menu's choice is where stepping continues";
}

TEST(Browser, InitResetsAndShowsNoName) {
    TempDataHome home;
    WritePreset(PresetPath(home, "User", "1 bass", "p.v2z"), 21, "p");
    ModelTarget player;
    player.settings.disableControlZone = true;
    player.values[param::kControllerMap + 3] = 4000;
    PluginPersistence hooks(player);
    hooks.Presets().Next();
    hooks.WaitUntilIdle();
    ASSERT_EQ(player.Value(param::kGlobalVolume), 21);
    hooks.Presets().Choose(PresetTree::kInitId);
    EXPECT_EQ(player.Value(param::kGlobalVolume), 64);
    EXPECT_EQ(player.Value(param::kGate + 9), -10);
    EXPECT_EQ(player.boxInfo, BoxInfo{});
    EXPECT_EQ(player.Value(param::kDisableControlZone), 1.0);
    EXPECT_EQ(player.Value(param::kControllerMap + 3), 4000) << "Init keeps MIDI learn";
    EXPECT_EQ(hooks.Presets().CurrentName(), "------");
}

TEST(Browser, RequestsWhileLoadingEndOnTheLastOne) {
    TempDataHome home;
    for (int i = 0; i < 5; ++i) {
        WritePreset(PresetPath(home, "Factory", "4 misc", "p" + std::to_string(i) + ".v2z"), 40 + i);
    }
    ModelTarget player;
    PluginPersistence hooks(player);
    for (int i = 0; i < 5; ++i) hooks.Presets().Next();
    EXPECT_TRUE(hooks.IsPresetLoading());
    hooks.WaitUntilIdle();
    EXPECT_EQ(hooks.Presets().CurrentName(), "p4");
    EXPECT_EQ(player.Value(param::kGlobalVolume), 44);
}

TEST(Browser, ShutdownWaitsForTheLoadingThread) {
    TempDataHome home;
    WritePreset(PresetPath(home, "User", "1 bass", "p.v2z"), 5);
    ModelTarget player;
    auto hooks = std::make_unique<PluginPersistence>(player);
    hooks->Presets().Next();
    hooks->Shutdown();
    EXPECT_FALSE(player.stateLoading) << "the engine runs again";
    hooks->RequestPresetLoad(PresetPath(home, "User", "1 bass", "p.v2z"), "p");
    EXPECT_FALSE(hooks->IsPresetLoading()) << "nothing starts after shutdown";
    hooks.reset();
}

TEST(ChordBanks, ChoosingABankChangesOnlyTheChordMemory) {
    TempDataHome home;
    ChordBankData bank;
    bank.slots[0] = {24, {0, 7}};
    bank.slots[15] = {12, {1}};
    const std::string path = home.SorelFolder() + "presets/chordmemory/Factory/Fifths.cmb";
    fs::create_directories(fs::path(path).parent_path());
    ASSERT_TRUE(WriteChordBankFile(path, bank));

    ModelTarget player;
    Shape(player, 90);
    player.values[param::kChordMemorySelection] = 5;
    PluginPersistence hooks(player);
    const BoxInfo before = player.boxInfo;
    const auto& files = hooks.ChordBanks().Tree().Files();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0]->id, 1000);
    hooks.ChordBanks().Choose(files[0]->id);
    EXPECT_EQ(player.chords, bank);
    EXPECT_EQ(player.Value(param::kChordMemorySelection), 0);
    EXPECT_EQ(player.Value(param::kGlobalVolume), 90);
    EXPECT_EQ(player.boxInfo, before);
    EXPECT_EQ(hooks.ChordBanks().CurrentName(), "Fifths");
}

TEST(Saving, UserPresetAndBankRoundTrip) {
    TempDataHome home;
    ModelTarget author;
    Shape(author, 88);
    PluginPersistence hooks(author);
    BoxInfo info;
    info.Set("Ostinato", "Rin", "Steady eighths", "Play low");
    EXPECT_TRUE(hooks.Presets().Tree().Files().empty() && hooks.ChordBanks().Tree().Files().empty());
    const auto presetPath = hooks.SaveUserPreset("Ostinato", 2, info);
    ASSERT_TRUE(presetPath.has_value());
    EXPECT_EQ(*presetPath, PresetPath(home, "User", "3 rhythm", "Ostinato.v2z"));
    const auto bankPath = hooks.SaveUserChordBank("Triads");
    ASSERT_TRUE(bankPath.has_value());
    EXPECT_EQ(*bankPath, home.SorelFolder() + "presets/chordmemory/User/Triads.cmb");
    EXPECT_EQ(hooks.Presets().Tree().Files().size() + hooks.ChordBanks().Tree().Files().size(), 2u)
        << "what was saved shows in the browsers at once";
    EXPECT_FALSE(hooks.SaveUserPreset("../escape", 0, info).has_value());
    EXPECT_FALSE(hooks.SaveUserPreset("", 0, info).has_value());
    EXPECT_FALSE(hooks.SaveUserPreset("fine", 4, info).has_value());

    ModelTarget player;
    PluginPersistence playerHooks(player);
    ASSERT_EQ(playerHooks.Presets().Tree().Files().size(), 1u);
    playerHooks.Presets().Next();
    playerHooks.WaitUntilIdle();
    ExpectShaped(player, 88);
    EXPECT_EQ(player.boxInfo, info);
    EXPECT_EQ(playerHooks.ChordBanks().Tree().Files().size(), 1u);
    player.chords = ChordBankData{};
    playerHooks.ChordBanks().Next();
    EXPECT_EQ(player.chords, author.chords);
}

}  // namespace
}  // namespace sorel
