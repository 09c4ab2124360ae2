// The soak's own oracle and generators: the MIDI checker must catch every
// kind of bad output, the generators must really produce the hostile input
// they claim, and on the real module the comparison with a fresh instance
// and the hanging-note count must be able to fail.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>
#include <unistd.h>

#include "engine/ParameterIndex.h"
#include "soak/HostileMidi.h"
#include "soak/HostileTransport.h"
#include "soak/MidiOutChecker.h"
#include "soak/SoakPlugin.h"
#include "soak/SoakRun.h"
#include "soak/StateStorm.h"

namespace sorel::soak {
namespace {

// --- the checker -------------------------------------------------------------

TEST(MidiOutChecker, AcceptsValidMidiInsideTheBlock) {
    MidiOutChecker c;
    c.BeginBlock(64);
    c.InspectMidi(0, 0x90, 60, 100);
    c.InspectMidi(63, 0x80, 60, 127);
    c.InspectMidi(10, 0xB5, 123, 0);
    c.InspectMidi(10, 0xEF, 127, 127);
    c.InspectSilence(true);
    c.EndBlock();
    EXPECT_EQ(c.FaultCount(), 0u);
    EXPECT_EQ(c.EventCount(), 4u);
    EXPECT_EQ(c.SoundingNotes(), 0);
}

TEST(MidiOutChecker, FlagsBadBytesOffsetsAndTiming) {
    struct Case {
        int offset;
        uint8_t status, data1, data2;
    };
    const Case bad[] = {{0, 0x7F, 1, 1},  {0, 0xF8, 0, 0},   {0, 0x90, 128, 1},
                        {0, 0x90, 1, 200}, {-1, 0x90, 60, 1}, {64, 0x80, 60, 0}};
    for (const Case& b : bad) {
        MidiOutChecker c;
        c.BeginBlock(64);
        c.InspectMidi(b.offset, b.status, b.data1, b.data2);
        c.EndBlock();
        EXPECT_EQ(c.FaultCount(), 1u) << int(b.status) << " " << int(b.data1) << " " << int(b.data2) << " @" << b.offset;
    }
    MidiOutChecker outside;
    outside.InspectMidi(0, 0x90, 60, 100);
    EXPECT_EQ(outside.FaultCount(), 1u);
    MidiOutChecker noisy;
    noisy.InspectSilence(false);
    EXPECT_EQ(noisy.FaultCount(), 1u);
}

TEST(MidiOutChecker, AnEmptyBlockTakesEventsAtItsStartOnly) {
    MidiOutChecker c;
    c.BeginBlock(0);
    c.InspectMidi(0, 0xB0, 123, 0);
    EXPECT_EQ(c.FaultCount(), 0u);
    c.InspectMidi(1, 0xB0, 123, 0);
    EXPECT_EQ(c.FaultCount(), 1u);
}

TEST(MidiOutChecker, CountsNotesUntilEveryNoteOnHasItsNoteOff) {
    MidiOutChecker c;
    c.BeginBlock(128);
    c.InspectMidi(0, 0x90, 60, 100);
    c.InspectMidi(1, 0x90, 60, 100);  // the same key twice needs two ends
    c.InspectMidi(2, 0x93, 60, 100);  // another channel is another note
    c.InspectMidi(3, 0x80, 60, 0);
    EXPECT_EQ(c.SoundingNotes(), 2);
    c.InspectMidi(4, 0x90, 60, 0);  // velocity 0 ends a note too
    c.InspectMidi(5, 0x80, 61, 0);  // an extra note-off changes nothing
    EXPECT_EQ(c.SoundingNotes(), 1);
    c.ReportSoundingNotes();
    ASSERT_EQ(c.FaultCount(), 1u);
    EXPECT_NE(c.FaultTexts()[0].find("channel 4 key 60"), std::string::npos);
}

TEST(MidiOutChecker, InspectsEventListsEntryByEntry) {
    VstMidiEvent note{};
    note.type = kVstMidiType;
    note.byteSize = sizeof note;
    note.midiData[0] = static_cast<char>(0x90);
    note.midiData[1] = 60;
    note.midiData[2] = 1;
    VstEvent sysex{};
    sysex.type = kVstSysExType;
    unsigned char storage[sizeof(VstEvents) + 3 * sizeof(VstEvent*)] = {};
    auto* list = reinterpret_cast<VstEvents*>(storage);
    list->numEvents = 3;
    VstEvent** entries = list->events;  // three entries in a list declared with two
    entries[0] = reinterpret_cast<VstEvent*>(&note);
    entries[1] = &sysex;
    entries[2] = nullptr;
    MidiOutChecker c;
    c.BeginBlock(16);
    c.Inspect(list);
    EXPECT_EQ(c.EventCount(), 1u);
    EXPECT_EQ(c.FaultCount(), 2u);  // the foreign type and the null entry
    EXPECT_EQ(c.SoundingNotes(), 1);
}

// --- the generators ----------------------------------------------------------

struct Seen {
    int badStatus = 0, highData = 0, nulls = 0, foreign = 0, outside = 0, bursts = 0, programs = 0, wheel = 0;
    std::set<int> controllers;
};

Seen Survey(const VstEvents* list, int frames, Seen seen) {
    if (list->numEvents >= HostileMidi::kBurst) ++seen.bursts;
    for (int i = 0; i < list->numEvents; ++i) {
        const VstEvent* e = static_cast<VstEvent* const*>(list->events)[i];
        if (!e) {
            ++seen.nulls;
            continue;
        }
        if (e->type != kVstMidiType) {
            ++seen.foreign;
            continue;
        }
        const auto* m = reinterpret_cast<const VstMidiEvent*>(e);
        const auto status = static_cast<uint8_t>(m->midiData[0]);
        if (status < 0x80) ++seen.badStatus;
        if (static_cast<uint8_t>(m->midiData[1]) > 127 || static_cast<uint8_t>(m->midiData[2]) > 127) ++seen.highData;
        if (m->deltaFrames < 0 || m->deltaFrames >= std::max(frames, 1)) ++seen.outside;
        if ((status & 0xF0) == 0xB0) seen.controllers.insert(m->midiData[1]);
        if ((status & 0xF0) == 0xC0 && m->midiData[1] > 47) ++seen.programs;
        if ((status & 0xF0) == 0xE0) ++seen.wheel;
    }
    return seen;
}

TEST(HostileMidi, ProducesEveryKindOfHostileInput) {
    HostileMidi midi(7);
    Injected injected;
    Seen seen;
    for (int block = 0; block < 6000; ++block) seen = Survey(midi.NextBlock(256, true, injected), 256, seen);
    EXPECT_GT(seen.badStatus, 0);
    EXPECT_GT(seen.highData, 0);
    EXPECT_GT(seen.nulls, 0);
    EXPECT_GT(seen.foreign, 0);
    EXPECT_GT(seen.outside, 0);
    EXPECT_GT(seen.bursts, 0);
    EXPECT_GT(seen.programs, 0);
    EXPECT_GT(seen.wheel, 0);
    for (int controller : {0, 120, 121, 123, 127}) EXPECT_TRUE(seen.controllers.count(controller)) << controller;
    EXPECT_GT(injected.orphanNoteOffs, 0u);
    EXPECT_GT(injected.duplicateNoteOns, 0u);
    EXPECT_GT(injected.presetSteps, 0u);
    EXPECT_GT(injected.Faults(), injected.bursts);
}

TEST(HostileMidi, ReleasesEveryKeyItPressed) {
    HostileMidi midi(11);
    Injected injected;
    std::array<std::array<int, 128>, 16> down{};
    auto apply = [&](const VstEvents* list) {
        for (int i = 0; i < list->numEvents; ++i) {
            const auto* m = reinterpret_cast<const VstMidiEvent*>(static_cast<VstEvent* const*>(list->events)[i]);
            if (!m || m->type != kVstMidiType) continue;
            const auto status = static_cast<uint8_t>(m->midiData[0]);
            const auto key = static_cast<uint8_t>(m->midiData[1]), velocity = static_cast<uint8_t>(m->midiData[2]);
            if (key > 127 || velocity > 127) continue;
            int& d = down[status & 0x0F][key];
            if ((status & 0xF0) == 0x90 && velocity > 0) ++d;
            else if ((status & 0xF0) == 0x80 || (status & 0xF0) == 0x90) d = std::max(0, d - 1);
        }
    };
    for (int block = 0; block < 3000; ++block) apply(midi.NextBlock(128, false, injected));
    ASSERT_GT(midi.KeysDown(), 0);
    while (const VstEvents* offs = midi.ReleaseKeys(100)) {
        EXPECT_LE(offs->numEvents, 100);
        apply(offs);
    }
    EXPECT_EQ(midi.KeysDown(), 0);
    for (const auto& channel : down)
        for (int d : channel) EXPECT_EQ(d, 0);
}

TEST(HostileTransport, ProducesEveryKindOfOddTransport) {
    HostileTransport transport(5);
    Injected injected;
    bool zero = false, one = false, odd = false, huge = false, silent = false, badTempo = false, inverted = false,
         zeroLoop = false, jumpedBack = false, toggled = false;
    double lastPos = 0.0;
    bool lastPlaying = false;
    for (int i = 0; i < 200000; ++i) {
        const BlockPlan plan = transport.Next(injected);
        zero |= plan.frames == 0;
        one |= plan.frames == 1;
        odd |= plan.frames > 1 && plan.frames % 2 == 1;
        huge |= plan.frames == SoakPlugin::kMaxFrames;
        silent |= !plan.answersTime;
        const VstTimeInfo& t = plan.time;
        badTempo |= !(t.tempo > 0.0) || t.tempo > 1e6;
        const bool cycle = (t.flags & kVstCyclePosValid) && (t.flags & kVstTransportCycleActive);
        inverted |= cycle && t.cycleStartPos > t.cycleEndPos;
        zeroLoop |= cycle && t.cycleStartPos == t.cycleEndPos;
        jumpedBack |= t.samplePos < lastPos - 1.0;
        const bool playing = (t.flags & kVstTransportPlaying) != 0;
        toggled |= i > 0 && playing != lastPlaying;
        lastPos = t.samplePos;
        lastPlaying = playing;
    }
    EXPECT_TRUE(zero && one && odd && huge);
    EXPECT_TRUE(silent);
    EXPECT_TRUE(badTempo);
    EXPECT_TRUE(inverted && zeroLoop);
    EXPECT_TRUE(jumpedBack && toggled);
    EXPECT_GT(injected.oddTransport, 0u);
    EXPECT_GT(injected.oddBlockSizes, 0u);
}

TEST(PresetShelf, PresetFilesCarryTheHeaderThenTheState) {
    std::vector<uint8_t> chunk = {0x74, 0x66, 0x66, 0x70, 0, 0, 1, 0};
    for (int i = 0; i < 100; ++i) chunk.push_back(static_cast<uint8_t>(i));
    const std::vector<uint8_t> bytes = PresetShelf::PresetBytes(chunk, "Name");
    ASSERT_EQ(bytes.size(), 606u + 100u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data() + 8)), "Name");
    EXPECT_EQ(bytes[8 + 32], 0);  // the name's field ends in zero
    EXPECT_TRUE(std::equal(chunk.begin() + 8, chunk.end(), bytes.begin() + 606));

    const auto path = std::filesystem::temp_directory_path() / ("sorel-shelf-" + std::to_string(getpid()) + ".v2z");
    ASSERT_TRUE(PresetShelf::WriteGzip(path.string(), bytes));
    gzFile file = gzopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    std::vector<uint8_t> read(bytes.size() + 10);
    const int got = gzread(file, read.data(), static_cast<unsigned>(read.size()));
    gzclose(file);
    std::filesystem::remove(path);
    ASSERT_EQ(got, static_cast<int>(bytes.size()));
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), read.begin()));
}

// --- on the real module ------------------------------------------------------

class OnTheModule : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        char pattern[] = "/tmp/sorel-soak-test-XXXXXX";
        dataHome_ = mkdtemp(pattern);
        setenv("XDG_DATA_HOME", dataHome_.c_str(), 1);
        const char* path = std::getenv("SOREL_MODULE_PATH");
        module_ = new Module(path ? path : "");
    }
    static void TearDownTestSuite() {
        std::error_code ignored;
        std::filesystem::remove_all(dataHome_, ignored);
    }
    void SetUp() override { ASSERT_NE(module_->Entry(), nullptr) << module_->Error(); }

    static inline std::string dataHome_;
    static inline Module* module_ = nullptr;  // stays loaded, as a host keeps it
};

constexpr int kChord[] = {36, 40, 43};

int NoteOnsOf(const std::vector<SentEvent>& events, std::vector<int>* keys = nullptr) {
    int count = 0;
    for (const SentEvent& e : events) {
        if ((e.status & 0xF0) != 0x90 || e.data2 == 0) continue;
        ++count;
        if (keys) keys->push_back(e.data1);
    }
    return count;
}

TEST_F(OnTheModule, AKnownChordGivesTheKnownArpeggio) {
    SoakPlugin plugin(module_->Entry());
    ASSERT_TRUE(plugin.Valid());
    std::vector<int> keys;
    const auto events = PlayKnownChord(plugin);
    // Sixteenths at 120 beats per minute are 6000 samples apart: the chord is
    // held for 96 blocks of 512, so steps 0 to 8 sound, low to high.
    ASSERT_EQ(NoteOnsOf(events, &keys), 9);
    for (size_t i = 0; i < keys.size(); ++i) EXPECT_EQ(keys[i], kChord[i % 3]) << i;
    plugin.WithChecker([](MidiOutChecker& c) {
        EXPECT_EQ(c.SoundingNotes(), 0);
        EXPECT_EQ(c.FaultCount(), 0u);
        return 0;
    });
}

TEST_F(OnTheModule, TheComparisonSeesAChangedSetting) {
    SoakPlugin changed(module_->Entry());
    SoakPlugin fresh(module_->Entry());
    // One octave up through the host's text entry: every note moves.
    ASSERT_EQ(changed.Dispatch(effString2Parameter, param::kTranspose, 0, const_cast<char*>("12")), 1);
    const auto a = PlayKnownChord(changed);
    const auto b = PlayKnownChord(fresh);
    ASSERT_EQ(NoteOnsOf(a), NoteOnsOf(b));
    EXPECT_NE(a, b);
}

TEST_F(OnTheModule, KeysNeverReleasedShowAsSoundingNotes) {
    SoakPlugin plugin(module_->Entry());
    HostileMidi midi(1);
    plugin.SetTime(HostileTransport::Ordinary(true), true);
    plugin.Deliver(midi.Notes({{0x90, 36, 100}, {0x90, 40, 100}}, 0));
    for (int i = 0; i < 40; ++i) plugin.Process(512);
    plugin.Deliver(midi.Notes({{0x90, 100, 100}}, 0));  // no key area takes it: passed through
    plugin.Process(512);
    const int sounding = plugin.WithChecker([](MidiOutChecker& c) { return c.SoundingNotes(); });
    EXPECT_GE(sounding, 1);
}

TEST_F(OnTheModule, AShortStormLeavesNoFault) {
    SoakOptions options;
    options.seconds = 60.0;
    options.maxBlocks = 3000;
    options.seed = 3;
    options.dataRoot = dataHome_ + "/Vardo/Sorel/";
    const SoakReport report = SoakRun(module_->Entry(), options).Run();
    std::ostringstream text;
    report.Print(text);
    EXPECT_TRUE(report.Passed()) << text.str();
    EXPECT_EQ(report.blocks, 3000);
    EXPECT_GT(report.injected.Faults(), 100u);
}

}  // namespace
}  // namespace sorel::soak
