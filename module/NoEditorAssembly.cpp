// The DSP-only build: the core has no editor, so the format bindings report
// none and refuse to open one.
#include "module/EditorAssembly.h"

namespace sorel {

std::unique_ptr<PluginEditor> MakeEditorFor(Vardo&, PluginPersistence*) { return nullptr; }

}  // namespace sorel
