#include "frame/CcTeach.h"

#include <algorithm>

namespace sorel {

void CcTeach::Start(int entry, int channel) {
    on_ = true;
    entry_ = entry;
    channel_ = std::clamp(channel, 1, 16);
}

bool CcTeach::NextBlock(const StepCcNumbers& numbers, int& controller, int& value, int& channel) {
    ramp_ += kRampStep;
    if (ramp_ > 127.0) ramp_ = 0.0;
    if (!on_ || entry_ < 0 || entry_ >= static_cast<int>(numbers.size())) return false;
    const int number = numbers[entry_];
    if (number < 0 || number > 127) return false;
    controller = number;
    value = static_cast<int>(ramp_);
    channel = channel_;
    return true;
}

}  // namespace sorel
