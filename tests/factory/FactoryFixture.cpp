#include "FactoryFixture.h"

#include <cstdlib>

#include "frame/Vardo.h"
#include "persistence/VardoPersistence.h"

namespace sorel::factory::test {

namespace {

// Filled by the entry below for the plug-in it builds last.
VardoPersistence* builtPersistence = nullptr;

// The module's composition: the plug-in object with its persistence.
AEffect* SorelEntry(audioMasterCallback callback) {
    return CreateEffect(callback, [](audioMasterCallback host) -> std::unique_ptr<IPlugVST> {
        auto plugin = std::make_unique<Vardo>(host);
        auto hooks = MakePersistenceHooks(*plugin);
        builtPersistence = dynamic_cast<VardoPersistence*>(hooks.get());
        plugin->SetPersistenceHooks(std::move(hooks));
        return plugin;
    });
}

}  // namespace

const Installation& Installation::Shared() {
    static const auto installed = [] {
        auto i = std::make_unique<Installation>();
        if (i->Install() != 0) throw std::runtime_error("scripts/install failed: " + i->Log());
        return i;
    }();
    installed->data_.UseAsDataHome();
    return *installed;
}

int Installation::Install() const {
    const std::string command = "env HOME='" + Home().string() + "' XDG_DATA_HOME='" + data_.Root() + "' '" +
                                SOREL_INSTALL_SCRIPT "' '" SOREL_MODULE_DIR "' > '" + data_.File("log") + "' 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> Installation::PresetFiles() const {
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(FactoryPresets()))
        if (entry.path().extension() == ".v2z") files.push_back(entry.path().string());
    return files;
}

HostedSorel::HostedSorel() : host(std::make_unique<TestHost>(&SorelEntry)) {
    builtPersistence = nullptr;
    if (!host->CreateAndOpen(kBlock) || builtPersistence == nullptr)
        throw std::runtime_error("Sorel could not be opened with its persistence");
    persistence = &builtPersistence->Persistence();
}

}  // namespace sorel::factory::test
