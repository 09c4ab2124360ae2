// What a stepper asks of its key area while it runs. Offsets are sample
// offsets within the current block.
#pragma once

namespace sorel {

struct StepAction;

class ActionListener {
public:
    virtual ~ActionListener() = default;
    // A part of a step action falls due: make its notes.
    virtual void FireAction(StepAction& action, int part, int offset) = 0;
    // The part's note-off time falls due (or the stepper stops): end its notes.
    virtual void EndAction(StepAction& action, int part, int offset) = 0;
    // A step ends: scenes, hold and pattern switches count it.
    virtual void StepEnds(int offset) = 0;
};

}  // namespace sorel
