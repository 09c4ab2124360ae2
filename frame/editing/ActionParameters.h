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
    {param::kRandomize, ActionPerformer::Plugin},
    {param::kCopyTool, ActionPerformer::Plugin},
    {param::kPasteTool, ActionPerformer::Plugin},
    {param::kClearTool, ActionPerformer::Plugin},
    {param::kPanicTool, ActionPerformer::Plugin},
    {param::kBoxLeft, ActionPerformer::Plugin},
    {param::kBoxRight, ActionPerformer::Plugin},
    {param::kBoxBrowser, ActionPerformer::Editor},
    {param::kBoxInfo, ActionPerformer::Editor},
    {param::kCmBoxLeft, ActionPerformer::Plugin},
    {param::kCmBoxRight, ActionPerformer::Plugin},
    {param::kChordMemoryApplyChordSelection, ActionPerformer::Editor},
    {param::kCmCopyTool, ActionPerformer::Plugin},
    {param::kCmPasteTool, ActionPerformer::Plugin},
    {param::kCmClearTool, ActionPerformer::Plugin},
    {param::kCmApply, ActionPerformer::Plugin},
    {param::kCmInvRight, ActionPerformer::Plugin},
    {param::kCmInvLeft, ActionPerformer::Plugin},
    {param::kCcTeach, ActionPerformer::Plugin},
    {param::kMidiLearnMenu, ActionPerformer::Plugin},
    {param::kCopyMenu, ActionPerformer::Plugin},
    {param::kCopyCcMenu, ActionPerformer::Plugin},
    {param::kResetStepsMenu, ActionPerformer::Plugin},
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
