// The factory presets in the host's preset menu: Sorel.so loaded with dlopen
// over an installed data folder and driven through the program opcodes as a
// host drives them, with a C major chord held at 120 bpm.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <set>
#include <thread>

#include "FactoryFixture.h"

namespace sorel::factory::test {
namespace {

constexpr int kMaxProgramLabel = 23;  // and the zero: the host's 24 bytes
constexpr int kBar = 4 * 24000 / kBlock;  // at 120 bpm and 48 kHz
const int kChord[] = {60, 64, 67};

struct ModuleSorel {
    ModuleSorel() {
        Installation::Shared();
        if (!host.CreateAndOpen(kBlock)) throw std::runtime_error("Sorel.so could not be opened");
    }
    int Programs() { return host.Effect()->numPrograms; }
    std::string Indexed(int index) { return host.DispatchString(effGetProgramNameIndexed, index); }
    std::string Name() { return host.DispatchString(effGetProgramName); }
    // Chooses a program as a host's menu does and waits until its state is in
    // place: the chunk differs from before and holds still.
    bool ChooseProgram(int index) {
        constexpr int kStillReads = 3;
        const std::vector<uint8_t> before = host.GetChunk(1);
        host.Dispatch(effSetProgram, 0, index);
        std::vector<uint8_t> last = before;
        int still = 0;
        for (auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
             still < kStillReads && std::chrono::steady_clock::now() < limit;) {
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            std::vector<uint8_t> now = host.GetChunk(1);
            still = now != before && now == last ? still + 1 : 0;
            last = std::move(now);
        }
        return still == kStillReads;
    }
    // The notes of a bar with the chord held from the start, transport running.
    std::vector<SentMidi> PlayBar() {
        host.ClearSent();
        const int64_t first = host.BlockCount();
        host.transport.playing = true;
        host.transport.samplePos = 0.0;
        for (int note : kChord) host.NoteOn(0, 1, note, 100);
        host.ProcessBlocks(kBar, kBlock);
        for (int note : kChord) host.NoteOff(0, 1, note);
        host.ProcessBlocks(2, kBlock);
        host.transport.playing = false;
        host.ProcessBlocks(kBar, kBlock);
        std::vector<SentMidi> notes = Filtered(host.Sent(), [](const SentMidi& m) { return m.Kind() == 8 || m.Kind() == 9; });
        for (SentMidi& m : notes) m.block -= first;
        return notes;
    }
    TestHost host;
};

// What a host's menu should show for a factory file: the style without its
// number, the file's name, cut to the host's length.
std::string ExpectedLabel(const fs::path& file) {
    const std::string style = file.parent_path().filename().string();
    return (style.substr(style.find(' ') + 1) + ": " + file.stem().string()).substr(0, kMaxProgramLabel);
}

TEST(HostProgramsTest, EveryFactoryPresetIsAProgramNamedByStyleAndName) {
    ModuleSorel sorel;
    sorel.host.SetRecording(true);
    std::multiset<std::string> expected, listed;
    for (const std::string& file : Installation::Shared().PresetFiles()) expected.insert(ExpectedLabel(file));
    ASSERT_EQ(sorel.Programs(), static_cast<int>(expected.size()));
    for (int i = 0; i < sorel.Programs(); ++i) {
        char name[256] = {};
        EXPECT_EQ(sorel.host.Dispatch(effGetProgramNameIndexed, i, 0, name), 1) << i;
        EXPECT_LE(std::strlen(name), size_t(kMaxProgramLabel)) << name;
        listed.insert(name);
    }
    EXPECT_EQ(listed, expected);
    EXPECT_TRUE(listed.contains("bass: Dotted Pulse"));
    for (int outside : {-1, sorel.Programs()}) {
        char name[256] = "untouched";
        EXPECT_EQ(sorel.host.Dispatch(effGetProgramNameIndexed, outside, 0, name), 0) << outside;
    }
}

TEST(HostProgramsTest, ChosenProgramPlaysItsPresetAndIsTheCurrentOne) {
    ModuleSorel sorel;
    sorel.host.SetRecording(true);
    const std::vector<SentMidi> initial = sorel.PlayBar();
    std::vector<std::vector<SentMidi>> played;
    for (int program : {sorel.Programs() - 1, 0}) {
        ASSERT_TRUE(sorel.ChooseProgram(program)) << program;
        EXPECT_EQ(sorel.host.Dispatch(effGetProgram), program);
        EXPECT_EQ(sorel.Name(), sorel.Indexed(program));
        played.push_back(sorel.PlayBar());
        EXPECT_NE(played.back(), initial) << sorel.Indexed(program) << " plays as before it loaded";
        EXPECT_EQ(UnendedNotes(sorel.host.Sent()), "") << sorel.Indexed(program);
    }
    EXPECT_NE(played[0], played[1]);
    // A name the host gives is the current name; the list keeps the preset's.
    const std::string label = sorel.Indexed(0);
    char renamed[] = "My take";
    sorel.host.Dispatch(effSetProgramName, 0, 0, renamed);
    EXPECT_EQ(sorel.Name(), "My take");
    EXPECT_EQ(sorel.Indexed(0), label);
    EXPECT_EQ(sorel.host.Dispatch(effGetProgram), 0);
}

TEST(HostProgramsTest, HeldNotesEndAcrossAProgramChangeWhilePlaying) {
    ModuleSorel sorel;
    sorel.host.SetRecording(true);
    TestHost& host = sorel.host;
    ASSERT_TRUE(sorel.ChooseProgram(0));
    host.transport.playing = true;
    for (int note : kChord) host.NoteOn(0, 1, note, 100);
    host.ProcessBlocks(kBar / 2, kBlock);
    ASSERT_FALSE(NoteOns(host.Sent()).empty());
    const size_t beforeChange = host.Sent().size();
    host.Dispatch(effSetProgram, 0, sorel.Programs() - 1);
    // Blocks at their pace while the host saves the state now and then, then
    // as fast as an offline render runs them, while the loader works.
    for (int block = 0; block < kBar / 4; ++block) {
        host.ProcessBlock(kBlock);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        host.GetChunk(1);
    }
    host.ProcessBlocks(kBar, kBlock);
    EXPECT_EQ(sorel.Name(), sorel.Indexed(sorel.Programs() - 1));
    for (int note : kChord) host.NoteOff(0, 1, note);
    host.ProcessBlocks(2, kBlock);
    host.transport.playing = false;
    host.ProcessBlocks(kBar, kBlock);
    const std::vector<SentMidi> sent = host.Sent();
    EXPECT_FALSE(NoteOffs({sent.begin() + beforeChange, sent.end()}).empty()) << "what sounded at the change ended";
    EXPECT_EQ(UnendedNotes(sent), "");
    EXPECT_EQ(OverlappingNotes(sent), "");
    EXPECT_EQ(host.Faults(), "");
}

// A program or a state load changes what the host's parameters read: the
// host is asked to read them again, from the loading thread, while blocks
// go on on the audio thread, which never asks.
TEST(HostProgramsTest, AProgramOrStateLoadAsksTheHostToReadItsParametersAgain) {
    ModuleSorel sorel;
    TestHost& host = sorel.host;
    const std::vector<uint8_t> initial = host.GetChunk(0);
    std::atomic<bool> playing{true};
    std::thread audio([&] {
        while (playing) {
            host.ProcessBlock(kBlock);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    const auto updateThreads = [&] {
        std::vector<std::thread::id> threads;
        for (const TestHost::EditCall& c : host.EditCalls())
            if (c.opcode == audioMasterUpdateDisplay) threads.push_back(c.thread);
        return threads;
    };
    const auto askedOnce = [&](const char* load) {
        SCOPED_TRACE(load);
        for (auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
             updateThreads().empty() && std::chrono::steady_clock::now() < limit;)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const std::vector<std::thread::id> threads = updateThreads();
        EXPECT_FALSE(threads.empty());
        for (const std::thread::id& thread : threads) EXPECT_NE(thread, audio.get_id());
        host.ClearEditCalls();
    };
    host.ClearEditCalls();
    EXPECT_TRUE(sorel.ChooseProgram(sorel.Programs() - 1));
    askedOnce("program");
    EXPECT_TRUE(host.SetChunk(0, initial));
    askedOnce("state");
    playing = false;
    audio.join();
}

TEST(HostProgramsTest, ChunkSavedAfterAProgramLoadRestoresItsSound) {
    std::vector<uint8_t> saved;
    std::vector<SentMidi> before;
    {
        ModuleSorel sorel;
        sorel.host.SetRecording(true);
        ASSERT_TRUE(sorel.ChooseProgram(sorel.Programs() / 2));
        saved = sorel.host.GetChunk(0);
        before = sorel.PlayBar();
    }
    ModuleSorel restored;
    restored.host.SetRecording(true);
    const std::vector<SentMidi> fresh = restored.PlayBar();
    ASSERT_TRUE(restored.host.SetChunk(0, saved));
    EXPECT_EQ(restored.PlayBar(), before);
    EXPECT_NE(fresh, before);
}

// Ardour restores a session by choosing the saved program and handing over
// the saved state right after: the state must win, however long the
// program's load takes on the loader thread.
TEST(HostProgramsTest, AStateHandedOverRightAfterAProgramChoiceIsTheOneThatStays) {
    std::vector<uint8_t> saved;
    std::vector<SentMidi> savedSound;
    {
        ModuleSorel sorel;
        sorel.host.SetRecording(true);
        ASSERT_TRUE(sorel.ChooseProgram(sorel.Programs() - 1));
        saved = sorel.host.GetChunk(0);
        savedSound = sorel.PlayBar();
    }
    ModuleSorel reopened;
    reopened.host.SetRecording(true);
    reopened.host.Dispatch(effSetProgram, 0, 0);
    ASSERT_TRUE(reopened.host.SetChunk(0, saved));
    // Long enough for any program load to have landed.
    constexpr auto kLoaderTime = std::chrono::milliseconds(1500);
    const std::vector<uint8_t> restored = reopened.host.GetChunk(0);
    for (auto until = std::chrono::steady_clock::now() + kLoaderTime; std::chrono::steady_clock::now() < until;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ASSERT_EQ(reopened.host.GetChunk(0), restored) << "a program load replaced the restored state";
    }
    EXPECT_EQ(reopened.PlayBar(), savedSound);
}

}  // namespace
}  // namespace sorel::factory::test
