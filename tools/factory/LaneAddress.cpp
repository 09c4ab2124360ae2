#include "LaneAddress.h"

#include <array>
#include <charconv>

#include "engine/ParameterIndex.h"

namespace sorel::factory {

namespace {

constexpr std::array<std::string_view, param::kAllLanes> kLaneNames = {
    "ORDER", "CHRDMEM", "LENGTH", "GATE", "ACCENT", "TRANSP", "DIV", "SHIFT", "CHORD",
    "CC1",   "CC2",     "CC3",    "CC4",  "CC5",    "CC6",    "CC7", "CC8",   "PROB"};
constexpr std::string_view kProbFamilyName = "Step prob";

// The per-step value families by lane; the eight controller lanes share one name.
constexpr std::array<std::string_view, param::kFirstControllerLane + 1> kStepFamilyNames = {
    "Step note list", "Step source", "Step length", "Step gate", "Step accent",
    "Step transpose", "Step div",    "Step shift",  "Step chord", "Step CC "};

constexpr std::array<int, param::kFirstControllerLane> kStepFamilyFirst = {
    param::kStepNoteList, param::kStepSource,    param::kStepLength, param::kStepGate, param::kStepAccent,
    param::kStepTranspose, param::kStepDiv, param::kStepShift, param::kStepChord};

}  // namespace

std::optional<int> ParseNumbered(std::string_view word, char letter, int count) {
    if (word.size() < 2 || word.front() != letter) return std::nullopt;
    int number = 0;
    const auto [end, error] = std::from_chars(word.data() + 1, word.data() + word.size(), number);
    if (error != std::errc() || end != word.data() + word.size() || number < 1 || number > count) return std::nullopt;
    return number - 1;
}

std::optional<int> LaneFromName(std::string_view name) {
    for (size_t lane = 0; lane < kLaneNames.size(); ++lane) {
        if (kLaneNames[lane] == name) return static_cast<int>(lane);
    }
    return std::nullopt;
}

std::optional<LaneAddress> LaneAddress::Parse(const std::vector<std::string>& words, size_t first) {
    if (words.size() != first + 3) return std::nullopt;
    const auto area = ParseNumbered(words[first], 'T', param::kKeyAreas);
    const auto pattern = ParseNumbered(words[first + 1], 'P', param::kPatternsPerArea);
    const auto lane = LaneFromName(words[first + 2]);
    if (!area || !pattern || !lane) return std::nullopt;
    return LaneAddress{*area, *pattern, *lane};
}

std::string LaneAddress::StepParameterName(int step) const {
    const size_t family = static_cast<size_t>(lane < param::kFirstControllerLane ? lane : param::kFirstControllerLane);
    return std::string(lane == param::kProbLane ? kProbFamilyName : kStepFamilyNames[family]) + " " + std::to_string(area + 1) + "/" + std::to_string(pattern + 1) +
           "/" + std::to_string(step + 1);
}

}  // namespace sorel::factory

namespace sorel::factory {

int LaneAddress::StepParameterIndex(int step) const {
    if (lane == param::kProbLane) return param::PerStep(param::kStepProb, area, pattern, step);
    if (lane >= param::kFirstControllerLane) return param::CcLaneValue(area, pattern, lane, step);
    return param::PerStep(kStepFamilyFirst[static_cast<size_t>(lane)], area, pattern, step);
}

}  // namespace sorel::factory
