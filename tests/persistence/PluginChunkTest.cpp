// Sorel.so loaded as a host loads it: a chunk restores everything in a fresh
// instance, which plays the same MIDI; old layouts restore, damaged ones do not.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "persistence/HostChunk.h"
#include "persistence/ModelTarget.h"
#include "persistence/PresetFile.h"
#include "persistence/StateReader.h"
#include "persistence/StateWriter.h"
#include "persistence/TempDataHome.h"
#include "support/TestHost.h"

namespace sorel {
namespace {

using test::TestHost;

constexpr int kBlock = 512, kBankChunk = 0, kProgramChunk = 1;

// The plain state inside a chunk the plug-in handed out.
std::vector<uint8_t> PlainState(const std::vector<uint8_t>& chunk, int which = kProgramChunk) {
    const auto state = HostChunkState(chunk, which == kBankChunk, param::kCount);
    return state ? state->Bytes() : std::vector<uint8_t>{};
}

std::vector<test::SentMidi> PlayChordAndRelease(TestHost& host) {
    host.ClearSent();
    host.transport.playing = true;
    for (int note : {36, 40, 43}) host.NoteOn(0, 1, note, 100);
    host.ProcessBlocks(60, kBlock);
    for (int note : {36, 40, 43}) host.NoteOff(0, 1, note);
    host.ProcessBlocks(20, kBlock);
    return host.Sent();
}

class PluginChunk : public ::testing::Test {
protected:
    void SetUp() override {
        test::WriteTextFile(home.SorelFolder() + "data/settings.srl", "true\nfalse\ntrue\n");  // the rest false
        ASSERT_TRUE(author.CreateAndOpen(kBlock));
        // What a player sets: a sample of every pattern, step and lane family.
        std::mt19937 random(11);
        for (auto [first, last] : {std::pair{param::kGate, param::kKeyAreaOnOff - 1},
                                   {param::kStepLength, param::kChordMemorySelection - 1},
                                   {param::kStepCc, param::kStepCcLast},
                                   {param::kLaneSwitch, param::kCcLaneSwitchLast},
                                   {param::kFirstAppended, param::kCount - 1}}) {
            for (int index = first; index <= last; index += 41)
                author.SetParameter(index, static_cast<float>(random() % 1000) / 999.0f);
        }
    }
    // A program chunk of the author's parameters and every other field filled.
    std::vector<uint8_t> FullChunk() {
        const auto plain = HostChunkState(author.GetChunk(kProgramChunk), false, param::kCount);
        PluginState state = ReadState(*plain, 0, test::ModelRanges())->state;
        test::FillStructures(state);  // its switches as the settings file says
        return ComposeHostChunk(state);
    }

    test::TempDataHome home;
    TestHost author;
};

TEST_F(PluginChunk, AChunkRestoresEverythingInAFreshInstance) {
    const auto full = FullChunk();
    ASSERT_TRUE(author.SetChunk(kProgramChunk, full));
    ASSERT_EQ(PlainState(author.GetChunk(kProgramChunk)), PlainState(full)) << "every field came back as it was set";
    for (int which : {kProgramChunk, kBankChunk}) {
        const auto chunk = author.GetChunk(which);
        TestHost second;
        ASSERT_TRUE(second.CreateAndOpen(kBlock));
        ASSERT_TRUE(second.SetChunk(which, chunk));
        EXPECT_EQ(second.GetChunk(which), chunk) << which;
        EXPECT_EQ(PlainState(second.GetChunk(kProgramChunk)), PlainState(full)) << which;
        if (which == kBankChunk) {
            const auto played = PlayChordAndRelease(author);
            EXPECT_GT(test::NoteOns(played).size(), 3u);
            EXPECT_EQ(PlayChordAndRelease(second), played);
        }
    }
}

// Hosts keep a chunk per instance in their project files and undo history.
TEST_F(PluginChunk, ChunksAreCompactAndCompressed) {
    for (int which : {kProgramChunk, kBankChunk}) {
        const auto chunk = author.GetChunk(which);
        ASSERT_GT(chunk.size(), 10u);
        EXPECT_LT(chunk.size(), 16u * 1024u) << which;
        EXPECT_EQ(std::pair(chunk[8], chunk[9]), (std::pair<uint8_t, uint8_t>(0x1f, 0x8b))) << "gzip behind the header";
        EXPECT_GT(PlainState(chunk, which).size(), param::kCount * 8u);
    }
}

// Every layout hosts may hold restores the same state: plain program and bank
// chunks with or without a program slot (unnamed and filled, or named and
// empty), a bare state, and today's compressed chunk. Damaged ones change nothing.
TEST_F(PluginChunk, EveryLayoutWrittenSoFarRestoresTheState) {
    const auto state = PlainState(FullChunk());
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
    auto damagedSlot = layout(false, 1);
    damagedSlot[8] = 0xff;  // a slot name longer than the chunk
    damagedSlot[11] = 0x7f;
    const std::vector<uint8_t> versionSeven = {0x74, 0x66, 0x66, 0x70, 0, 0, 1, 0, 7, 0, 0, 0};
    const struct {
        int which;
        std::vector<uint8_t> chunk;
        bool restores;
    } cases[] = {
        {kProgramChunk, layout(false, 0), true},     {kBankChunk, layout(false, 0), true},
        {kBankChunk, layout(false, 1), true},        {kBankChunk, layout(false, 1, "Slot"), true},
        {kProgramChunk, layout(true, 0), true},      {kBankChunk, layout(true, 0), true},
        {kProgramChunk, state, true},                {kBankChunk, damagedSlot, false},
        {kProgramChunk, versionSeven, false},
    };
    for (const auto& [which, chunk, restores] : cases) {
        SCOPED_TRACE(testing::Message() << which << " " << chunk.size());
        TestHost host;
        ASSERT_TRUE(host.CreateAndOpen(kBlock));
        const auto before = PlainState(host.GetChunk(which), which);
        EXPECT_EQ(host.SetChunk(which, chunk), restores);
        EXPECT_EQ(PlainState(host.GetChunk(which), which), restores ? state : before);
    }
}

TEST_F(PluginChunk, TheMachinesSettingsPrevailOverTheChunks) {
    PluginState state;
    state.parameters.assign(param::kCount, 0.0);  // every global switch off in the state
    state.startNotesImmediately = 1.0;
    ASSERT_TRUE(author.SetChunk(kProgramChunk, ComposeHostChunk(state)));
    std::vector<float> switches;
    for (int index : {param::kEnableMidiNoteNames, param::kStartNotesImmediately, param::kUseOnlyOrderOnOff,
                      param::kGateLengthInSteps})
        switches.push_back(author.GetParameter(index));
    EXPECT_EQ(switches, (std::vector<float>{1, 0, 1, 0}));
}

}  // namespace
}  // namespace sorel
