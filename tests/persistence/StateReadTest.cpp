// The state reader on hand-built states of every version, hostile or cut
// short, and the applier: what each source restores, how long it holds the lock.
#include <gtest/gtest.h>

#include <random>

#include "persistence/ModelTarget.h"
#include "persistence/StateApplier.h"
#include "persistence/StateReader.h"
#include "persistence/StateWriter.h"

namespace sorel {
namespace {

using test::ModelTarget;

const std::vector<ParameterRange>& Ranges() { return test::ModelRanges(); }

double& Param(PluginState& state, int index) { return state.parameters[static_cast<size_t>(index)]; }
double Param(const StateImage& image, int index) { return image.state.parameters[static_cast<size_t>(index)]; }

// A state with something other than the reset value in every field.
PluginState RichState() {
    std::mt19937 random(7);
    PluginState state;
    test::FillStructures(state);
    for (const auto& range : Ranges()) {
        const double fraction = static_cast<double>(random() % 1000) / 999.0;
        const double value = range.minimum + (range.maximum - range.minimum) * fraction;
        state.parameters.push_back(range.roundsToStep ? std::round(value) : value);
    }
    return state;
}

StateChunk Written(const PluginState& state) {
    StateChunk chunk;
    WriteState(chunk, state);
    return chunk;
}

// The state behind another version word (none: no word at all), with or
// without the ORDER field that versions 1 and 2 lack; before version 6
// without the appended parameters and the PROB lane's loops.
StateChunk Rewritten(const PluginState& state, std::optional<int32_t> word, bool orderField = true,
                     bool withChance = false) {
    PluginState older = state;
    if (!withChance) older.parameters.resize(param::kFirstAppended);
    const StateChunk full = Written(older);
    const size_t probLoops = static_cast<size_t>(kProbLoopCount) * 9;
    const size_t orderAt = full.Size() - probLoops - older.parameters.size() * 8 - 8;
    StateChunk chunk;
    if (word) chunk.PutInt32(*word);
    chunk.PutBytes(full.Data() + 4, orderAt - 4);
    if (orderField) chunk.PutBytes(full.Data() + orderAt, 8);
    chunk.PutBytes(full.Data() + orderAt + 8, full.Size() - orderAt - 8 - (withChance ? 0 : probLoops));
    return chunk;
}

TEST(StateRead, VersionWordRules) {
    PluginState written = RichState();
    written.boxInfo.name = "";  // the word 0 is read again as the reserved byte and the name
    Param(written, param::kSceneEnd + 2) = 4;
    Param(written, param::kKeyAreaBaseNote + 1) = 30;
    Param(written, param::PerStep(param::kStepOnOff, 1, 3, 7)) = 0.0;
    const int lanes[] = {param::LaneSwitch(1, 3, 0, 7), param::LaneSwitch(1, 3, 4, 7), param::LaneSwitch(1, 3, 9, 7)};
    for (int lane : lanes) Param(written, lane) = lane == lanes[0] ? 1.0 : 0.0;
    const int chance = param::PerStep(param::kStepProb, 2, 5, 9), humanize = param::kHumanize + 30;
    Param(written, chance) = 25.0;
    Param(written, humanize) = 40.0;
    // No word: a state without one; no version: rejected.
    const struct { std::optional<int32_t> word, version; } cases[] = {
        {std::nullopt, 1}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6},
        {0x05000000, 5}, {0x01000000, 1}, {0x06000000, 6},  // written big-endian
        {7, {}}, {100, {}}, {101, {}}, {-1, {}}, {0x07000000, {}}, {0x7fffffff, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.word ? std::to_string(*c.word) : "no word");
        const bool withChance = c.version == 6 || !c.version;
        const auto image =
            ReadState(Rewritten(written, c.word, !c.version || *c.version >= 3, withChance), 0, Ranges());
        ASSERT_EQ(image.has_value(), c.version.has_value());
        if (!image) continue;
        EXPECT_EQ(image->version, *c.version);
        EXPECT_EQ(image->state.boxInfo.author, "Ilse K.");
        // Before version 6 every step is sure, nothing humanized, the PROB loops span the pattern.
        PluginState expected = written;
        if (!withChance) std::fill(expected.laneLoops.begin() + kLaneLoopCount, expected.laneLoops.end(), LaneLoop{});
        EXPECT_EQ(image->state.laneLoops, expected.laneLoops);
        EXPECT_EQ(Param(*image, chance), withChance ? 25.0 : 100.0);
        EXPECT_EQ(Param(*image, humanize), withChance ? 40.0 : 0.0);
        // Older versions kept key-area notes two octaves lower, had no scene end and
        // no lane switches: ORDER follows the step, lanes 1-8 play, controller lanes keep theirs.
        const int v = *c.version;
        EXPECT_EQ(Param(*image, param::kKeyAreaBaseNote + 1), v <= 4 ? 54 : 30);
        EXPECT_EQ(Param(*image, param::kSceneEnd + 2), v == 1 ? 16 : 4);
        const std::vector<double> read = {Param(*image, lanes[0]), Param(*image, lanes[1]), Param(*image, lanes[2])};
        EXPECT_EQ(read, (v <= 2 ? std::vector<double>{0, 1, 0} : std::vector<double>{1, 0, 0}));
    }
}

// Version 3 has the ORDER field only when the value after the two switches
// lies within 0..1; versions 1 and 2 never have it.
TEST(StateRead, TheOrderFieldIsReadOnlyWhereItsVersionHasIt) {
    struct Case { int32_t version; bool orderField; double firstParameter, orderRead; };
    for (const Case& c : {Case{3, false, 90.0, 0.0}, Case{3, true, 90.0, 1.0}, Case{2, false, 0.5, 0.0}}) {
        SCOPED_TRACE(testing::Message() << c.version << c.orderField);
        PluginState written = RichState();
        Param(written, param::kGlobalVolume) = c.firstParameter;
        const auto image = ReadState(Rewritten(written, c.version, c.orderField), 0, Ranges());
        ASSERT_TRUE(image.has_value());
        EXPECT_EQ(image->state.useOnlyOrderOnOff, c.orderRead);
        EXPECT_EQ(Param(*image, param::kGlobalVolume), c.firstParameter);
        for (int gate : {param::kGate + 5, param::kGate + 47}) EXPECT_EQ(Param(*image, gate), Param(written, gate));
        EXPECT_EQ(image->parametersAssigned, param::kFirstAppended);
    }
}

TEST(StateRead, HostileValuesAreHeldToTheirRanges) {
    const int32_t ccWritten[] = {128, -2, 127}, ccRead[] = {-1, -1, 127};
    // A bad loop range resets to the whole lane; the enabled flag is still the stored one.
    const LaneLoop loopWritten[] = {{5, 5, true}, {-1, 10, true}, {3, 33, false}, {31, 32, false}};
    const LaneLoop loopRead[] = {{0, 32, true}, {0, 32, true}, {0, 32, false}, {31, 32, false}};
    const struct { int index; double written, read; } params[] = {
        {param::kGate, 1e300, 100.0}, {param::kSwing, std::nan(""), 0.0}, {param::kStepTranspose, -1e9, -24.0}};
    PluginState written = RichState();
    for (size_t i = 0; i < 3; ++i) written.stepCcNumbers[i] = ccWritten[i];
    for (size_t i = 0; i < 4; ++i) written.laneLoops[i] = loopWritten[i];
    for (const auto& p : params) Param(written, p.index) = p.written;
    const auto image = ReadState(Written(written), 0, Ranges());
    ASSERT_TRUE(image.has_value());
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(image->state.stepCcNumbers[i], ccRead[i]) << i;
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(image->state.laneLoops[i], loopRead[i]) << i;
    for (const auto& p : params) EXPECT_EQ(Param(*image, p.index), p.read) << p.index;  // not a number: the default
}

// Where each field of a state ends.
struct Layout {
    size_t texts[4], bankName, chordCount, ccNumbers, loops, switches, parameters, probLoops;
    std::vector<size_t> chordRecords;
};

Layout LayoutOf(const PluginState& state) {
    Layout layout{};
    size_t at = 5;
    const size_t widths[] = {33, 51, 255, 255};
    for (int i = 0; i < 4; ++i) layout.texts[i] = at += widths[i];
    layout.bankName = at += 32;
    layout.chordCount = at += 4;
    for (const auto& slot : state.chords.slots) layout.chordRecords.push_back(at += 8 + 4 * slot.notes.size());
    layout.ccNumbers = at += 32 * 4;
    layout.loops = at += static_cast<size_t>(kLaneLoopCount) * 9;
    layout.switches = at += 24;
    layout.parameters = at += state.parameters.size() * 8;
    layout.probLoops = at + static_cast<size_t>(kProbLoopCount) * 9;
    return layout;
}

// What a state cut at `cut` reads as: every field held in full, the reset
// values of the others, and the editor's selections at their start.
StateImage CutImage(const PluginState& w, const Layout& l, size_t cut) {
    StateImage image;
    PluginState& e = image.state;
    for (const auto& range : Ranges()) e.parameters.push_back(range.defaultValue);
    std::string BoxInfo::*texts[] = {&BoxInfo::name, &BoxInfo::author, &BoxInfo::description, &BoxInfo::usage};
    for (int i = 0; i < 4; ++i) if (cut >= l.texts[i]) e.boxInfo.*texts[i] = w.boxInfo.*texts[i];
    if (cut >= l.bankName) e.chordBankName = w.chordBankName;
    for (size_t slot = 0, start = l.chordCount; slot < kChordSlots; start = l.chordRecords[slot++]) {
        if (cut < start + 8) break;
        const ChordSlotData& stored = w.chords.slots[slot];
        const auto notes = static_cast<long>(std::min(stored.notes.size(), (cut - start - 8) / 4));
        e.chords.slots[slot] = {stored.baseNote, {stored.notes.begin(), stored.notes.begin() + notes}};
    }
    image.stepCcNumbersRead = cut >= l.ccNumbers;
    if (image.stepCcNumbersRead) e.stepCcNumbers = w.stepCcNumbers;
    const size_t loops = cut < l.ccNumbers ? 0 : std::min<size_t>((cut - l.ccNumbers) / 9, kLaneLoopCount);
    std::copy_n(w.laneLoops.begin(), loops, e.laneLoops.begin());
    image.laneLoopsRead = static_cast<int>(loops);
    if (cut >= l.loops + 8) e.enableMidiNoteNames = w.enableMidiNoteNames;
    if (cut >= l.switches) e.useOnlyOrderOnOff = w.useOnlyOrderOnOff;
    // A block cut inside gives its first missing parameter 0.0, clamped.
    const size_t complete = cut < l.switches ? 0 : std::min<size_t>((cut - l.switches) / 8, param::kCount);
    std::copy_n(w.parameters.begin(), complete, e.parameters.begin());
    if (cut >= l.switches && complete < param::kCount) e.parameters[complete] = Ranges()[complete].Clamp(0.0);
    image.parametersAssigned = cut < l.switches ? 0 : static_cast<int>(std::min<size_t>(complete + 1, param::kCount));
    const size_t probLoops = cut < l.parameters ? 0 : std::min<size_t>((cut - l.parameters) / 9, kProbLoopCount);
    std::copy_n(w.laneLoops.begin() + kLaneLoopCount, probLoops, e.laneLoops.begin() + kLaneLoopCount);
    image.laneLoopsRead += static_cast<int>(probLoops);
    for (int index : {param::kSelectionTool, param::kKeyAreaSelection, param::kKeyAreaPatterns,
                      param::kKeyAreaPatterns + 1, param::kKeyAreaPatterns + 2, param::kKeyAreaPatterns + 3,
                      param::kPatternStepMode, param::kChordMemorySelection, param::kCcTeachSelection})
        Param(e, index) = 0.0;
    Param(e, param::kDrawTool) = 1.0;
    return image;
}

TEST(StateRead, StatesCutAtEveryFieldBoundaryKeepTheResetValuesOfWhatIsMissing) {
    const PluginState written = RichState();
    const Layout l = LayoutOf(written);
    std::vector<size_t> boundaries = {5,          l.bankName,   l.chordCount,        l.ccNumbers, l.loops,
                                      l.switches, l.parameters, l.parameters + 9 * 7, l.probLoops};
    boundaries.insert(boundaries.end(), std::begin(l.texts), std::end(l.texts));
    boundaries.insert(boundaries.end(), l.chordRecords.begin(), l.chordRecords.end());
    for (int loop : {1, 400, kLaneLoopCount - 1}) boundaries.push_back(l.ccNumbers + static_cast<size_t>(loop) * 9);
    for (size_t k : {1, 2, 2000, 56000}) boundaries.push_back(l.switches + k * 8);
    const StateChunk full = Written(written);
    for (size_t boundary : boundaries) {
        for (size_t cut : {boundary - 1, boundary, boundary + 1}) {
            if (cut > l.probLoops) continue;
            SCOPED_TRACE("cut at " + std::to_string(cut));
            const auto image = ReadState(StateChunk({full.Data(), cut}), 0, Ranges());
            ASSERT_TRUE(image.has_value());
            const StateImage expected = CutImage(written, l, cut);
            EXPECT_TRUE(image->state == expected.state);
            EXPECT_EQ(std::tie(image->stepCcNumbersRead, image->laneLoopsRead, image->parametersAssigned),
                      std::tie(expected.stepCcNumbersRead, expected.laneLoopsRead, expected.parametersAssigned));
        }
    }
}

StateImage ImageOf(ModelTarget& source, size_t cut = SIZE_MAX) {
    const StateChunk chunk = Written(CaptureState(source, ""));
    return *ReadState(StateChunk({chunk.Data(), std::min(cut, chunk.Size())}), 0, Ranges());
}

// Locked parameters keep their value through presets and through the reset
// of a short chunk; the MIDI-learn map belongs to the player, not to presets.
// Tool and menu actions are never replayed, nor is the editor resized, nor
// a controller taught by refreshing the teach selection.
TEST(StateApply, WhatEachSourceRestoresAndWhatIsNeverReplayed) {
    constexpr int kLocked = param::kGate + 4, kFree = param::kGate + 1, kMapped = param::kControllerMap + 7;
    const size_t actions[] = {param::kPasteTool, param::kPanicTool,   param::kBoxLeft, param::kMidiLearnMenu,
                              param::kResize,    param::kRandomize,   param::kCmClearTool, param::kCcTeach,
                              param::kBoxInfo,   param::kCcTeachSelection};
    ModelTarget source;
    for (size_t at : actions) source.values[at] = 1;
    source.values[kLocked] = 55;
    source.values[kFree] = -30;
    source.values[kMapped] = 1234;
    const struct {
        LoadSource load;
        size_t cut;  // of the state: 5 holds nothing but the version word and reserved byte
        double locked, free, mapped;
    } rows[] = {
        {LoadSource::PresetFile, SIZE_MAX, -70, -30, 17080},
        {LoadSource::HostChunk, SIZE_MAX, 55, -30, 1234},
        {LoadSource::PresetFile, 5, -70, -10, 17080},
        {LoadSource::HostChunk, 5, -70, -10, -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(row.load) << " " << row.cut);
        ModelTarget player;
        player.keep[kLocked] = true;
        player.values[kLocked] = -70;
        player.values[kFree] = 20;
        player.values[kMapped] = 17080;
        ApplyState(player, ImageOf(source, row.cut), row.load);
        EXPECT_EQ(std::tie(player.values[kLocked], player.values[kFree], player.values[kMapped]),
                  std::tie(row.locked, row.free, row.mapped));
        for (size_t at : actions) EXPECT_EQ(std::pair(player.applied[at], player.values[at]), std::pair(0, 0.0)) << at;
        EXPECT_EQ(player.applied[param::kGate + 3], 1) << "ordinary parameters reach the engine once";
        EXPECT_EQ(player.applied[param::kDrawTool], 1);
    }
}

TEST(StateApply, EveryLockHoldStaysShort) {
    ModelTarget source;
    const StateImage image = ImageOf(source);
    ModelTarget player;
    ApplyState(player, image, LoadSource::PresetFile);
    EXPECT_LE(player.mostCallsInOneHold, kParametersStoredPerHold);
    EXPECT_GT(player.mostCallsInOneHold, kParametersStoredPerHold / 2);
    EXPECT_LE(player.mostAppliesInOneHold, kParametersAppliedPerHold) << "engine calls take longer than copies";
    EXPECT_GT(player.mostAppliesInOneHold, kParametersAppliedPerHold / 2);
}

}  // namespace
}  // namespace sorel
