// What the notes that go out carry: velocities a synth takes as notes, the
// note-off of a passed-through key for the very note that went out, and the
// chords of every key held in "CM Trigger" mode.
#include <set>

#include "PluginFixture.h"

namespace sorel::test {
namespace {

using namespace sorel::param;

constexpr int kAreaKey = 36;  // the lowest key of key area 1

class OutputNotesTest : public PluginTest {
protected:
    // Holds `keys` (key, velocity) on key area 1 for `steps` steps, then lets them go.
    std::vector<SentMidi> Hold(const std::vector<std::pair<int, int>>& keys, int steps) {
        host->ClearSent();
        host->transport.playing = true;
        for (const auto& [key, velocity] : keys) host->NoteOn(0, 1, key, velocity);
        host->ProcessBlocks(steps * kSamplesPerStep / kBlock, kBlock);
        for (const auto& key : keys) host->NoteOff(0, 1, key.first);
        host->ProcessBlocks(2 * kSamplesPerStep / kBlock, kBlock);
        return host->Sent();
    }
};

// Key C2 velocity 1 arrives first, C3 velocity 127 second: "First" takes
// C3's, "Last" C2's, "Average" 64. Accent and area volume add up to 127
// each, then the global volume moves the result by its distance from 64.
TEST_F(OutputNotesTest, NoNoteOnGoesOutWithVelocityZeroOrAbove127) {
    const struct {
        const char* mode;
        int accent;
        const char* volume;
        int global;
        std::set<int> velocities;
    } cases[] = {
        {"Max", 100, "1", 127, {127}},    {"Max", -100, "-1", 0, {1}},       {"Note", 100, "1", 127, {127}},
        {"Note", -100, "-1", 0, {1}},     {"Note", 100, "1", 0, {63}},       {"Note", -100, "-1", 127, {63}},
        {"Note", 0, "0", 0, {1, 63}},     {"Note", 0, "0", 127, {64, 127}},  {"First", 0, "0", 127, {127}},
        {"Last", -100, "0", 64, {1}},     {"Average", 0, "-1", 64, {1}},     {"Average", 0, "1", 127, {127}},
    };
    for (const auto& [mode, accent, volume, global, velocities] : cases) {
        SCOPED_TRACE(testing::Message() << mode << " " << accent << " " << volume << " " << global);
        SetText(kVelocityMode, mode);
        for (int step = 0; step < kSteps; ++step) Set(kStepAccent + step, accent);
        SetText(kAreaVolume, volume);
        Set(kGlobalVolume, global);
        std::set<int> heard;
        for (const SentMidi& m : Hold({{kAreaKey, 1}, {kAreaKey + 12, 127}}, 4))
            if (m.Kind() == 9) heard.insert(m.data2);
        EXPECT_EQ(heard, velocities);
    }
}

// Keys no area takes pass through, moved onto key area 1's scale; their
// note-off ends the note that went out, whatever changed while they were held.
TEST_F(OutputNotesTest, APassedThroughNoteOffEndsTheNoteThatWentOut) {
    constexpr int kCSharp = 73, kDSharp = 75;
    const struct {
        int key;
        const char* scale;
        int transposeAll;
        int changed;  // the parameter changed while the key is held, -1 for none
        const char* to;
        bool offAsNoteOn;  // released with a note-on of velocity 0
        int sent;
    } cases[] = {
        {kCSharp, "Major", 1, -1, "", false, 74},
        {kCSharp, "Major", 1, -1, "", true, 74},
        {kCSharp, "Major", 1, kScaleKey, "D", false, 74},
        {kDSharp, "Minor", 1, kScale, "Major", false, 75},
        {kCSharp, "Major", 1, kTransposeAllOutputNotes, "0", false, 74},
        {kCSharp, "Major", 0, kTransposeAllOutputNotes, "1", false, 73},
    };
    for (const auto& [key, scale, transposeAll, changed, to, offAsNoteOn, sent] : cases) {
        SCOPED_TRACE(testing::Message() << key << " " << scale << " " << changed << " " << to << " " << offAsNoteOn);
        SetText(kScale, scale);
        SetText(kScaleKey, "C");
        Set(kTransposeAllOutputNotes, transposeAll);
        host->ClearSent();
        host->NoteOn(5, 1, key, 100);
        host->ProcessBlock(kBlock);
        if (changed >= 0) SetText(changed, to);
        if (offAsNoteOn) host->NoteOn(7, 1, key, 0);
        else host->NoteOff(7, 1, key);
        host->ProcessBlock(kBlock);
        const auto all = host->Sent();
        ASSERT_EQ(all.size(), 2u);
        EXPECT_TRUE(all[0].IsNoteOn() && all[1].IsNoteOff());
        EXPECT_EQ(all[0].data1, sent);
        EXPECT_EQ(all[1].data1, sent);
        EXPECT_EQ(UnendedNotes(all), "");
    }
}

// "CM Trigger" builds each held key's chord-memory chord (slot = key - the
// area's lowest key) on that key and plays the merge of them all, each note
// once: Lo-Hi plays the merged chord upwards.
TEST_F(OutputNotesTest, TriggeredChordsOfSeveralHeldKeysMerge) {
    for (const auto& [slot, shape] : {std::pair{0, "Major"}, {7, "Minor"}, {12, "Major"}}) {
        SetText(kChordMemorySelection, std::to_string(slot + 1));
        SetText(kChordMemoryApplyChordSelection, shape);
        Set(kCmApply, 1);
        Set(kCmApply, 0);
    }
    Set(kCmTrigger, 1);
    const struct {
        std::vector<int> keys;
        std::vector<int> played;
    } cases[] = {
        {{36}, {24, 36, 40, 43, 48}},
        {{43}, {31, 43, 46, 50, 55}},
        {{36, 43}, {24, 31, 36, 40, 43, 46, 48, 50, 55}},
        {{43, 36}, {24, 31, 36, 40, 43, 46, 48, 50, 55}},
        {{36, 48}, {24, 36, 40, 43, 48, 52, 55, 60}},
        {{36, 37}, {24, 36, 40, 43, 48}},  // slot 2 holds no chord
        {{36, 43, 48}, {24, 31, 36, 40, 43, 46, 48, 50, 52, 55, 60}},
    };
    for (const auto& [keys, played] : cases) {
        SCOPED_TRACE(testing::Message() << keys.size() << " keys from " << keys[0]);
        std::vector<std::pair<int, int>> held;
        for (int key : keys) held.emplace_back(key, 100);
        std::vector<int> notes;
        for (const SentMidi& m : NoteOns(Hold(held, int(played.size()))))
            notes.push_back(m.data1);
        notes.resize(std::min(notes.size(), played.size()));
        EXPECT_EQ(notes, played);
    }
}

}  // namespace
}  // namespace sorel::test
