#include "persistence/ChordMemoryPresetHandler.h"

#include "persistence/ChordBank.h"
#include "persistence/DataFolder.h"
#include "persistence/PluginPersistence.h"

namespace sorel {

ChordMemoryPresetHandler::ChordMemoryPresetHandler(PluginPersistence& persistence)
    : CommonPresetHandler(
          [] { return PresetTree(kChordMemorySubFolder, std::string(kChordBankExtension), std::string{}, false); }),
      persistence_(persistence) {}

void ChordMemoryPresetHandler::Choose(int id) {
    if (id < PresetTree::kIdStride) return;
    if (const PresetMenuItem* item = Tree().FindById(id); item != nullptr && item->IsFile()) SelectWithLoading(*item);
}

void ChordMemoryPresetHandler::Open(const PresetMenuItem& item) {
    if (item.path.ends_with(kChordBankExtension)) persistence_.LoadChordBank(item.path, item.text);
}

}  // namespace sorel
