// Sends a slow controller ramp on the number of one output controller lane,
// so that an instrument behind the plug-in can learn that controller.
#pragma once

#include <array>

namespace sorel {

// Output controller number of each controller lane, entry area * 8 + lane;
// -1 = the lane sends nothing.
using StepCcNumbers = std::array<int, 32>;

class CcTeach {
public:
    // The ramp grows by a tenth per block, counted in whole tenths so that
    // it reaches exactly 127 before it starts again.
    static constexpr int kRampTop = 1270;

    // `entry` indexes StepCcNumbers; `channel` is 1..16.
    void Start(int entry, int channel);
    void Stop() { entry_ = -1; on_ = false; }
    bool IsOn() const { return on_; }

    // Advances the ramp by one block. True with the controller number and
    // value (0..127) when a teach message is due in this block.
    bool NextBlock(const StepCcNumbers& numbers, int& controller, int& value, int& channel);
    double Ramp() const { return rampTenths_ / 10.0; }

private:
    bool on_ = false;
    int entry_ = -1;
    int channel_ = 1;
    int rampTenths_ = 0;
};

}  // namespace sorel
