#include "module/PluginAssembly.h"

#include "frame/Vardo.h"
#include "module/EditorAssembly.h"
#include "persistence/VardoPersistence.h"

namespace sorel {

std::unique_ptr<PluginCore> AssemblePlugin(PluginHost& host) {
    auto plugin = std::make_unique<Vardo>(host);
    auto persistence = MakePersistenceHooks(*plugin);
    // The editor's browsers and saving work on the same persistence.
    plugin->SetEditor(MakeEditorFor(*plugin, persistence.get()));
    plugin->SetPersistenceHooks(std::move(persistence));
    return plugin;
}

}  // namespace sorel
