// One step of a key area's scene: which pattern, for how many steps, how often.
#pragma once

namespace sorel {

struct SceneStep {
    int length = 1;   // steps of one pass, 1..32
    int repeat = 1;   // extra passes (parameter 0..31)
    int pattern = 0;  // 0..11
};

namespace scene {
constexpr int kSteps = 16;
constexpr int kFieldLength = 0;
constexpr int kFieldPattern = 1;
constexpr int kFieldRepeat = 2;
}  // namespace scene

}  // namespace sorel
