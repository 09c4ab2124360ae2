// A preset step asked from the audio thread (the control zone's next-preset
// key) waits for the host's worker when the host offers one, and loads there.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>
#include <atomic>
#include <map>
#include <thread>
#include <vector>

#include "persistence/TempDataHome.h"
#include "support/Lv2TestHost.h"

namespace sorel::test {
namespace {

constexpr const char* kStateKey = "https://vardo.example/plugins/sorel#state";
constexpr uint8_t kNextPresetKey = 22;  // in the control zone's built-in assignment
constexpr auto kLoaderWouldHaveRun = std::chrono::milliseconds(300);

// A data folder holding the factory presets, as an installation has it.
void UseFactoryData() {
    namespace fs = std::filesystem;
    const char* factory = std::getenv("SOREL_FACTORY_DATA");
    ASSERT_NE(factory, nullptr);
    static const TempDataHome data;  // removed when the tests end
    fs::remove_all(data.Path() / "Vardo");
    fs::copy(factory, data.Path(), fs::copy_options::recursive);
    data.UseAsDataHome();
}

TEST(Lv2WorkerTest, APresetKeyLoadsOnTheHostsWorker) {
    UseFactoryData();
    Lv2TestHost host(48000.0, Lv2TestHost::kDefaultOutputBytes, true);
    ASSERT_TRUE(host.Loaded());
    host.Run(256);
    const auto before = host.SaveProperties().at(kStateKey).bytes;
    host.QueueMidi(0, 0x90, kNextPresetKey, 100);
    host.QueueMidi(100, 0x80, kNextPresetKey, 0);
    host.Run(256);
    host.Run(256);
    std::this_thread::sleep_for(kLoaderWouldHaveRun);
    EXPECT_EQ(host.SaveProperties().at(kStateKey).bytes, before) << "loaded without the host's worker";
    EXPECT_EQ(host.RunWork(), 1);
    host.Run(256);
    EXPECT_NE(host.SaveProperties().at(kStateKey).bytes, before);
    EXPECT_EQ(host.RunWork(), 0);
}

// Without a worker the plug-in's own thread loads it.
TEST(Lv2WorkerTest, WithoutAWorkerThePluginsOwnThreadLoads) {
    UseFactoryData();
    Lv2TestHost host;
    ASSERT_TRUE(host.Loaded());
    host.Run(256);
    const auto before = host.SaveProperties().at(kStateKey).bytes;
    host.QueueMidi(0, 0x90, kNextPresetKey, 100);
    host.QueueMidi(100, 0x80, kNextPresetKey, 0);
    host.Run(256);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (host.SaveProperties().at(kStateKey).bytes == before && std::chrono::steady_clock::now() < deadline) {
        host.Run(256);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_NE(host.SaveProperties().at(kStateKey).bytes, before);
}

// A host restores a state while blocks run on (state:threadSafeRestore):
// every note that starts also ends, and the last state restored stands.
TEST(Lv2WorkerTest, AStateRestoresWhileBlocksRun) {
    UseFactoryData();
    Lv2TestHost host;
    ASSERT_TRUE(host.Loaded());
    std::vector<std::map<std::string, Lv2TestHost::Property>> states;
    for (const auto& [label, uri] : host.Presets()) {
        Lv2TestHost other;
        other.LoadPreset(uri);
        states.push_back(other.SaveProperties());
    }
    ASSERT_GE(states.size(), 2u);
    std::atomic<bool> done{false};
    std::thread restorer([&] {
        for (int round = 0; !done.load(); ++round) host.RestoreProperties(states[size_t(round) % states.size()]);
    });
    std::map<std::pair<int, int>, int> sounding;  // channel and key -> note-ons not yet ended
    auto count = [&sounding](const std::vector<Lv2Midi>& heard) {
        for (const Lv2Midi& m : heard) {
            const int kind = m.status >> 4;
            if (kind == 9 && m.data2 > 0) ++sounding[{m.status & 15, m.data1}];
            if (kind == 8 || (kind == 9 && m.data2 == 0)) sounding[{m.status & 15, m.data1}] = 0;
        }
    };
    host.QueuePosition(0, {0, 1.0f, 120.0f, 0, 0.0f, 4.0f, 4});
    for (int block = 0; block < 400; ++block) {
        if (block == 1)
            for (int note : {36, 40, 43}) host.QueueMidi(0, 0x90, uint8_t(note), 100);
        if (block == 300)
            for (int note : {36, 40, 43}) host.QueueMidi(0, 0x80, uint8_t(note), 0);
        count(host.Run(256));
    }
    done = true;
    restorer.join();
    host.RestoreProperties(states.front());
    for (int block = 0; block < 200; ++block) count(host.Run(256));
    for (const auto& [key, open] : sounding) EXPECT_EQ(open, 0) << "channel " << key.first << " key " << key.second;
    EXPECT_EQ(host.SaveProperties(), states.front());
}

}  // namespace
}  // namespace sorel::test
