#include "FactoryFixture.h"

#include <cstdlib>

#include "support/LinkedPlugin.h"

namespace sorel::factory::test {

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

HostedSorel::HostedSorel() : host(std::make_unique<TestHost>(&sorel::test::EntryWithPersistence)) {
    sorel::test::lastLinked = {};
    if (!host->CreateAndOpen(kBlock) || sorel::test::lastLinked.persistence == nullptr)
        throw std::runtime_error("Sorel could not be opened with its persistence");
    persistence = sorel::test::lastLinked.persistence;
}

}  // namespace sorel::factory::test
