#include "frame/CcTeach.h"

#include <algorithm>

namespace sorel {

void CcTeach::Start(int entry, int channel) {
    on_ = true;
    entry_ = entry;
    channel_ = std::clamp(channel, 1, 16);
}

bool CcTeach::NextBlock(const StepCcNumbers& numbers, int& controller, int& value, int& channel) {
    if (++rampTenths_ > kRampTop) rampTenths_ = 0;
    if (!on_ || entry_ < 0 || entry_ >= static_cast<int>(numbers.size())) return false;
    const int number = numbers[entry_];
    if (number < 0 || number > 127) return false;
    controller = number;
    value = rampTenths_ / 10;
    channel = channel_;
    return true;
}

}  // namespace sorel
