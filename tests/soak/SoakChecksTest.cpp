// The soak's checks must be able to fail: the MIDI checker catches every kind
// of bad output and every note left sounding, and on the real module the
// comparison with a fresh instance sees a changed setting.
#include <gtest/gtest.h>

#include "engine/ParameterIndex.h"
#include "persistence/TempDataHome.h"
#include "soak/SoakRun.h"
#include "support/TestHost.h"

namespace sorel::soak {
namespace {

using test::MidiOutChecker;

TEST(MidiOutChecker, FlagsEveryBadByteOffsetTimingAndSoundingNote) {
    const struct {
        int frames;  // -1: outside any block
        int offset;
        uint8_t status, data1, data2;
        uint64_t faults;
    } cases[] = {
        {64, 0, 0x90, 60, 100, 0}, {64, 63, 0xA0, 60, 127, 0}, {64, 10, 0xEF, 127, 127, 0}, {0, 0, 0xB0, 123, 0, 0},
        {64, 0, 0x7F, 1, 1, 1},    {64, 0, 0xF8, 0, 0, 1},     {64, 0, 0x90, 128, 1, 1},    {64, 0, 0x90, 1, 200, 1},
        {64, -1, 0x90, 60, 1, 1},  {64, 64, 0xA0, 60, 0, 1},   {0, 1, 0xB0, 123, 0, 1},     {-1, 0, 0x90, 60, 100, 1},
    };
    for (const auto& c : cases) {
        MidiOutChecker checker;
        if (c.frames >= 0) checker.BeginBlock(c.frames);
        checker.InspectMidi(c.offset, c.status, c.data1, c.data2);
        EXPECT_EQ(checker.FaultCount(), c.faults) << std::hex << int(c.status) << " " << int(c.data1) << " "
                                                  << int(c.data2) << std::dec << " at " << c.offset;
    }
    MidiOutChecker noisy;
    noisy.InspectSilence(false);
    EXPECT_EQ(noisy.FaultCount(), 1u);
    // A note ended on another channel than its own still sounds.
    MidiOutChecker hanging;
    hanging.BeginBlock(64);
    hanging.InspectMidi(0, 0x90, 60, 100);
    hanging.InspectMidi(1, 0x81, 60, 0);
    hanging.ReportSoundingNotes();
    EXPECT_EQ(hanging.FaultCount(), 2u) << "and the note-off ended nothing";
}

// Of its own notes, the plug-in sends no second note-on of a sounding key and
// no note-off that ends nothing; what the host sent may come back as it was,
// or moved up onto a scale.
TEST(MidiOutChecker, FlagsOverlappingNotesOfThePluginsOwn) {
    struct Midi {
        uint8_t status, key;
    };
    const struct {
        const char* what;
        std::vector<Midi> fromHost, sent;
        uint64_t faults;
    } cases[] = {
        {"one note", {}, {{0x90, 60}, {0x80, 60}}, 0},
        {"a second note-on", {}, {{0x90, 60}, {0x90, 60}, {0x80, 60}}, 1},
        {"a note-off that ends nothing", {}, {{0x90, 60}, {0x80, 60}, {0x80, 60}}, 1},
        {"the host's double note-on passed on", {{0x90, 60}}, {{0x90, 60}, {0x90, 60}, {0x80, 60}}, 0},
        {"the host's stray note-off moved onto a scale", {{0x80, 58}}, {{0x80, 60}}, 0},
        {"a host note-off out of the scale's reach", {{0x80, 48}}, {{0x80, 60}}, 1},
        {"a host note-on on another channel", {{0x91, 60}}, {{0x90, 60}, {0x90, 60}}, 1},
    };
    for (const auto& c : cases) {
        MidiOutChecker checker;
        for (const Midi& m : c.fromHost) checker.HostNote(m.status, m.key, m.status >= 0x90 ? 100 : 0);
        checker.BeginBlock(64);
        for (const Midi& m : c.sent) checker.InspectMidi(0, m.status, m.key, m.status >= 0x90 ? 100 : 0);
        EXPECT_EQ(checker.FaultCount(), c.faults) << c.what;
    }
}

TEST(SoakComparison, SeesAChangedSetting) {
    const test::TempDataHome dataHome;
    test::TestHost changed, fresh;
    ASSERT_TRUE(changed.CreateAndOpen() && fresh.CreateAndOpen());
    // One octave up through the host's text entry: the first area's notes move.
    ASSERT_TRUE(changed.SetParameterText(param::kTranspose, "12"));
    const auto moved = PlayKnownPassage(changed);
    ASSERT_FALSE(test::NoteOns(moved).empty());
    EXPECT_NE(moved, PlayKnownPassage(fresh));
}

}  // namespace
}  // namespace sorel::soak
