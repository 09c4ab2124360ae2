#include "frame/EditorModel.h"

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
    return LaneSwitch(area, pattern, d / kSteps, d % kSteps);
}

static_assert(PatternImage::kValueCount == kControllerValuesEnd + kLanes * kSteps);

int EditorModel::PatternOf(int area) const {
    return patterns_[static_cast<size_t>(std::clamp(area, 0, kKeyAreas - 1))];
}

StepRange EditorModel::EditRange() const {
    if (!HasSelection()) return {};
    return {selectionStart_, selectionEnd_};
}

void EditorModel::SelectArea(int area) { area_ = std::clamp(area, 0, kKeyAreas - 1); }

void EditorModel::SelectPattern(int area, int pattern) {
    if (area < 0 || area >= kKeyAreas) return;
    patterns_[static_cast<size_t>(area)] = std::clamp(pattern, 0, kPatternsPerArea - 1);
}

void EditorModel::SelectLane(int lane) { lane_ = std::clamp(lane, 0, kLanes - 1); }

void EditorModel::SelectTool(Tool tool) {
    tool_ = tool;
    Select(kNoStep, kNoStep);
}

void EditorModel::Select(int start, int end) {
    if (!IsStep(start) || !IsStep(end)) {
        selectionStart_ = selectionEnd_ = kNoStep;
        return;
    }
    selectionStart_ = std::min(start, end);
    selectionEnd_ = std::max(start, end);
}

}  // namespace sorel
