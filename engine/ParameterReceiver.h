// Turns a parameter change (index, value) into the engine call that stores it:
// decodes the index to its key area, pattern, lane and step.
#pragma once

namespace sorel {

struct EngineContext;

class ParameterReceiver {
public:
    explicit ParameterReceiver(EngineContext* context) : context_(context) {}

    // Indices of no engine family (editor tools, menus, MIDI learn) are ignored.
    void ApplyParameter(int index, double value);
    // Applies the table's default value of every engine parameter, as the
    // frame's first push of all parameters would. Without stepFamilies the
    // per-step values and switches are left alone (a freshly built engine
    // already holds their defaults).
    void ApplyDefaults(bool stepFamilies = true);
    // Per-step values, controller values and lane switches.
    static bool IsStepFamily(int index);

private:
    EngineContext* context_ = nullptr;
};

}  // namespace sorel
