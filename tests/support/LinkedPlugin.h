// The plug-in object linked into a test and created through the VST 2 entry,
// so that the test plays it as a host does and may still look inside the
// instance built last.
#pragma once

#include <memory>

#include "frame/Vardo.h"
#include "module/vst2/IPlugVST.h"
#include "persistence/VardoPersistence.h"

namespace sorel::test {

struct LinkedParts {
    Vardo* plugin = nullptr;
    PluginPersistence* persistence = nullptr;  // null when built without
};
inline LinkedParts lastLinked;

// The plug-in object, with its data folder, files and loader when asked, as
// the module builds it. A template, so that a test without persistence needs
// none of its code.
template <bool withPersistence>
std::unique_ptr<Vardo> BuildLinkedPlugin(PluginHost& host) {
    auto plugin = std::make_unique<Vardo>(host);
    lastLinked = {plugin.get(), nullptr};
    if constexpr (withPersistence) {
        auto hooks = MakePersistenceHooks(*plugin);
        lastLinked.persistence = hooks.get();
        plugin->SetPersistenceHooks(std::move(hooks));
    }
    return plugin;
}

template <bool withPersistence>
AEffect* LinkedEntry(audioMasterCallback callback) {
    return CreateEffect(callback, [](PluginHost& h) -> std::unique_ptr<PluginCore> {
        return BuildLinkedPlugin<withPersistence>(h);
    });
}
inline AEffect* InProcessEntry(audioMasterCallback callback) { return LinkedEntry<false>(callback); }
inline AEffect* EntryWithPersistence(audioMasterCallback callback) { return LinkedEntry<true>(callback); }

}  // namespace sorel::test
