// Binds incoming MIDI controllers to parameters. The binding of controller c
// is the value of the controller-map parameter c: the index of the bound
// parameter, or -1. Being parameters, the bindings travel with the state.
#pragma once

#include "frame/ParameterTable.h"

namespace sorel {

class MidiLearn {
public:
    static constexpr int kUnbound = -1;
    static constexpr int kControllers = 128;

    explicit MidiLearn(ParameterTable& table) : table_(table) {}

    // The next learnable controller binds to `parameterIndex`; -1 cancels.
    void BeginLearn(int parameterIndex);
    int LearnTarget() const { return learnTarget_; }
    void UnlearnAll();
    // Removes every binding that points at this parameter.
    void UnlearnParameter(int parameterIndex);
    int BoundParameter(int controller) const;

    // Completes a pending learn with this controller, then looks the
    // controller up. True with the parameter and its new normalised value
    // when the controller is bound (the message is then consumed).
    bool Route(int controller, int value, int& parameterIndex, double& normalized);

    static bool CanBeBound(int parameterIndex);

private:
    ParameterTable& table_;
    int learnTarget_ = kUnbound;
};

}  // namespace sorel
