#pragma once
// Which parameter of a family a control shows: the family's first index and
// how the current key area, pattern and lane pick the member. One control
// per skin rectangle serves the whole family and is pointed at another
// member when the selection changes.

#include "graphics/IRECT.h"

namespace sorel {

// What the editor shows: key area 0..3, its pattern 0..11, lane 0..16.
struct EditorSelection {
    int area = 0;
    int pattern = 0;
    int lane = 0;
    constexpr bool operator==(const EditorSelection&) const = default;
};

struct ControlBinding {
    enum class Scope {
        kNone,         // no parameter
        kGlobal,       // first
        kArea,         // first + area
        kAreaScene,    // first + area * 16 + member (a scene step)
        kPattern,      // first + area * 12 + pattern
        kPatternLane,  // first + (area * 12 + pattern) * 17 + lane
        kStepSwitch,   // the current lane's on/off switch of step `member`
    };
    Scope scope = Scope::kNone;
    int first = -1;
    int member = 0;

    // -1 for kNone.
    int Resolve(const EditorSelection& selection) const;
};

}  // namespace sorel
