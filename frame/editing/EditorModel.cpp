#include "frame/editing/EditorModel.h"

#include <algorithm>

namespace sorel {

using namespace param;

namespace {

// The step families of a pattern other than the controller lanes: the step
// switches, then the values of lanes 0..8.
constexpr int kSwitchAndNoteFamilies = 1 + kFirstControllerLane;
constexpr int kControllerValuesEnd = kSwitchAndNoteFamilies * kSteps + kControllerLanes * kSteps;

bool IsStep(int step) { return step >= 0 && step < kSteps; }

}  // namespace

int PatternImage::ParameterIndex(int area, int pattern, int i) {
    if (i < kSwitchAndNoteFamilies * kSteps) {
        const int family = i / kSteps;
        const int first = family == 0 ? kStepOnOff : kLaneValueFamily[family - 1];
        return PerStep(first, area, pattern, i % kSteps);
    }
    if (i < kControllerValuesEnd) {
        const int d = i - kSwitchAndNoteFamilies * kSteps;
        return CcLaneValue(area, pattern, kFirstControllerLane + d / kSteps, d % kSteps);
    }
    const int d = i - kControllerValuesEnd;
    // The lane switches of every lane, then the PROB lane's values.
    if (d < kAllLanes * kSteps) return LaneSwitch(area, pattern, d / kSteps, d % kSteps);
    return PerStep(kStepProb, area, pattern, d % kSteps);
}

static_assert(PatternImage::kValueCount == kControllerValuesEnd + kAllLanes * kSteps + kSteps);

int EditorModel::PatternOf(int area) const {
    return patterns_[static_cast<size_t>(std::clamp(area, 0, kKeyAreas - 1))];
}

// Steps are stored one up, so that kNoStep packs as 0.
constexpr uint32_t kStepBits = 8;
constexpr uint32_t kStepMask = (1u << kStepBits) - 1;

uint32_t EditorModel::Pack(const ToolAndSelection& s) {
    return (s.tool == Tool::Selection ? 1u : 0u) << (2 * kStepBits) | uint32_t(s.start + 1) << kStepBits |
           uint32_t(s.end + 1);
}

EditorModel::ToolAndSelection EditorModel::Unpack(uint32_t word) {
    return {(word >> (2 * kStepBits)) != 0 ? Tool::Selection : Tool::Draw,
            int((word >> kStepBits) & kStepMask) - 1, int(word & kStepMask) - 1};
}

bool EditorModel::HasSelection() const {
    const ToolAndSelection s = Unpack(selection_.load(std::memory_order_acquire));
    return s.tool == Tool::Selection && s.start >= 0 && s.end >= 0;
}

StepRange EditorModel::EditRange() const {
    const ToolAndSelection s = Unpack(selection_.load(std::memory_order_acquire));
    if (s.tool != Tool::Selection || s.start < 0 || s.end < 0) return {};
    return {s.start, s.end};
}

void EditorModel::SelectArea(int area) { area_ = std::clamp(area, 0, kKeyAreas - 1); }

void EditorModel::SelectPattern(int area, int pattern) {
    if (area < 0 || area >= kKeyAreas) return;
    patterns_[static_cast<size_t>(area)] = std::clamp(pattern, 0, kPatternsPerArea - 1);
}

void EditorModel::SelectLane(int lane) { lane_ = std::clamp(lane, 0, kProbLane); }

void EditorModel::SelectTool(Tool tool) { selection_.store(Pack({tool, kNoStep, kNoStep}), std::memory_order_release); }

void EditorModel::Select(int start, int end) {
    ToolAndSelection s{CurrentTool(), kNoStep, kNoStep};
    if (IsStep(start) && IsStep(end)) {
        s.start = std::min(start, end);
        s.end = std::max(start, end);
    }
    selection_.store(Pack(s), std::memory_order_release);
}

}  // namespace sorel
