// What the editor edits, kept by the plug-in from its construction so that
// tool and menu actions work the same with or without a window: the current
// key area, the pattern shown for each key area, the lane, the tool, the step
// selection and the three clipboards (lane, pattern, key area).
//
// For the editor: Vardo::Model() reads it, Vardo::Actions().Model() sets the
// selection; both on the editor thread under the plug-in lock (the audio
// thread moves the shown pattern when the engine switches patterns). The
// tool and the selection may also be read without the lock: the pattern view
// draws them on every tick.
// The area, patterns and lane follow their parameters ("Key Area selection",
// "Key Area Patterns", "Pattern Step mode", "Pattern CC selection") and
// nothing else: the engine's pattern and lane switches (control zone,
// scenes, program changes) set those parameters too, so the editor, which
// shows what the model holds, and the host always agree with it. The tool
// follows "Draw tool" and "Selection tool". The selection is the editor's to
// set with Select().
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
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

// Every step parameter of one pattern (values of all eighteen lanes, step
// switches, lane switches) in a fixed order, and every lane's loop.
struct PatternImage {
    static constexpr int kValueCount = 10 * param::kSteps + param::kControllerLanes * param::kSteps +
                                       param::kAllLanes * param::kSteps + param::kSteps;
    // The parameter that holds value i of the pattern (i = 0..kValueCount-1).
    static int ParameterIndex(int area, int pattern, int i);

    std::vector<double> values = std::vector<double>(kValueCount);
    std::array<LoopBounds, param::kAllLanes> loops{};
};

class EditorModel {
public:
    static constexpr int kNoStep = -1;
    enum class Tool { Draw, Selection };

    int Area() const { return area_; }
    int Pattern() const { return patterns_[static_cast<std::size_t>(area_)]; }
    int PatternOf(int area) const;
    int Lane() const { return lane_; }
    Tool CurrentTool() const { return Unpack(selection_.load(std::memory_order_acquire)).tool; }
    // kNoStep while nothing is selected.
    int SelectionStart() const { return Unpack(selection_.load(std::memory_order_acquire)).start; }
    int SelectionEnd() const { return Unpack(selection_.load(std::memory_order_acquire)).end; }
    bool HasSelection() const;
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
    // The tool and the selection in one word, so that a reader without the
    // lock never sees a selection of one tool with the other.
    struct ToolAndSelection {
        Tool tool = Tool::Draw;
        int start = kNoStep;
        int end = kNoStep;
    };
    static uint32_t Pack(const ToolAndSelection& s);
    static ToolAndSelection Unpack(uint32_t word);

    int lane_ = 0;
    std::atomic<uint32_t> selection_{Pack({})};
};

}  // namespace sorel
