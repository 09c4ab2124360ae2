// The editor a core is assembled with: the skin's editor, or none in a build
// without the editor and its graphics.
#pragma once

#include <memory>

#include "frame/PluginEditor.h"

namespace sorel {

class PluginPersistence;
class Vardo;

// Null when the build has no editor.
std::unique_ptr<PluginEditor> MakeEditorFor(Vardo& plugin, PluginPersistence* persistence);

}  // namespace sorel
