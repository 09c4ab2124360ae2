// What the editor edits, kept by the plug-in from its construction so that
// tool and menu actions work the same with or without a window: the current
// key area, the pattern shown for each key area, the lane, the tool, the step
// selection and the three clipboards (lane, pattern, key area).
//
// For the editor: Vardo::Model() reads it, Vardo::Actions().Model() sets the
// selection; both on the editor thread under the plug-in lock (the audio
// thread moves the shown pattern when the engine switches patterns).
// The area, patterns and lane follow their parameters ("Key Area selection",
// "Key Area Patterns", "Pattern Step mode", "Pattern CC selection") and the
// engine's pattern and lane switches; the tool follows "Draw tool" and
// "Selection tool". The selection is the editor's to set with Select().
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "engine/ParameterIndex.h"

namespace sorel {

// The steps an edit covers, first..last inclusive; empty when first > last.
struct StepRange {
    int first = 0;
    int last = param::kSteps - 1;
};

struct LoopBounds {
    int start = 0;
    int end = param::kSteps;
};

// Every step parameter of one pattern (values of all seventeen lanes, step
// switches, lane switches) in a fixed order, and every lane's loop.
struct PatternImage {
    static constexpr int kValueCount = 10 * param::kSteps + param::kControllerLanes * param::kSteps +
                                       param::kLanes * param::kSteps;
    // The parameter that holds value i of the pattern (i = 0..kValueCount-1).
    static int ParameterIndex(int area, int pattern, int i);

    std::vector<double> values = std::vector<double>(kValueCount);
    std::array<LoopBounds, param::kLanes> loops{};
};

class EditorModel {
public:
    static constexpr int kNoStep = -1;
    enum class Tool { Draw, Selection };

    int Area() const { return area_; }
    int Pattern() const { return patterns_[static_cast<std::size_t>(area_)]; }
    int PatternOf(int area) const;
    int Lane() const { return lane_; }
    Tool CurrentTool() const { return tool_; }
    // kNoStep while nothing is selected.
    int SelectionStart() const { return selectionStart_; }
    int SelectionEnd() const { return selectionEnd_; }
    bool HasSelection() const { return tool_ == Tool::Selection && selectionStart_ >= 0 && selectionEnd_ >= 0; }
    // The steps the edit tools work on: the selection while the selection
    // tool holds one, else all 32 steps.
    StepRange EditRange() const;

    void SelectArea(int area);
    void SelectPattern(int area, int pattern);
    void SelectLane(int lane);
    // A new tool starts without a selection.
    void SelectTool(Tool tool);
    // Steps start..end; a step outside 0..31 (such as kNoStep) clears the selection.
    void Select(int start, int end);

    // The lane clipboard: `length` values, a whole lane or a selection's worth.
    struct LaneClip {
        std::array<double, param::kSteps> values{};
        int length = 0;
        bool wholeLane = false;
    };
    struct PatternClip {
        int area = kNoStep;
        int pattern = kNoStep;
        PatternImage image;
        bool Holds() const { return area >= 0; }
    };
    struct AreaClip {
        int area = kNoStep;
        std::array<PatternImage, param::kPatternsPerArea> patterns;
        bool Holds() const { return area >= 0; }
    };
    LaneClip laneClip;
    PatternClip patternClip;
    AreaClip areaClip;

private:
    int area_ = 0;
    std::array<int, param::kKeyAreas> patterns_{};
    int lane_ = 0;
    Tool tool_ = Tool::Draw;
    int selectionStart_ = kNoStep;
    int selectionEnd_ = kNoStep;
};

}  // namespace sorel
