#include "module/PluginAssembly.h"

#include "editor/VardoEditor.h"
#include "frame/Vardo.h"
#include "frame/VardoEditorPort.h"
#include "persistence/VardoPersistence.h"

namespace sorel {

std::unique_ptr<PluginCore> AssemblePlugin(PluginHost& host) {
    auto plugin = std::make_unique<Vardo>(host);
    auto persistence = MakePersistenceHooks(*plugin);
    // The editor's browsers and saving work on the same persistence.
    plugin->SetEditor(MakeVardoEditor(MakeEditorPort(*plugin), persistence.get()));
    plugin->SetPersistenceHooks(std::move(persistence));
    return plugin;
}

}  // namespace sorel
