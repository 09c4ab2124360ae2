#include "editor/ControlBinding.h"

#include "engine/ParameterIndex.h"

namespace sorel {

using namespace param;

int ControlBinding::Resolve(const EditorSelection& s) const {
    switch (scope) {
        case Scope::kNone: return -1;
        case Scope::kGlobal: return first;
        case Scope::kArea: return first + s.area;
        case Scope::kAreaScene: return first + s.area * kSceneSteps + member;
        case Scope::kPattern: return first + PatternIndex(s.area, s.pattern);
        case Scope::kPatternLane: return PerPatternLane(first, s.area, s.pattern, s.lane);
        case Scope::kStepSwitch:
            // The ORDER lane's switches are a family of their own.
            return s.lane == 0 ? PerStep(kStepOnOff, s.area, s.pattern, member)
                               : LaneSwitch(s.area, s.pattern, s.lane, member);
    }
    return -1;
}

}  // namespace sorel
