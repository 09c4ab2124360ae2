// Each factory preset loaded into Sorel and played as a host plays it: a C
// major chord held for two bars at 120 bpm, then released and the transport
// stopped. Every preset makes notes, ends all of them, and sounds like what
// its description promises.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <set>
#include <tuple>

#include "FactoryFixture.h"

namespace sorel::factory::test {
namespace {

using sorel::test::SentMidi;

constexpr int kBars = 2;
constexpr long kBar = 4L * kSamplesPerBeat;
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

// Gaps between consecutive onsets that lie within [from, to).
std::set<long> GapsBetween(const std::set<long>& times, long from, long to) {
    std::set<long> gaps;
    long previous = -1;
    for (long t : times) {
        if (t < from || t >= to) continue;
        if (previous >= 0) gaps.insert(t - previous);
        previous = t;
    }
    return gaps;
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
        EXPECT_TRUE(AllNotesEnded(sent)) << name;
        for (const SentMidi& m : ons) EXPECT_LE(m.block, releaseBlock) << name << ": a note started after the release";
    }
}

TEST(FactoryPlayTest, PresetsPlayDifferentNotes) {
    // Time, note and channel of every note-on.
    std::map<std::string, std::vector<std::tuple<long, int, int>>> played;
    for (const auto& [name, file] : WrittenFactory::Get().presetFiles) {
        for (const SentMidi& m : NoteOns(Play(name))) played[name].emplace_back(Absolute(m), m.data1, m.Channel());
    }
    for (auto a = played.begin(); a != played.end(); ++a)
        for (auto b = std::next(a); b != played.end(); ++b) EXPECT_NE(a->second, b->second) << a->first << " and " << b->first;
}

// The lowest held key an octave down, its octave and its fifth, on a straight sixteenth grid.
TEST(FactoryPlayTest, RubberOctavesBouncesAnOctaveBelowTheChord) {
    const auto ons = NoteOns(Play("Rubber Octaves"));
    std::set<int> notes;
    for (const SentMidi& m : ons) notes.insert(m.data1);
    EXPECT_EQ(notes, (std::set<int>{48, 55, 60}));
    for (long t : OnsetTimes(ons)) EXPECT_EQ(t % kSixteenth, 0) << t;
    EXPECT_GE(ons.size(), 31u);
    EXPECT_LE(ons.size(), 33u);
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

// Six stabs a bar, each the whole chord at once.
TEST(FactoryPlayTest, SwingStabsPlayTheWholeChordTogether) {
    const auto ons = NoteOns(Play("Swing Stabs"));
    std::map<long, std::set<int>> stabs;
    for (const SentMidi& m : ons) stabs[Absolute(m)].insert(m.data1);
    EXPECT_GE(stabs.size(), 11u);
    EXPECT_LE(stabs.size(), 12u);
    for (const auto& [time, notes] : stabs) EXPECT_EQ(notes, (std::set<int>{60, 64, 67})) << time;
}

// The first quarter builds chord slot 1, a power chord with octave and
// fifth above, on the lowest held key.
TEST(FactoryPlayTest, MemoryLeadBuildsChordsOnTheLowestKey) {
    const auto ons = NoteOns(Play("Memory Lead"));
    ASSERT_GE(ons.size(), 4u);
    std::vector<int> first;
    for (size_t i = 0; i < 4; ++i) first.push_back(ons[i].data1);
    EXPECT_EQ(first, (std::vector<int>{60, 67, 72, 79}));
}

TEST(FactoryPlayTest, ControllerDanceSendsBothCurves) {
    const auto sent = Play("Controller Dance");
    std::set<int> cutoff, resonance;
    for (const SentMidi& m : sent) {
        if (m.IsController(74)) cutoff.insert(m.data2);
        if (m.IsController(71)) resonance.insert(m.data2);
    }
    EXPECT_EQ(cutoff, (std::set<int>{20, 35, 50, 65, 80, 95, 110, 125, 90, 55}));
    EXPECT_EQ(resonance, (std::set<int>{10, 90, 30, 110, 50, 70}));
}

// A low G goes to the bass area, an octave down on channel 1 in quarter
// notes; the chord above middle C to the lead area on channel 2.
TEST(FactoryPlayTest, SplitDuoPlaysTwoAreasOnTwoChannels) {
    const auto sent = Play("Split Duo", {43, 60, 64, 67});
    EXPECT_TRUE(AllNotesEnded(sent));
    std::vector<SentMidi> bass, lead;
    for (const SentMidi& m : NoteOns(sent)) (m.Channel() == 1 ? bass : lead).push_back(m);
    ASSERT_GE(bass.size(), 7u);
    ASSERT_GE(lead.size(), 28u);
    for (const SentMidi& m : bass) EXPECT_EQ(m.data1, 31);
    EXPECT_EQ(GapsBetween(OnsetTimes(bass), 0, 2 * kBar), (std::set<long>{kSamplesPerBeat}));
    for (const SentMidi& m : lead) {
        EXPECT_EQ(m.Channel(), 2);
        EXPECT_TRUE((std::set<int>{60, 64, 67, 72, 76, 79}).count(m.data1)) << int(m.data1);
    }
}

// The scene plays a bar of sixteenths, then a bar of eighth triplets.
TEST(FactoryPlayTest, SceneJourneyChangesPatternEachBar) {
    const std::set<long> times = OnsetTimes(NoteOns(Play("Scene Journey")));
    EXPECT_EQ(GapsBetween(times, 0, kBar), (std::set<long>{kSixteenth}));
    EXPECT_EQ(GapsBetween(times, kBar, 2 * kBar), (std::set<long>{kSamplesPerBeat / 3}));
}

}  // namespace
}  // namespace sorel::factory::test
