// The pattern's own step loop and the running state shared by steppers.
#pragma once

#include "engine/Looper.h"

namespace sorel {

class Stepper : public Looper {
public:
    Stepper() : Looper(32) {}

    virtual bool IsFree() const = 0;
    // Length of the current step in steps (the LENGTH lane), at least 1.
    virtual double StepLength() const { return 1.0; }
    virtual void ResetLanes() = 0;

    bool IsRunning() const { return stepperRunning_; }

protected:
    bool stepperRunning_ = false;
};

}  // namespace sorel
