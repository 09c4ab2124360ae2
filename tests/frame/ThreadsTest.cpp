// The host's audio thread runs blocks while its main thread changes
// parameters and asks the dispatcher; under ThreadSanitizer this finds any
// unguarded sharing between the two.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>

#include "PluginFixture.h"

namespace sorel::test {
namespace {

using namespace sorel::param;

TEST_F(PluginTest, BlocksOnOneThreadParametersAndOpcodesOnAnother) {
    host->transport.playing = true;
    std::atomic<bool> stop{false};
    std::atomic<long> blocks{0};
    AEffect* effect = host->Effect();

    std::thread audio([&] {
        for (int cycle = 0; !stop.load(); ++cycle, ++blocks) {
            const int key = 36 + (cycle - cycle % 8) % 20;
            if (cycle % 8 == 0) host->NoteOn(cycle % kBlock, 1, key, 100), host->NoteOn(5, 3, 90, 80);  // 90 passes through
            if (cycle % 8 == 5) host->NoteOff(0, 1, key), host->NoteOff(7, 3, 90);
            if (cycle % 50 == 0) host->Controller(1, 1, 123, 0);
            host->ProcessBlock(kBlock);
        }
    });
    std::mt19937 random(7);
    const auto pick = [&](int count) { return int(random() % unsigned(count)); };
    const auto call = [&](int opcode, int index, void* ptr) { effect->dispatcher(effect, opcode, index, 0, ptr, 0); };
    const auto setTable = [&](int index, float value) {
        effect->dispatcher(effect, effVendorSpecific, kTableSet, index, nullptr, value);
    };
    // At least three seconds and two hundred blocks, however slow a
    // sanitizer makes either side; a host's main thread pauses now and then.
    const auto start = std::chrono::steady_clock::now();
    const auto going = [&] {
        const auto now = std::chrono::steady_clock::now();
        return now < start + std::chrono::seconds(60) && (now < start + std::chrono::seconds(3) || blocks.load() < 200);
    };
    long calls = 0;
    for (char text[256]; going(); ++calls) {
        if (calls % 16 == 0) std::this_thread::sleep_for(std::chrono::microseconds(200));
        setTable(pick(kCount), float(pick(1001)) / 1000.0f);
        const int index = pick(effect->numParams);
        effect->setParameter(effect, index, float(pick(1001)) / 1000.0f);
        effect->getParameter(effect, index);
        // The soak's threaded run asks every other query with odd values.
        for (int opcode : {effGetParamDisplay, effGetParamName, effEditIdle}) call(opcode, index, text);
        std::string value = std::to_string(pick(100));
        effect->dispatcher(effect, effVendorSpecific, kTableText, kGate + pick(kPatterns), value.data(), 0);
        if (calls % 200 == 0) {
            // Switch areas and hold on and off, change the selection the
            // teach ramp follows, and take the state.
            setTable(kKeyAreaOnOff + pick(4), float(pick(2)));
            setTable(kHold, float(pick(2)));
            setTable(kCcTeach, 1.0f);
            void* chunk = nullptr;
            call(effGetChunk, 1, &chunk);
        }
    }
    stop = true;
    audio.join();
    EXPECT_GE(blocks.load(), 200);
    EXPECT_GT(calls, 200);
    // Every note the storm started ends with a panic.
    host->Controller(0, 1, 123, 0);
    host->ProcessBlock(kBlock);
    EXPECT_FALSE(NoteOns(host->Sent()).empty());
    EXPECT_EQ(UnendedNotes(host->Sent()), "");
}

// Random note picks on every step and lanes running in directions drawn at
// random (the same for every call): the note-ons one instance plays for a held chord.
std::vector<int> PlayRandomOrders(TestHost& host) {
    std::mt19937 directions(3);
    for (int step = 0; step < kSteps; ++step) host.SetParameterText(PerStep(kStepNoteList, 0, 0, step), "Random");
    for (int lane = 0; lane < kLanes; ++lane)
        host.SetParameter(PerPatternLane(kDirection, 0, 0, lane), static_cast<float>(directions() % 4) / 3.0f);
    host.transport.playing = true;
    for (int note : {36, 40, 43, 47, 50}) host.NoteOn(0, 1, note, 100);
    host.ProcessBlocks(400, kBlock);
    std::vector<int> notes;
    for (const SentMidi& on : NoteOns(host.Sent())) notes.push_back(on.data1);
    return notes;
}

TEST_F(PluginTest, InstancesOnTwoThreadsPickTheSameRandomNotesAsOneAlone) {
    const std::vector<int> alone = PlayRandomOrders(*host);
    ASSERT_GT(alone.size(), 30u);
    TestHost first, second;
    ASSERT_TRUE(first.CreateAndOpen(kBlock));
    ASSERT_TRUE(second.CreateAndOpen(kBlock));
    std::vector<int> firstNotes, secondNotes;
    std::thread other([&] { secondNotes = PlayRandomOrders(second); });
    firstNotes = PlayRandomOrders(first);
    other.join();
    EXPECT_EQ(firstNotes, alone);
    EXPECT_EQ(secondNotes, alone);
}

// A controller learnt on a setting moves it inside a block. The settings file
// cannot be written until someone reads the pipe put in place of its
// temporary file: the block does not wait, and the plug-in's own thread
// writes the file with no idle call from the host.
TEST_F(PluginTest, ALearntControllerOnASettingIsSavedWithoutIdleCalls) {
    const std::string fifo = SettingsFile() + ".tmp" + std::to_string(getpid());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    Set(kControllerMap + 20, kDisableControlZone);
    std::atomic<bool> returned{false};
    std::thread audio([&] {
        host->Controller(0, 1, 20, 127);
        host->ProcessBlock(kBlock);
        returned = true;
    });
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!returned && std::chrono::steady_clock::now() < limit) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_TRUE(returned.load()) << "the block waits on the file";
    // Reading the pipe lets the write through, wherever it waits; a write
    // that never comes leaves the pipe empty rather than the test waiting.
    const std::string expected = "false\nfalse\nfalse\nfalse\nfalse\ntrue\nfalse\n";
    const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    std::string written;
    char buffer[64];
    const auto end = limit + std::chrono::seconds(5);
    while (written.size() < expected.size() && std::chrono::steady_clock::now() < end) {
        const ssize_t n = read(reader, buffer, sizeof buffer);
        n > 0 ? (void)written.append(buffer, size_t(n)) : std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    close(reader);
    audio.join();
    EXPECT_EQ(written, expected);
    EXPECT_EQ(host->GetParameter(kDisableControlZone), 1.0f);
}

}  // namespace
}  // namespace sorel::test
