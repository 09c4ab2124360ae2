// Each factory preset loaded into Sorel and played as a host plays it: a C
// major chord held for two bars at 120 bpm, then released and the transport
// stopped. Every preset makes notes, ends all of them, and the scaled ones
// stay in their scales.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <set>

#include "FactoryFixture.h"

namespace sorel::factory::test {
namespace {

using sorel::test::SentMidi;
using sorel::test::UnendedNotes;

constexpr int kBars = 2;
const std::vector<int> kCMajor = {60, 64, 67};

std::vector<SentMidi> Play(const std::string& preset, const std::vector<int>& notes = kCMajor) {
    HostedSorel sorel;
    const auto& files = WrittenFactory::Get().presetFiles;
    if (!files.count(preset) || !sorel.Persistence().LoadPresetFile(files.at(preset)))
        throw std::runtime_error("cannot load " + preset);
    return sorel.PlayHeldChord(notes, kBars);
}

std::set<long> OnsetTimes(const std::vector<SentMidi>& ons) {
    std::set<long> times;
    for (const SentMidi& m : ons) times.insert(Absolute(m));
    return times;
}

bool InPitchClasses(const std::vector<SentMidi>& ons, std::set<int> classes) {
    return std::all_of(ons.begin(), ons.end(), [&](const SentMidi& m) { return classes.count(m.data1 % 12) > 0; });
}

// Keys 21 and 22 of the control zone step through the presets in a host
// that never sends idle calls, as a headless render does.
TEST(FactoryPlayTest, ControlZonePresetKeysStepWithoutIdleCalls) {
    constexpr int kPreviousPresetKey = 21, kNextPresetKey = 22;
    ASSERT_GT(WrittenFactory::Get().presetFiles.size(), 2u);
    HostedSorel sorel;
    sorel::test::TestHost& host = sorel.Host();
    auto press = [&](int key) {
        const std::string before = sorel.Persistence().Presets().CurrentName();
        host.NoteOn(0, 1, key, 100);
        host.NoteOff(10, 1, key);
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (sorel.Persistence().Presets().CurrentName() == before && std::chrono::steady_clock::now() < limit)
            host.ProcessBlock(kBlock);
        sorel.Persistence().WaitUntilIdle();
        return sorel.Persistence().Presets().CurrentName();
    };
    const std::string next = press(kNextPresetKey);
    const std::string afterNext = press(kNextPresetKey);
    EXPECT_NE(next, afterNext);
    EXPECT_EQ(press(kPreviousPresetKey), next);
}

TEST(FactoryPlayTest, EveryPresetPlaysAndEndsEveryNote) {
    const int releaseBlock = kBars * 4 * kSamplesPerBeat / kBlock;
    for (const auto& [name, file] : WrittenFactory::Get().presetFiles) {
        const std::vector<SentMidi> sent = Play(name);
        const std::vector<SentMidi> ons = NoteOns(sent);
        // At least one note per beat, on at least six different times.
        EXPECT_GE(ons.size(), 8u) << name;
        EXPECT_GE(OnsetTimes(ons).size(), 6u) << name;
        EXPECT_EQ(UnendedNotes(sent), "") << name;
        for (const SentMidi& m : ons) EXPECT_LE(m.block, releaseBlock) << name << ": a note started after the release";
    }
}

TEST(FactoryPlayTest, ScaledPresetsStayInTheirScales) {
    const auto spiral = NoteOns(Play("Spiral Triplets"));
    EXPECT_TRUE(InPitchClasses(spiral, {9, 0, 2, 4, 7}));  // A minor pentatonic
    std::set<int> spiralNotes;
    for (const SentMidi& m : spiral) spiralNotes.insert(m.data1);
    EXPECT_GT(spiralNotes.size(), 4u);  // the transpose lane leaves the chord's own notes

    const auto drift = NoteOns(Play("Dorian Drift"));
    EXPECT_TRUE(InPitchClasses(drift, {2, 4, 5, 7, 9, 10, 0}));  // D minor
    const auto walk = NoteOns(Play("Root Fifth Walk"));
    EXPECT_TRUE(InPitchClasses(walk, {0, 2, 4, 5, 7, 9, 11}));  // C major
}

}  // namespace
}  // namespace sorel::factory::test
