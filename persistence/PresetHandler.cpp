#include "persistence/PresetHandler.h"

#include "persistence/DataFolder.h"
#include "persistence/PluginPersistence.h"
#include "persistence/PresetFile.h"

namespace sorel {

PresetHandler::PresetHandler(PluginPersistence& persistence)
    : CommonPresetHandler([] {
          return PresetTree(kPresetSubFolder, std::string(kPlainPresetExtension), std::string(kPresetExtension), true);
      }),
      persistence_(persistence) {}

void PresetHandler::Choose(int id) {
    if (id == PresetTree::kInitId) {
        persistence_.Init();
        return;
    }
    if (id < PresetTree::kIdStride) return;
    if (const PresetMenuItem* item = Tree().FindById(id); item != nullptr && item->IsFile()) SelectWithLoading(*item);
}

void PresetHandler::Open(const PresetMenuItem& item) {
    // ".v2" files are listed but hold no loadable preset.
    if (item.path.ends_with(kPresetExtension)) persistence_.RequestPresetLoad(item.path, item.text);
}

}  // namespace sorel
