// The tool buttons and menus of the table: a change of one of them is an
// action, carried out by the editor or by the plug-in itself, not a setting.
// A stored state holds them at rest and loading one never carries them out.
#pragma once

#include <algorithm>
#include <array>

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

constexpr const ActionParameter* FindAction(int index) {
    const auto found = std::find_if(kActionParameters.begin(), kActionParameters.end(),
                                    [index](const ActionParameter& action) { return action.index == index; });
    return found == kActionParameters.end() ? nullptr : &*found;
}

constexpr bool IsActionParameter(int index) { return FindAction(index) != nullptr; }

}  // namespace sorel
