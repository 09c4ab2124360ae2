// Each installed factory preset loaded into Sorel and played as a host plays
// it: a C major chord held for two bars at 120 bpm, then released, the
// transport stopped and half a bar more. Every preset makes notes and ends
// all of them.
#include <gtest/gtest.h>

#include <chrono>
#include <set>

#include "FactoryFixture.h"
#include "engine/ParameterIndex.h"

namespace sorel::factory::test {
namespace {

// Keys 21 and 22 of the control zone step through the presets in a host
// that never sends idle calls, as a headless render does.
TEST(FactoryPlayTest, ControlZonePresetKeysStepWithoutIdleCalls) {
    constexpr int kPreviousPresetKey = 21, kNextPresetKey = 22;
    ASSERT_GT(Installation::Shared().PresetFiles().size(), 2u);
    HostedSorel sorel;
    auto press = [&](int key) {
        const std::string before = sorel.persistence->Presets().CurrentName();
        sorel.host->NoteOn(0, 1, key, 100);
        sorel.host->NoteOff(10, 1, key);
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (sorel.persistence->Presets().CurrentName() == before && std::chrono::steady_clock::now() < limit)
            sorel.host->ProcessBlock(kBlock);
        sorel.persistence->WaitUntilIdle();
        return sorel.persistence->Presets().CurrentName();
    };
    const std::string next = press(kNextPresetKey);
    EXPECT_NE(press(kNextPresetKey), next);
    EXPECT_EQ(press(kPreviousPresetKey), next);
}

// The arrows of the preset and chord-bank boxes, pressed as a host or a
// learnt controller presses them: a value of 1 held or repeated steps once.
TEST(FactoryPlayTest, BoxArrowsStepPresetsAndChordBanksOncePerPress) {
    struct Arrow {
        const char* box;
        int previous, next;
        CommonPresetHandler& (*files)(PluginPersistence&);
    };
    const Arrow arrows[] = {
        {"preset", param::kBoxLeft, param::kBoxRight,
         [](PluginPersistence& p) -> CommonPresetHandler& { return p.Presets(); }},
        {"chord bank", param::kCmBoxLeft, param::kCmBoxRight,
         [](PluginPersistence& p) -> CommonPresetHandler& { return p.ChordBanks(); }},
    };
    for (const Arrow& arrow : arrows) {
        HostedSorel sorel;
        auto press = [&](int button, std::initializer_list<float> values) {
            for (float value : values) sorel.host->SetParameter(button, value);
            sorel.persistence->WaitUntilIdle();
            return arrow.files(*sorel.persistence).CurrentName();
        };
        const std::string first = press(arrow.next, {1.0f, 0.0f});
        EXPECT_NE(press(arrow.next, {1.0f, 1.0f, 0.0f}), first) << arrow.box;
        EXPECT_EQ(press(arrow.previous, {1.0f, 0.0f}), first) << arrow.box;
    }
}

TEST(FactoryPlayTest, EveryPresetPlaysAndEndsEveryNote) {
    constexpr int kTwoBars = 2 * 4 * 24000 / kBlock, kHalfBar = 2 * 24000 / kBlock;  // at 120 bpm and 48 kHz
    for (const std::string& file : Installation::Shared().PresetFiles()) {
        HostedSorel sorel;
        ASSERT_TRUE(sorel.persistence->LoadPresetFile(file)) << file;
        TestHost& host = *sorel.host;
        host.transport.playing = true;
        for (int note : {60, 64, 67}) host.NoteOn(0, 1, note, 100);
        host.ProcessBlocks(kTwoBars, kBlock);
        for (int note : {60, 64, 67}) host.NoteOff(0, 1, note);
        host.ProcessBlocks(4, kBlock);
        host.transport.playing = false;
        host.ProcessBlocks(kHalfBar, kBlock);
        const std::vector<SentMidi> ons = NoteOns(host.Sent());
        // At least one note per beat, at six different times or more.
        std::set<long> times;
        for (const SentMidi& m : ons) {
            times.insert(long(m.block) * kBlock + m.offset);
            EXPECT_LE(m.block, kTwoBars) << file << ": a note started after the release";
        }
        EXPECT_GE(ons.size(), 8u) << file;
        EXPECT_GE(times.size(), 6u) << file;
        EXPECT_EQ(UnendedNotes(host.Sent()), "") << file;
    }
}

}  // namespace
}  // namespace sorel::factory::test
