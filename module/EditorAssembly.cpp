#include "module/EditorAssembly.h"

#include "editor/VardoEditor.h"
#include "frame/VardoEditorPort.h"

namespace sorel {

std::unique_ptr<PluginEditor> MakeEditorFor(Vardo& plugin, PluginPersistence* persistence) {
    return MakeVardoEditor(MakeEditorPort(plugin), persistence);
}

}  // namespace sorel
