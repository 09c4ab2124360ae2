#pragma once
// The status line's hint for a parameter the user has just changed: what the
// control does and the value it now shows ("Mode: Gate", "Order: Random").
// Values that a control shows counted from 1 (patterns, channels, lengths)
// are counted from 1 here too.

#include <string>

namespace sorel {

class Parameter;

// The hint for `plain`, the value the parameter at `index` holds; empty for
// a parameter that has none. With gateInSteps the GATE lane's steps read
// as the number of steps a note lasts.
std::string HintText(int index, const Parameter& parameter, double plain, bool gateInSteps);

// A step value as the pattern view writes it on its bar.
int ShownStepValue(int laneIndex, double value, double maximum, bool gateInSteps);

}  // namespace sorel
