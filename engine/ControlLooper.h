// The loop of one lane of one pattern.
#pragma once

#include "engine/Looper.h"

namespace sorel {

class ControlLooper : public Looper {
public:
    ControlLooper() : Looper(32) {}

    bool laneOn = true;             // the lane's values are used
    bool resetWithPattern = false;  // "Reset nl on pattern reset"
};

}  // namespace sorel
