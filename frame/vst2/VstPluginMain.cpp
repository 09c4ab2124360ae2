// The module's entry points and the composition root: builds the plug-in
// object and attaches what the other libraries offer it.
#include <memory>

#include "editor/VardoEditor.h"
#include "frame/Vardo.h"
#include "frame/VardoEditorPort.h"
#include "persistence/VardoPersistence.h"

namespace {

std::unique_ptr<sorel::IPlugVST> BuildPlugin(audioMasterCallback host) {
    auto plugin = std::make_unique<sorel::Vardo>(host);
    auto persistence = sorel::MakePersistenceHooks(*plugin);
    // The editor's browsers and saving work on the same persistence.
    plugin->SetEditor(sorel::MakeVardoEditor(sorel::MakeEditorPort(*plugin), persistence ? &persistence->Persistence() : nullptr));
    plugin->SetPersistenceHooks(std::move(persistence));
    return plugin;
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback host) {
    return sorel::CreateEffect(host, &BuildPlugin);
}

// Older hosts look for "main"; a C++ function cannot carry that name itself.
__attribute__((visibility("default"))) AEffect* SorelLegacyMain(audioMasterCallback host) __asm__("main");
AEffect* SorelLegacyMain(audioMasterCallback host) { return VSTPluginMain(host); }

}  // extern "C"
