// Presets load while the audio thread plays blocks with notes held: no data
// race (this test runs under ThreadSanitizer), no note left sounding, and
// blocks run on through the loads (the benchmarks measure their waits).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "frame/Vardo.h"
#include "persistence/ModelTarget.h"
#include "persistence/PresetFile.h"
#include "persistence/StateApplier.h"
#include "persistence/TempDataHome.h"
#include "support/LinkedPlugin.h"
#include "support/TestHost.h"

namespace sorel {
namespace {

constexpr int kBlock = 256;

class PresetLoadWhilePlaying : public ::testing::Test {
protected:
    // Presets that differ in rate, gate, octaves and step lengths.
    void SetUp() override {
        const std::string folder = home.SorelFolder() + "presets/Factory/1 bass/";
        std::filesystem::create_directories(folder);
        for (int i = 0; i < 6; ++i) {
            test::ModelTarget model;
            for (auto [index, normalised] : {std::pair{param::kRate, 0.3 + 0.1 * (i % 5)},
                                             {param::kGate, 0.2 + 0.15 * (i % 4)},
                                             {param::kOctaves, (i % 3) / 4.0},
                                             {param::PerStep(param::kStepLength, 0, 0, i % 8), (i % 4) / 7.0}})
                model.values[size_t(index)] = test::ModelRanges()[size_t(index)].FromNormalised(normalised);
            ASSERT_TRUE(WritePresetFile(folder + "p" + std::to_string(10 + i) + ".v2z", CaptureState(model, "")));
        }
        ASSERT_TRUE(host.CreateAndOpen(kBlock));
        vardo = static_cast<Vardo*>(CoreOf(host.Effect()));
        ASSERT_EQ(Persistence().Presets().Tree().Files().size(), 6u);
    }
    static PluginPersistence& Persistence() { return *test::lastLinked.persistence; }

    test::TempDataHome home;
    test::TestHost host{&test::EntryWithPersistence};
    Vardo* vardo = nullptr;
};

TEST_F(PresetLoadWhilePlaying, NoRaceNoStuckNoteAndShortBlockWaits) {
    host.transport.playing = true;

    std::atomic<bool> stop{false};
    std::atomic<int> blocks{0};
    std::thread audio([&] {
        using Clock = std::chrono::steady_clock;
        host.NoteOn(0, 1, 36, 100);
        host.NoteOn(3, 1, 43, 100);
        for (; !stop.load(); ++blocks) {
            host.ProcessBlock(kBlock);
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        // While a preset is applied blocks run without the engine, so the keys
        // may not have reached a step yet; they must still play once the loads end.
        const size_t played = test::NoteOns(host.Sent()).size();
        for (auto limit = Clock::now() + std::chrono::seconds(10);
             test::NoteOns(host.Sent()).size() == played && Clock::now() < limit;)
            host.ProcessBlock(kBlock);
        host.NoteOff(0, 1, 36);
        host.NoteOff(0, 1, 43);
        host.ProcessBlocks(40, kBlock);
    });

    constexpr int kLoads = 24;
    for (int i = 0; i < kLoads; ++i) {
        i % 3 == 2 ? Persistence().Presets().Previous() : Persistence().Presets().Next();
        Persistence().WaitUntilIdle();
    }
    Persistence().Presets().Choose(PresetTree::kInitId);
    Persistence().WaitUntilIdle();
    stop = true;
    audio.join();

    EXPECT_GT(blocks.load(), kLoads) << "blocks ran on through the loads";
    const auto sent = host.Sent();
    EXPECT_FALSE(test::NoteOns(sent).empty()) << "the held notes played";
    EXPECT_EQ(test::UnendedNotes(sent), "");
}

TEST_F(PresetLoadWhilePlaying, HostChunksSetDuringLoadsWinAndNeverDeadlock) {
    vardo->SetParameterValue(param::kGate + 30, 77);
    const auto chunk = host.GetChunk(1);  // the host's copy: gate 77 in pattern 31

    for (int round = 0; round < 12; ++round) {
        Persistence().Presets().Next();
        std::this_thread::sleep_for(std::chrono::microseconds(300 * (round % 4)));
        // The dispatcher holds the plug-in lock through the call, as hosts see it.
        ASSERT_TRUE(host.SetChunk(1, chunk));
        Persistence().WaitUntilIdle();
    }
    Persistence().Presets().Next();
    Persistence().WaitUntilIdle();
    ASSERT_TRUE(host.SetChunk(1, chunk));
    EXPECT_EQ(vardo->Params().Value(param::kGate + 30), 77) << "the chunk set last is what plays";
}

// A host may close the plug-in while a preset is still being applied: the
// close waits for the load, and nothing the load reaches is gone before.
TEST_F(PresetLoadWhilePlaying, ClosingInTheMiddleOfALoadIsSafe) {
    for (int round = 0; round < 30; ++round) {
        test::TestHost closing{&test::EntryWithPersistence};
        ASSERT_TRUE(closing.CreateAndOpen(kBlock));
        PluginPersistence& persistence = *test::lastLinked.persistence;
        persistence.Presets().Next();
        for (auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(round % 3 * 20);
             !persistence.IsPresetLoading() && std::chrono::steady_clock::now() < end;)
            std::this_thread::yield();
    }
}

}  // namespace
}  // namespace sorel
