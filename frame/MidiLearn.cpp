#include "frame/MidiLearn.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

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

int MidiLearn::ControllerOf(int parameterIndex) const {
    if (!CanBeBound(parameterIndex)) return kUnbound;
    for (int c = 0; c < kControllers; ++c) {
        if (BoundParameter(c) == parameterIndex) return c;
    }
    return kUnbound;
}

std::string MidiLearn::MenuItemText(const std::string& item, int controller) {
    if (controller == kUnbound) return item;
    const std::string cc = "CC " + std::to_string(controller);
    if (item == kLearnItem) return item + " (" + cc + ")";
    if (item == kUnlearnItem) return item + " " + cc;
    return item;
}

std::string_view MidiLearn::LearntStatus(int controller, const std::string& name, std::span<char> out) {
    if (out.empty()) return {};
    const int written = std::snprintf(out.data(), out.size(), "MIDI learn: CC %d moves %s", controller, name.c_str());
    return {out.data(), std::min(out.size() - 1, static_cast<size_t>(std::max(0, written)))};
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
