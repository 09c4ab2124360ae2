#include "persistence/StateReader.h"

#include <algorithm>

namespace sorel {

namespace {

constexpr int32_t kLowestSwappedWord = 101;
constexpr int32_t kFirstVersionWithOrderSetting = 3;
constexpr int32_t kLastVersionWithOldKeyRange = 4;
constexpr int32_t kLastVersionWithoutLaneSwitches = 2;
// Older versions stored the key-area notes two octaves lower.
constexpr double kOldKeyRangeOffset = 24.0;
constexpr int kMaxControllerNumber = 127;

int32_t SwapBytes(int32_t word) {
    const auto raw = static_cast<uint32_t>(word);
    return static_cast<int32_t>((raw >> 24) | ((raw >> 8) & 0xff00u) | ((raw << 8) & 0xff0000u) | (raw << 24));
}

struct VersionWord {
    int32_t version = 1;
    int bodyPos = 0;
};

std::optional<VersionWord> ReadVersionWord(const StateChunk& chunk, int startPos) {
    int32_t word = 0;
    const int afterWord = chunk.GetInt32(word, startPos);
    if (afterWord < 0 || word == 0) return VersionWord{1, startPos};  // no version word: version 1
    if (word >= kLowestSwappedWord) word = SwapBytes(word);
    if (word < 1 || word > kStateVersion) return std::nullopt;
    return VersionWord{word, afterWord};
}

void SetIfPresent(StateImage& image, std::span<const ParameterRange> ranges, int index, double plain) {
    if (index < static_cast<int>(ranges.size())) image.state.parameters[static_cast<size_t>(index)] = ranges[static_cast<size_t>(index)].Clamp(plain);
}

int ReadTexts(const StateChunk& chunk, int pos, BoxInfo& info) {
    pos = chunk.GetText(info.name, BoxInfo::kNameWidth, pos);
    pos = chunk.GetText(info.author, BoxInfo::kAuthorWidth, pos);
    pos = chunk.GetText(info.description, BoxInfo::kDescriptionWidth, pos);
    return chunk.GetText(info.usage, BoxInfo::kUsageWidth, pos);
}

int ReadStepCcNumbers(const StateChunk& chunk, int pos, StateImage& image) {
    std::array<int32_t, kStepCcNumberCount> numbers{};
    for (int32_t& number : numbers) {
        pos = chunk.GetInt32(number, pos);
        if (number < kNoController || number > kMaxControllerNumber) number = kNoController;
    }
    if (pos >= 0) {
        image.state.stepCcNumbers = numbers;
        image.stepCcNumbersRead = true;
    }
    return pos;
}

// Reads loops [first, first + count); a loop counts as read only when every
// loop before it was.
int ReadLaneLoops(const StateChunk& chunk, int pos, StateImage& image, int first, int count) {
    const std::span<LaneLoop> loops = std::span<LaneLoop>(image.state.laneLoops).subspan(first, count);
    for (LaneLoop& loop : loops) {
        LaneLoop stored;
        uint8_t enabled = 0;
        pos = chunk.GetInt32(stored.start, pos);
        pos = chunk.GetInt32(stored.end, pos);
        pos = chunk.GetByte(enabled, pos);
        if (pos < 0) break;
        if (stored.IsValid()) {
            loop.start = stored.start;
            loop.end = stored.end;
        }
        loop.enabled = enabled != 0;
        if (image.laneLoopsRead == first + static_cast<int>(&loop - loops.data())) ++image.laneLoopsRead;
    }
    return pos;
}

int ReadGlobalSwitches(const StateChunk& chunk, int pos, int32_t version, PluginState& state) {
    pos = chunk.GetDouble(state.enableMidiNoteNames, pos);
    pos = chunk.GetDouble(state.startNotesImmediately, pos);
    if (version < kFirstVersionWithOrderSetting) return pos;
    // Some writers left this field out; a value outside 0..1 is then the
    // first parameter and is read again as such.
    double order = 0.0;
    const int afterOrder = chunk.GetDouble(order, pos);
    if (afterOrder < 0) return -1;
    if (!(order >= 0.0 && order <= 1.0)) return pos;
    state.useOnlyOrderOnOff = order;
    return afterOrder;
}

void ConvertOldKeyRange(StateImage& image, std::span<const ParameterRange> ranges) {
    for (int area = 0; area < param::kKeyAreas; ++area) {
        for (int first : {param::kKeyAreaStartNote, param::kKeyAreaEndNote, param::kKeyAreaBaseNote}) {
            const int index = first + area;
            // A value the state did not hold is already in the current range.
            if (index >= image.parametersAssigned) continue;
            const ParameterRange& range = ranges[static_cast<size_t>(index)];
            double& value = image.state.parameters[static_cast<size_t>(index)];
            const double span = range.maximum - range.minimum;
            if (span > 0.0) value = range.FromNormalised((value + kOldKeyRangeOffset) / span);
        }
    }
}

void ConvertMissingSceneEnd(StateImage& image, std::span<const ParameterRange> ranges) {
    for (int area = 0; area < param::kKeyAreas; ++area) {
        const int index = param::kSceneEnd + area;
        if (index < static_cast<int>(ranges.size())) {
            image.state.parameters[static_cast<size_t>(index)] = ranges[static_cast<size_t>(index)].FromNormalised(1.0);
        }
    }
}

// Lanes 1..8 play on every step; the ORDER lane follows the step's on/off.
void ConvertMissingLaneSwitches(StateImage& image, std::span<const ParameterRange> ranges) {
    for (int area = 0; area < param::kKeyAreas; ++area) {
        for (int pattern = 0; pattern < param::kPatternsPerArea; ++pattern) {
            for (int step = 0; step < param::kSteps; ++step) {
                const int onOff = param::PerStep(param::kStepOnOff, area, pattern, step);
                const bool stepOn = onOff < static_cast<int>(ranges.size()) &&
                                    image.state.parameters[static_cast<size_t>(onOff)] != 0.0;
                for (int lane = 0; lane < param::kFirstControllerLane; ++lane) {
                    const bool on = lane == 0 ? stepOn : true;
                    SetIfPresent(image, ranges, param::LaneSwitch(area, pattern, lane, step), on ? 1.0 : 0.0);
                }
            }
        }
    }
}

// The editor starts from the first key area, pattern and lane, with the draw tool.
void ResetEditorSelections(StateImage& image, std::span<const ParameterRange> ranges) {
    SetIfPresent(image, ranges, param::kSelectionTool, 0.0);
    SetIfPresent(image, ranges, param::kDrawTool, 1.0);
    SetIfPresent(image, ranges, param::kKeyAreaSelection, 0.0);
    for (int area = 0; area < param::kKeyAreas; ++area) SetIfPresent(image, ranges, param::kKeyAreaPatterns + area, 0.0);
    SetIfPresent(image, ranges, param::kPatternStepMode, 0.0);
    SetIfPresent(image, ranges, param::kChordMemorySelection, 0.0);
    SetIfPresent(image, ranges, param::kCcTeachSelection, 0.0);
}

}  // namespace

bool StartsWithVersionWord(const StateChunk& chunk, int pos) {
    int32_t word = 0;
    if (chunk.GetInt32(word, pos) < 0 || word == 0) return false;
    return ReadVersionWord(chunk, pos).has_value();
}

StateImage ResetImage(std::span<const ParameterRange> ranges) {
    StateImage image;
    image.state.parameters.reserve(ranges.size());
    for (const auto& range : ranges) image.state.parameters.push_back(range.defaultValue);
    return image;
}

int UnserializeParams(const StateChunk& chunk, int pos, std::span<const ParameterRange> ranges,
                      std::vector<double>& values, int& assigned) {
    assigned = 0;
    for (size_t i = 0; i < ranges.size() && pos >= 0; ++i) {
        double stored = 0.0;
        pos = chunk.GetDouble(stored, pos);
        values[i] = ranges[i].Clamp(stored);
        ++assigned;
    }
    return pos;
}

std::optional<StateImage> ReadState(const StateChunk& chunk, int startPos, std::span<const ParameterRange> ranges) {
    const auto word = ReadVersionWord(chunk, startPos);
    if (!word) return std::nullopt;

    StateImage image = ResetImage(ranges);
    image.version = word->version;
    PluginState& state = image.state;
    int pos = word->bodyPos;
    uint8_t reserved = 0;
    pos = chunk.GetByte(reserved, pos);
    pos = ReadTexts(chunk, pos, state.boxInfo);
    pos = chunk.GetText(state.chordBankName, kChordBankNameWidth, pos);
    pos = ReadChordRecords(chunk, pos, state.chords);
    pos = ReadStepCcNumbers(chunk, pos, image);
    pos = ReadLaneLoops(chunk, pos, image, 0, kLaneLoopCount);
    pos = ReadGlobalSwitches(chunk, pos, image.version, state);
    // Older versions hold none of the appended parameters: they keep their
    // reset values (every chance sure, no humanize).
    const bool withChance = image.version >= kFirstVersionWithChance;
    const auto stored = withChance ? ranges : ranges.first(std::min<size_t>(ranges.size(), param::kFirstAppended));
    if (pos >= 0) pos = UnserializeParams(chunk, pos, stored, state.parameters, image.parametersAssigned);
    if (pos >= 0 && withChance) ReadLaneLoops(chunk, pos, image, kLaneLoopCount, kProbLoopCount);

    ResetEditorSelections(image, ranges);
    if (image.version <= kLastVersionWithOldKeyRange) ConvertOldKeyRange(image, ranges);
    if (image.version == 1) ConvertMissingSceneEnd(image, ranges);
    if (image.version <= kLastVersionWithoutLaneSwitches) ConvertMissingLaneSwitches(image, ranges);
    return image;
}

}  // namespace sorel
