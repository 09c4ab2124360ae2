#include "persistence/ProgramList.h"

#include "persistence/DataFolder.h"
#include "persistence/PresetFile.h"
#include "persistence/PresetTree.h"

namespace sorel {

namespace {

constexpr std::string_view kFactoryCategory = kPresetCategories[0];
constexpr std::string_view kLabelSeparator = ": ";

// "1 bass" is "bass": the number only orders the folders.
std::string StyleWithoutNumber(const std::string& folder) {
    const size_t space = folder.find(' ');
    return space == std::string::npos ? folder : folder.substr(space + 1);
}

const PresetMenu* FactoryMenu(const PresetTree& tree) {
    for (const PresetMenuItem& item : tree.Root().items) {
        if (item.subMenu && item.text == kFactoryCategory) return item.subMenu.get();
    }
    return nullptr;
}

}  // namespace

ProgramList::ProgramList(const PresetTree& tree) {
    const PresetMenu* factory = FactoryMenu(tree);
    if (!factory) return;
    for (const PresetMenuItem& styleItem : factory->items) {
        if (!styleItem.subMenu) continue;
        const std::string style = StyleWithoutNumber(styleItem.text);
        for (const PresetMenuItem& file : styleItem.subMenu->items) {
            // Plain ".v2" files are listed by the browser but hold nothing loadable.
            if (file.IsFile() && file.path.ends_with(kPresetExtension)) programs_.push_back({style, file.text, file.path});
        }
    }
}

ProgramList ProgramList::ScanFactory() {
    return ProgramList(PresetTree(kPresetSubFolder, std::string(kPresetExtension), {}, true));
}

const Program* ProgramList::At(int index) const {
    return index >= 0 && index < Count() ? &programs_[static_cast<size_t>(index)] : nullptr;
}

std::string ProgramList::Label(int index, size_t maxLength) const {
    const Program* program = At(index);
    if (!program) return {};
    std::string label = program->style;
    label += kLabelSeparator;
    label += program->name;
    if (label.size() > maxLength) label.resize(maxLength);
    return label;
}

}  // namespace sorel
