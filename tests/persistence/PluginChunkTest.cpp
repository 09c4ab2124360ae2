// Sorel.so loaded as a host loads it: the chunk one instance hands out
// restores everything in a fresh instance, which then plays the same MIDI.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "engine/ParameterIndex.h"
#include "persistence/HostChunk.h"
#include "persistence/PresetFile.h"
#include "persistence/StateWriter.h"
#include "persistence/TempDataHome.h"
#include "support/TestHost.h"

namespace sorel {
namespace {

using test::TestHost;

constexpr int kBlock = 512;
constexpr int kBankChunk = 0;
constexpr int kProgramChunk = 1;

// Parameters a player sets: pattern, step and lane values of every area.
std::vector<int> PlayerParameters() {
    std::vector<int> indices;
    for (int p = 0; p < param::kPatterns; p += 5) {
        indices.push_back(param::kGate + p);
        indices.push_back(param::kSwing + p);
        indices.push_back(param::kRate + p);
        indices.push_back(param::kOctaves + p);
        indices.push_back(param::kSortOrder + p);
    }
    for (int area = 0; area < param::kKeyAreas; ++area) {
        for (int step = 0; step < param::kSteps; step += 3) {
            for (int first : {param::kStepLength, param::kStepGate, param::kStepAccent, param::kStepTranspose,
                              param::kStepShift, param::kStepChord}) {
                indices.push_back(param::PerStep(first, area, area, step));
            }
            indices.push_back(param::LaneSwitch(area, 1, step % 9, step));
            indices.push_back(param::CcLaneValue(area, 2, 9 + step % 8, step));
        }
        indices.push_back(param::kSceneStepPattern + area * 16 + 3);
        indices.push_back(param::kAreaVolume + area);
    }
    return indices;
}

// The plain state inside a chunk the plug-in handed out.
std::vector<uint8_t> PlainState(const std::vector<uint8_t>& chunk, int which = kProgramChunk) {
    const auto state = HostChunkState(chunk, which == kBankChunk, param::kCount);
    return state ? state->Bytes() : std::vector<uint8_t>{};
}

// The chunk of `host` with lane loops, chord slots, controller numbers and
// texts added to its parameters.
std::vector<uint8_t> WithEngineStructures(const std::vector<uint8_t>& programChunk) {
    PluginState state;
    state.parameters.resize(param::kCount);
    const auto plain = PlainState(programChunk);
    std::memcpy(state.parameters.data(), plain.data() + plain.size() - param::kCount * 8, param::kCount * 8);
    state.boxInfo.Set("Round trip", "Sorel tests", "Every field of the state", "Load it anywhere");
    state.chordBankName = "Test bank";
    state.chords.slots[0] = {12, {0, 4, 7}};
    state.chords.slots[5] = {24, {2, 9, 14, 21}};
    state.chords.slots[15] = {30, {35}};
    for (int i = 0; i < kStepCcNumberCount; ++i) state.stepCcNumbers[static_cast<size_t>(i)] = i % 4 == 0 ? -1 : 16 + i;
    std::mt19937 random(3);
    for (auto& loop : state.laneLoops) {
        loop.start = static_cast<int32_t>(random() % 16);
        loop.end = loop.start + 1 + static_cast<int32_t>(random() % 16);
        loop.enabled = random() % 5 != 0;
    }
    state.enableMidiNoteNames = 1.0;  // as the settings file below says
    state.startNotesImmediately = 0.0;
    state.useOnlyOrderOnOff = 1.0;
    StateChunk chunk;
    BeginHostChunk(chunk);
    WriteState(chunk, state);
    return chunk.Bytes();
}

std::vector<test::SentMidi> PlayChordAndRelease(TestHost& host) {
    host.ClearSent();
    host.transport.playing = true;
    host.NoteOn(0, 1, 36, 100);
    host.NoteOn(0, 1, 40, 90);
    host.NoteOn(0, 1, 43, 80);
    host.ProcessBlocks(60, kBlock);
    host.NoteOff(0, 1, 36);
    host.NoteOff(0, 1, 40);
    host.NoteOff(0, 1, 43);
    host.ProcessBlocks(20, kBlock);
    return host.Sent();
}

class PluginChunk : public ::testing::Test {
protected:
    void SetUp() override {
        test::WriteTextFile(home.SorelFolder() + "data/settings.srl", "true\nfalse\ntrue\nfalse\nfalse\nfalse\nfalse\n");
    }
    test::TempDataHome home;
};

TEST_F(PluginChunk, AChunkRestoresEverythingInAFreshInstance) {
    TestHost first;
    ASSERT_TRUE(first.CreateAndOpen(kBlock));
    std::mt19937 random(11);
    for (int index : PlayerParameters()) first.SetParameter(index, static_cast<float>(random() % 1000) / 999.0f);
    const auto full = WithEngineStructures(first.GetChunk(kProgramChunk));
    ASSERT_TRUE(first.SetChunk(kProgramChunk, full));
    ASSERT_EQ(PlainState(first.GetChunk(kProgramChunk)), PlainState(full)) << "every field came back as it was set";

    for (int which : {kProgramChunk, kBankChunk}) {
        const auto chunk = first.GetChunk(which);
        TestHost second;
        ASSERT_TRUE(second.CreateAndOpen(kBlock));
        ASSERT_TRUE(second.SetChunk(which, chunk));
        EXPECT_EQ(second.GetChunk(which), chunk) << which;
        EXPECT_EQ(PlainState(second.GetChunk(kProgramChunk)), PlainState(full)) << which;
        for (int index : PlayerParameters()) ASSERT_EQ(second.GetParameter(index), first.GetParameter(index)) << index;
    }

    TestHost second;
    ASSERT_TRUE(second.CreateAndOpen(kBlock));
    ASSERT_TRUE(second.SetChunk(kBankChunk, first.GetChunk(kBankChunk)));
    const auto played = PlayChordAndRelease(first);
    EXPECT_GT(std::count_if(played.begin(), played.end(), [](const auto& m) { return m.IsNoteOn(); }), 3);
    const auto replayed = PlayChordAndRelease(second);
    ASSERT_EQ(replayed.size(), played.size());
    for (size_t i = 0; i < played.size(); ++i) {
        EXPECT_EQ(std::tie(replayed[i].block, replayed[i].offset, replayed[i].status, replayed[i].data1, replayed[i].data2),
                  std::tie(played[i].block, played[i].offset, played[i].status, played[i].data1, played[i].data2))
            << i;
    }
}

// Every layout hosts may hold: plain program and bank chunks with or without
// a program slot (one unnamed and filled, or one named and empty), and the
// compressed chunk written today; all restore the same state.
TEST_F(PluginChunk, EveryLayoutWrittenSoFarRestoresTheState) {
    TestHost author;
    ASSERT_TRUE(author.CreateAndOpen(kBlock));
    const auto state = PlainState(WithEngineStructures(author.GetChunk(kProgramChunk)));
    const std::vector<double> slotValues(param::kCount, 0.25);
    auto layout = [&](bool compressed, int slots, const char* slotName = "") {
        StateChunk chunk;
        BeginHostChunk(chunk);
        for (int slot = 0; slot < slots; ++slot) {
            chunk.PutInt32(static_cast<int32_t>(std::strlen(slotName)));
            chunk.PutBytes(slotName, std::strlen(slotName));
            chunk.PutByte(*slotName ? 0 : 1);
            if (!*slotName) SerializeParams(chunk, slotValues);
        }
        const auto body = compressed ? CompressToGzip(state) : state;
        chunk.PutBytes(body.data(), body.size());
        return chunk.Bytes();
    };
    const struct {
        int which;
        std::vector<uint8_t> chunk;
    } cases[] = {
        {kProgramChunk, layout(false, 0)},      {kBankChunk, layout(false, 0)},
        {kBankChunk, layout(false, 1)},         {kBankChunk, layout(false, 1, "Slot")},
        {kProgramChunk, layout(true, 0)},       {kBankChunk, layout(true, 0)},
    };
    for (const auto& [which, chunk] : cases) {
        TestHost host;
        ASSERT_TRUE(host.CreateAndOpen(kBlock));
        ASSERT_TRUE(host.SetChunk(which, chunk)) << which << " " << chunk.size();
        EXPECT_EQ(PlainState(host.GetChunk(which), which), state) << which << " " << chunk.size();
    }
}

TEST_F(PluginChunk, TheMachinesSettingsPrevailOverTheChunks) {
    TestHost host;
    ASSERT_TRUE(host.CreateAndOpen(kBlock));
    PluginState state;
    state.parameters.assign(param::kCount, 0.0);  // every global switch off in the state
    state.enableMidiNoteNames = 0.0;
    state.useOnlyOrderOnOff = 0.0;
    state.startNotesImmediately = 1.0;
    StateChunk chunk;
    BeginHostChunk(chunk);
    WriteState(chunk, state);
    ASSERT_TRUE(host.SetChunk(kProgramChunk, chunk.Bytes()));
    EXPECT_EQ(host.GetParameter(param::kEnableMidiNoteNames), 1.0f);
    EXPECT_EQ(host.GetParameter(param::kStartNotesImmediately), 0.0f);
    EXPECT_EQ(host.GetParameter(param::kUseOnlyOrderOnOff), 1.0f);
    EXPECT_EQ(host.GetParameter(param::kGateLengthInSteps), 0.0f);
}

TEST_F(PluginChunk, HostileChunksAreRefusedOrReset) {
    TestHost host;
    ASSERT_TRUE(host.CreateAndOpen(kBlock));
    std::vector<uint8_t> versionSix = {0x74, 0x66, 0x66, 0x70, 0, 0, 1, 0, 6, 0, 0, 0};
    EXPECT_FALSE(host.SetChunk(kProgramChunk, versionSix));
    std::vector<uint8_t> noise(100000);
    std::mt19937 random(5);
    for (auto& byte : noise) byte = static_cast<uint8_t>(random());
    noise[0] = 1;  // a version-1 word: read as far as it goes
    noise[1] = noise[2] = noise[3] = 0;
    host.SetChunk(kProgramChunk, noise);
    host.SetChunk(kBankChunk, noise);
    host.NoteOn(0, 1, 36, 100);
    host.ProcessBlocks(20, kBlock);
    EXPECT_GT(host.GetChunk(kProgramChunk).size(), 0u) << "the instance still works";
}

}  // namespace
}  // namespace sorel
