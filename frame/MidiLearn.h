// Binds incoming MIDI controllers to parameters. The binding of controller c
// is the value of the controller-map parameter c: the index of the bound
// parameter, or -1. Being parameters, the bindings travel with the state.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "frame/ParameterTable.h"

namespace sorel {

class MidiLearn {
public:
    static constexpr int kUnbound = -1;
    static constexpr int kControllers = 128;
    // The items of a control's menu that learn and unlearn.
    static constexpr const char* kLearnItem = "MIDI learn";
    static constexpr const char* kUnlearnItem = "MIDI unlearn";
    // The status line while a learn waits for its controller.
    static constexpr std::string_view kWaitingStatus = "MIDI learn: move a controller";

    explicit MidiLearn(ParameterTable& table) : table_(table) {}

    // The next learnable controller binds to `parameterIndex`; -1 cancels.
    void BeginLearn(int parameterIndex);
    int LearnTarget() const { return learnTarget_; }
    void UnlearnAll();
    // Removes every binding that points at this parameter.
    void UnlearnParameter(int parameterIndex);
    int BoundParameter(int controller) const;
    // The lowest controller bound to the parameter, or kUnbound.
    int ControllerOf(int parameterIndex) const;

    // Completes a pending learn with this controller, then looks the
    // controller up. True with the parameter and its new normalised value
    // when the controller is bound (the message is then consumed).
    bool Route(int controller, int value, int& parameterIndex, double& normalized);

    static bool CanBeBound(int parameterIndex);

    // A menu item with the binding it acts on: "MIDI learn (CC 20)",
    // "MIDI unlearn CC 20"; other items and unbound controls keep their text.
    static std::string MenuItemText(const std::string& item, int controller);
    // "MIDI learn: CC 20 moves <name>" in `out`, cut to its size; written
    // without allocating, for the audio thread.
    static std::string_view LearntStatus(int controller, const std::string& name, std::span<char> out);

private:
    ParameterTable& table_;
    int learnTarget_ = kUnbound;
};

}  // namespace sorel
