// Each installed factory preset loaded into Sorel and played as a host plays
// it: a C major chord held for two bars at 120 bpm, then released and the
// transport stopped. Every preset makes notes and ends all of them.
#include <gtest/gtest.h>

#include <chrono>
#include <set>

#include "FactoryFixture.h"

namespace sorel::factory::test {
namespace {

constexpr int kBars = 2, kSamplesPerBeat = 24000;  // 120 bpm at 48 kHz

// Holds `notes` for `bars` bars with the transport running, releases them,
// stops the transport and runs on for half a bar: everything sent.
std::vector<SentMidi> PlayHeldChord(TestHost& host, const std::vector<int>& notes, int bars) {
    host.transport.playing = true;
    for (int note : notes) host.NoteOn(0, 1, note, 100);
    host.ProcessBlocks(bars * 4 * kSamplesPerBeat / kBlock, kBlock);
    for (int note : notes) host.NoteOff(0, 1, note);
    host.ProcessBlocks(4, kBlock);
    host.transport.playing = false;
    host.ProcessBlocks(2 * kSamplesPerBeat / kBlock, kBlock);
    return host.Sent();
}

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

TEST(FactoryPlayTest, EveryPresetPlaysAndEndsEveryNote) {
    const int releaseBlock = kBars * 4 * kSamplesPerBeat / kBlock;
    for (const std::string& file : Installation::Shared().PresetFiles()) {
        HostedSorel sorel;
        ASSERT_TRUE(sorel.persistence->LoadPresetFile(file)) << file;
        const std::vector<SentMidi> sent = PlayHeldChord(*sorel.host, {60, 64, 67}, kBars);
        const std::vector<SentMidi> ons = NoteOns(sent);
        // At least one note per beat, at six different times or more.
        std::set<long> times;
        for (const SentMidi& m : ons) {
            times.insert(long(m.block) * kBlock + m.offset);
            EXPECT_LE(m.block, releaseBlock) << file << ": a note started after the release";
        }
        EXPECT_GE(ons.size(), 8u) << file;
        EXPECT_GE(times.size(), 6u) << file;
        EXPECT_EQ(UnendedNotes(sent), "") << file;
    }
}

}  // namespace
}  // namespace sorel::factory::test
