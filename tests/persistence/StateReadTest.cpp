// The state reader on hand-built states: version words, field positions,
// conversions of older versions, and states cut short anywhere.
#include <gtest/gtest.h>

#include <random>

#include "persistence/ModelTarget.h"
#include "persistence/StateReader.h"
#include "persistence/StateWriter.h"

namespace sorel {
namespace {

const std::vector<ParameterRange>& Ranges() {
    static const std::vector<ParameterRange> ranges = test::ModelRanges();
    return ranges;
}

double& Param(PluginState& state, int index) { return state.parameters[static_cast<size_t>(index)]; }
double Param(const StateImage& image, int index) { return image.state.parameters[static_cast<size_t>(index)]; }

// A state with something other than the reset value in every kind of field.
PluginState RichState(unsigned seed = 7) {
    std::mt19937 random(seed);
    PluginState state;
    state.boxInfo.Set("Night Bus", "Ilse K.", "Walking bass over two octaves", "Hold a chord with the left hand");
    state.chordBankName = "Jazz voicings";
    state.chords.slots[0] = {12, {0, 4, 7, 11}};
    state.chords.slots[9] = {30, {3, 10}};
    for (int i = 0; i < kStepCcNumberCount; ++i) state.stepCcNumbers[static_cast<size_t>(i)] = i % 3 == 0 ? -1 : 20 + i;
    for (size_t i = 0; i < state.laneLoops.size(); ++i) {
        const auto start = static_cast<int32_t>(random() % 31);
        state.laneLoops[i] = {start, start + 1 + static_cast<int32_t>(random() % static_cast<unsigned>(32 - start)),
                              random() % 4 != 0};
    }
    state.enableMidiNoteNames = 1.0;
    state.startNotesImmediately = 0.0;
    state.useOnlyOrderOnOff = 1.0;
    for (const auto& range : Ranges()) {
        const double fraction = static_cast<double>(random() % 1000) / 999.0;
        double value = range.minimum + (range.maximum - range.minimum) * fraction;
        if (range.roundsToStep) value = std::round(value);
        state.parameters.push_back(value);
    }
    return state;
}

// The editor selections a loaded state always ends with.
void ExpectEditorReset(const StateImage& image) {
    EXPECT_EQ(Param(image, param::kDrawTool), 1.0);
    EXPECT_EQ(Param(image, param::kSelectionTool), 0.0);
    EXPECT_EQ(Param(image, param::kKeyAreaSelection), 0.0);
    EXPECT_EQ(Param(image, param::kKeyAreaPatterns + 2), 0.0);
    EXPECT_EQ(Param(image, param::kPatternStepMode), 0.0);
    EXPECT_EQ(Param(image, param::kChordMemorySelection), 0.0);
    EXPECT_EQ(Param(image, param::kCcTeachSelection), 0.0);
}

bool IsEditorSelection(int index) {
    return index == param::kDrawTool || index == param::kSelectionTool || index == param::kKeyAreaSelection ||
           (index >= param::kKeyAreaPatterns && index < param::kKeyAreaPatterns + 4) ||
           index == param::kPatternStepMode || index == param::kChordMemorySelection ||
           index == param::kCcTeachSelection;
}

StateChunk Written(const PluginState& state) {
    StateChunk chunk;
    WriteState(chunk, state);
    return chunk;
}

// The same chunk with its version word replaced (or removed).
StateChunk WithWord(const StateChunk& chunk, std::optional<int32_t> word) {
    StateChunk result;
    if (word) result.PutInt32(*word);
    result.PutBytes(chunk.Data() + 4, chunk.Size() - 4);
    return result;
}

StateChunk Truncated(const StateChunk& chunk, size_t size) {
    return StateChunk({chunk.Data(), std::min(size, chunk.Size())});
}

TEST(StateRead, VersionWordRules) {
    const StateChunk chunk = Written(RichState());
    struct Case {
        std::optional<int32_t> word;
        std::optional<int32_t> version;  // nothing: rejected
    };
    const Case cases[] = {
        {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5},
        {0x05000000, 5}, {0x01000000, 1},         // written big-endian
        {6, {}}, {100, {}}, {101, {}}, {-1, {}}, {0x06000000, {}}, {0x7fffffff, {}},
    };
    for (const auto& c : cases) {
        const auto image = ReadState(WithWord(chunk, c.word), 0, Ranges());
        ASSERT_EQ(image.has_value(), c.version.has_value()) << std::hex << *c.word;
        if (image) {
            EXPECT_EQ(image->version, *c.version) << std::hex << *c.word;
        }
    }
}

TEST(StateRead, ZeroWordIsAVersionOneStateStartingAtItsFirstByte) {
    PluginState written = RichState();
    written.boxInfo.name = "";  // its first bytes are the zero word
    const StateChunk chunk = WithWord(Written(written), std::nullopt);  // reserved byte first
    const auto image = ReadState(chunk, 0, Ranges());
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->version, 1);
    EXPECT_EQ(image->state.boxInfo.author, "Ilse K.");
    EXPECT_EQ(image->state.chords, written.chords);
    EXPECT_EQ(image->state.laneLoops, written.laneLoops);
}

// Versions 1 and 2 lack the ORDER field: the parameters follow the two switches.
StateChunk WithoutOrderField(const PluginState& state, int32_t version) {
    const StateChunk full = Written(state);
    const size_t orderAt = full.Size() - state.parameters.size() * 8 - 8;
    StateChunk chunk;
    chunk.PutInt32(version);
    chunk.PutBytes(full.Data() + 4, orderAt - 4);
    chunk.PutBytes(full.Data() + orderAt + 8, full.Size() - orderAt - 8);
    return chunk;
}

// Version 3 has the ORDER field only when the value after the two switches
// lies within 0..1; versions 1 and 2 never have it.
TEST(StateRead, TheOrderFieldIsReadOnlyWhereItsVersionHasIt) {
    struct Case {
        int32_t version;
        bool orderField;
        double firstParameter;
        double order;  // read back
    };
    for (const Case& c : {Case{3, false, 90.0, 0.0}, Case{3, true, 90.0, 1.0}, Case{2, false, 0.5, 0.0}}) {
        PluginState written = RichState();
        written.useOnlyOrderOnOff = 1.0;
        Param(written, param::kGlobalVolume) = c.firstParameter;
        const StateChunk chunk = c.orderField ? WithWord(Written(written), c.version) : WithoutOrderField(written, c.version);
        const auto image = ReadState(chunk, 0, Ranges());
        ASSERT_TRUE(image.has_value()) << c.version;
        EXPECT_EQ(image->state.useOnlyOrderOnOff, c.order) << c.version << c.orderField;
        EXPECT_EQ(Param(*image, param::kGlobalVolume), c.firstParameter) << c.version << c.orderField;
        for (int gate : {param::kGate + 5, param::kGate + 47})
            EXPECT_EQ(Param(*image, gate), written.parameters[static_cast<size_t>(gate)]) << c.version << c.orderField;
        EXPECT_EQ(image->parametersAssigned, param::kCount) << c.version << c.orderField;
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

// Field boundaries of a version-5 state with the given chord records.
struct Layout {
    size_t texts[4];
    size_t bankName;
    size_t chordCount;
    std::vector<size_t> chordRecords;
    size_t ccNumbers;
    size_t loops;
    size_t switches;
    size_t parameters;
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
    layout.parameters = at + state.parameters.size() * 8;
    return layout;
}

void ExpectCutState(const PluginState& written, const Layout& layout, size_t cut) {
    SCOPED_TRACE("cut at " + std::to_string(cut));
    const auto image = ReadState(Truncated(Written(written), cut), 0, Ranges());
    ASSERT_TRUE(image.has_value());
    const PluginState& read = image->state;
    EXPECT_EQ(read.boxInfo.name, cut >= layout.texts[0] ? written.boxInfo.name : "");
    EXPECT_EQ(read.boxInfo.usage, cut >= layout.texts[3] ? written.boxInfo.usage : "");
    EXPECT_EQ(read.chordBankName, cut >= layout.bankName ? written.chordBankName : "");
    for (size_t slot = 0; slot < kChordSlots; ++slot) {
        const size_t recordStart = slot == 0 ? layout.chordCount : layout.chordRecords[slot - 1];
        if (cut >= layout.chordRecords[slot]) {
            EXPECT_EQ(read.chords.slots[slot], written.chords.slots[slot]) << slot;
        } else if (cut < recordStart + 8) {
            EXPECT_EQ(read.chords.slots[slot], ChordSlotData{}) << slot;
        }
    }
    EXPECT_EQ(image->stepCcNumbersRead, cut >= layout.ccNumbers);
    const int loopsRead = cut < layout.ccNumbers ? 0 : static_cast<int>((cut - layout.ccNumbers) / 9);
    EXPECT_EQ(image->laneLoopsRead, std::min(loopsRead, kLaneLoopCount));
    for (int i = 0; i < kLaneLoopCount; i += 97) {
        const LaneLoop expected = i < loopsRead ? written.laneLoops[static_cast<size_t>(i)] : LaneLoop{};
        EXPECT_EQ(read.laneLoops[static_cast<size_t>(i)].start, expected.start) << i;
        EXPECT_EQ(read.laneLoops[static_cast<size_t>(i)].end, expected.end) << i;
    }
    EXPECT_EQ(read.enableMidiNoteNames, cut >= layout.loops + 8 ? 1.0 : 0.0);
    EXPECT_EQ(read.useOnlyOrderOnOff, cut >= layout.switches ? 1.0 : 0.0);
    // A block cut inside gives its first missing parameter 0.0, clamped.
    const int complete = cut < layout.switches ? -1 : static_cast<int>((cut - layout.switches) / 8);
    const int assigned = complete < 0 ? 0 : std::min(complete + 1, param::kCount);
    EXPECT_EQ(image->parametersAssigned, assigned);
    if (complete >= 0 && complete < param::kCount && !IsEditorSelection(complete)) {
        EXPECT_EQ(Param(*image, complete), Ranges()[static_cast<size_t>(complete)].Clamp(0.0));
    }
    for (int index : {param::kGlobalVolume, param::kGate + 3, param::kSwing + 40, 30000, param::kCount - 1}) {
        const double expected = index < complete ? written.parameters[static_cast<size_t>(index)]
                                : index == complete ? Ranges()[static_cast<size_t>(index)].Clamp(0.0)
                                                    : Ranges()[static_cast<size_t>(index)].defaultValue;
        EXPECT_EQ(Param(*image, index), expected) << index;
    }
    ExpectEditorReset(*image);
}

TEST(StateRead, StatesCutAtEveryFieldBoundaryKeepTheResetValuesOfWhatIsMissing) {
    const PluginState written = RichState();
    const Layout layout = LayoutOf(written);
    std::vector<size_t> boundaries = {0, 1, 3, 4, 5, layout.bankName, layout.chordCount, layout.ccNumbers,
                                      layout.loops, layout.switches, layout.parameters};
    boundaries.insert(boundaries.end(), std::begin(layout.texts), std::end(layout.texts));
    boundaries.insert(boundaries.end(), layout.chordRecords.begin(), layout.chordRecords.end());
    for (int loop : {1, 2, 400, kLaneLoopCount - 1}) boundaries.push_back(layout.ccNumbers + static_cast<size_t>(loop) * 9);
    for (size_t k : {1, 2, 8, 2000, 56000}) boundaries.push_back(layout.switches + k * 8);
    for (size_t boundary : boundaries) {
        for (size_t cut : {boundary - (boundary > 0 ? 1 : 0), boundary, boundary + 1}) {
            if (cut <= layout.parameters) ExpectCutState(written, layout, cut);
        }
    }
}

}  // namespace
}  // namespace sorel
