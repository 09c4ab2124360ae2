#include "frame/MidiLearn.h"

#include <algorithm>
#include <cmath>

namespace sorel {

bool MidiLearn::CanBeBound(int parameterIndex) {
    // The map itself is not a target: a controller must not rebind others.
    return ParameterTable::Contains(parameterIndex) &&
           (parameterIndex < param::kControllerMap || parameterIndex >= param::kControllerMap + kControllers);
}

void MidiLearn::BeginLearn(int parameterIndex) {
    learnTarget_ = CanBeBound(parameterIndex) ? parameterIndex : kUnbound;
}

void MidiLearn::UnlearnAll() {
    for (int c = 0; c < kControllers; ++c) table_.Get(param::kControllerMap + c)->SetValue(kUnbound);
    learnTarget_ = kUnbound;
}

void MidiLearn::UnlearnParameter(int parameterIndex) {
    for (int c = 0; c < kControllers; ++c) {
        if (BoundParameter(c) == parameterIndex) table_.Get(param::kControllerMap + c)->SetValue(kUnbound);
    }
}

int MidiLearn::BoundParameter(int controller) const {
    if (controller < 0 || controller >= kControllers) return kUnbound;
    const int bound = static_cast<int>(std::lround(table_.Value(param::kControllerMap + controller)));
    return CanBeBound(bound) ? bound : kUnbound;
}

bool MidiLearn::Route(int controller, int value, int& parameterIndex, double& normalized) {
    if (controller < 0 || controller >= kControllers) return false;
    if (learnTarget_ != kUnbound) {
        table_.Get(param::kControllerMap + controller)->SetValue(learnTarget_);
        learnTarget_ = kUnbound;
    }
    parameterIndex = BoundParameter(controller);
    if (parameterIndex == kUnbound) return false;
    normalized = std::clamp(value, 0, 127) / 127.0;
    return true;
}

}  // namespace sorel
