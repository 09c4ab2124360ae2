// The tool buttons and menus of the table: a change of one of them is an
// action, carried out by the editor or by the plug-in itself, not a setting.
// A stored state holds them at rest and loading one never carries them out.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "engine/ParameterIndex.h"

namespace sorel {

enum class ActionPerformer { Editor, Plugin };

struct ActionParameter {
    int index;
    ActionPerformer performer;
};

inline constexpr std::array<ActionParameter, 24> kActionParameters{{
    {param::kRandomize, ActionPerformer::Editor},
    {param::kCopyTool, ActionPerformer::Editor},
    {param::kPasteTool, ActionPerformer::Editor},
    {param::kClearTool, ActionPerformer::Editor},
    {param::kPanicTool, ActionPerformer::Plugin},
    {param::kBoxLeft, ActionPerformer::Editor},
    {param::kBoxRight, ActionPerformer::Editor},
    {param::kBoxBrowser, ActionPerformer::Editor},
    {param::kBoxInfo, ActionPerformer::Editor},
    {param::kCmBoxLeft, ActionPerformer::Editor},
    {param::kCmBoxRight, ActionPerformer::Editor},
    {param::kChordMemoryApplyChordSelection, ActionPerformer::Editor},
    {param::kCmCopyTool, ActionPerformer::Editor},
    {param::kCmPasteTool, ActionPerformer::Editor},
    {param::kCmClearTool, ActionPerformer::Editor},
    {param::kCmApply, ActionPerformer::Editor},
    {param::kCmInvRight, ActionPerformer::Editor},
    {param::kCmInvLeft, ActionPerformer::Editor},
    {param::kCcTeach, ActionPerformer::Plugin},
    {param::kMidiLearnMenu, ActionPerformer::Plugin},
    {param::kCopyMenu, ActionPerformer::Editor},
    {param::kCopyCcMenu, ActionPerformer::Editor},
    {param::kResetStepsMenu, ActionPerformer::Editor},
    {param::kBoxSettings, ActionPerformer::Editor},
}};

// The action behind a parameter, nothing for a setting. Asked for every
// parameter of every apply, so it looks the index up in a table.
inline const ActionParameter* FindAction(int index) {
    static const std::vector<int8_t> slotOf = [] {
        std::vector<int8_t> slots(param::kCount, -1);
        for (size_t i = 0; i < kActionParameters.size(); ++i) slots[kActionParameters[i].index] = static_cast<int8_t>(i);
        return slots;
    }();
    if (index < 0 || index >= param::kCount || slotOf[static_cast<size_t>(index)] < 0) return nullptr;
    return &kActionParameters[static_cast<size_t>(slotOf[static_cast<size_t>(index)])];
}

}  // namespace sorel
